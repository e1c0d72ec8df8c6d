#pragma once
// How one install or uninstall run ended. Free of <windows.h>.
#include "common/Outcome.h"

enum class RunStatus {
    Completed, // done, and recorded
    Cancelled, // the user cancelled: what was there before is as it was
    Failed,    // outcome says what failed: what was there before is as it was
};

struct RunResult {
    RunStatus status = RunStatus::Completed;
    Outcome outcome; // the failure, for Failed
    // A prerequisite asked for a restart (3010, 1641), or a file of the old
    // version is left to be deleted when Windows next starts.
    bool restartNeeded = false;

    static RunResult Done(bool restartNeeded = false) { return {RunStatus::Completed, {}, restartNeeded}; }
    static RunResult Stopped() { return {RunStatus::Cancelled, {}, false}; }
    static RunResult FailedWith(Outcome outcome) { return {RunStatus::Failed, std::move(outcome), false}; }
};
