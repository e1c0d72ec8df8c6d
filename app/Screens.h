#pragma once
// The screens of the installer window: which controls show and what they say.
// The layout never changes; a screen is a set of texts and visibilities.
// User-interface thread only.
#include "app/InstallState.h"

#include <string>

// The five opening screens.
void ShowWelcomeScreen();
void ShowUninstallWelcomeScreen();
void ShowIncompleteInstallScreen();
void ShowOldVersionScreen();
void ShowNewerVersionScreen();
// The one that goes with the decision's screen; remembered as the opening
// screen on view.
void ShowOpeningScreen(InstallerScreen screen);

// The screens while a run is under way; they leave the idle mode for good.
void ShowInstallingScreen();
void ShowUninstallingScreen();

// The last screen of every run: the message and the Finish button. The launch
// box shows only after a successful install (install state Fresh). Moves the
// install state to Done.
void ShowFinishScreen(const std::wstring& message);

// Makes the language picked in the combo current and remembered, and sets
// every text of the window again in it, keeping the screen on view.
void ApplyLanguageChoice();
