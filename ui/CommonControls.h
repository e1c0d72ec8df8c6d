#pragma once

// Makes sure the progress bar's window class ("msctls_progress32") exists.
// It belongs to comctl32, which the installer does not import: comctl32 is
// not among the libraries Windows always takes from the System folder, so it
// is loaded here by full path and its initialisation called by name. Without
// it the progress bar is simply missing.
void RegisterProgressBarClass();
