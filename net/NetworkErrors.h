#pragma once
// The system's side of download failures: its text for an error code.
#include <cstdint>
#include <string>

// The system message table's text for code (trailing white space removed),
// empty when the system has none.
std::wstring SystemErrorText(std::uint32_t code);
