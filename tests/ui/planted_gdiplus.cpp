// The planted gdiplus.dll's one export, the function the control program
// imports; loading it leaves the marker (planted_dll_main.cpp).
#include <windows.h>

// GenericError: the caller gets no GDI+.
extern "C" __declspec(dllexport) int WINAPI GdiplusStartup(ULONG_PTR*, const void*, void*) {
    return 1;
}
