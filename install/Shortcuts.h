#pragma once
#include "profile/ProductProfile.h"

#include <string>
#include <vector>

// The application's shortcuts: Helmview.lnk on the desktop of the user the
// installer runs as, and directly in the Start menu's Programs folder shared by
// all users. Nothing here is reported, and nothing stops the calling sequence.

// Both shortcuts, targeting installDir + "Helmview.exe" when that file exists,
// else installDir + "NorvaleSSDHelmview.exe"; working folder installDir; icon 0
// of the target. Existing files of those names are replaced.
void CreateShortcuts(const ProductProfile& profile);

// Deletes the two shortcuts above and the desktop shortcuts earlier product
// names and the second brand may have left.
void RemoveShortcuts(const ProductProfile& profile);

// The desktop folder and the common Programs folder, each with a trailing
// backslash; empty when the system cannot name it.
std::wstring DesktopFolder();
std::wstring CommonProgramsFolder();

// Every shortcut file RemoveShortcuts deletes, in its order (only those whose
// folder is known).
std::vector<std::wstring> ShortcutPathsToRemove(const ProductProfile& profile);
