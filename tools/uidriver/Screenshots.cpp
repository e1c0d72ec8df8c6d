// Capturing a window's pixels: PNG screenshots and single pixels.
#include "UiDriver.h"

#include <gdiplus.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <type_traits>

namespace uidriver {

namespace {

// Owners of the GDI objects a capture makes.
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// A DC from GetDC/GetWindowDC, released to its window.
class ReleasedDc {
  public:
    ReleasedDc(HWND window, HDC dc) : window_(window), dc_(dc) {}
    ReleasedDc(const ReleasedDc&) = delete;
    ReleasedDc& operator=(const ReleasedDc&) = delete;
    ~ReleasedDc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Puts an object into a DC for the lifetime of the guard.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { SelectObject(dc_, old_); }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// GDI+ is only started by the commands that write PNGs.
class GdiPlusSession {
  public:
    GdiPlusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;
    ~GdiPlusSession() {
        if (ok_)
            Gdiplus::GdiplusShutdown(token_);
    }
    bool Started() const { return ok_; }

  private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top-down
    uint32_t PixelAt(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

// Raises the window so a capture from the screen shows it rather than whatever overlaps it. The window pos
// change is asynchronous so a busy target cannot block us; the settle delay lets it repaint.
void BringToFront(HWND window, DWORD settleMs) {
    if (GetForegroundWindow() != window)
        SetForegroundWindow(window);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    Sleep(settleMs);
}

bool CaptureWindow(HWND window, const std::wstring& method, DWORD settleMs, Capture& capture,
                   std::wstring& error) {
    RECT windowRect{};
    if (!GetWindowRect(window, &windowRect)) {
        error = L"GetWindowRect failed";
        return false;
    }
    capture.width = windowRect.right - windowRect.left;
    capture.height = windowRect.bottom - windowRect.top;
    if (capture.width <= 0 || capture.height <= 0) {
        error = L"window has an empty rectangle";
        return false;
    }

    BITMAPINFO bitmapInfo{};
    bitmapInfo.bmiHeader.biSize = sizeof bitmapInfo.bmiHeader;
    bitmapInfo.bmiHeader.biWidth = capture.width;
    bitmapInfo.bmiHeader.biHeight = -capture.height;
    bitmapInfo.bmiHeader.biPlanes = 1;
    bitmapInfo.bmiHeader.biBitCount = 32;
    bitmapInfo.bmiHeader.biCompression = BI_RGB;
    ReleasedDc screen(nullptr, GetDC(nullptr));
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc memoryDc(CreateCompatibleDC(screen.get()));
    if (!bitmap || !memoryDc) {
        error = L"cannot create a capture bitmap";
        return false;
    }
    SelectedObject selected(memoryDc.get(), bitmap.get());

    bool ok = false;
    if (method == L"screen") {
        BringToFront(window, settleMs);
        GetWindowRect(window, &windowRect);
        ok = BitBlt(memoryDc.get(), 0, 0, capture.width, capture.height, screen.get(), windowRect.left,
                    windowRect.top, SRCCOPY | CAPTUREBLT) != FALSE;
    } else if (method == L"print") {
        ok = PrintWindow(window, memoryDc.get(), 0) != FALSE;
    } else if (method == L"window") {
        BringToFront(window, settleMs);
        ReleasedDc windowDc(window, GetWindowDC(window));
        ok = BitBlt(memoryDc.get(), 0, 0, capture.width, capture.height, windowDc.get(), 0, 0, SRCCOPY) !=
             FALSE;
    } else {
        error = L"unknown capture method '" + method + L"' (screen, print or window)";
        return false;
    }
    GdiFlush();
    if (!ok) {
        error = L"capture with method '" + method + L"' failed";
        return false;
    }
    const auto* source = static_cast<const uint32_t*>(bits);
    capture.pixels.assign(source, source + static_cast<size_t>(capture.width) * capture.height);
    // Wine cannot send WM_PRINT to another process: PrintWindow then "succeeds" with an untouched bitmap.
    if (method == L"print" && std::all_of(capture.pixels.begin(), capture.pixels.end(),
                                          [](uint32_t pixel) { return (pixel & 0xFFFFFF) == 0; })) {
        error = L"PrintWindow produced an empty image (not supported across processes under Wine)";
        return false;
    }
    return true;
}

bool FindPngEncoder(CLSID& clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// "/tmp/x.png" is taken to mean the Unix path, which Wine exposes under Z:.
std::wstring ToWindowsPath(std::wstring pixel) {
    if (!pixel.empty() && pixel[0] == L'/') {
        std::replace(pixel.begin(), pixel.end(), L'/', L'\\');
        pixel = L"Z:" + pixel;
    }
    return pixel;
}

bool SavePng(const Capture& capture, const std::wstring& path, std::wstring& error) {
    GdiPlusSession gdiplus;
    if (!gdiplus.Started()) {
        error = L"GdiplusStartup failed";
        return false;
    }
    // Screen pixels carry no alpha; mark them opaque so the PNG is not transparent.
    std::vector<uint32_t> opaque(capture.pixels.size());
    std::transform(capture.pixels.begin(), capture.pixels.end(), opaque.begin(),
                   [](uint32_t pixel) { return pixel | 0xFF000000u; });
    Gdiplus::Bitmap image(capture.width, capture.height, capture.width * 4, PixelFormat32bppARGB,
                          reinterpret_cast<BYTE*>(opaque.data()));
    CLSID clsid{};
    if (!FindPngEncoder(clsid)) {
        error = L"no PNG encoder";
        return false;
    }
    const Gdiplus::Status status = image.Save(path.c_str(), &clsid, nullptr);
    if (status != Gdiplus::Ok) {
        error = L"saving the PNG failed, GDI+ status " + std::to_wstring(static_cast<int>(status));
        return false;
    }
    return true;
}

int SaveScreenshot(HWND window, const Options& options, const std::wstring& out) {
    Capture capture;
    std::wstring error;
    if (!CaptureWindow(window, options.method, options.settleMs, capture, error))
        return Fail(error);
    const std::wstring path = ToWindowsPath(out);
    if (!SavePng(capture, path, error))
        return Fail(error);
    Emit(Json::Object()
             .Set("hwnd", reinterpret_cast<UINT_PTR>(window))
             .Set("path", path)
             .Set("width", capture.width)
             .Set("height", capture.height)
             .Set("method", options.method));
    return 0;
}

} // namespace

int RunScreenshot(const Options& options) {
    if (options.positional.size() != 2)
        return Fail(
            L"usage: screenshot <class> <out.png> [--pid N] [--timeout MS] [--method screen|print|window]",
            2);
    const WindowFilter filter = FilterFrom(options, options.positional[0]);
    HWND window = WaitForWindow(filter, options.timeoutMs);
    if (!window)
        return Fail(DescribeMissing(filter));
    return SaveScreenshot(window, options, options.positional[1]);
}

int RunScreenshotMessageBox(const Options& options) {
    if (options.positional.size() != 1)
        return Fail(L"usage: screenshot-msgbox <out.png> [--pid N] [--timeout MS]", 2);
    HWND dialog = FindMessageBox(options);
    if (!dialog)
        return Fail(L"no message box");
    return SaveScreenshot(dialog, options, options.positional[0]);
}

int RunPixel(const Options& options) {
    if (options.positional.size() < 3 || options.positional.size() % 2 == 0)
        return Fail(L"usage: pixel <class> <x> <y> [<x> <y> ...] [--pid N] [--timeout MS]", 2);
    std::vector<POINT> points;
    for (size_t i = 1; i + 1 < options.positional.size(); i += 2) {
        long long x = 0, y = 0;
        if (!ParseNumber(options.positional[i], x) || !ParseNumber(options.positional[i + 1], y))
            return Fail(L"pixel coordinates must be numbers", 2);
        points.push_back({static_cast<LONG>(x), static_cast<LONG>(y)});
    }
    const WindowFilter filter = FilterFrom(options, options.positional[0]);
    HWND window = WaitForWindow(filter, options.timeoutMs);
    if (!window)
        return Fail(DescribeMissing(filter));
    Capture capture;
    std::wstring error;
    if (!CaptureWindow(window, options.method, options.settleMs, capture, error))
        return Fail(error);
    RECT windowRect{}, clientRect{};
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &clientRect);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    Json list = Json::Array();
    Json pixel0;
    for (const POINT& pixel : points) {
        if (pixel.x < 0 || pixel.y < 0 || pixel.x >= clientRect.right || pixel.y >= clientRect.bottom)
            return Fail(L"point " + std::to_wstring(pixel.x) + L"," + std::to_wstring(pixel.y) +
                        L" is outside the " + std::to_wstring(clientRect.right) + L"x" +
                        std::to_wstring(clientRect.bottom) + L" client area");
        const int captureX = origin.x - windowRect.left + pixel.x;
        const int captureY = origin.y - windowRect.top + pixel.y;
        const uint32_t color = capture.PixelAt(captureX, captureY);
        wchar_t hex[8];
        wsprintfW(hex, L"#%06x", color);
        Json pixelJson = Json::Object()
                             .Set("x", pixel.x)
                             .Set("y", pixel.y)
                             .Set("r", static_cast<int>((color >> 16) & 0xFF))
                             .Set("g", static_cast<int>((color >> 8) & 0xFF))
                             .Set("b", static_cast<int>(color & 0xFF))
                             .Set("hex", hex);
        if (&pixel == &points.front())
            pixel0 = pixelJson;
        list.Push(pixelJson);
    }
    // One point prints that point's object; several print {"pixels": [...]}.
    Emit(points.size() == 1 ? pixel0 : Json::Object().Set("pixels", list));
    return 0;
}

} // namespace uidriver
