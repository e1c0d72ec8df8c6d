#pragma once
// Where the system keeps things: the System and Program Files folders, the
// shell's known folders and environment variables.
#include <windows.h>
#include <knownfolders.h>
#include <shtypes.h>

#include <string>

// The Windows System folder, without a trailing backslash. Every system library
// the installer loads at run time is loaded by full path below it, never by
// bare name, so a DLL planted beside the installer is never picked up.
std::wstring SystemFolderPath();

// The 32-bit Program Files folder, without a trailing backslash.
std::wstring ProgramFilesX86Path();

// A known folder as the shell names it (flags as SHGetKnownFolderPath takes
// them); empty when the shell cannot name it.
std::wstring KnownFolderPath(REFKNOWNFOLDERID id, DWORD flags = 0);

// The user's temporary-files folder, with its trailing backslash; empty when
// the system cannot say.
std::wstring UserTempFolder();

// An environment variable of this process; empty when it is not set or does
// not fit MAX_PATH characters.
std::wstring EnvironmentVariable(const wchar_t* name);
