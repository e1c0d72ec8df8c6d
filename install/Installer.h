#pragma once
#include "common/Outcome.h"
#include "install/InstallSession.h"
#include "profile/ProductVersion.h"
#include "settings/SettingsStore.h"

#include <optional>
#include <string>

// Installs the application end to end, without a window: install folder,
// archive tool, package download and unpacking, shortcuts, uninstall entry,
// prerequisites, and the installation record. The window runs Install on a
// worker thread with a session of its own, polls the session's progress and
// may cancel it from its own thread.
//
// packageSha256 is the package's hash as the manifest states it
// (ManifestPackageHash), nothing when it states none. When given, the
// downloaded package must have that SHA-256 before anything of it is unpacked
// or run; the session's package check says how that went.
class Installer {
  public:
    Installer(const ProductVersion& offered, InstallSession& session,
              std::optional<std::wstring> packageSha256 = std::nullopt);
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    // Runs the whole sequence on the calling thread. Returns at 100, or early
    // after a cancellation (the progress keeps its last value; the outcome is
    // a success); a cancellation after the progress has reached 100 is
    // refused by the session. Fails, and stops at once, when the install
    // folder cannot be created, the package cannot be downloaded, or it does
    // not unpack into the application. Fails too when the package is not the
    // one the stated hash names: then the package, the archive tool and the
    // begun installation record are removed again, and the install folder too
    // when that leaves it empty.
    Outcome Install();

  private:
    void SetStepProgress(std::int32_t windows10, std::int32_t earlier);
    Outcome DownloadPackage();
    Outcome CheckPackage(const std::wstring& package);
    void RemoveUnverifiedInstall();
    void WriteUninstallEntry();
    void RemoveOlderDriver();

    ProductVersion version;
    std::optional<std::wstring> packageSha256;
    InstallSession& session;
    SettingsStore settings;
};
