#include "FuzzText.h"
#include "app/TempRelaunchName.h"
#include "install/DeletionGuard.h"

#include <cstdlib>

// The input is "path|kept|name". Whatever they hold: the answer for path does
// not change with its ASCII case or a trailing backslash; only paths from a
// drive root are ever accepted, none through a share or device; a protected
// folder, anything in a protected tree and every folder directly in the
// profiles folder are refused.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring all = WideFromBytes(data, size);
    const std::size_t first = all.find(L'|');
    const std::size_t second = first == std::wstring::npos ? first : all.find(L'|', first + 1);
    const std::wstring path = all.substr(0, first);
    const std::wstring kept =
        first == std::wstring::npos ? std::wstring() : all.substr(first + 1, second - first - 1);
    std::wstring name = second == std::wstring::npos ? std::wstring() : all.substr(second + 1);
    for (wchar_t& c : name)
        if (c == L'\\' || c == L'/')
            c = L'_';

    ProtectedFolders none;
    const bool deletable = IsDeletableFolder(path, none);
    if (IsDeletableFolder(AsciiLowerCase(path), none) != deletable ||
        IsDeletableFolder(path + L"\\", none) != deletable)
        std::abort();
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (deletable && !(path.size() > 3 && path[1] == L':' && separator(path[2])))
        std::abort();
    for (const wchar_t* prefix : {L"\\\\", L"//", L"\\\\?\\UNC\\", L"\\\\.\\"})
        if (IsDeletableFolder(prefix + path, none))
            std::abort();

    ProtectedFolders folder;
    folder.folders = {kept};
    ProtectedFolders tree;
    tree.trees = {kept};
    ProtectedFolders profiles;
    profiles.profilesFolder = kept;
    if (IsDeletableFolder(kept, folder) || IsDeletableFolder(kept + L"\\" + name, tree) ||
        IsDeletableFolder(kept + L"\\" + name, profiles))
        std::abort();
    return 0;
}
