#pragma once
#include <string>

// The archive tool's file name in the install folder.
inline constexpr wchar_t kArchiveToolName[] = L"7za.exe";

// Unpacks archiveName, a bare file name of a package in the install folder,
// into that folder with the archive tool written there, overwriting existing
// files, through a generated "unzip.bat" run by the System folder's command
// interpreter without a window, without its AutoRun commands and with command
// extensions on, named by its place, never looked up along PATH. The batch
// names the tool by its full path, deletes the package, and is deleted itself
// once it has run. True when the archive tool reported success: a damaged or
// cut package may still have let some files out.
bool UnpackArchive(const std::wstring& archiveName);
