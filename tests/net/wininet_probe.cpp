// Reports which wininet.dll a program built on the installer's code has
// loaded: writes the module's full path (UTF-16) to the file named by its
// argument. It uses the downloader, so WinINet has been bound by then.
#include "net/Downloader.h"

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2)
        return 2;
    Downloader::IsConnected();
    wchar_t path[MAX_PATH] = {};
    const HMODULE module = ::GetModuleHandleW(L"wininet.dll");
    const DWORD n = module ? ::GetModuleFileNameW(module, path, MAX_PATH) : 0;
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out)
        return 1;
    std::fwrite(path, sizeof(wchar_t), n, out);
    std::fclose(out);
    return 0;
}
