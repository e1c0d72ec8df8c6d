#pragma once
#include "common/Outcome.h"
#include "install/InstallSession.h"
#include "profile/ProductVersion.h"
#include "settings/SettingsStore.h"

// Installs the application end to end, without a window: install folder,
// archive tool, package download and unpacking, shortcuts, uninstall entry,
// prerequisites, and the installation record. The window runs Install on a
// worker thread with a session of its own, polls the session's progress and
// may cancel it from its own thread.
class Installer {
  public:
    Installer(const ProductVersion& offered, InstallSession& session);
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    // Runs the whole sequence on the calling thread. Returns at 100, or early
    // after a cancellation (the progress keeps its last value; the outcome is
    // a success); a cancellation after the progress has reached 100 is
    // refused by the session. Fails, and stops at once, when the install
    // folder cannot be created, the package cannot be downloaded, or it does
    // not unpack into the application.
    Outcome Install();

  private:
    void SetStepProgress(std::int32_t windows10, std::int32_t earlier);
    Outcome DownloadPackage();
    void WriteUninstallEntry();
    void RemoveOlderDriver();

    ProductVersion version;
    InstallSession& session;
    SettingsStore settings;
};
