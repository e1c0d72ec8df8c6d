#pragma once
// The user-interface side of an install or uninstall run: the worker does the
// work, this thread keeps the window alive and moves the progress bar.
#include "app/WorkerRun.h"

#include <windows.h>

class Installer;

// Dispatches every message waiting for this thread.
void PumpMessages();

// Lets the given time pass while dispatching messages as they arrive. The
// thread sleeps in between instead of spinning on the clock.
void WaitPumping(DWORD milliseconds);

// Dispatches messages until the worker's work has returned.
void WaitPumpingUntilFinished(const WorkerRun& worker);

// Runs the install on a worker thread behind the installing screen. Returns
// when the install has finished or, after a Cancel, once the cancelled run
// has returned and its remains have been removed (through a synchronous
// press of the install button, which finds the state Cancelled).
void RunInstall(Installer& installer);

// Runs an uninstall on a worker thread behind the uninstalling screen and
// returns when it has finished. It cannot be cancelled.
void RunUninstall();
