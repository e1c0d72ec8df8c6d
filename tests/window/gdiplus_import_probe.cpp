// Reports which gdiplus.dll a program that imports GDI+ the ordinary way
// loads: writes the module's full path (UTF-16) to the file named by its
// argument.
#include <windows.h>

#include <cstdint>
#include <cstdio>

extern "C" int WINAPI GdiplusStartup(ULONG_PTR* token, const void* input, void* output);

int wmain(int argc, wchar_t** argv) {
    if (argc != 2)
        return 2;
    // Imported the ordinary way: resolved before the program runs.
    struct {
        std::uint32_t version = 1;
        void* callback = nullptr;
        BOOL noThread = FALSE;
        BOOL noCodecs = FALSE;
    } input;
    ULONG_PTR token = 0;
    GdiplusStartup(&token, &input, nullptr);
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
