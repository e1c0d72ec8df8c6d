#pragma once
// How a run of the installer ends, and the exit code that tells it. Free of
// <windows.h>.
#include <cstdint>

enum class RunEnd {
    Success,        // done, or nothing to do
    Cancelled,      // cancelled, or the elevation prompt refused
    Failed,         // a failure the run cannot go on from
    AlreadyRunning, // another copy holds the single-instance guard
    NewerInstalled, // a newer version is installed: nothing was changed
    RestartNeeded,  // done; a restart finishes what a prerequisite or a file in use left
};

// In silent mode, the codes deployment tools know from Windows Installer:
// 0, 1602, 1603, 1618, 1638 and 3010. An interactive run ends with 0 however it
// ends, as it always has.
std::uint32_t ExitCodeFor(RunEnd end, bool silent);
