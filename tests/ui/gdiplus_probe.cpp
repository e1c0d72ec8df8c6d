// Reports which gdiplus.dll the window's code loads: starts GDI+ the way the
// window does and writes the module's full path (UTF-16) to the file named by
// its argument.
#include "ui/GdiPlusApi.h"

#include "LoadedModuleReport.h"

int wmain(int argc, wchar_t** argv) {
    return ReportLoadedModule(argc, argv, L"gdiplus.dll", [] { GdiPlusApi::Start(); });
}
