#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The GDI functions the window draws with. The installer does not import
// gdi32: it loads it by full path from the System folder and resolves these
// by name before the entry point runs, so a gdi32.dll planted beside the
// installer is never used. If the library or any of the functions cannot be
// resolved, the process ends (exit code 0) before anything can call through
// an empty entry.
struct GdiFunctions {
    COLORREF(WINAPI* setTextColor)(HDC, COLORREF) = nullptr;
    int(WINAPI* setBkMode)(HDC, int) = nullptr;
    HGDIOBJ(WINAPI* selectObject)(HDC, HGDIOBJ) = nullptr;
    HGDIOBJ(WINAPI* getStockObject)(int) = nullptr;
    int(WINAPI* getDeviceCaps)(HDC, int) = nullptr;
    HBRUSH(WINAPI* createSolidBrush)(COLORREF) = nullptr;
    HFONT(WINAPI* createFontIndirectW)(const LOGFONTW*) = nullptr;
};

// Loads the library at libraryPath and resolves all seven functions; nothing
// when the library or any one of them is missing. A library once loaded stays
// loaded for the life of the process.
std::optional<GdiFunctions> ResolveGdiFunctions(const std::wstring& libraryPath);

// Makes the functions the ones every GdiApi call goes through; with nothing to
// install it ends the process with exit code 0.
void InstallGdiFunctionsOrEnd(const std::optional<GdiFunctions>& functions);

// The window's GDI calls, through the installed functions.
namespace GdiApi {
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetStockObject(int object);
int GetDeviceCaps(HDC dc, int index);
HBRUSH CreateSolidBrush(COLORREF color);
HFONT CreateFontIndirectW(const LOGFONTW* font);
} // namespace GdiApi
