#pragma once
#include <string>

// The Windows System folder, without a trailing backslash. Every system library
// the installer loads at run time is loaded by full path below it, never by
// bare name, so a DLL planted beside the installer is never picked up.
std::wstring SystemFolderPath();

// The 32-bit Program Files folder, without a trailing backslash.
std::wstring ProgramFilesX86Path();
