#pragma once
// The moment an upgrade replaces what is installed. Until it, the new version
// is only a staging folder beside the install folder; during it, a journal
// below the maker's machine key records what the old version was, so that a
// failure, or a run that finds the journal after a power cut, puts it back.
#include "profile/ProductProfile.h"

#include <cstdint>
#include <string>

// The folders one switch moves, each ending in a backslash; empty when there
// is none. All lie on the install folder's volume, so each move is a rename.
struct SwitchFolders {
    std::wstring installDir;   // where the new version goes and the old one is
    std::wstring staging;      // the new version, unpacked and checked
    std::wstring aside;        // where the old folder waits until the new one is recorded
    std::wstring tessaroDir;   // an installation of the second brand, replaced too
    std::wstring tessaroAside; //   and where it waits
};

// "<install folder>.staging\": beside the install folder, in the maker folder.
std::wstring StagingFolderFor(const std::wstring& installDir);
// A sibling of folder named "<folder>.previous\" (numbered when that name is
// taken by a leftover that cannot be removed).
std::wstring AsideFolderFor(const std::wstring& folder);

// The first file below folder that could not be deleted now: opened for
// deletion without sharing that, it is refused while another process holds
// it open without delete sharing. A folder rename would not tell (Wine lets a
// folder with an open file be renamed). Empty path: every file can go.
struct BlockedFile {
    std::wstring path;
    std::uint32_t error = 0;
};
BlockedFile FirstUndeletableFile(const std::wstring& folder);

// Moves one folder to another name on its volume; false, and nothing moved,
// when the system refuses. Paths end in a backslash.
bool MoveFolder(const std::wstring& from, const std::wstring& to);

namespace switch_journal {

// Records the switch about to begin: the folders, and copies of the records
// the switch rewrites (both brands' settings keys and uninstall entries, the
// run-once values) and of the shortcut files it replaces. False when the
// journal could not be written: then the switch must not begin.
bool Begin(const ProductProfile& profile, const SwitchFolders& folders);

// Whether a journal is there: a switch began and was neither finished nor
// undone.
bool Pending(const ProductProfile& profile);

// Puts the old version back as the journal recorded it: the folder the
// switch moved in goes, the old folders return, the saved records and
// shortcuts are written back; then the journal goes. Nothing without a
// journal.
void Undo(const ProductProfile& profile);

// The new version is recorded complete: the journal goes, the old version
// is left to be deleted.
void Finish(const ProductProfile& profile);

} // namespace switch_journal

// For the start of a run: a switch left half done (the power went in the
// middle) is undone before anything decides on the records. True when one
// was.
bool RecoverInterruptedSwitch(const ProductProfile& profile);
