// Reports which gdiplus.dll a program that imports GDI+ the ordinary way
// loads: writes the module's full path (UTF-16) to the file named by its
// argument.
#include <windows.h>

#include <cstdint>

#include "LoadedModuleReport.h"

extern "C" int WINAPI GdiplusStartup(ULONG_PTR* token, const void* input, void* output);

int wmain(int argc, wchar_t** argv) {
    return ReportLoadedModule(argc, argv, L"gdiplus.dll", [] {
        // Imported the ordinary way: resolved before the program runs.
        struct {
            std::uint32_t version = 1;
            void* callback = nullptr;
            BOOL noThread = FALSE;
            BOOL noCodecs = FALSE;
        } input;
        ULONG_PTR token = 0;
        GdiplusStartup(&token, &input, nullptr);
    });
}
