#pragma once
// The installer window's procedure and the actions of its buttons and links.
#include "ui/InstallerWindow.h"

#include <windows.h>

// Posted to the window by an install run's worker when the run has returned;
// the run's outcome is in the window's install session.
constexpr UINT kInstallRunReturned = WM_APP + 1;
// Posted to the window by a paint while no run has started: look at the
// installation records again.
constexpr UINT kLookAtRecords = WM_APP + 2;

LRESULT CALLBACK InstallerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The main button, whatever it says: install, uninstall, replace, OK or Finish.
void InstallButtonPressed(InstallerWindow& w);

// Cancel: ends the program unless an install is running, which it cancels.
void CancelPressed(InstallerWindow& w);

// Opens the release notes on the download server in the user's browser; does
// nothing when the server's address is not a web address (IsWebAddress).
void OpenReleaseNotes();

// Starts the installed application elevated.
void LaunchApplication();
