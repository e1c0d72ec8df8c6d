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
// already was: a second call changes nothing). Then asks whether the held
// file is the running program's image (HeldFileIsRunningImage).
bool HoldOwnExecutable(const std::wstring& path);

// Lets go of the held file: for a process that installs nothing from here
// on and whose file the run may have to move aside.
void ReleaseOwnExecutable();

// The running program's file as the system names it now: a running image may
// be renamed, and this name follows it. Empty when the system cannot tell.
std::wstring RunningImagePath();

// Whether the held file, with no other name (hard link) to it, is the file
// the running program was loaded from, as the two files' volume serial
// numbers and file indexes tell. Asked right after the file was held, when
// nobody can rename it any more: a running image can be renamed and another
// file put under its name before that, and that file must not be installed.
bool HeldFileIsRunningImage();

// Whether the file open as handle is the file now at path: the same volume
// serial number and file index. False when either cannot be asked.
bool IsFileAt(HANDLE handle, const std::wstring& path);

// Copies the held file, from its first byte to its last, to target, replacing
// a file there: ERROR_SUCCESS, or the system error number of the step that
// failed (ERROR_INVALID_HANDLE when nothing is held, ERROR_FILE_INVALID when
// the held file is not the running image). Never reads the file by its name.
// A failed copy leaves no partial target behind.
DWORD CopyOwnExecutableTo(const std::wstring& target);
