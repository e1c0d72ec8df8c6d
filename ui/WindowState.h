#pragma once
#include "ui/InstallState.h"

// What the installer window is doing: idle on an opening screen, or showing
// an install or uninstall run. It leaves Idle with the first run and never
// returns to it.
enum class ActivityMode { Idle = 0, Installing = 1, Uninstalling = 2 };

// The window's own state. User-interface thread only.
struct WindowState {
    // What the main button does; set by the opening decision, the finish
    // screen and the button actions.
    InstallState installState = InstallState::Fresh;
    ActivityMode activityMode = ActivityMode::Idle;
    // The opening screen last chosen by the opening decision.
    InstallerScreen openingScreen = InstallerScreen::Welcome;
    // Whether a close request ends the program: only on a finish screen.
    bool canClose = false;
    // A look at the records is already on its way (kLookAtRecords).
    bool decisionPending = false;
    // A failed install run is being told; the process ends after it.
    bool failureTold = false;
};
