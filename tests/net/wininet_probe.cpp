// Reports which wininet.dll a program built on the installer's code has
// loaded: writes the module's full path (UTF-16) to the file named by its
// argument. It uses the downloader, so WinINet has been bound by then.
#include "net/Downloader.h"

#include "LoadedModuleReport.h"

int wmain(int argc, wchar_t** argv) {
    return ReportLoadedModule(argc, argv, L"wininet.dll", [] { Downloader::IsConnected(); });
}
