#pragma once
// Byte counts and ranges as HTTP answers state them, and the decision whether
// an answer to a range request continues the part of a body already on disk.
// Free of <windows.h>.
#include <cstdint>
#include <optional>
#include <string>

// A decimal count after optional spaces, up to the first other character
// (a Content-Length value); none when there are no digits or it overflows.
std::optional<std::uint64_t> ParseByteCount(const std::wstring& text);

// A Content-Range value "bytes FIRST-LAST/TOTAL"; TOTAL may be "*" (unknown).
struct ContentRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    std::optional<std::uint64_t> total;
};
std::optional<ContentRange> ParseContentRange(const std::wstring& text);

// True when an answer (status, Content-Range value) to "Range: bytes=OFFSET-"
// carries exactly the rest of the body whose first offset bytes are on disk:
// a 206 whose range starts at offset and runs to the end of a body of known
// size, that size being total when total is known. Anything else must not
// be appended.
bool ContinuesAt(int status, const std::wstring& contentRange, std::uint64_t offset,
                 std::optional<std::uint64_t> total);
