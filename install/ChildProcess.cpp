#include "install/ChildProcess.h"

#include "common/UniqueHandle.h"
#include "install/CommandLines.h"
#include "platform/SystemFolders.h"

#include <windows.h>

#include <vector>

namespace {

// True when the program ran and ended with exit code 0.
bool StartAndWait(const wchar_t* applicationName, const std::wstring& commandLine,
                  const wchar_t* currentDirectory) {
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(applicationName, writable.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, currentDirectory, &startup, &info))
        return false;
    unique_process_information process{unique_handle(info.hProcess), unique_handle(info.hThread)};
    process.thread.reset();
    DWORD exitCode = 1;
    return ::WaitForSingleObject(process.process.get(), INFINITE) == WAIT_OBJECT_0 &&
           ::GetExitCodeProcess(process.process.get(), &exitCode) && exitCode == 0;
}

} // namespace

void RunAndWait(const std::wstring& commandLine) {
    StartAndWait(nullptr, commandLine, nullptr);
}

bool RunProgramAndWait(const std::wstring& programPath, const std::wstring& commandLine,
                       const std::wstring& currentDirectory) {
    return StartAndWait(programPath.c_str(), commandLine,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str());
}

void KillProcess(const std::wstring& exeName) {
    const std::wstring system = SystemFolderPath();
    RunProgramAndWait(system + L"\\taskkill.exe", KillCommandLine(system, exeName), std::wstring());
}
