// Stands in for a system DLL that somebody left beside a program: it does
// nothing but leave a marker file ("<its own path>.loaded") when it is loaded.
// Each planted DLL adds the one function its control program imports.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH + 16] = {};
        const DWORD n = ::GetModuleFileNameW(instance, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            lstrcatW(path, L".loaded");
            const HANDLE marker = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (marker != INVALID_HANDLE_VALUE)
                ::CloseHandle(marker);
        }
    }
    return TRUE;
}
