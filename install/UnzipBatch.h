#pragma once
#include <string>

// The batch file that unpacks a package lying in the install folder: it
// extracts the archive with the archive tool written beside it, notes the
// tool's exit code, deletes the archive whatever happened (a damaged one must
// not be taken up again by a later run) and ends with the noted code.
inline constexpr wchar_t kUnzipBatchName[] = L"unzip.bat";

// The bytes of the batch file for archiveName (a bare file name): four lines
// joined by CR LF, no line end after the last, one byte per UTF-16 code unit
// (its low 8 bits, no code-page conversion). The names passed in are plain
// ASCII without blanks, so they are written unquoted.
std::string UnzipBatchText(const std::wstring& archiveName);
