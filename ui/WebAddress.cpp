#include "ui/WebAddress.h"

namespace {

bool StartsWithAsciiCaseless(const std::wstring& text, const wchar_t* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != L'\0'; ++i) {
        if (i >= text.size())
            return false;
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

} // namespace

bool IsWebAddress(const std::wstring& address) {
    return StartsWithAsciiCaseless(address, L"http://") || StartsWithAsciiCaseless(address, L"https://");
}
