#pragma once
#include "install/InstallSession.h"
#include "profile/ProductProfile.h"

// Removes an installation of either brand, without a window: stops the
// application, deletes the install folders and the loose files of the maker
// folders above them (and a maker folder left empty), removes the shortcuts
// and the registry records. Each
// step does what it can; nothing is reported and the run cannot be cancelled.
// The window runs RemoveInstallation on a worker thread and polls the
// session's progress until it reads 100.
class Uninstaller {
  public:
    Uninstaller(const ProductProfile& profile, InstallSession& session)
        : profile(profile), session(session) {}
    Uninstaller(const Uninstaller&) = delete;
    Uninstaller& operator=(const Uninstaller&) = delete;

    // Runs the whole sequence on the calling thread; the progress is 100 when
    // it returns, also when there was nothing to remove.
    void RemoveInstallation();

  private:
    const ProductProfile& profile;
    InstallSession& session;
};
