#include "app/StartupLog.h"

#include "common/UniqueHandle.h"
#include "platform/FileSystem.h"
#include "platform/RunLog.h"
#include "platform/SystemLibrary.h"
#include "profile/ProductProfile.h"

#include <windows.h>

namespace {

// RtlGetVersion tells the version the system really runs: it is not subject
// to the compatibility shims that GetVersionEx answers through.
struct NtdllFunctions {
    static constexpr const wchar_t* kLibrary = L"ntdll.dll";

    LONG(WINAPI* rtlGetVersion)(OSVERSIONINFOW*) = nullptr;

    bool BindFrom(const SystemLibrary& library) { return library.Bind("RtlGetVersion", rtlGetVersion); }
};

std::wstring WindowsVersionText() {
    const NtdllFunctions* ntdll = SystemFunctions<NtdllFunctions>();
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!ntdll || ntdll->rtlGetVersion(&info) != 0)
        return L"unknown";
    return std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion) + L"." +
           std::to_wstring(info.dwBuildNumber);
}

std::wstring ElevationText() {
    unique_handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return L"unknown";
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
        return L"unknown";
    return elevation.TokenIsElevated ? L"yes" : L"no";
}

// Where whoever started the installer reads what went wrong before any log:
// a deployment tool, or a console the output was redirected from.
void TellOnStandardError(const std::wstring& text) {
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE)
        return;
    const std::wstring line = text + L"\r\n";
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (size <= 0)
        return;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace

std::wstring OpenStartupLog(const StartupOptions& options) {
    if (options.logPath.empty())
        return std::wstring();
    const std::wstring path = FullPath(options.logPath);
    std::wstring refusal;
    if (!OpenRunLog(path, &refusal)) {
        // Both processes ask the same of the same path; the first one, whose
        // output its starter sees, says why the run goes on without a log.
        if (!refusal.empty())
            TellOnStandardError(Profile().moduleFileName() + L": the log " + path + L" is refused (" +
                                refusal + L"); the run goes on without it");
        return path;
    }
    LogEvent(L"start: " + Profile().installerTitle() + L" " + InstallerOwnVersion() + L" (" +
             Profile().modulePath() + L"), command line: " + options.commandLine + L", Windows " +
             WindowsVersionText() + L", elevated: " + ElevationText());
    return path;
}
