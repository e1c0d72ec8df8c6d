#include "app/GdiApi.h"

#include "common/ProcessExit.h"
#include "profile/SystemFolderPath.h"

namespace {

GdiFunctions installed;

template <typename Fn> bool Resolve(HMODULE library, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
    return slot != nullptr;
}

// Before the entry point: the table is complete before any code can draw.
[[maybe_unused]] const bool gdiReady = [] {
    InstallGdiFunctionsOrEnd(ResolveGdiFunctions(SystemFolderPath() + L"\\gdi32.dll"));
    return true;
}();

} // namespace

std::optional<GdiFunctions> ResolveGdiFunctions(const std::wstring& libraryPath) {
    // Never released: the functions are used until the process ends.
    HMODULE library = ::LoadLibraryW(libraryPath.c_str());
    if (!library)
        return std::nullopt;
    GdiFunctions f;
    const bool all =
        Resolve(library, "SetTextColor", f.setTextColor) && Resolve(library, "SetBkMode", f.setBkMode) &&
        Resolve(library, "SelectObject", f.selectObject) && Resolve(library, "MoveToEx", f.moveToEx) &&
        Resolve(library, "LineTo", f.lineTo) && Resolve(library, "GetStockObject", f.getStockObject) &&
        Resolve(library, "GetDeviceCaps", f.getDeviceCaps) &&
        Resolve(library, "CreateSolidBrush", f.createSolidBrush) &&
        Resolve(library, "CreateFontIndirectW", f.createFontIndirectW);
    if (!all)
        return std::nullopt;
    return f;
}

void InstallGdiFunctionsOrEnd(const std::optional<GdiFunctions>& functions) {
    if (!functions)
        EndProcess();
    installed = *functions;
}

namespace GdiApi {
COLORREF SetTextColor(HDC dc, COLORREF color) {
    return installed.setTextColor(dc, color);
}
int SetBkMode(HDC dc, int mode) {
    return installed.setBkMode(dc, mode);
}
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    return installed.selectObject(dc, object);
}
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    return installed.moveToEx(dc, x, y, previous);
}
BOOL LineTo(HDC dc, int x, int y) {
    return installed.lineTo(dc, x, y);
}
HGDIOBJ GetStockObject(int object) {
    return installed.getStockObject(object);
}
int GetDeviceCaps(HDC dc, int index) {
    return installed.getDeviceCaps(dc, index);
}
HBRUSH CreateSolidBrush(COLORREF color) {
    return installed.createSolidBrush(color);
}
HFONT CreateFontIndirectW(const LOGFONTW* font) {
    return installed.createFontIndirectW(font);
}
} // namespace GdiApi
