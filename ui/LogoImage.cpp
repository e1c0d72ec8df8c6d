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

LogoImage::LogoImage(unique_gdiplus_image image, ComPtr<IStream> stream) noexcept
    : stream_(std::move(stream)), image_(std::move(image)) {}

LogoImage& LogoImage::operator=(LogoImage&& other) noexcept {
    // The image goes before the stream it reads from.
    image_ = std::move(other.image_);
    stream_ = std::move(other.stream_);
    return *this;
}

void LogoImage::Draw(HDC dc, int left, int top, int width, int height, bool smoothly) const {
    GdiPlusApi::Graphics* created = nullptr;
    if (!image_ || GdiPlusApi::CreateFromHDC(dc, &created) != 0 || !created)
        return;
    const unique_gdiplus_graphics graphics(created);
    if (smoothly)
        GdiPlusApi::SetInterpolationMode(created, GdiPlusApi::kHighQualityBicubic);
    GdiPlusApi::DrawImageRectI(created, static_cast<GdiPlusApi::Image*>(image_.get()), left, top, width,
                               height);
}

std::optional<LogoImage> LoadLogo(int resourceId) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found =
        ResourceApi::FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(RT_LOGO));
    if (!found)
        return std::nullopt;
    const unique_resource loaded(ResourceApi::LoadResource(module, found));
    const DWORD size = ResourceApi::SizeofResource(module, found);
    const void* data = loaded ? ResourceApi::LockResource(loaded.get()) : nullptr;
    std::optional<LogoImage> logo;
    if (data && size > 0) {
        ComPtr<IStream> stream = StreamOver(data, size);
        GdiPlusApi::Image* image = nullptr;
        // Without embedded colour management: the picture is shown as stored.
        if (stream && GdiPlusApi::LoadImageFromStream(stream.get(), &image) == 0 && image)
            logo.emplace(unique_gdiplus_image(image), std::move(stream));
    }
    return logo;
}
