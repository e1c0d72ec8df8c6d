// The planted wininet.dll's one export, the function the control program
// imports; loading it leaves the marker (planted_dll_main.cpp).
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI InternetGetConnectedState(LPDWORD flags, DWORD) {
    if (flags)
        *flags = 0;
    return FALSE;
}
