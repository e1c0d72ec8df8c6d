#pragma once
#include <windows.h>
#include <objidl.h>

// The few GDI+ functions the window needs for its logo, bound at run time
// from gdiplus.dll in the System folder. GDI+ is not one of the libraries
// Windows always takes from the System folder, so importing it would let a
// gdiplus.dll planted beside the installer be loaded before the entry point
// could restrict the search. Binding at first use, by full path, leaves no
// such gap. When the library or a function is missing, every call reports
// failure and the window simply has no logo.
namespace GdiPlusApi {

struct Image;    // GDI+'s GpImage
struct Graphics; // GDI+'s GpGraphics

// Loads and starts GDI+ once (version 1, no debug callback, background thread
// and external codecs allowed); it is never shut down. False when GDI+ is
// not available.
bool Start();

// The GDI+ status codes, 0 meaning success.
// An image and a graphics are released by their holders, unique_gdiplus_image
// and unique_gdiplus_graphics.
int LoadImageFromStream(IStream* stream, Image** image);
int CreateFromHDC(HDC dc, Graphics** graphics);
int DrawImageRectI(Graphics* graphics, Image* image, int x, int y, int width, int height);

// GDI+'s InterpolationModeHighQualityBicubic.
constexpr int kHighQualityBicubic = 7;
int SetInterpolationMode(Graphics* graphics, int mode);

} // namespace GdiPlusApi
