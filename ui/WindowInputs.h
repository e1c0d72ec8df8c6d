#pragma once
#include "profile/ProductVersion.h"

#include <optional>
#include <string>

// What the start-up sequence hands the window, worked out once before it is
// created: whether the command line asked for the uninstall, the version the
// server offers and the version recorded as installed, and the package hash
// the server's manifest states, if any.
struct WindowInputs {
    bool uninstallMode = false;
    ProductVersion offeredVersion;
    ProductVersion installedVersion;
    std::optional<std::wstring> packageSha256;
};
