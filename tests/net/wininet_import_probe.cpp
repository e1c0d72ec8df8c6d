// The control case: a program that imports WinINet the ordinary way. Writes
// the full path of the wininet.dll it got (UTF-16) to the file named by its
// argument.
#include <windows.h>
#include <wininet.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2)
        return 2;
    DWORD flags = 0;
    ::InternetGetConnectedState(&flags, 0);
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
