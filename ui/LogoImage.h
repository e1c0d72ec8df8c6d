#pragma once
#include "common/UniqueHandle.h"

#include <windows.h>

#include <optional>

namespace GdiPlusApi {
struct Image;
}

// The logo picture, decoded once by GDI+ from the executable's resources and
// scaled into its rectangle on every paint.
class LogoImage {
  public:
    LogoImage(unique_gdiplus_image image, ComPtr<IStream> stream) noexcept;
    LogoImage(LogoImage&& other) noexcept = default;
    LogoImage& operator=(LogoImage&& other) noexcept;

    // Scales the picture into the rectangle (left, top, width, height);
    // smoothly with GDI+'s high-quality bicubic filter, else with its default.
    void Draw(HDC dc, int left, int top, int width, int height, bool smoothly = false) const;

  private:
    // GDI+ reads the picture from its stream for as long as the image exists:
    // the image is declared after it, so it goes first.
    ComPtr<IStream> stream_;
    unique_gdiplus_image image_;
};

// The picture resource of type 3000 with the given id of the running
// executable, or nothing when it is missing or cannot be decoded. Starts GDI+
// if that has not happened yet.
std::optional<LogoImage> LoadLogo(int resourceId);
