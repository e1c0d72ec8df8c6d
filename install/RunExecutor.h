#pragma once
#include "install/InstallSession.h"
#include "install/RunPlan.h"
#include "install/RunResult.h"
#include "profile/ProductProfile.h"
#include "profile/ProductVersion.h"

#include <optional>
#include <string>

// What an install needs to know of the server: the offered version and the
// package's hash as the manifest states it.
struct Offer {
    ProductVersion version;
    std::optional<std::wstring> packageSha256;
};

// Carries one planned run out on the calling thread, for the window (on its
// worker) and the silent run alike, reporting progress to the session and
// obeying its cancel. An install or upgrade is the staged Installer, an
// uninstall the Uninstaller (which cannot be cancelled and always
// completes); a plan that changes nothing completes at once.
RunResult ExecutePlan(const ProductProfile& profile, PlannedRun run, const Offer& offer,
                      InstallSession& session);
