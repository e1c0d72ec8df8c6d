#include "app/StartupLog.h"

#include "common/UniqueHandle.h"
#include "platform/FileSystem.h"
#include "platform/RunLog.h"
#include "profile/ProductProfile.h"

#include <windows.h>

namespace {

// The version the system really runs: RtlGetVersion is not subject to the
// compatibility shims that GetVersionEx answers through.
std::wstring WindowsVersionText() {
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                                           reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                                     : nullptr;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0)
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

} // namespace

std::wstring OpenStartupLog(const StartupOptions& options) {
    if (options.logPath.empty())
        return std::wstring();
    const std::wstring path = FullPath(options.logPath);
    if (!OpenRunLog(path))
        return path;
    LogEvent(L"start: " + Profile().installerTitle() + L" " + InstallerOwnVersion() + L" (" +
             Profile().modulePath() + L"), command line: " + options.commandLine + L", Windows " +
             WindowsVersionText() + L", elevated: " + ElevationText());
    return path;
}
