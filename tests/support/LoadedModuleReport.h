#pragma once
// The body of a probe program: reports which copy of a DLL the program has
// loaded by writing the module's full path (UTF-16) to the file named by its
// one argument, after load() has made the program use the DLL.
#include <windows.h>

#include <cstdio>

template <typename Load> int ReportLoadedModule(int argc, wchar_t** argv, const wchar_t* dll, Load load) {
    if (argc != 2)
        return 2;
    load();
    wchar_t path[MAX_PATH] = {};
    const HMODULE module = ::GetModuleHandleW(dll);
    const DWORD n = module ? ::GetModuleFileNameW(module, path, MAX_PATH) : 0;
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out)
        return 1;
    std::fwrite(path, sizeof(wchar_t), n, out);
    std::fclose(out);
    return 0;
}
