#include "install/VersionManifest.h"

#include "net/Downloader.h"
#include "profile/ManifestPackageHash.h"
#include "profile/ManifestVersion.h"
#include "profile/ProductProfile.h"
#include "settings/InstallRecord.h"
#include "settings/SettingsStore.h"

Outcome FetchAvailableVersion(const ProductProfile& profile, bool uninstallMode, std::wstring& version,
                              std::optional<std::wstring>* packageSha256) {
    if (packageSha256)
        packageSha256->reset();
    const SettingsStore store(profile);
    // Only a completed installation may go without the server, and only
    // while offline; otherwise the server is asked even when the system
    // reports no connection (the downloader then says so).
    if (uninstallMode || (store.GetIsInstalled(profile.brandName()) == InstallRecord::Complete &&
                          !Downloader::IsConnected())) {
        version = store.GetCurrentVersion().Get();
        return {};
    }
    std::wstring text;
    Outcome downloaded =
        Downloader(profile.serverFolderUrl()).DownloadText(L"config/", profile.manifestFileName(), text);
    if (downloaded.Succeeded()) {
        version = ManifestVersion(text);
        if (packageSha256)
            *packageSha256 = ManifestPackageHash(text);
    }
    return downloaded;
}
