#include "ui/LogoImage.h"

#include "platform/ResourceApi.h"
#include "resource_ids.h"
#include "ui/GdiPlusApi.h"

#include <cstring>
#include <utility>

namespace {

// A stream over a private copy of the bytes; the stream owns the copy.
ComPtr<IStream> StreamOver(const void* data, DWORD size) {
    ComPtr<IStream> stream;
    unique_hglobal memory(::GlobalAlloc(GMEM_FIXED, size));
    if (!memory)
        return stream;
    std::memcpy(memory.get(), data, size);
    if (SUCCEEDED(::CreateStreamOnHGlobal(memory.get(), TRUE, stream.put())))
        memory.release(); // freed with the stream from now on
    return stream;
}

} // namespace

LogoImage::LogoImage(GdiPlusApi::Image* image, ComPtr<IStream> stream) noexcept
    : image_(image), stream_(std::move(stream)) {}

LogoImage::LogoImage(LogoImage&& other) noexcept
    : image_(std::exchange(other.image_, nullptr)), stream_(std::move(other.stream_)) {}

LogoImage& LogoImage::operator=(LogoImage&& other) noexcept {
    if (this != &other) {
        if (image_)
            GdiPlusApi::DisposeImage(image_);
        image_ = std::exchange(other.image_, nullptr);
        stream_ = std::move(other.stream_);
    }
    return *this;
}

LogoImage::~LogoImage() {
    if (image_)
        GdiPlusApi::DisposeImage(image_);
}

void LogoImage::Draw(HDC dc, int left, int top, int width, int height, bool smoothly) const {
    GdiPlusApi::Graphics* graphics = nullptr;
    if (!image_ || GdiPlusApi::CreateFromHDC(dc, &graphics) != 0 || !graphics)
        return;
    if (smoothly)
        GdiPlusApi::SetInterpolationMode(graphics, GdiPlusApi::kHighQualityBicubic);
    GdiPlusApi::DrawImageRectI(graphics, image_, left, top, width, height);
    GdiPlusApi::DeleteGraphics(graphics);
}

std::optional<LogoImage> LoadLogo(int resourceId) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found =
        ResourceApi::FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(RT_LOGO));
    if (!found)
        return std::nullopt;
    const HGLOBAL loaded = ResourceApi::LoadResource(module, found);
    const DWORD size = ResourceApi::SizeofResource(module, found);
    const void* data = loaded ? ResourceApi::LockResource(loaded) : nullptr;
    std::optional<LogoImage> logo;
    if (data && size > 0) {
        ComPtr<IStream> stream = StreamOver(data, size);
        GdiPlusApi::Image* image = nullptr;
        // Without embedded colour management: the picture is shown as stored.
        if (stream && GdiPlusApi::LoadImageFromStream(stream.get(), &image) == 0 && image)
            logo.emplace(image, std::move(stream));
    }
    if (loaded)
        ResourceApi::FreeResource(loaded);
    return logo;
}
