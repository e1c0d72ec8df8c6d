#include "profile/ManifestPackageHash.h"

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

} // namespace

std::optional<std::wstring> ManifestPackageHash(const std::wstring& manifestText) {
    static const std::wstring open = L"<sha256>";
    static const std::wstring close = L"</sha256>";
    const std::size_t tag = manifestText.find(open);
    if (tag == std::wstring::npos)
        return std::nullopt;
    std::size_t start = tag + open.size();
    std::size_t end = manifestText.find(close, start);
    if (end == std::wstring::npos)
        return std::wstring();
    while (start < end && IsBlank(manifestText[start]))
        ++start;
    while (end > start && IsBlank(manifestText[end - 1]))
        --end;
    return manifestText.substr(start, end - start);
}

bool MatchesSha256(const std::wstring& stated, const unsigned char (&digest)[32]) {
    if (stated.size() != 64)
        return false;
    for (std::size_t i = 0; i < 32; ++i) {
        const int high = HexValue(stated[2 * i]);
        const int low = HexValue(stated[2 * i + 1]);
        if (high < 0 || low < 0 || ((high << 4) | low) != digest[i])
            return false;
    }
    return true;
}

std::wstring Sha256Hex(const unsigned char (&digest)[32]) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring out;
    out.reserve(64);
    for (const unsigned char b : digest) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 15]);
    }
    return out;
}
