#include "platform/SystemFolders.h"

#include "common/UniqueHandle.h"

#include <shlobj.h>

namespace {

std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}

// The drive the system runs from, e.g. "C:"; used only when the shell cannot
// name a folder, so that no path is ever built from an empty string.
std::wstring SystemDrive() {
    std::wstring drive = EnvironmentVariable(L"SystemDrive");
    return drive.empty() ? L"C:" : drive;
}

} // namespace

std::wstring KnownFolderPath(REFKNOWNFOLDERID id, DWORD flags) {
    // Freed even when the call fails, as it requires.
    unique_cotaskmem raw;
    PWSTR* slot = reinterpret_cast<PWSTR*>(raw.put());
    if (SUCCEEDED(::SHGetKnownFolderPath(id, flags, nullptr, slot)) && raw)
        return static_cast<const wchar_t*>(raw.get());
    return std::wstring();
}

std::wstring UserTempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();
    return std::wstring(buffer, length);
}

std::wstring EnvironmentVariable(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

std::wstring SystemFolderPath() {
    // Resolved once: the path cannot change while the process runs, and it is
    // needed before the entry point runs as well as on worker threads.
    static const std::wstring path = [] {
        std::wstring p = KnownFolderPath(FOLDERID_System);
        if (p.empty()) {
            wchar_t buffer[MAX_PATH] = {};
            const UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH);
            if (n > 0 && n < MAX_PATH)
                p.assign(buffer, n);
        }
        if (p.empty())
            p = SystemDrive() + L"\\Windows\\System32";
        return WithoutTrailingBackslash(p);
    }();
    return path;
}

std::wstring ProgramFilesX86Path() {
    std::wstring p = KnownFolderPath(FOLDERID_ProgramFilesX86);
    if (p.empty())
        p = EnvironmentVariable(L"ProgramFiles(x86)");
    if (p.empty())
        p = EnvironmentVariable(L"ProgramFiles");
    if (p.empty())
        p = SystemDrive() + L"\\Program Files (x86)";
    return WithoutTrailingBackslash(p);
}
