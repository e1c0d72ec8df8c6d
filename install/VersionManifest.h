#pragma once
#include "common/Outcome.h"
#include "profile/ProductProfile.h"

#include <optional>
#include <string>

// The version of the application that the download server offers, read from
// the manifest in the server's "config/" folder. Called once during start-up.
//
// uninstallMode is the start-up option of the same name: when it is set the
// recorded version is taken without asking the server. A completed
// installation on an offline machine also takes its recorded version. The
// outcome is the manifest download's; on a failure version is left as it was.
// packageSha256, when given, receives the package hash the manifest states
// (ManifestPackageHash); it is left empty when no manifest was read.
Outcome FetchAvailableVersion(const ProductProfile& profile, bool uninstallMode, std::wstring& version,
                              std::optional<std::wstring>* packageSha256 = nullptr);
