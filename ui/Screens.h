#pragma once
// The screens of the installer window: which controls show and what they say.
// The layout never changes; a screen is a set of texts and visibilities.
// User-interface thread only.
#include "ui/InstallState.h"
#include "ui/InstallerWindow.h"

#include <string>

// The five opening screens.
void ShowWelcomeScreen(InstallerWindow& w);
void ShowUninstallWelcomeScreen(InstallerWindow& w);
void ShowIncompleteInstallScreen(InstallerWindow& w);
void ShowOldVersionScreen(InstallerWindow& w);
void ShowNewerVersionScreen(InstallerWindow& w);
// The one that goes with the decision's screen; remembered as the opening
// screen on view.
void ShowOpeningScreen(InstallerWindow& w, InstallerScreen screen);

// The opening decision (DecideInstallState) on the records as they are now.
InstallDecision DecisionForRecords(const WindowInputs& inputs);

// Reads the installation records afresh, decides (DecideInstallState) and
// shows the opening screen that goes with the decision. Only while no run has
// started.
void ShowOpeningScreenForRecords(InstallerWindow& w);

// The screens while a run is under way; they leave the idle mode for good.
void ShowInstallingScreen(InstallerWindow& w);
void ShowUninstallingScreen(InstallerWindow& w);

// The last screen of every run: the message and the Finish button. The launch
// box shows only after a successful install (install state Fresh). Moves the
// install state to Done.
void ShowFinishScreen(InstallerWindow& w, const std::wstring& message);

// Makes the language picked in the combo current and remembered, and sets
// every text of the window again in it, keeping the screen on view.
void ApplyLanguageChoice(InstallerWindow& w);
