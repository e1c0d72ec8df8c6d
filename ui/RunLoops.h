#pragma once
// The user-interface side of an install or uninstall run: the worker does the
// work, this thread keeps the window alive and moves the progress bar.
#include "install/RunPlan.h"
#include "ui/InstallerWindow.h"
#include "ui/WorkerRun.h"

#include <windows.h>

#include <functional>

// Dispatches every message waiting for this thread, the installer window's
// keys through its keyboard interface.
void PumpMessages();

// Lets the given time pass while dispatching messages as they arrive. The
// thread sleeps in between instead of spinning on the clock.
void WaitPumping(DWORD milliseconds);

// Dispatches messages until the worker's work has returned.
void WaitPumpingUntilFinished(const WorkerRun& worker);

// Moves the progress bar (none: nothing is drawn) toward the run's progress,
// at most one point per pass of at least 50 ms, so even a run that finishes at
// once shows about five seconds of progress. Ends when the bar is full, when
// stop() holds at the start of a pass, or when the worker has returned and
// the bar has caught up with its last value (so a run that returns without
// reporting 100 cannot hold the window for ever). Returns the bar's value.
int AnimateProgressBar(const WorkerRun& worker, const std::function<int()>& progress,
                       const std::function<bool()>& stop, HWND bar = nullptr);

// Runs the planned install or upgrade (the executor) on a worker thread
// behind the installing screen, with a new install session. Returns when the install has finished, or, after
// a Cancel, once the bar has dropped to 0, two seconds have passed and the cancelled run has removed what it
// staged behind the uninstalling screen; true then. A run that fails never returns: its worker posts
// kInstallRunReturned, whose handling tells the failure and ends the process.
bool RunInstall(InstallerWindow& w, PlannedRun run);

// A failed install run (its result is in the window's install session) is
// told and ends the process; the run has already put back what was there.
// Anything else returns at once.
void EndIfInstallRunFailed(InstallerWindow& w);

// Runs an uninstall on a worker thread behind the uninstalling screen and
// returns when it has finished. It cannot be cancelled.
void RunUninstall(InstallerWindow& w);
