#pragma once
#include "profile/ProductVersion.h"

// What the start-up sequence hands the window, worked out once before it is
// created: whether the command line asked for the uninstall, the version the
// server offers and the version recorded as installed.
struct WindowInputs {
    bool uninstallMode = false;
    ProductVersion offeredVersion;
    ProductVersion installedVersion;
};
