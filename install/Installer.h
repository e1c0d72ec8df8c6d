#pragma once
#include "install/RunProgress.h"
#include "profile/ProductVersion.h"
#include "settings/SettingsStore.h"

#include <atomic>
#include <cstdint>
#include <functional>

// Installs the application end to end, without a window: install folder,
// archive tool, package download and unpacking, shortcuts, uninstall entry,
// prerequisites, and the installation record. The window runs Install on a
// worker thread, polls GetProgress and may call Cancel from its own thread.
class Installer {
  public:
    explicit Installer(const ProductVersion& offered);
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    // Runs the whole sequence on the calling thread. Returns at 100, or early
    // after a cancellation (the progress keeps its last value). Ends the
    // process, after a message, when the install folder cannot be created or
    // the package cannot be downloaded.
    void Install();
    std::int32_t GetProgress() const;
    // Asks the sequence to stop at its next check and a running download to
    // stop after its current block.
    void Cancel();

    // See RunProgress::SetObserver.
    void SetProgressObserver(std::function<void(std::int32_t)> observer);

  private:
    void SetStepProgress(std::int32_t windows10, std::int32_t earlier);
    bool CancelRequested() const;
    void DownloadPackage();
    void WriteUninstallEntry();
    void RemoveOlderDriver();

    RunProgress progress;
    ProductVersion version;
    SettingsStore settings;
    std::atomic<bool> cancelRequested{false};
};
