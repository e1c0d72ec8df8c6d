#pragma once
#include <string>

// Naming and placement rules of the relaunch from the temporary-files folder.
// Pure text functions, kept apart from the Windows calls so they can be tested
// on their own.

// ASCII letters lower-cased; every other character keeps its value, so the
// result does not depend on the user's locale.
std::wstring AsciiLowerCase(std::wstring text);

// True for a fully qualified folder: a drive ("C:\...") or a UNC share
// ("\\server\share..."). A root-relative or relative folder would make every
// path on the drive look like it lies inside it.
bool IsFullyQualifiedFolder(const std::wstring& folder);

// The unique part of a temporary name: the process id and a running number,
// each in base 32 with lower-case digits, joined by a dot ("1ak.0"). Two
// processes never share an id while both run, and one process counts up.
std::wstring TemporaryNameToken(unsigned long processId, unsigned long sequence);

// A temporary name inside tempFolder in the form the C runtime gives it:
// tempFolder + "s" + token ("C:\Users\me\AppData\Local\Temp\s1ak.0"). A
// missing trailing backslash on tempFolder is supplied.
std::wstring TemporaryName(const std::wstring& tempFolder, const std::wstring& token);

// A path up to, not including, its last backslash (the whole text when it has none).
std::wstring FolderPart(const std::wstring& path);

// True when modulePath begins with folder, both compared lower-cased (ASCII
// only). A plain text prefix test: a sibling folder whose name only extends
// folder also counts. An empty folder never matches.
bool RunsFromFolder(const std::wstring& modulePath, const std::wstring& folder);
