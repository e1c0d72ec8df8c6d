#pragma once
#include "install/InstallState.h"
#include "ui/WindowFlow.h"

#include <optional>

// The window's own state. User-interface thread only.
struct WindowState {
    // Where the screens are; only NextWindowStep changes it.
    WindowFlowState flow;
    // The opening decision last written to the log.
    std::optional<InstallDecision> loggedDecision;
};
