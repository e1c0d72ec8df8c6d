// Entry point of the installer.
#include "app/StartupOptions.h"
#include "profile/ProductProfile.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR commandLine, int /*showCommand*/) {
    // Take the current directory out of the DLL search and restrict later
    // loads to System32: the installer is usually started from a downloads
    // folder, where anybody may have left a DLL with a system name.
    ::SetDllDirectoryW(L"");
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    const StartupOptions options = ParseCommandLine(commandLine ? commandLine : L"");
    Profile().InitProductProfile(options.serverBaseUrl);
    return 0;
}
