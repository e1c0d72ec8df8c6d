#pragma once
#include <string>

// Child processes of the install engine: started without a console window and
// waited for without a time limit. Nothing is reported; a program that cannot
// be started is simply skipped.

// Runs commandLine (its first token names the program) with the installer's
// environment and current directory, and waits for it to end.
void RunAndWait(const std::wstring& commandLine);

// Like RunAndWait, with the program given by full path (no search at all) and
// an explicit current directory (empty: the installer's own). True when the
// program ran and ended with exit code 0.
bool RunProgramAndWait(const std::wstring& programPath, const std::wstring& commandLine,
                       const std::wstring& currentDirectory);

// Forcibly ends every process whose image name is exeName, through the System
// folder's taskkill, and waits until taskkill has finished.
void KillProcess(const std::wstring& exeName);
