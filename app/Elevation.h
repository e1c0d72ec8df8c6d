#pragma once
#include <string>

// Running rights and where the running installer lies.

// Every start from outside the user's temporary-files folder copies the
// installer into a new folder there, starts the copy with the "runas" verb and
// the given command line, and ends this process: at once, or in silent mode
// once the copy has ended, with the copy's exit code (1602 when elevation is
// refused). Returns only in the process that goes on (the one already running
// from the temporary-files folder). Failures are told (EndWith) and
// end the process (exit code 0, 1603 in silent mode).
void RelaunchFromTemp(const std::wstring& commandLine, bool silent);

// True when the calling thread's token has the Administrators group enabled
// (under User Account Control: when the process runs elevated). Tells the user
// when it does not. True without a test when the group's SID cannot be built.
bool IsRunningAsAdmin();

// The pieces of RelaunchFromTemp, with the environment spelled out for tests.

struct FreshFolder {
    enum class Status { Created, NoFreeName, Failed };
    Status status = Status::Failed;
    std::wstring path;       // the folder created (Created)
    unsigned long error = 0; // system error number (Failed)
};

// Creates tempFolder with any missing parents, then a new folder inside it
// under a temporary name, trying running numbers from firstSequence on. A name
// that is already taken (a folder or file planted there beforehand) is never
// reused: the next number is tried.
FreshFolder CreateFreshTempFolder(const std::wstring& tempFolder, unsigned long processId,
                                  unsigned long firstSequence);

// RelaunchFromTemp for the given executable and temporary-files folder.
void RelaunchFromTempFolder(const std::wstring& commandLine, const std::wstring& modulePath,
                            const std::wstring& moduleFileName, const std::wstring& tempFolder,
                            bool silent = false);
