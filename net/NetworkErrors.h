#pragma once
// The messages the download client shows when a transfer fails. Each call
// shows at most one message (through ShowUserMessage) in the current
// language and returns once it has been dismissed.
#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>

// "No internet connection", under the download-failure caption.
void ShowNoNetworkMessage();

// Reads the status of an open request. True for 200 to 399 (nothing shown);
// otherwise the matching message is shown and the result is false. A status
// that cannot be read is reported as the error of the query.
bool CheckHttpStatus(HINTERNET request, const std::wstring& fileName);

// The message for a system or WinINet error code; nothing for 0.
void ReportNetworkError(std::uint32_t code, const std::wstring& fileName);

// The system message table's text for code (trailing white space removed),
// empty when the system has none.
std::wstring SystemErrorText(std::uint32_t code);
