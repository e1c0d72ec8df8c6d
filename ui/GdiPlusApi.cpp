#include "ui/GdiPlusApi.h"

#include "platform/SystemLibrary.h"

#include <cstdint>
#include <string>

namespace GdiPlusApi {
namespace {

// The layout of GdiplusStartupInput.
struct StartupInput {
    std::uint32_t version = 1;
    void* debugEventCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
};

constexpr int kNotAvailable = 18; // GdiplusNotInitialized

struct Table {
    int(WINAPI* startup)(ULONG_PTR*, const StartupInput*, void*) = nullptr;
    int(WINAPI* loadImageFromStream)(IStream*, Image**) = nullptr;
    int(WINAPI* disposeImage)(Image*) = nullptr;
    int(WINAPI* createFromHDC)(HDC, Graphics**) = nullptr;
    int(WINAPI* deleteGraphics)(Graphics*) = nullptr;
    int(WINAPI* drawImageRectI)(Graphics*, Image*, int, int, int, int) = nullptr;
    int(WINAPI* setInterpolationMode)(Graphics*, int) = nullptr;
    bool complete = false;
};

const Table& Api() {
    static const Table table = [] {
        Table t;
        const SystemLibrary library = BindSystemLibrary(L"gdiplus.dll");
        t.complete = library.Bind(
            "GdiplusStartup", t.startup, "GdipLoadImageFromStream", t.loadImageFromStream, "GdipDisposeImage",
            t.disposeImage, "GdipCreateFromHDC", t.createFromHDC, "GdipDeleteGraphics", t.deleteGraphics,
            "GdipDrawImageRectI", t.drawImageRectI, "GdipSetInterpolationMode", t.setInterpolationMode);
        return t;
    }();
    return table;
}

bool Started() {
    static const bool started = [] {
        const Table& t = Api();
        if (!t.complete)
            return false;
        // Kept for the life of the process: GDI+ is never shut down.
        static ULONG_PTR token = 0;
        const StartupInput input;
        return t.startup(&token, &input, nullptr) == 0;
    }();
    return started;
}

} // namespace

bool Start() {
    return Started();
}

int LoadImageFromStream(IStream* stream, Image** image) {
    return Started() ? Api().loadImageFromStream(stream, image) : kNotAvailable;
}

int DisposeImage(Image* image) {
    return Started() ? Api().disposeImage(image) : kNotAvailable;
}

int CreateFromHDC(HDC dc, Graphics** graphics) {
    return Started() ? Api().createFromHDC(dc, graphics) : kNotAvailable;
}

int DeleteGraphics(Graphics* graphics) {
    return Started() ? Api().deleteGraphics(graphics) : kNotAvailable;
}

int DrawImageRectI(Graphics* graphics, Image* image, int x, int y, int width, int height) {
    return Started() ? Api().drawImageRectI(graphics, image, x, y, width, height) : kNotAvailable;
}

int SetInterpolationMode(Graphics* graphics, int mode) {
    return Started() ? Api().setInterpolationMode(graphics, mode) : kNotAvailable;
}

} // namespace GdiPlusApi
