// The control case: a program that imports WinINet the ordinary way. Writes
// the full path of the wininet.dll it got (UTF-16) to the file named by its
// argument.
#include <windows.h>
#include <wininet.h>

#include "LoadedModuleReport.h"

int wmain(int argc, wchar_t** argv) {
    return ReportLoadedModule(argc, argv, L"wininet.dll", [] {
        DWORD flags = 0;
        ::InternetGetConnectedState(&flags, 0);
    });
}
