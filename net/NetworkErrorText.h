#pragma once
// What a failed download reports, kept apart from the system calls so that
// every rule can be checked on its own: the outcome the downloader returns.
// Its wording is report/'s.
#include "common/Outcome.h"

#include <cstdint>
#include <string>

// The certificate authority was rejected during the secure handshake.
constexpr std::uint32_t kSslCertificateRejected = 12045;

// The last element of a path ("a\\b\\c.zip" -> "c.zip"); a plain name as is.
std::wstring FileNamePart(const std::wstring& path);

// The system's text for a code without the white space and line breaks it
// ends with.
std::wstring TrimTrailingSpace(std::wstring text);

// The decimal number at the start of a status text; 0 when there is none.
int LeadingStatusNumber(const std::wstring& statusText);

// 200 to 399: the request succeeded (redirects and "not modified" included).
bool IsSuccessStatus(int status);

// Whether an answer with this status has a body at all: informational
// answers, 204 and 304 never do, whatever length they announce.
bool StatusCarriesBody(int status);

// The system reports no connection.
Outcome NoConnectionOutcome();

// The server refused fileName with a status that is not a success.
Outcome HttpStatusOutcome(const std::wstring& statusText, const std::wstring& fileName);

// A system or WinINet error code while fetching fileName (possibly empty).
Outcome NetworkErrorOutcome(std::uint32_t code, const std::wstring& fileName);
