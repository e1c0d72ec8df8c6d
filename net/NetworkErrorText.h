#pragma once
// What a failed download reports, kept apart from the system calls so that
// every rule can be checked on its own: the outcome the downloader returns,
// and the wording rules the application tells it by.
#include "common/Outcome.h"

#include <cstdint>
#include <string>
#include <vector>

// The certificate authority was rejected during the secure handshake.
constexpr std::uint32_t kSslCertificateRejected = 12045;

// A translation key and the values for its %1, %2, ...
struct TranslatedText {
    std::wstring key;
    std::vector<std::wstring> values;
};

// The last element of a path ("a\\b\\c.zip" -> "c.zip"); a plain name as is.
std::wstring FileNamePart(const std::wstring& path);

// The system's text for a code without the white space and line breaks it
// ends with.
std::wstring TrimTrailingSpace(std::wstring text);

// Message for an error code other than 0 and 12045: the system's text (or
// "unknown error" when it has none), then "(0x" + code in lower-case hex +
// "): " + the file-name part of fileName, with no spaces between the pieces.
std::wstring ComposeErrorText(std::uint32_t code, const std::wstring& systemText,
                              const std::wstring& fileName);

// The decimal number at the start of a status text; 0 when there is none.
int LeadingStatusNumber(const std::wstring& statusText);

// 200 to 399: the request succeeded (redirects and "not modified" included).
bool IsSuccessStatus(int status);

// Whether an answer with this status has a body at all: informational
// answers, 204 and 304 never do, whatever length they announce.
bool StatusCarriesBody(int status);

// The message for a status that is not a success.
TranslatedText HttpStatusMessage(const std::wstring& statusText, const std::wstring& fileName);

// The system reports no connection: "error_no_network".
Outcome NoConnectionOutcome();

// The server refused fileName with a status that is not a success.
Outcome HttpStatusOutcome(const std::wstring& statusText, const std::wstring& fileName);

// A system or WinINet error code while fetching fileName (possibly empty):
// "ssl_error" for a rejected certificate authority (12045); otherwise the
// message is composed from the system's text (ComposeErrorText).
Outcome NetworkErrorOutcome(std::uint32_t code, const std::wstring& fileName);
