#include "ui/GdiApi.h"

#include "report/ProcessExit.h"

bool GdiFunctions::BindFrom(const SystemLibrary& library) {
    return library.Bind("SetTextColor", setTextColor, "SetBkMode", setBkMode, "SelectObject", selectObject,
                        "GetStockObject", getStockObject, "GetDeviceCaps", getDeviceCaps, "CreateSolidBrush",
                        createSolidBrush, "CreateFontIndirectW", createFontIndirectW);
}

void RequireGdiOrEnd(const GdiFunctions* functions) {
    if (!functions)
        EndProcess();
}

namespace GdiApi {
namespace {
const GdiFunctions* Gdi() {
    return SystemFunctions<GdiFunctions>();
}
} // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
    return Gdi() ? Gdi()->setTextColor(dc, color) : CLR_INVALID;
}
int SetBkMode(HDC dc, int mode) {
    return Gdi() ? Gdi()->setBkMode(dc, mode) : 0;
}
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    return Gdi() ? Gdi()->selectObject(dc, object) : nullptr;
}
HGDIOBJ GetStockObject(int object) {
    return Gdi() ? Gdi()->getStockObject(object) : nullptr;
}
int GetDeviceCaps(HDC dc, int index) {
    return Gdi() ? Gdi()->getDeviceCaps(dc, index) : 0;
}
HBRUSH CreateSolidBrush(COLORREF color) {
    return Gdi() ? Gdi()->createSolidBrush(color) : nullptr;
}
HFONT CreateFontIndirectW(const LOGFONTW* font) {
    return Gdi() ? Gdi()->createFontIndirectW(font) : nullptr;
}
} // namespace GdiApi
