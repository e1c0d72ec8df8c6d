#pragma once
#include <string>

// The batch file that unpacks a package lying in the install folder: its first
// line extracts the archive with the archive tool written beside it, its
// second line deletes the archive.
inline constexpr wchar_t kUnzipBatchName[] = L"unzip.bat";

// The bytes of the batch file for archiveName (a bare file name): two lines
// joined by CR LF, no line end after the second, one byte per UTF-16 code unit
// (its low 8 bits, no code-page conversion). The names passed in are plain
// ASCII without blanks, so they are written unquoted.
std::string UnzipBatchText(const std::wstring& archiveName);
