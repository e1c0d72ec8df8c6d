#pragma once
#include "app/StartupOptions.h"

#include <string>

// Opens the log the command line asked for ("-log <file>") and logs the start:
// the installer's version, the command line, the Windows version and whether
// the process runs elevated. A relative path is taken against the current
// folder, the one the installer was started from. Returns the absolute path,
// which the relaunched copy is given; empty when no log was asked for. A log
// that cannot be opened changes nothing else: the run goes on without it.
std::wstring OpenStartupLog(const StartupOptions& options);
