#pragma once
// Which opening screen the installer window shows and what its main button
// does, decided from the installation records and the two versions. Pure: the
// only outside effect is reading the records through the given reader.
#include "profile/ProductVersion.h"

#include <cstdint>
#include <functional>
#include <string>

// The window keeps one of these and its button actions move it on; the numbers
// are fixed.
enum class InstallState { Fresh = 0, Uninstall = 1, Replace = 2, Cancelled = 3, Done = 4 };

enum class InstallerScreen {
    Welcome,
    UninstallWelcome,
    IncompleteInstall,
    OldVersionInstalled,
    NewerVersionInstalled
};

struct InstallDecision {
    InstallState state;
    InstallerScreen screen;

    bool operator==(const InstallDecision& other) const {
        return state == other.state && screen == other.screen;
    }
    bool operator!=(const InstallDecision& other) const { return !(*this == other); }
};

// "IsInstalled" of a maker folder (InstallRecord).
// In the program: the settings store's GetIsInstalled.
using InstallStatusReader = std::function<std::uint32_t(const std::wstring& makerFolder)>;

// The record of `maker` is read first; that of `otherMaker` only when the
// first holds none. An unfinished installation of either asks for a
// replacement before uninstall mode or the versions count; otherwise equal
// version texts (two empty ones included) offer the uninstall, an installed
// version newer than the offered one leaves nothing to do, and anything else
// is replaced.
InstallDecision DecideInstallState(const InstallStatusReader& readStatus, const std::wstring& maker,
                                   const std::wstring& otherMaker, bool uninstallMode,
                                   const ProductVersion& installed, const ProductVersion& offered);
