#pragma once
#include <functional>
#include <string>

// Deletion of the folders the uninstall removes. Both refuse, silently, any
// path that MayDeleteFolder rejects (empty, relative, a drive root, a folder
// of the system), and neither reports a failure.

// Waits pauseMs (letting processes just stopped release their files), then
// deletes the folder tree at path: every file and subfolder, then the folder
// itself. The first entry that cannot be deleted ends the deletion; whatever
// was not reached stays. Linked folders (junctions, symbolic links) are
// unlinked, never entered, also when one took a folder's place during the
// pause; and no folder is entered whose final path, every link resolved, is
// not the path it was reached by or is one the guard refuses, so a folder
// above path swapped for a link leads nowhere. A file in use is moved to the
// Windows folder's Temp and deleted at the next restart. Nothing at the
// path: returns at once, no pause.
void RemoveFolder(const std::wstring& path, unsigned pauseMs = 2000);

// The same with the pause given as what to do meanwhile.
void RemoveFolder(const std::wstring& path, const std::function<void()>& pause);

// Deletes the plain files directly inside folder (a backslash is added when it
// has none); subfolders and their content stay, and so do read-only files
// and the folder. Nothing is deleted when folder is a link or is reached
// through one.
void DeleteFilesIn(const std::wstring& folder);

// Deletes folder itself when nothing is left in it; a folder that still holds
// anything stays as it is, and so does a link or a folder reached through one.
void RemoveFolderIfEmpty(const std::wstring& folder);
