#pragma once
// What one run of the installer does, planned before it starts from the
// opening decision and the way it runs. Pure and free of <windows.h>: the
// window and the silent run ask here, and one executor (RunExecutor) carries
// the plan out for both.
#include "install/InstallState.h"

#include <string>

enum class RunMode {
    Window, // the user sees the decision and presses its button
    Silent, // "-silent": the decision is taken at once, without a user
};

enum class PlannedRun {
    Install,        // nothing installed: staged, then switched in
    Upgrade,        // an older or incomplete installation of either brand: replaced once the new one is ready
    Uninstall,      // removes whatever is there, also nothing
    NothingToDo,    // the offered version is installed
    NewerInstalled, // a newer version is installed: left alone
};

// For the window, decision is the state its button acts in (the opening
// decision, as the screen shows it): "-uninstall" is already in it, so an
// incomplete installation is still replaced. A silent "-uninstall" removes
// whatever it finds.
PlannedRun PlanRun(const InstallDecision& decision, RunMode mode, bool uninstallMode);

// "install", "uninstall", ...: the plan as the log names it.
std::wstring PlannedRunName(PlannedRun run);

// The opening decision as the log names it, with the versions behind it:
// "nothing installed (offered 2.2.0.1, installed none)".
std::wstring DescribeDecision(const InstallDecision& decision, const std::wstring& offered,
                              const std::wstring& installed);
