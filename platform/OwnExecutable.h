#pragma once
// The running installer's own file, held open from start-up to the end of the
// process. The elevated copy runs from a folder its unprivileged user can
// write to; while the handle is held, nobody can rename, delete or change the
// file, so the copy put into the install folder (which an administrator later
// runs as the uninstaller) is the program that is running, not one that was
// put in its place.
#include <windows.h>

#include <string>

// Opens the file at path for reading, sharing it for reading only, and keeps
// the handle until the process ends. True when it is held (also when it
// already was: a second call changes nothing).
bool HoldOwnExecutable(const std::wstring& path);

// Copies the held file, from its first byte to its last, to target, replacing
// a file there: ERROR_SUCCESS, or the system error number of the step that
// failed (ERROR_INVALID_HANDLE when nothing is held). Never reads the file by
// its name. A failed copy leaves no partial target behind.
DWORD CopyOwnExecutableTo(const std::wstring& target);
