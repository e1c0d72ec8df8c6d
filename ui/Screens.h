#pragma once
// The screens of the installer window: which controls show and what they say.
// The layout never changes; a screen is a set of texts and visibilities.
// User-interface thread only.
#include "install/InstallState.h"
#include "ui/InstallerWindow.h"

#include <string>

// The five opening screens.
void ShowWelcomeScreen(InstallerWindow& w);
void ShowUninstallWelcomeScreen(InstallerWindow& w);
void ShowIncompleteInstallScreen(InstallerWindow& w);
void ShowOldVersionScreen(InstallerWindow& w);
void ShowNewerVersionScreen(InstallerWindow& w);
// The one that goes with the decision's screen.
void ShowOpeningScreen(InstallerWindow& w, InstallerScreen screen);

// Writes the decision to the log unless it is the one last written.
void LogDecisionForRecords(InstallerWindow& w, const InstallDecision& decision);

// The screens while a run is under way.
void ShowInstallingScreen(InstallerWindow& w);
void ShowUninstallingScreen(InstallerWindow& w);

// The last screen of every run: the message and the Finish button, with the
// launch box after a successful install.
void ShowFinishScreen(InstallerWindow& w, const std::wstring& message, bool launchBox);

// Makes the language picked in the combo current and remembered, and sets
// every text of the window again in it, keeping the screen on view.
void ApplyLanguageChoice(InstallerWindow& w);
