#include "install/FolderRemoval.h"

#include "common/UniqueHandle.h"
#include "install/ProtectedSystemFolders.h"
#include "platform/FileSystem.h"
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

struct Entry {
    std::wstring name;
    DWORD attributes;
};

// The entries of the folder open as folder, "." and ".." left out, listed
// through the handle, not by a path that may lead elsewhere by now. Listed in
// full before anything is deleted, so deletions cannot disturb the listing.
bool ListOpenFolder(HANDLE folder, std::vector<Entry>& entries) {
    std::vector<unsigned char> buffer(64 * 1024);
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!::GetFileInformationByHandleEx(folder, kind, buffer.data(), static_cast<DWORD>(buffer.size())))
            return ::GetLastError() == ERROR_NO_MORE_FILES;
        kind = FileIdBothDirectoryInfo;
        for (std::size_t at = 0;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + at);
            const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (!IsDotEntry(name.c_str()))
                entries.push_back({name, info->FileAttributes});
            if (info->NextEntryOffset == 0)
                break;
            at += info->NextEntryOffset;
        }
    }
}

struct Opened {
    unique_hfile handle;
    DWORD attributes = 0;
};

// What is at path itself, a link never followed. A folder is opened to be
// listed and without delete sharing: while it is held nobody can rename it,
// and Windows renames no folder that holds an open one either.
Opened OpenEntry(const std::wstring& path, bool folder) {
    const DWORD access = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE |
                         (folder ? FILE_LIST_DIRECTORY : 0);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (folder ? 0 : FILE_SHARE_DELETE);
    Opened entry;
    entry.handle.reset(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FILE_BASIC_INFO basic{};
    if (entry.handle &&
        ::GetFileInformationByHandleEx(entry.handle.get(), FileBasicInfo, &basic, sizeof basic))
        entry.attributes = basic.FileAttributes;
    else
        entry.handle.reset();
    return entry;
}

// Deletes the open file, folder or link (a link itself, never what it leads
// to) when its handle is closed. A read-only entry, as an unpacked file may
// be, is still part of the installation.
bool DeleteOpened(Opened& entry) {
    if (entry.attributes & FILE_ATTRIBUTE_READONLY) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = entry.attributes & ~FILE_ATTRIBUTE_READONLY;
        if (basic.FileAttributes == 0)
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(entry.handle.get(), FileBasicInfo, &basic, sizeof basic);
    }
    FILE_DISPOSITION_INFO gone{TRUE};
    const bool deleted =
        ::SetFileInformationByHandle(entry.handle.get(), FileDispositionInfo, &gone, sizeof gone) != FALSE;
    const DWORD error = ::GetLastError();
    entry.handle.reset();
    ::SetLastError(error);
    return deleted;
}

bool DeleteTree(Opened& folder, const std::wstring& expected);

// Deletes what is at path now: a file, a link to a folder (the link only),
// or a folder tree. listed is what a listing said is there; the handle's own
// answer decides, so a folder swapped for a link since is unlinked, never
// entered. Nothing there any more counts as deleted.
bool DeleteEntry(const std::wstring& path, DWORD listed) {
    const bool folder = (listed & FILE_ATTRIBUTE_DIRECTORY) && !(listed & FILE_ATTRIBUTE_REPARSE_POINT);
    Opened entry = OpenEntry(path, folder);
    if (!entry.handle) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return true;
        return !folder && MoveAsideInUse(path);
    }
    if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return DeleteOpened(entry);
    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
        // A file swapped for a folder was not opened to be listed: left alone.
        return folder && DeleteTree(entry, path);
    if (DeleteOpened(entry))
        return true;
    return MoveAsideInUse(path);
}

// The final path of the open folder, every link on the way resolved, when it
// is the one expected and one the deletion guard allows; empty otherwise: a
// folder above it swapped for a link leads elsewhere, and nothing there may
// be touched.
std::wstring ReachedAsExpected(HANDLE folder, const std::wstring& expected) {
    const std::wstring reached = FinalPath(folder);
    if (!reached.empty() && SamePath(reached, expected) && MayDeleteFolder(reached))
        return reached;
    LogEvent(L"folder: " + expected + L" not entered: it is reached as " + reached);
    ::SetLastError(ERROR_CANT_ACCESS_FILE);
    return std::wstring();
}

// The folder at path (no trailing backslash) opened to be listed, when it is
// a folder in its own right (no link in its place) reached as expected; its
// final path goes to reached. No handle otherwise.
Opened OpenCheckedFolder(const std::wstring& path, std::wstring& reached) {
    Opened folder = OpenEntry(path, true);
    if (folder.handle && (folder.attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(folder.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        reached = ReachedAsExpected(folder.handle.get(), path);
    if (reached.empty())
        folder.handle.reset();
    return folder;
}

// Deletes everything in the open folder and then the folder, once it is
// reached as expected. False at the first failure.
bool DeleteTree(Opened& folder, const std::wstring& expected) {
    const std::wstring reached = ReachedAsExpected(folder.handle.get(), expected);
    std::vector<Entry> entries;
    if (reached.empty() || !ListOpenFolder(folder.handle.get(), entries))
        return false;
    const std::wstring prefix = WithBackslash(reached);
    for (const Entry& entry : entries) {
        if (!DeleteEntry(prefix + entry.name, entry.attributes))
            return false;
    }
    return DeleteOpened(folder);
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
    // Short (8.3) steps in their long form, as the final path spells them.
    target = LongPath(target);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (DeleteEntry(target, attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes))
        LogEvent(L"folder: " + path + L" removed");
    else
        LogEvent(L"folder: " + path + L" not removed completely, error " + std::to_wstring(::GetLastError()));
}

void DeleteFilesIn(const std::wstring& folder) {
    if (!MayDeleteFolder(folder))
        return;
    std::wstring path = WithBackslash(folder);
    path.pop_back();
    std::wstring reached;
    const Opened opened = OpenCheckedFolder(LongPath(path), reached);
    std::vector<Entry> entries;
    if (!opened.handle || !ListOpenFolder(opened.handle.get(), entries))
        return;
    for (const Entry& entry : entries) {
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        Opened file = OpenEntry(WithBackslash(reached) + entry.name, false);
        // A read-only file stays, as it always did here.
        if (file.handle && !(file.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
            DeleteOpened(file);
    }
}

void RemoveFolderIfEmpty(const std::wstring& folder) {
    if (!MayDeleteFolder(folder))
        return;
    std::wstring path = WithBackslash(folder);
    path.pop_back();
    std::wstring reached;
    Opened opened = OpenCheckedFolder(LongPath(path), reached);
    if (!opened.handle)
        return;
    // The system refuses to remove a folder that is not empty; a read-only
    // one keeps its attribute and stays.
    opened.attributes &= ~FILE_ATTRIBUTE_READONLY;
    DeleteOpened(opened);
}
