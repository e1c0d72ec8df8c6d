#include "app/Elevation.h"

#include "app/TempRelaunchName.h"
#include "common/UniqueHandle.h"
#include "platform/FileSystem.h"
#include "platform/OwnExecutable.h"
#include "platform/RunLog.h"
#include "platform/SystemFolders.h"
#include "profile/ProductProfile.h"
#include "report/OutcomeReport.h"
#include "report/ProcessExit.h"

#include <windows.h>
#include <shellapi.h>

#include <exception>

namespace {

// Enough names for every process id a leftover folder could carry; past this
// something is planting names faster than we can count and we give up.
constexpr unsigned long kMaxNameAttempts = 4096;

// Starts the copy with the "runas" verb, which asks for elevation. An
// interactive start ends at once; a silent one waits for the copy and ends
// with its exit code, so that whoever started it learns the real result.
[[noreturn]] void StartCopy(const std::wstring& target, const std::wstring& commandLine, bool silent) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | (silent ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.lpVerb = L"runas";
    info.lpFile = target.c_str();
    info.lpParameters = commandLine.c_str();
    info.nShow = SW_SHOWNORMAL;
    const std::wstring described = L"\"" + target + L"\" " + commandLine;
    if (!::ShellExecuteExW(&info)) {
        const DWORD error = ::GetLastError();
        // A refusal simply leaves no copy running.
        LogEvent(L"process: " + described + L": not started, error " + std::to_wstring(error) +
                 (error == ERROR_CANCELLED ? L" (elevation refused)" : L""));
        EndProcess(error == ERROR_CANCELLED ? RunEnd::Cancelled : RunEnd::Failed);
    }
    if (!silent) {
        LogEvent(L"process: " + described + L": started");
        EndProcess();
    }
    // Without the copy's handle its result cannot be waited for: a deployment
    // tool must not read a success it was never told of.
    if (!info.hProcess) {
        LogEvent(L"process: " + described + L": started, but not to be waited for");
        EndProcess(RunEnd::Failed);
    }
    const unique_handle copy(info.hProcess);
    // A start from the install folder (the uninstall entry's quiet command)
    // would otherwise keep that folder as this process's current directory,
    // and its held file there, and the copy could remove neither.
    ::SetCurrentDirectoryW(SystemFolderPath().c_str());
    ReleaseOwnExecutable();
    ::WaitForSingleObject(copy.get(), INFINITE);
    DWORD code = 0;
    if (!::GetExitCodeProcess(copy.get(), &code))
        code = ExitCodeFor(RunEnd::Failed, true);
    LogEvent(L"process: " + described + L": exit code " + std::to_wstring(code));
    EndProcessWithCode(code);
}

} // namespace

FreshFolder CreateFreshTempFolder(const std::wstring& tempFolder, unsigned long processId,
                                  unsigned long firstSequence) {
    FreshFolder result;
    if (const DWORD error = CreateFolderTree(tempFolder)) {
        result.error = error;
        return result;
    }
    for (unsigned long i = 0; i < kMaxNameAttempts; ++i) {
        const std::wstring name = TemporaryName(tempFolder, TemporaryNameToken(processId, firstSequence + i));
        // CreateDirectoryW never opens an existing folder: failing with
        // ERROR_ALREADY_EXISTS is what tells us the name was taken, possibly
        // by somebody who wants us to run their files.
        if (::CreateDirectoryW(name.c_str(), nullptr)) {
            result.status = FreshFolder::Status::Created;
            result.path = name;
            return result;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
            result.error = error;
            return result;
        }
    }
    result.status = FreshFolder::Status::NoFreeName;
    return result;
}

void RelaunchFromTempFolder(const std::wstring& commandLine, const std::wstring& modulePath,
                            const std::wstring& moduleFileName, const std::wstring& tempFolder, bool silent) {
    // A root-relative or empty folder (what some C runtimes make of a
    // temporary name) would count every path as inside it and silently skip
    // the relaunch.
    if (!IsFullyQualifiedFolder(tempFolder))
        EndWith({Failure::TempNameUnavailable});

    const std::wstring runFolder = FolderPart(TemporaryName(tempFolder, TemporaryNameToken(0, 0)));
    // The long forms too: if the folder came in its 8.3 form and the copy saw
    // its own path in the long form, every copy would start another one.
    if (RunsFromFolder(modulePath, runFolder) || RunsFromFolder(LongPath(modulePath), LongPath(runFolder)))
        return;

    std::wstring target;
    try {
        const FreshFolder folder = CreateFreshTempFolder(tempFolder, ::GetCurrentProcessId(), 0);
        if (folder.status == FreshFolder::Status::NoFreeName)
            EndWith({Failure::TempNameUnavailable});
        if (folder.status == FreshFolder::Status::Failed)
            EndWith({Failure::TempFolderNotCreated, {}, static_cast<std::uint32_t>(folder.error)});
        target = folder.path + L"\\" + moduleFileName;
    } catch (const std::exception&) {
        EndWith({Failure::TempFolderNotCreated});
    }

    if (!::CopyFileW(modulePath.c_str(), target.c_str(), TRUE)) {
        const DWORD error = ::GetLastError();
        EndWith({Failure::TempCopyNotMade, {}, error});
    }
    StartCopy(target, commandLine, silent);
}

void RelaunchFromTemp(const std::wstring& commandLine, bool silent) {
    RelaunchFromTempFolder(commandLine, Profile().modulePath(), Profile().moduleFileName(), UserTempFolder(),
                           silent);
}

bool IsRunningAsAdmin() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    unique_sid administrators;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                    0, 0, 0, 0, 0, administrators.put()))
        return true;
    BOOL member = FALSE;
    const bool passed = ::CheckTokenMembership(nullptr, administrators.get(), &member) && member;
    if (!passed)
        Tell({Failure::NotAdministrator, {Profile().productName()}});
    return passed;
}
