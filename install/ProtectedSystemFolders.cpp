#include "install/ProtectedSystemFolders.h"

#include "common/UniqueHandle.h"
#include "platform/FileSystem.h"
#include "platform/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace {

// Upper case as the file system compares names, for every script, so that a
// profile folder with non-ASCII letters still matches.
std::wstring UpperCase(const std::wstring& text) {
    if (text.empty())
        return text;
    const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(),
                                       static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr, 0);
    if (length <= 0)
        return text;
    std::wstring upper(static_cast<std::size_t>(length), L'\0');
    ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(), static_cast<int>(text.size()),
                    &upper[0], length, nullptr, nullptr, 0);
    return upper;
}

// Resolves ".", "..", doubled separators and short (8.3) names where Windows
// can; otherwise the text comes back as it was.
std::wstring Resolved(const std::wstring& path) {
    if (path.empty())
        return path;
    // A path that does not exist (yet) has nothing to expand.
    return LongPath(FullPath(path));
}

// Where an existing path really leads, through any junction or link on the
// way; empty when it does not exist or cannot be opened.
std::wstring FinalPath(const std::wstring& path) {
    const unique_hfile file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file ? ::FinalPath(file.get()) : std::wstring();
}

// Named even when the folder does not exist (yet): it stays protected.
std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    return KnownFolderPath(id, KF_FLAG_DONT_VERIFY);
}

std::wstring Entry(const std::wstring& path) {
    return path.empty() ? path : UpperCase(Resolved(path));
}

} // namespace

ProtectedFolders SystemProtectedFolders() {
    ProtectedFolders result;
    const KNOWNFOLDERID* const kept[] = {
        &FOLDERID_Windows,
        &FOLDERID_System,
        &FOLDERID_SystemX86,
        &FOLDERID_ProgramFiles,
        &FOLDERID_ProgramFilesX86,
        &FOLDERID_ProgramFilesCommon,
        &FOLDERID_ProgramFilesCommonX86,
        &FOLDERID_ProgramData,
        &FOLDERID_UserProfiles,
        &FOLDERID_Profile,
        &FOLDERID_Public,
        &FOLDERID_Desktop,
        &FOLDERID_PublicDesktop,
        &FOLDERID_Documents,
        &FOLDERID_PublicDocuments,
        &FOLDERID_Downloads,
        &FOLDERID_RoamingAppData,
        &FOLDERID_LocalAppData,
        &FOLDERID_StartMenu,
        &FOLDERID_CommonStartMenu,
        &FOLDERID_Programs,
        &FOLDERID_CommonPrograms,
    };
    for (const KNOWNFOLDERID* id : kept) {
        const std::wstring path = Entry(KnownFolder(*id));
        if (!path.empty())
            result.folders.push_back(path);
    }
    // A 32-bit process is told the 32-bit folders; the 64-bit ones come from
    // the environment that WOW64 sets up for it.
    for (const wchar_t* name : {L"ProgramW6432", L"CommonProgramW6432", L"SystemRoot", L"windir"}) {
        const std::wstring path = Entry(EnvironmentVariable(name));
        if (!path.empty())
            result.folders.push_back(path);
    }
    for (const std::wstring& windows : {KnownFolder(FOLDERID_Windows), EnvironmentVariable(L"SystemRoot")}) {
        const std::wstring path = Entry(windows);
        if (!path.empty())
            result.trees.push_back(path);
    }
    result.profilesFolder = Entry(KnownFolder(FOLDERID_UserProfiles));
    return result;
}

bool MayDeleteFolder(const std::wstring& path) {
    // The text as written must already be acceptable (an absolute path with
    // plain steps), and so must what Windows makes of it.
    if (path.empty())
        return false;
    const ProtectedFolders protectedFolders = SystemProtectedFolders();
    if (!IsDeletableFolder(UpperCase(path), protectedFolders) ||
        !IsDeletableFolder(UpperCase(Resolved(path)), protectedFolders))
        return false;
    const std::wstring final = FinalPath(path);
    return final.empty() || IsDeletableFolder(UpperCase(final), protectedFolders);
}
