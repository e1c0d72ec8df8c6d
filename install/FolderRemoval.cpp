#include "install/FolderRemoval.h"

#include "common/UniqueHandle.h"
#include "install/ProtectedSystemFolders.h"

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

// A file that was unpacked read-only is still part of the installation.
bool DeleteOneFile(const std::wstring& path, DWORD attributes) {
    if (::DeleteFileW(path.c_str()))
        return true;
    if (!(attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return ::DeleteFileW(path.c_str()) != FALSE;
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

// Deletes everything below folder (which ends in a backslash) and then the
// folder; false at the first failure.
bool DeleteTree(const std::wstring& folder, DWORD folderAttributes) {
    std::vector<Entry> entries;
    if (!ListFolder(folder, entries))
        return false;
    for (const Entry& entry : entries) {
        const std::wstring path = folder + entry.name;
        bool deleted;
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            deleted = DeleteOneFile(path, entry.attributes);
        else if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            deleted = DeleteOneFolder(path, entry.attributes); // the link only, not what it leads to
        else
            deleted = DeleteTree(path + L'\\', entry.attributes);
        if (!deleted)
            return false;
    }
    std::wstring self = folder;
    self.pop_back();
    return DeleteOneFolder(self, folderAttributes);
}

} // namespace

void RemoveFolder(const std::wstring& path, unsigned pauseMs) {
    if (path.empty())
        return;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!MayDeleteFolder(path))
        return;
    ::Sleep(pauseMs);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteOneFile(path, attributes);
        return;
    }
    std::wstring folder = WithBackslash(path);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        folder.pop_back();
        DeleteOneFolder(folder, attributes);
        return;
    }
    DeleteTree(folder, attributes);
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
