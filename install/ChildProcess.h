#pragma once
#include <cstdint>
#include <string>

class DownloadAbort;

// Child processes of the install engine: started without a console window.
// Nothing is reported; a program that cannot be started is simply skipped.

// What became of one child process.
struct ChildEnd {
    bool started = false;
    bool ended = false; // ran to its own end; false when it was stopped on a cancel
    std::uint32_t exitCode = 0;
    bool Succeeded() const { return ended && exitCode == 0; }
};

// Runs programPath (a full path: no search at all) with commandLine in
// workingFolder (empty: the installer's own), and waits for it in short
// slices. When cancel is given and requested meanwhile, the program and every
// process it started are ended and the wait returns at once. The engine never
// changes the process-wide current directory, so each child names its own.
ChildEnd RunChild(const std::wstring& programPath, const std::wstring& commandLine,
                  const std::wstring& workingFolder, const DownloadAbort* cancel = nullptr);

// Forcibly ends every process whose image name is exeName, through the System
// folder's taskkill run in the System folder, and waits until taskkill has
// finished.
void KillProcess(const std::wstring& exeName);
