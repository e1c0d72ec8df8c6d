#pragma once
// How every request to the download server is made, and what the answer
// says. A call that fails hands back the error of the WinINet call that
// failed; a function that could not be bound counts as a failed call of its
// own (ERROR_PROC_NOT_FOUND).
#include "net/WinInetApi.h"

#include <cstdint>
#include <optional>
#include <string>

// A session with no proxy whatever the system settings say, and an empty
// user agent.
unique_hinternet OpenInternet(DWORD& error);

// Always from the server, never from the local cache. headers: extra request
// header lines, each ending in "\r\n"; none when empty.
unique_hinternet OpenRequest(HINTERNET internet, const std::wstring& url, DWORD& error,
                             const std::wstring& headers = std::wstring());

// A header of the answer as text; empty when it is absent or unreadable.
std::wstring AnswerHeader(HINTERNET request, DWORD query);

// The answer's status number; 0 when it cannot be read.
int AnswerStatus(HINTERNET request);

// The body length the server announced, if it announced one. Read as text so
// that packages beyond 4 GB are measured correctly too.
std::optional<std::uint64_t> AnnouncedLength(HINTERNET request);

enum class ReadResult { Data, End, Failed };

// One read of up to size bytes into buffer. A read that fails without a code,
// or with E_ABORT, is not an error of its own: it ends the body like the end
// of the data, and only a length check tells a complete body from a cut one.
ReadResult ReadInto(HINTERNET request, char* buffer, DWORD size, DWORD& read, DWORD& error);
