#pragma once
#include "profile/ProductProfile.h"
#include "ui/WindowInputs.h"

// The installer without a window ("-silent"): decides from the records what
// the window's opening screen would offer, does it without asking, and ends
// the process with the exit code that says how it went (ExitCodeFor). Every
// message goes to the log instead of a box; the application is not launched.
[[noreturn]] void RunSilently(const ProductProfile& profile, const WindowInputs& inputs);
