#pragma once
#include <string>

class DownloadAbort;

// The archive tool's file name in the install folder.
inline constexpr wchar_t kArchiveToolName[] = L"7za.exe";

// What one unpacking in a given folder came to.
enum class Unpacked { Done, Failed, Cancelled };

// Unpacks archiveName, a bare file name of a package in folder (ending in a
// backslash), into that folder with the archive tool written there,
// overwriting existing files, through a generated "unzip.bat" run by the
// System folder's command interpreter without a window, without its AutoRun
// commands and with command extensions on, named by its place, never looked
// up along PATH. The batch names the tool by its full path, deletes the
// package, and is deleted itself once it has run. Done when the archive tool
// reported success: a damaged or cut package may still have let some files
// out. A cancel, when given and requested meanwhile, stops the archive tool
// where it is.
Unpacked UnpackArchiveIn(const std::wstring& folder, const std::wstring& archiveName,
                         const DownloadAbort* cancel);
