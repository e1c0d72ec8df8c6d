#pragma once
// Readable failure messages for decisions.
#include "install/InstallState.h"

#include <ostream>

inline void PrintTo(const InstallDecision& d, std::ostream* os) {
    static const char* const states[] = {"Fresh", "Uninstall", "Replace", "Cancelled", "Done"};
    static const char* const screens[] = {"Welcome", "UninstallWelcome", "IncompleteInstall",
                                          "OldVersionInstalled", "NewerVersionInstalled"};
    *os << "(" << states[static_cast<int>(d.state)] << ", " << screens[static_cast<int>(d.screen)] << ")";
}
