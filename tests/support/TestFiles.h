#pragma once
// Files and folders for the tests: scratch folders inside the Wine prefix's
// drive C, whole-file reads and writes, and listings.
#include <cstdint>
#include <string>
#include <vector>

namespace helmtest {

// A new, empty folder below the temporary-files folder, ending in a backslash;
// tag may hold blanks and non-ASCII letters. Deleted with the object.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::wstring& tag);
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
};

// The folder's path, ending in one backslash.
std::wstring WithBackslash(const std::wstring& folder);

// The running test program's own file.
std::wstring OwnProgramPath();

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// The whole file; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
// Replaces the file's content.
void WriteBytes(const std::wstring& path, const std::string& bytes);
// 0 when there is no such file.
std::uint64_t FileSize(const std::wstring& path);
// Creates the folder and the folders above it.
void MakeFolders(const std::wstring& path);
// Deletes a folder tree or a file (test set-up and tidying only).
void DeleteTree(const std::wstring& path);
// Makes link, a new name in the folder that holds the folder target, a link
// to target, as the file system reports one: a folder that is a reparse
// point. Wine's CreateSymbolicLinkW makes nothing, but Wine reports a host
// symbolic link that way, so there the host's ln makes it. Names without
// blanks. False when no link could be made.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);
// Removes such a link, never what it leads to. Wine reports removing a host
// link as done and keeps it; a link left behind would keep the scratch folder's
// tidying busy for ever.
void RemoveFolderLink(const std::wstring& link);
// Sorted relative paths ("a\b.txt") of every file below folder.
std::vector<std::wstring> FilesBelow(const std::wstring& folder);
// The names directly inside folder, files and folders, in listing order.
std::vector<std::wstring> FolderEntries(const std::wstring& folder);

// UTF-8, for test output.
std::string Narrow(const std::wstring& text);

} // namespace helmtest
