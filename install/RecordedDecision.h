#pragma once
// The opening decision (DecideInstallState) on the installation records as
// they are now: what the window's first screen offers and what "-silent" does.
#include "install/InstallState.h"
#include "profile/ProductProfile.h"

InstallDecision DecisionForRecords(const ProductProfile& profile, bool uninstallMode,
                                   const ProductVersion& installed, const ProductVersion& offered);
