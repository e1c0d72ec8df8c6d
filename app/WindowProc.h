#pragma once
// The installer window's procedure and the actions of its buttons and links.
#include <windows.h>

LRESULT CALLBACK InstallerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The main button, whatever it says: install, uninstall, replace, OK or Finish.
void InstallButtonPressed();

// Cancel: ends the program unless an install is running, which it cancels.
void CancelPressed();

// Opens the release notes on the download server in the user's browser.
void OpenReleaseNotes();

// Starts the installed application elevated.
void LaunchApplication();
