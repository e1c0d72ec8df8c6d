#include "app/Elevation.h"

#include "app/TempRelaunchName.h"
#include "common/UniqueHandle.h"
#include "i18n/TranslationCatalog.h"
#include "platform/FileSystem.h"
#include "profile/ProductProfile.h"
#include "ui/ProcessExit.h"
#include "ui/UserMessage.h"

#include <windows.h>
#include <shellapi.h>

#include <exception>

namespace {

// Enough names for every process id a leftover folder could carry; past this
// something is planting names faster than we can count and we give up.
constexpr unsigned long kMaxNameAttempts = 4096;

struct SidTraits {
    static PSID Invalid() { return nullptr; }
    static void Close(PSID sid) { ::FreeSid(sid); }
};
using unique_sid = UniqueHandle<PSID, SidTraits>;

[[noreturn]] void FailWith(const std::wstring& text) {
    ShowUserMessage(text, Catalog().Translate(L"IDS_TITLE_ERROR"));
    EndProcess();
}

// The long form of a path (8.3 parts expanded); the path itself when that fails.
std::wstring LongPath(const std::wstring& path) {
    const DWORD needed = ::GetLongPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0)
        return path;
    std::wstring result(needed, L'\0');
    const DWORD length = ::GetLongPathNameW(path.c_str(), result.data(), needed);
    if (length == 0 || length >= needed)
        return path;
    result.resize(length);
    return result;
}

} // namespace

std::wstring UserTempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();
    return std::wstring(buffer, length);
}

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
                            const std::wstring& moduleFileName, const std::wstring& tempFolder) {
    // A root-relative or empty folder (what some C runtimes make of a
    // temporary name) would count every path as inside it and silently skip
    // the relaunch.
    if (!IsFullyQualifiedFolder(tempFolder))
        FailWith(Catalog().Translate(L"temp_name_error"));

    const std::wstring runFolder = FolderPart(TemporaryName(tempFolder, TemporaryNameToken(0, 0)));
    // The long forms too: if the folder came in its 8.3 form and the copy saw
    // its own path in the long form, every copy would start another one.
    if (RunsFromFolder(modulePath, runFolder) || RunsFromFolder(LongPath(modulePath), LongPath(runFolder)))
        return;

    std::wstring target;
    try {
        const FreshFolder folder = CreateFreshTempFolder(tempFolder, ::GetCurrentProcessId(), 0);
        if (folder.status == FreshFolder::Status::NoFreeName)
            FailWith(Catalog().Translate(L"temp_name_error"));
        if (folder.status == FreshFolder::Status::Failed)
            FailWith(FolderErrorMessage(Catalog().Translate(L"error_creating_folder"), folder.error));
        target = folder.path + L"\\" + moduleFileName;
    } catch (const std::exception&) {
        FailWith(Catalog().Translate(L"error_creating_folder"));
    }

    if (!::CopyFileW(modulePath.c_str(), target.c_str(), TRUE))
        FailWith(CopyErrorMessage(Catalog().Translate(L"copy_error"), ::GetLastError()));

    // "runas" asks for elevation; a refusal simply leaves no copy running.
    ::ShellExecuteW(nullptr, L"runas", target.c_str(), commandLine.c_str(), nullptr, SW_SHOWNORMAL);
    EndProcess();
}

void RelaunchFromTemp(const std::wstring& commandLine) {
    RelaunchFromTempFolder(commandLine, Profile().modulePath(), Profile().moduleFileName(), UserTempFolder());
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
        ShowUserMessage(Catalog().Translate(L"admin_installer", {Profile().productName()}),
                        Catalog().Translate(L"admin_title"));
    return passed;
}
