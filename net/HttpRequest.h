#pragma once
// How every request to the download server is made, and what the answer
// says. A call that fails hands back the error of the WinINet call that
// failed; a function that could not be bound counts as a failed call of its
// own (ERROR_PROC_NOT_FOUND).
#include "net/WinInetApi.h"

#include <cstdint>
#include <optional>
#include <string>

// A session that reaches the server the way the system's proxy settings say
// (directly when they name no proxy), with an empty user agent. A proxy that
// asks for credentials is not answered: its 407 is a status like any other.
unique_hinternet OpenInternet(DWORD& error);

// Always from the server, never from the local cache. headers: extra request
// header lines, each ending in "\r\n"; none when empty.
unique_hinternet OpenRequest(HINTERNET internet, const std::wstring& url, DWORD& error,
                             const std::wstring& headers = std::wstring());

// A header of the answer as text; empty when it is absent or unreadable, and
// then error (if given) holds the query's code.
std::wstring AnswerHeader(HINTERNET request, DWORD query, DWORD* error = nullptr);

// The body length the server announced, if it announced one. Read as text so
// that packages beyond 4 GB are measured correctly too.
std::optional<std::uint64_t> AnnouncedLength(HINTERNET request);

enum class ReadResult { Data, End, Failed };

// One read of up to size bytes into buffer. A read that fails without a code,
// or with E_ABORT, is not an error of its own: it ends the body like the end
// of the data, and only a length check tells a complete body from a cut one.
ReadResult ReadInto(HINTERNET request, char* buffer, DWORD size, DWORD& read, DWORD& error);
