#include "ui/GdiPlusApi.h"

#include "common/UniqueHandle.h"
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
    static constexpr const wchar_t* kLibrary = L"gdiplus.dll";

    int(WINAPI* startup)(ULONG_PTR*, const StartupInput*, void*) = nullptr;
    int(WINAPI* loadImageFromStream)(IStream*, Image**) = nullptr;
    int(WINAPI* disposeImage)(Image*) = nullptr;
    int(WINAPI* createFromHDC)(HDC, Graphics**) = nullptr;
    int(WINAPI* deleteGraphics)(Graphics*) = nullptr;
    int(WINAPI* drawImageRectI)(Graphics*, Image*, int, int, int, int) = nullptr;
    int(WINAPI* setInterpolationMode)(Graphics*, int) = nullptr;

    bool BindFrom(const SystemLibrary& library) {
        return library.Bind("GdiplusStartup", startup, "GdipLoadImageFromStream", loadImageFromStream,
                            "GdipDisposeImage", disposeImage, "GdipCreateFromHDC", createFromHDC,
                            "GdipDeleteGraphics", deleteGraphics, "GdipDrawImageRectI", drawImageRectI,
                            "GdipSetInterpolationMode", setInterpolationMode);
    }
};

// The bound table once GDI+ has been started; null when it is not available.
const Table* Api() {
    static const Table* const started = []() -> const Table* {
        const Table* t = SystemFunctions<Table>();
        if (!t)
            return nullptr;
        // Kept for the life of the process: GDI+ is never shut down.
        static ULONG_PTR token = 0;
        const StartupInput input;
        return t->startup(&token, &input, nullptr) == 0 ? t : nullptr;
    }();
    return started;
}

} // namespace

bool Start() {
    return Api() != nullptr;
}

int LoadImageFromStream(IStream* stream, Image** image) {
    return Api() ? Api()->loadImageFromStream(stream, image) : kNotAvailable;
}

int CreateFromHDC(HDC dc, Graphics** graphics) {
    return Api() ? Api()->createFromHDC(dc, graphics) : kNotAvailable;
}

int DrawImageRectI(Graphics* graphics, Image* image, int x, int y, int width, int height) {
    return Api() ? Api()->drawImageRectI(graphics, image, x, y, width, height) : kNotAvailable;
}

int SetInterpolationMode(Graphics* graphics, int mode) {
    return Api() ? Api()->setInterpolationMode(graphics, mode) : kNotAvailable;
}

} // namespace GdiPlusApi

void handle_traits::GdiPlusImage::Close(void* image) {
    if (const GdiPlusApi::Table* api = GdiPlusApi::Api())
        api->disposeImage(static_cast<GdiPlusApi::Image*>(image));
}

void handle_traits::GdiPlusGraphics::Close(void* graphics) {
    if (const GdiPlusApi::Table* api = GdiPlusApi::Api())
        api->deleteGraphics(static_cast<GdiPlusApi::Graphics*>(graphics));
}
