#include "profile/VersionManifest.h"

#include "common/ProcessExit.h"
#include "net/Downloader.h"
#include "profile/ManifestVersion.h"
#include "profile/ProductProfile.h"
#include "settings/InstallRecord.h"
#include "settings/SettingsStore.h"

std::wstring FetchAvailableVersion(bool uninstallMode) {
    const SettingsStore store;
    if (uninstallMode)
        return store.GetCurrentVersion().Get();
    // Only a completed installation may go without the server, and only
    // while offline; otherwise the server is asked even when the system
    // reports no connection (the downloader then says so).
    if (store.GetIsInstalled(Profile().brandName()) == InstallRecord::Complete && !Downloader::IsConnected())
        return store.GetCurrentVersion().Get();

    std::wstring text;
    if (!Downloader::DownloadText(L"config/", Profile().manifestFileName(), text))
        EndProcess();
    return ManifestVersion(text);
}
