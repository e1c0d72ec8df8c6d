#pragma once
#include "app/StartupOptions.h"
#include "profile/ProductVersion.h"

// The values the start-up sequence works out once and the window reads: what
// the command line asked for, the version the server offers and the version
// recorded as installed. Written on the user-interface thread before the
// window exists; read-only afterwards.
struct ProcessState {
    StartupOptions options;
    ProductVersion offeredVersion;
    ProductVersion installedVersion;
};

// The process-wide values.
ProcessState& Process();
