#pragma once
#include "install/RunProgress.h"

#include <cstdint>
#include <functional>

// Removes an installation of either brand, without a window: stops the
// application, deletes the install folders and the loose files of the maker
// folders above them, removes the shortcuts and the registry records. Each
// step does what it can; nothing is reported and the run cannot be cancelled.
// The window runs RemoveInstallation on a worker thread and polls GetProgress
// until it reads 100.
class Uninstaller {
  public:
    Uninstaller() = default;
    Uninstaller(const Uninstaller&) = delete;
    Uninstaller& operator=(const Uninstaller&) = delete;

    // Runs the whole sequence on the calling thread; the progress is 100 when
    // it returns, also when there was nothing to remove.
    void RemoveInstallation();
    std::int32_t GetProgress() const;

    // See RunProgress::SetObserver.
    void SetProgressObserver(std::function<void(std::int32_t)> observer);

  private:
    RunProgress progress;
};
