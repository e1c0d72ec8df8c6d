#include "install/InstallState.h"

#include "settings/InstallRecord.h"

InstallDecision DecideInstallState(const InstallStatusReader& readStatus, const std::wstring& maker,
                                   const std::wstring& otherMaker, bool uninstallMode,
                                   const ProductVersion& installed, const ProductVersion& offered) {
    std::uint32_t status = readStatus(maker);
    if (status == InstallRecord::None) {
        status = readStatus(otherMaker);
        if (status == InstallRecord::None)
            return {InstallState::Fresh, InstallerScreen::Welcome};
    }
    if (status != InstallRecord::Complete)
        return {InstallState::Replace, InstallerScreen::IncompleteInstall};
    // Uninstall mode only counts once an installation is known to be whole.
    if (uninstallMode)
        return {InstallState::Uninstall, InstallerScreen::UninstallWelcome};
    // Exact text equality, before the emptiness test: "1.0" and "1.00" differ,
    // and two empty versions offer the uninstall.
    if (installed.Get() == offered.Get())
        return {InstallState::Uninstall, InstallerScreen::UninstallWelcome};
    if (installed.IsEmpty())
        return {InstallState::Replace, InstallerScreen::OldVersionInstalled};
    if (offered.Compare(installed) < 0)
        return {InstallState::Done, InstallerScreen::NewerVersionInstalled};
    return {InstallState::Replace, InstallerScreen::OldVersionInstalled};
}
