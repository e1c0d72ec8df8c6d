#pragma once
// Questions to the file system and folder creation, in one place.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// path made absolute, "." and ".." resolved; path itself when that fails.
std::wstring FullPath(const std::wstring& path);

// path with its short (8.3) parts expanded; path itself when that fails, as
// for a path that does not exist (yet).
std::wstring LongPath(const std::wstring& path);

// The path by which the file system reaches the open file or folder, every
// link on the way resolved, in the form "C:\..." or "\\server\share\...";
// empty when the system cannot tell.
std::wstring FinalPath(HANDLE handle);

// The whole file at path, when it exists, can be read and holds at most
// maxBytes; empty otherwise.
std::string ReadWholeFile(const std::wstring& path, std::size_t maxBytes);

// Writes bytes as the whole file at path, replacing any file there; false
// when it could not be written whole.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// Whether a and b spell the same path, letters compared without regard to
// case as the file system compares names, trailing backslashes ignored.
bool SamePath(const std::wstring& a, const std::wstring& b);

// True when something exists at path and it is a folder.
bool IsFolder(const std::wstring& path);

// True when something exists at path and it is not a folder.
bool IsFile(const std::wstring& path);

// Creates folder and every missing folder above it: ERROR_SUCCESS (0), or the
// system error number of the step that failed. The root ("C:\" or
// "\\server\share\") is taken as given; a folder that appears meanwhile
// (another process made it) counts as created. Callers that need the folder
// ask IsFolder afterwards: an empty path fails no step.
DWORD CreateFolderTree(std::wstring folder);

// The bytes of every file below folder, subfolders included; linked folders
// (junctions, symbolic links) are not entered. 0 for a missing folder.
std::uint64_t FolderSize(const std::wstring& folder);

// The size of the file at path; 0 when there is none.
std::uint64_t FileSize(const std::wstring& path);

// Calls each(name, attributes) for the entries directly inside folder (with
// or without its trailing backslash), "." and ".." left out, until each
// returns false. A folder that cannot be listed has no entries.
void ForEachEntry(const std::wstring& folder, const std::function<bool(const std::wstring&, DWORD)>& each);
