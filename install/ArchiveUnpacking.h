#pragma once
#include <string>

class DownloadAbort;

// The archive tool's file name in the install folder.
inline constexpr wchar_t kArchiveToolName[] = L"7za.exe";

// Unpacks archiveName, a bare file name of a package in the install folder,
// into that folder with the archive tool written there, overwriting existing
// files, through a generated "unzip.bat" run by the System folder's command
// interpreter without a window and without its AutoRun commands. The batch
// names the tool by its full path, deletes the package, and is deleted itself
// once it has run. True when the archive tool reported success: a damaged or
// cut package may still have let some files out.
bool UnpackArchive(const std::wstring& archiveName);

// What one unpacking in a given folder came to.
enum class Unpacked { Done, Failed, Cancelled };

// The same in folder (ending in a backslash), which holds the package and the
// archive tool. A cancel, when given and requested meanwhile, stops the
// archive tool where it is.
Unpacked UnpackArchiveIn(const std::wstring& folder, const std::wstring& archiveName,
                         const DownloadAbort* cancel);
