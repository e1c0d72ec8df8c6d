#pragma once
// What a silent run does about the installation it finds: the opening
// decision of the window, taken without a user. Free of <windows.h>.
#include "ui/ExitCodes.h"
#include "ui/InstallState.h"

#include <string>

enum class SilentAction {
    Install,            // nothing installed
    ReplaceThenInstall, // an older or incomplete installation of either brand: replaced once the new one is
                        // ready
    Uninstall,          // "-uninstall": remove whatever is there, also nothing
    NothingToDo,        // the offered version is installed
    NewerInstalled,     // a newer version is installed: leave it alone
};

SilentAction SilentActionFor(const InstallDecision& decision, bool uninstallMode);

// How a silent run that does nothing ends; Success for the others.
RunEnd SilentEndWithoutRun(SilentAction action);

// "install", "uninstall", ...: the action as the log names it.
std::wstring SilentActionName(SilentAction action);

// The opening decision as the log names it, with the versions behind it:
// "nothing installed (offered 2.2.0.1, installed none)".
std::wstring DescribeDecision(const InstallDecision& decision, const std::wstring& offered,
                              const std::wstring& installed);
