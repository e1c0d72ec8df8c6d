#include "app/TempRelaunchName.h"

namespace {

std::wstring Base32(unsigned long value) {
    static const wchar_t digits[] = L"0123456789abcdefghijklmnopqrstuv";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[value % 32]);
        value /= 32;
    } while (value != 0);
    return text;
}

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

} // namespace

std::wstring AsciiLowerCase(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

bool IsFullyQualifiedFolder(const std::wstring& folder) {
    if (folder.size() >= 3 && IsAsciiLetter(folder[0]) && folder[1] == L':' && folder[2] == L'\\')
        return true;
    return folder.size() >= 3 && folder[0] == L'\\' && folder[1] == L'\\' && folder[2] != L'\\';
}

std::wstring TemporaryNameToken(unsigned long processId, unsigned long sequence) {
    return Base32(processId) + L"." + Base32(sequence);
}

std::wstring TemporaryName(const std::wstring& tempFolder, const std::wstring& token) {
    std::wstring name = tempFolder;
    if (name.empty() || name.back() != L'\\')
        name += L'\\';
    return name + L"s" + token;
}

std::wstring FolderPart(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(0, slash);
}

bool RunsFromFolder(const std::wstring& modulePath, const std::wstring& folder) {
    if (folder.empty())
        return false;
    return AsciiLowerCase(modulePath).compare(0, folder.size(), AsciiLowerCase(folder)) == 0;
}
