#include "install/ChildProcess.h"

#include "common/UniqueHandle.h"
#include "install/CommandLines.h"
#include "net/DownloadAbort.h"
#include "platform/RunLog.h"
#include "platform/SystemFolders.h"

#include <windows.h>

#include <vector>

namespace {

// Short enough that a Cancel is seen at once, long enough to cost nothing.
constexpr DWORD kSliceMilliseconds = 100;

// A job that ends what it holds when it is closed: a cancelled child's own
// children (the archive tool under the command interpreter) go with it.
unique_handle KillOnCloseJob() {
    unique_handle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job)
        return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        job.reset();
    return job;
}

ChildEnd StartAndWait(const wchar_t* applicationName, const std::wstring& commandLine,
                      const wchar_t* currentDirectory, const DownloadAbort* cancel) {
    ChildEnd end;
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(applicationName, writable.data(), nullptr, nullptr, FALSE,
                          CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, currentDirectory, &startup, &info)) {
        LogEvent(L"process: " + commandLine + L": not started, error " + std::to_wstring(::GetLastError()));
        return end;
    }
    unique_process_information process{unique_handle(info.hProcess), unique_handle(info.hThread)};
    end.started = true;
    const unique_handle job = cancel ? KillOnCloseJob() : unique_handle();
    const bool inJob = job && ::AssignProcessToJobObject(job.get(), process.process.get());
    ::ResumeThread(process.thread.get());
    process.thread.reset();

    for (;;) {
        const DWORD waited =
            ::WaitForSingleObject(process.process.get(), cancel ? kSliceMilliseconds : INFINITE);
        if (waited == WAIT_OBJECT_0)
            break;
        if (waited != WAIT_TIMEOUT)
            return end;
        if (cancel && cancel->Requested()) {
            if (inJob)
                ::TerminateJobObject(job.get(), ERROR_CANCELLED);
            else
                ::TerminateProcess(process.process.get(), ERROR_CANCELLED);
            ::WaitForSingleObject(process.process.get(), 5000);
            LogEvent(L"process: " + commandLine + L": stopped, the run was cancelled");
            return end;
        }
    }
    DWORD exitCode = 1;
    end.ended = ::GetExitCodeProcess(process.process.get(), &exitCode) != FALSE;
    end.exitCode = exitCode;
    if (end.ended)
        LogEvent(L"process: " + commandLine + L": exit code " + std::to_wstring(exitCode));
    return end;
}

} // namespace

ChildEnd RunChild(const std::wstring& programPath, const std::wstring& commandLine,
                  const std::wstring& workingFolder, const DownloadAbort* cancel) {
    return StartAndWait(programPath.c_str(), commandLine,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), cancel);
}

void KillProcess(const std::wstring& exeName) {
    const std::wstring system = SystemFolderPath();
    RunChild(system + L"\\taskkill.exe", KillCommandLine(system, exeName), system);
}
