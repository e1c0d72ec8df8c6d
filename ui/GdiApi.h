#pragma once
#include "platform/SystemLibrary.h"

#include <windows.h>

// The GDI functions the window draws with. The installer does not import
// gdi32: it binds it by full path from the System folder and resolves these
// by name, so a gdi32.dll planted beside the installer is never used. The
// program's start binds them before anything can draw, and ends the process
// (exit code 0) when they cannot be bound.
struct GdiFunctions {
    static constexpr const wchar_t* kLibrary = L"gdi32.dll";

    COLORREF(WINAPI* setTextColor)(HDC, COLORREF) = nullptr;
    int(WINAPI* setBkMode)(HDC, int) = nullptr;
    HGDIOBJ(WINAPI* selectObject)(HDC, HGDIOBJ) = nullptr;
    HGDIOBJ(WINAPI* getStockObject)(int) = nullptr;
    int(WINAPI* getDeviceCaps)(HDC, int) = nullptr;
    HBRUSH(WINAPI* createSolidBrush)(COLORREF) = nullptr;
    HFONT(WINAPI* createFontIndirectW)(const LOGFONTW*) = nullptr;

    bool BindFrom(const SystemLibrary& library);
};

// Returns when functions is a bound table; with none it ends the process
// with exit code 0, before a window could be drawn without them.
void RequireGdiOrEnd(const GdiFunctions* functions);

// The window's GDI calls, through the process-wide table; each returns its
// failure value (0 or null) when gdi32 could not be bound.
namespace GdiApi {
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetStockObject(int object);
int GetDeviceCaps(HDC dc, int index);
HBRUSH CreateSolidBrush(COLORREF color);
HFONT CreateFontIndirectW(const LOGFONTW* font);
} // namespace GdiApi
