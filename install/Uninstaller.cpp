#include "install/Uninstaller.h"

#include "install/ChildProcess.h"
#include "install/FolderRemoval.h"
#include "install/InstallSwitch.h"
#include "install/MakerFolder.h"
#include "install/Shortcuts.h"
#include "profile/ProductProfile.h"
#include "settings/SettingsStore.h"

#include <windows.h>

namespace {

template <typename Step> void RunStep(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

} // namespace

void Uninstaller::RemoveInstallation() {
    const SettingsStore settings(profile);

    // A record holding 0 or a negative number means the registry is not ours
    // to act on. The run still ends at 100, which is what the window waits for.
    bool recorded = false;
    RunStep([&] {
        recorded = static_cast<std::int32_t>(settings.GetIsInstalled(profile.brandName())) > 0 ||
                   static_cast<std::int32_t>(settings.GetIsInstalled(profile.otherBrand().brandName)) > 0;
    });
    if (!recorded) {
        session.SetProgress(100);
        return;
    }

    session.SetProgress(20);
    for (const std::wstring& exe : profile.applicationExeNames())
        RunStep([&] { KillProcess(exe); });

    session.SetProgress(40);
    RunStep([&] { RemoveFolder(settings.GetInstallPath()); });
    RunStep([&] { RemoveFolder(settings.GetTessaroInstallPath()); });
    // What an upgrade that was ended abruptly may have left beside the folder.
    RunStep([&] { RemoveFolder(StagingFolderFor(profile.installDir()), 0); });

    // The maker folders keep their other products; their loose files go, and
    // a maker folder left empty goes too.
    const auto clearMakerFolder = [&](const std::wstring& installPath) {
        const std::wstring maker = MakerFolderOf(installPath, profile.productFolderName());
        DeleteFilesIn(maker);
        RemoveFolderIfEmpty(maker);
    };
    RunStep([&] { clearMakerFolder(settings.GetInstallPath()); });
    RunStep([&] { clearMakerFolder(settings.GetTessaroInstallPath()); });

    session.SetProgress(60);
    RunStep([this] { RemoveShortcuts(profile); });
    RunStep([&] { settings.RemoveRegistration(); });

    session.SetProgress(100);
}
