#include "ui/GdiApi.h"

#include "platform/SystemFolders.h"
#include "platform/SystemLibrary.h"
#include "ui/ProcessExit.h"

namespace {

GdiFunctions installed;

// Before the entry point: the table is complete before any code can draw.
[[maybe_unused]] const bool gdiReady = [] {
    InstallGdiFunctionsOrEnd(ResolveGdiFunctions(SystemFolderPath() + L"\\gdi32.dll"));
    return true;
}();

} // namespace

std::optional<GdiFunctions> ResolveGdiFunctions(const std::wstring& libraryPath) {
    const SystemLibrary library = BindLibraryAt(libraryPath);
    GdiFunctions f;
    const bool all =
        library.Bind("SetTextColor", f.setTextColor, "SetBkMode", f.setBkMode, "SelectObject", f.selectObject,
                     "GetStockObject", f.getStockObject, "GetDeviceCaps", f.getDeviceCaps, "CreateSolidBrush",
                     f.createSolidBrush, "CreateFontIndirectW", f.createFontIndirectW);
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
