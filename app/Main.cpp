// Entry point of the installer: the start-up sequence, then the window's
// message loop, or in silent mode the run without a window. Every way out of
// an interactive run ends the process with exit code 0.
#include "app/Elevation.h"
#include "app/SilentRun.h"
#include "app/SingleInstance.h"
#include "app/StartupChecks.h"
#include "app/StartupLog.h"
#include "app/StartupOptions.h"
#include "i18n/LanguageSelection.h"
#include "i18n/TranslationCatalog.h"
#include "install/InstallSwitch.h"
#include "install/VersionManifest.h"
#include "net/WinInetApi.h"
#include "platform/OwnExecutable.h"
#include "platform/RunLog.h"
#include "platform/SystemFolders.h"
#include "profile/ProductProfile.h"
#include "report/OutcomeReport.h"
#include "report/ProcessExit.h"
#include "report/SilentMode.h"
#include "settings/SettingsStore.h"
#include "ui/GdiApi.h"
#include "ui/InstallerWindow.h"
#include "ui/Keyboard.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR commandLine, int showCommand) {
    // Take the current directory out of the DLL search and restrict later
    // loads to System32: the installer is usually started from a downloads
    // folder, where anybody may have left a DLL with a system name.
    ::SetDllDirectoryW(L"");
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Bound while this is the only thread: the window cannot draw without
    // GDI, and WinINet is then in place before any worker asks for it.
    RequireGdiOrEnd(SystemFunctions<GdiFunctions>());
    WinInet();
    // The relaunched copy runs from a folder of the user's: from here on
    // nobody may rename or replace the running file, which the install copies
    // as the uninstaller. Held by the name the running image has now, and
    // compared with the image itself, so a file put under the image's first
    // name is never taken for it.
    HoldOwnExecutable(RunningImagePath());

    const StartupOptions options = ParseCommandLine(commandLine ? commandLine : L"");
    Profile().InitProductProfile(options.serverBaseUrl);
    const ProductProfile& profile = Profile();
    const SettingsStore settings(profile);
    SetSilentMode(options.silent);
    const std::wstring logPath = OpenStartupLog(options);

    // The relaunch may have to tell of a failure, in the user's language.
    Catalog().LoadAll();
    PreviewStartupLanguage(settings);
    // Only the copy in the temporary-files folder comes back from here.
    RelaunchFromTemp(CommandLineForCopy(options, logPath), options.silent);
    // A file that is not the running program is never installed: the run
    // stops before it changes anything.
    if (!options.uninstallMode && !HeldFileIsRunningImage()) {
        LogEvent(L"failure: the file held as the installer is not the running program");
        EndWith({Failure::CopyNotMade, {profile.modulePath()}, ERROR_FILE_INVALID});
    }
    // Windows keeps a process's current directory from being removed or
    // moved: whatever folder the copy was started in, it works from the
    // System folder. The engine itself never changes it; its child programs
    // are each given their own working folder.
    ::SetCurrentDirectoryW(SystemFolderPath().c_str());

    // Named after the running file, so the guard applies to copies of the
    // same download, not to differently named installers.
    if (!AcquireSingleInstance(profile.moduleFileName())) {
        LogEvent(L"failure: another copy of the installer is running");
        EndProcess(RunEnd::AlreadyRunning);
    }

    // Also the probe that the registry is writable; the rights check comes
    // after it so that its message is already in the user's language.
    CheckStartupRights(ChooseStartupLanguage(settings));

    // A switch to a new version that a power cut left half done is undone
    // first: the records then show the old version, which is offered again.
    if (RecoverInterruptedSwitch(profile))
        LogEvent(L"decision: an interrupted upgrade was undone");

    std::wstring offered;
    std::optional<std::wstring> packageSha256;
    // A manifest that cannot be read leaves nothing to offer.
    EndUnlessSucceeded(FetchAvailableVersion(profile, options.uninstallMode, offered, &packageSha256));
    const WindowInputs inputs{options.uninstallMode, ProductVersion(offered), settings.GetInstalledVersion(),
                              packageSha256};
    if (options.silent)
        RunSilently(profile, inputs);
    InstallerWindow window(profile, inputs);

    // Registering the class loads its name, string resource 109.
    RegisterInstallerWindowClass(instance);
    if (!CreateInstallerWindow(window, instance, showCommand))
        EndProcess();

    MSG message;
    // -1 is an error, not a message: stop rather than dispatch garbage.
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchLoopMessage(message);
    // The window posts its quit message with 0; a quit message of any other
    // origin must not change the exit code either.
    EndProcess();
}
