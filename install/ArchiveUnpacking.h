#pragma once
#include <string>

// Unpacks archiveName, a bare file name of a package in the install folder,
// into that folder with the archive tool written there, overwriting existing
// files, through a generated "unzip.bat" run by the System folder's command
// interpreter without a window. The batch deletes the package; the batch file
// itself is deleted once it has run. True when the archive tool reported
// success: a damaged or cut package may still have let some files out.
bool UnpackArchive(const std::wstring& archiveName);
