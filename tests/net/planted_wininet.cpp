// Stands in for a wininet.dll that somebody left beside a program: it does
// nothing but leave a marker file ("<its own path>.loaded") when it is loaded,
// and exports the one function the control program imports.
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

extern "C" __declspec(dllexport) BOOL WINAPI InternetGetConnectedState(LPDWORD flags, DWORD) {
    if (flags)
        *flags = 0;
    return FALSE;
}
