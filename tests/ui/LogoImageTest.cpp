#include "ui/LogoImage.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// A 32-bit top-down picture in memory, white to start with.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = ::CreateCompatibleDC(nullptr);
        bitmap_ =
            ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = ::SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i)
            bits_[i] = 0x00FFFFFF;
    }
    ~Canvas() {
        ::SelectObject(dc_, previous_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    bool IsWhite(int x, int y) const { return (bits_[y * width_ + x] & 0x00FFFFFF) == 0x00FFFFFF; }
    // Pixels that are not white inside the rectangle.
    int Marked(int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += IsWhite(x, y) ? 0 : 1;
        return n;
    }

  private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

TEST(LogoImage, LoadsTheCarriedPictureAndScalesItIntoItsRectangle) {
    const std::optional<LogoImage> logo = LoadLogo(3001);
    ASSERT_TRUE(logo.has_value());
    Canvas canvas(200, 60);
    logo->Draw(canvas.dc(), 15, 20, 146, 22);
    // Drawn inside the rectangle, a good part of it covered...
    EXPECT_GT(canvas.Marked(15, 20, 161, 42), 146 * 22 / 10);
    // ...and nothing outside it: the 195 x 29 picture was shrunk, not clipped.
    EXPECT_EQ(canvas.Marked(0, 0, 200, 20), 0);
    EXPECT_EQ(canvas.Marked(0, 42, 200, 60), 0);
    EXPECT_EQ(canvas.Marked(161, 0, 200, 60), 0);
    EXPECT_EQ(canvas.Marked(0, 0, 15, 60), 0);
}

TEST(LogoImage, MissingResourceGivesNothing) {
    EXPECT_FALSE(LoadLogo(3002).has_value());
    // The archive tool's id exists, but under another type.
    EXPECT_FALSE(LoadLogo(2001).has_value());
}

TEST(LogoImage, MovedImageIsDrawnOnceByItsNewOwner) {
    std::optional<LogoImage> first = LoadLogo(3001);
    ASSERT_TRUE(first.has_value());
    std::optional<LogoImage> second = LoadLogo(3001);
    ASSERT_TRUE(second.has_value());
    *second = std::move(*first);
    Canvas canvas(200, 40);
    second->Draw(canvas.dc(), 0, 0, 195, 29);
    EXPECT_GT(canvas.Marked(0, 0, 195, 29), 0);
    // The moved-from image draws nothing rather than crashing.
    Canvas empty(200, 40);
    first->Draw(empty.dc(), 0, 0, 195, 29);
    EXPECT_EQ(empty.Marked(0, 0, 200, 40), 0);
}

} // namespace
