#include "net/ByteRange.h"

namespace {

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// The digits at text[at...], at least one, moving at past them.
std::optional<std::uint64_t> TakeNumber(const std::wstring& text, std::size_t& at) {
    std::uint64_t value = 0;
    const std::size_t start = at;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        if (value > (UINT64_MAX - 9) / 10)
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(text[at] - L'0');
    }
    return at > start ? std::optional<std::uint64_t>(value) : std::nullopt;
}

void SkipSpaces(const std::wstring& text, std::size_t& at) {
    while (at < text.size() && text[at] == L' ')
        ++at;
}

bool Take(const std::wstring& text, std::size_t& at, wchar_t c) {
    if (at >= text.size() || text[at] != c)
        return false;
    ++at;
    return true;
}

} // namespace

std::optional<std::uint64_t> ParseByteCount(const std::wstring& text) {
    std::size_t at = 0;
    SkipSpaces(text, at);
    return TakeNumber(text, at);
}

std::optional<ContentRange> ParseContentRange(const std::wstring& text) {
    std::size_t at = 0;
    SkipSpaces(text, at);
    const std::wstring unit = L"bytes";
    for (const wchar_t c : unit)
        if (at >= text.size() || (text[at++] | 0x20) != c)
            return std::nullopt;
    const std::size_t afterUnit = at;
    SkipSpaces(text, at);
    if (at == afterUnit)
        return std::nullopt;
    ContentRange range;
    const std::optional<std::uint64_t> first = TakeNumber(text, at);
    if (!first || !Take(text, at, L'-'))
        return std::nullopt;
    const std::optional<std::uint64_t> last = TakeNumber(text, at);
    if (!last || *last < *first || !Take(text, at, L'/'))
        return std::nullopt;
    range.first = *first;
    range.last = *last;
    if (!Take(text, at, L'*')) {
        range.total = TakeNumber(text, at);
        if (!range.total || *range.total <= *last)
            return std::nullopt;
    }
    SkipSpaces(text, at);
    if (at != text.size())
        return std::nullopt;
    return range;
}

bool ContinuesAt(int status, const std::wstring& contentRange, std::uint64_t offset,
                 std::optional<std::uint64_t> total) {
    if (status != 206)
        return false;
    const std::optional<ContentRange> range = ParseContentRange(contentRange);
    return range && range->first == offset && range->total && range->last + 1 == *range->total &&
           (!total || *total == *range->total);
}
