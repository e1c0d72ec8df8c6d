#pragma once
// What the window does with the install folder itself, apart from the
// install and uninstall runs.
#include <string>

// Makes sure the profile's install folder exists, creating missing parents.
// If it cannot be created, tells the user and ends the process (exit code 0).
void EnsureInstallFolder();

// Puts a copy of the running installer into the install folder under the
// profile's installedCopyName, replacing an older copy; the uninstall entry
// points at it. Returns
// false, after telling the user, when the copy could not be made: the
// installation itself is complete, but the system's program list will not
// find its uninstaller.
bool CopySelfToInstallFolder();

// The application to start after an install: the short executable name if it
// exists in the install folder, otherwise the full one.
std::wstring ApplicationToLaunch();
