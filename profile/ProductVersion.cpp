#include "profile/ProductVersion.h"

#include <climits>
#include <vector>

namespace {

// Splits like reading a stream up to '.' repeatedly: "1..2" gives three
// components, "1.2." two, "" none.
std::vector<std::wstring> SplitComponents(const std::wstring& text) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t dot = text.find(L'.', start);
        if (dot == std::wstring::npos) {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
    return parts;
}

bool IsCSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// Base-10 conversion in the manner of strtol: leading white space, an optional
// sign, digits up to the first non-digit. No digits, or a value outside the
// signed 32-bit range, gives 0.
long ComponentValue(const std::wstring& part) {
    std::size_t i = 0;
    while (i < part.size() && IsCSpace(part[i]))
        ++i;
    bool negative = false;
    if (i < part.size() && (part[i] == L'+' || part[i] == L'-')) {
        negative = part[i] == L'-';
        ++i;
    }
    long long value = 0;
    bool anyDigit = false;
    for (; i < part.size() && part[i] >= L'0' && part[i] <= L'9'; ++i) {
        anyDigit = true;
        value = value * 10 + (part[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return 0; // out of range however many digits follow
    }
    if (!anyDigit)
        return 0;
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return 0;
    return static_cast<long>(value);
}

} // namespace

int ProductVersion::Compare(const ProductVersion& other) const {
    const std::wstring& a = text_;
    const std::wstring& b = other.text_;
    if (a == b)
        return 0;
    const std::vector<std::wstring> pa = SplitComponents(a);
    const std::vector<std::wstring> pb = SplitComponents(b);
    for (std::size_t i = 0; i < pa.size() && i < pb.size(); ++i) {
        const long va = ComponentValue(pa[i]);
        const long vb = ComponentValue(pb[i]);
        if (va < vb)
            return -1;
        if (va > vb)
            return 1;
    }
    return pa.size() >= pb.size() ? 1 : -1;
}
