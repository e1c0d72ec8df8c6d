#pragma once
#include "common/Outcome.h"
#include "install/InstallSession.h"
#include "install/InstallSwitch.h"
#include "install/RunResult.h"
#include "profile/ProductProfile.h"
#include "profile/ProductVersion.h"
#include "settings/SettingsStore.h"

#include <optional>
#include <string>

// Installs the application end to end, without a window, in two halves.
// First the new version is made ready beside the install folder, in a
// staging folder on the same volume: archive tool, package download (checked
// against the manifest's hash when it states one) and unpacking. Nothing of
// an installed version, of either brand, is touched meanwhile. Then the
// switch: the application is stopped, the old folders move aside, the staged
// one moves in, the shortcuts, the uninstall entry and the records are
// written, the prerequisites run; the old version is deleted only once the
// new one is recorded complete. The window runs Install on a worker thread
// with a session of its own, polls the session's progress and may cancel it
// from its own thread; a cancel is obeyed until the switch begins.
//
// packageSha256 is the package's hash as the manifest states it
// (ManifestPackageHash), nothing when it states none.
class Installer {
  public:
    Installer(const ProductProfile& profile, const ProductVersion& offered, InstallSession& session,
              std::optional<std::wstring> packageSha256 = std::nullopt);
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    // Runs the whole sequence on the calling thread. Completed at 100.
    // Cancelled, or Failed with what failed (the install folder not
    // creatable, the package not downloaded, not the one the hash names, not
    // unpacking into the application, a file of the installed version in
    // use, a move refused): then the staging folder and the package are gone
    // and whatever was installed before is as it was, records, uninstall
    // entry and shortcuts included; a fresh install leaves nothing.
    RunResult Install();

  private:
    void SetStepProgress(std::int32_t windows10, std::int32_t earlier);
    Outcome DownloadPackage();
    Outcome CheckPackage(const std::wstring& package);
    RunResult Abandon(RunResult result);
    RunResult Switch();
    void WriteUninstallEntry();
    bool RunPrerequisites();
    bool RemovePrevious();

    const ProductProfile& profile;
    ProductVersion version;
    std::optional<std::wstring> packageSha256;
    InstallSession& session;
    SettingsStore settings;
    SwitchFolders folders;
    bool replacing = false; // an installation of either brand is recorded
};
