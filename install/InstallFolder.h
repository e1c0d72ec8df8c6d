#pragma once
// The install folder around a run: made before it, the installer copied into
// it after it, the application started from it.
#include "common/Outcome.h"
#include "profile/ProductProfile.h"

#include <string>

// Makes sure the profile's install folder exists, creating missing parents.
// InstallFolderNotCreated when it cannot be created.
Outcome EnsureInstallFolder(const ProductProfile& profile);

// Puts a copy of the running installer into the install folder under the
// profile's installedCopyName, replacing an older copy; the uninstall entry
// points at it. The copy is made from the file held since start-up
// (HoldOwnExecutable). CopyNotMade when it could not be made: the
// installation itself is complete, but the system's program list will not
// find its uninstaller.
Outcome CopySelfToInstallFolder(const ProductProfile& profile);

// The application to start after an install: the short executable name if it
// exists in the install folder, otherwise the full one.
std::wstring ApplicationToLaunch(const ProductProfile& profile);
