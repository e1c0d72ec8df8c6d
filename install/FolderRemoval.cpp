#include "install/FolderRemoval.h"

#include "common/UniqueHandle.h"
#include "install/ProtectedSystemFolders.h"
#include "platform/RunLog.h"
#include "platform/SystemFolders.h"

#include <windows.h>

#include <vector>

namespace {

std::wstring WithBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    return folder;
}

bool IsDotEntry(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == L'\0') || (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

// Where a file in use waits for the next restart: the Windows folder's
// Temp, where users may add files but not change or remove the files of
// others. The user's own temporary-files folder would let them put another
// file in its place before Windows deletes it, under the installer's name.
std::wstring AsideFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(windows, length) + L"\\Temp\\";
}

// A running program's file cannot be deleted, but it can be renamed: the
// installer copy that an unattended uninstall was started from waits for the
// run to end. The file moves aside (on the same volume, or the move fails)
// and is deleted when Windows next starts.
bool MoveAsideInUse(const std::wstring& path) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
        return false;
    const std::wstring folder = AsideFolder();
    wchar_t aside[MAX_PATH] = {};
    if (folder.empty() || !::GetTempFileNameW(folder.c_str(), L"hvu", 0, aside))
        return false;
    if (!::MoveFileExW(path.c_str(), aside, MOVEFILE_REPLACE_EXISTING)) {
        ::DeleteFileW(aside);
        return false;
    }
    ::MoveFileExW(aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    LogEvent(L"folder: " + path + L" is in use: moved to " + aside + L", deleted at the next restart");
    return true;
}

// A file that was unpacked read-only is still part of the installation.
bool DeleteOneFile(const std::wstring& path, DWORD attributes) {
    if (::DeleteFileW(path.c_str()))
        return true;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (::DeleteFileW(path.c_str()))
            return true;
    }
    return MoveAsideInUse(path);
}

bool DeleteOneFolder(const std::wstring& path, DWORD attributes) {
    if (::RemoveDirectoryW(path.c_str()))
        return true;
    if (!(attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return ::RemoveDirectoryW(path.c_str()) != FALSE;
}

struct Entry {
    std::wstring name;
    DWORD attributes;
};

// The entries of folder (which ends in a backslash), "." and ".." left out.
// Listed in full before anything is deleted, so deletions cannot disturb the
// listing. False when the folder cannot be listed.
bool ListFolder(const std::wstring& folder, std::vector<Entry>& entries) {
    WIN32_FIND_DATAW data;
    unique_hfind find(::FindFirstFileW((folder + L"*").c_str(), &data));
    if (!find)
        return false;
    do {
        if (!IsDotEntry(data.cFileName))
            entries.push_back({data.cFileName, data.dwFileAttributes});
    } while (::FindNextFileW(find.get(), &data));
    return true;
}

bool DeleteTree(const std::wstring& folder, DWORD folderAttributes);

// Deletes what is at path (no trailing backslash) now: a file, a link to a
// folder (the link only, never what it leads to), or a folder tree. The
// attributes are read here, right before acting, so that a folder swapped for
// a link since it was listed or looked at is unlinked, not entered. Nothing
// there any more counts as deleted.
bool DeleteEntry(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return DeleteOneFile(path, attributes);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return DeleteOneFolder(path, attributes);
    return DeleteTree(path + L'\\', attributes);
}

// Deletes everything below folder (which ends in a backslash) and then the
// folder; false at the first failure.
bool DeleteTree(const std::wstring& folder, DWORD folderAttributes) {
    std::vector<Entry> entries;
    if (!ListFolder(folder, entries))
        return false;
    for (const Entry& entry : entries) {
        if (!DeleteEntry(folder + entry.name))
            return false;
    }
    std::wstring self = folder;
    self.pop_back();
    return DeleteOneFolder(self, folderAttributes);
}

} // namespace

void RemoveFolder(const std::wstring& path, unsigned pauseMs) {
    RemoveFolder(path, [pauseMs] { ::Sleep(pauseMs); });
}

void RemoveFolder(const std::wstring& path, const std::function<void()>& pause) {
    if (path.empty() || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    if (!MayDeleteFolder(path)) {
        LogEvent(L"folder: " + path + L" not removed: the deletion guard refuses it");
        return;
    }
    pause();
    std::wstring target = WithBackslash(path);
    target.pop_back();
    if (DeleteEntry(target))
        LogEvent(L"folder: " + path + L" removed");
    else
        LogEvent(L"folder: " + path + L" not removed completely, error " + std::to_wstring(::GetLastError()));
}

void DeleteFilesIn(const std::wstring& folder) {
    if (!MayDeleteFolder(folder))
        return;
    const std::wstring prefix = WithBackslash(folder);
    std::vector<Entry> entries;
    ListFolder(prefix, entries);
    for (const Entry& entry : entries) {
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            ::DeleteFileW((prefix + entry.name).c_str());
    }
}

void RemoveFolderIfEmpty(const std::wstring& folder) {
    if (!MayDeleteFolder(folder))
        return;
    std::wstring self = WithBackslash(folder);
    self.pop_back();
    // The system refuses to remove a folder that is not empty.
    ::RemoveDirectoryW(self.c_str());
}
