#pragma once
// The installer window's procedure: every button, key, timer and notice of a
// run becomes an event of NextWindowStep, whose effects are carried out here.
// The window has one message loop, the program's; nothing here waits.
#include "ui/InstallerWindow.h"
#include "ui/WindowFlow.h"

#include <windows.h>

// Posted to the window by an install run's worker when the run has returned;
// the run's outcome is in the window's install session.
constexpr UINT kInstallRunReturned = WM_APP + 1;

LRESULT CALLBACK InstallerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Takes the event: the window's next state, then its effects in order.
void HandleWindowEvent(InstallerWindow& w, const WindowEvent& event);

// Reads the installation records and hands the decision to the window.
void ReadRecords(InstallerWindow& w);

// Opens the profile's release notes on its download server in the user's browser; does
// nothing when the server's address is not a web address (IsWebAddress).
void OpenReleaseNotes(const ProductProfile& profile);

// Starts the installed application elevated.
void LaunchApplication(const ProductProfile& profile);
