#pragma once
#include "install/DeletionGuard.h"

#include <string>

// This machine's protected folders (see ProtectedFolders), looked up from the
// shell's known folders and the environment; a folder the system cannot name
// is left out. Every entry is in its long form and upper case.
ProtectedFolders SystemProtectedFolders();

// IsDeletableFolder against SystemProtectedFolders, for path as written and in
// the full, long form Windows resolves it to.
bool MayDeleteFolder(const std::wstring& path);
