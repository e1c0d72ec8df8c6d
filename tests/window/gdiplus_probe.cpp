// Reports which gdiplus.dll the window's code loads: starts GDI+ the way the
// window does and writes the module's full path (UTF-16) to the file named by
// its argument.
#include "app/GdiPlusApi.h"

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2)
        return 2;
    GdiPlusApi::Start();
    wchar_t path[MAX_PATH] = {};
    const HMODULE module = ::GetModuleHandleW(L"gdiplus.dll");
    const DWORD n = module ? ::GetModuleFileNameW(module, path, MAX_PATH) : 0;
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out)
        return 1;
    std::fwrite(path, sizeof(wchar_t), n, out);
    std::fclose(out);
    return 0;
}
