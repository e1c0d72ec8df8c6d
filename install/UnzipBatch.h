#pragma once
#include <string>

// The batch file that unpacks a package lying in the install folder: it
// extracts the archive with the archive tool written there, notes the tool's
// exit code, deletes the archive whatever happened (a damaged one must not be
// taken up again by a later run) and ends with the noted code.
inline constexpr wchar_t kUnzipBatchName[] = L"unzip.bat";

// The text of the batch file for archiveName (a bare file name, plain ASCII
// without blanks, written unquoted): four lines joined by CR LF, no line end
// after the last. The tool is named by toolPath, its full path, in quotation
// marks: the batch runs elevated, and a bare "7za" would be looked up along
// the user's PATH and PATHEXT, where the user's own programs may answer to
// it. A percent sign in the path is doubled, so the interpreter keeps it as
// written instead of expanding a variable.
std::wstring UnzipBatchText(const std::wstring& toolPath, const std::wstring& archiveName);
