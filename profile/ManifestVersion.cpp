#include "profile/ManifestVersion.h"

std::wstring ManifestVersion(const std::wstring& manifestText) {
    static const std::wstring open = L"<version>";
    static const std::wstring close = L"</version>";
    const std::size_t tag = manifestText.find(open);
    if (tag == std::wstring::npos)
        return std::wstring();
    const std::size_t start = tag + open.size();
    const std::size_t end = manifestText.find(close, start);
    // Without its closing tag the value has no defined end; an empty version
    // is what every caller already handles as "nothing offered".
    if (end == std::wstring::npos)
        return std::wstring();
    return manifestText.substr(start, end - start);
}
