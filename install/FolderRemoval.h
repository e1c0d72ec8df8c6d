#pragma once
#include <string>

// Deletion of the folders the uninstall removes. Both refuse, silently, any
// path that MayDeleteFolder rejects (empty, relative, a drive root, a folder
// of the system), and neither reports a failure.

// Waits pauseMs (letting processes just stopped release their files), then
// deletes the folder tree at path: every file and subfolder, then the folder
// itself. The first entry that cannot be deleted ends the deletion; whatever
// was not reached stays. Linked folders (junctions, symbolic links) are
// unlinked, never entered. Nothing at the path: returns at once, no pause.
void RemoveFolder(const std::wstring& path, unsigned pauseMs = 2000);

// Deletes the plain files directly inside folder (a backslash is added when it
// has none); subfolders and their content stay, and so does the folder.
void DeleteFilesIn(const std::wstring& folder);

// Deletes folder itself when nothing is left in it; a folder that still holds
// anything stays as it is.
void RemoveFolderIfEmpty(const std::wstring& folder);
