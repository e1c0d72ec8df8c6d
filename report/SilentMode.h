#pragma once

// Whether the installer runs unattended ("-silent"): no window, no message
// box, exit codes that say how the run ended. Set once at start-up, before any
// other thread exists; read from any thread.
void SetSilentMode(bool silent);
bool SilentMode();
