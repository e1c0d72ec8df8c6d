#include "install/RecordedDecision.h"

#include "settings/SettingsStore.h"

InstallDecision DecisionForRecords(const ProductProfile& profile, bool uninstallMode,
                                   const ProductVersion& installed, const ProductVersion& offered) {
    const SettingsStore settings(profile);
    return DecideInstallState(
        [&settings](const std::wstring& maker) { return settings.GetIsInstalled(maker); },
        profile.brandName(), profile.otherBrand().brandName, uninstallMode, installed, offered);
}
