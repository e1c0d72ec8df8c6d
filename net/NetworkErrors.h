#pragma once
// The system's side of download failures: the status of an open request and
// the system's text for an error code.
#include "common/Outcome.h"

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>

// Reads the status of an open request: success for 200 to 399, otherwise the
// failure the status means. A status that cannot be read is the error of the
// query.
Outcome CheckHttpStatus(HINTERNET request, const std::wstring& fileName);

// The system message table's text for code (trailing white space removed),
// empty when the system has none.
std::wstring SystemErrorText(std::uint32_t code);
