#include "wallpaper/wallpaper.h"

#include <cstddef>
#include <cstdint>
#include <utility>

#include "wallpaper/kept_copy.h"
#include "wallpaper/wallpaper_geometry.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

GdipBitmap LoadWallpaperImage(const std::string& path) {
    GdipBitmap bitmap;
    const std::wstring wide = Wide(path);
    if (wide.empty()) return bitmap;
    if (!ORV_CHECK_STATUS(Gdiplus::DllExports::GdipCreateBitmapFromFile(wide.c_str(), bitmap.Out()))) {
        bitmap.Reset();
        return bitmap;
    }
    UINT width = 0;
    UINT height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap.Get(), &width);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap.Get(), &height);
    if (!WallpaperSizeAcceptable(width, height)) bitmap.Reset();
    return bitmap;
}

GdipBitmap ScreenSizedWallpaper(GdipBitmap image, int screenWidth, int screenHeight, bool fit) {
    UINT w = 0;
    UINT h = 0;
    if (!image || Gdiplus::DllExports::GdipGetImageWidth(image.Get(), &w) != Gdiplus::Ok ||
        Gdiplus::DllExports::GdipGetImageHeight(image.Get(), &h) != Gdiplus::Ok || w > 0x7FFFFFFF ||
        h > 0x7FFFFFFF) {
        return image;
    }
    const WallpaperKeep keep =
        KeptWallpaperSize(static_cast<int>(w), static_cast<int>(h), screenWidth, screenHeight, fit);
    if (keep.width == static_cast<int>(w) && keep.height == static_cast<int>(h)) return image;
    // Drawing the photo with GDI+ would first convert all of it, doubling
    // the memory a large photo takes; locked strips do not.
    GdipBitmap kept = KeptCopy(keep, static_cast<int>(w), static_cast<int>(h),
                               [&](int first, int count, int width, const auto& use) {
                                   Gdiplus::Rect strip{0, first, width, count};
                                   Gdiplus::BitmapData source = {};
                                   if (!ORV_CHECK_STATUS(Gdiplus::DllExports::GdipBitmapLockBits(
                                           image.Get(), &strip, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                           &source))) {
                                       return false;
                                   }
                                   use(static_cast<const std::uint8_t*>(source.Scan0), source.Stride);
                                   Gdiplus::DllExports::GdipBitmapUnlockBits(image.Get(), &source);
                                   return true;
                               });
    return kept ? std::move(kept) : std::move(image);
}

GdipBitmap LoadScreenSizedWallpaper(const std::string& path, int screenWidth, int screenHeight, bool fit) {
    if (path.empty()) return {};
    if (GdipBitmap kept = DecodeScreenSizedWallpaper(path, screenWidth, screenHeight, fit)) return kept;
    // What the imaging component cannot read (a metafile), GDI+ may.
    return ScreenSizedWallpaper(LoadWallpaperImage(path), screenWidth, screenHeight, fit);
}

void DrawWallpaper(HDC dc, int x0, int y0, int w, int h, Gdiplus::GpImage* image, bool fit, bool keepAspect) {
    if (image == nullptr || w <= 0 || h <= 0) return;
    UINT imageWidth = 0;
    UINT imageHeight = 0;
    // A failed query leaves its size at 0, and then nothing is drawn.
    Gdiplus::DllExports::GdipGetImageWidth(image, &imageWidth);
    Gdiplus::DllExports::GdipGetImageHeight(image, &imageHeight);
    if (imageWidth == 0 || imageHeight == 0 || imageWidth > 0x7FFFFFFF || imageHeight > 0x7FFFFFFF) return;

    ComputeWallpaperTiles(static_cast<int>(imageWidth), static_cast<int>(imageHeight), WallpaperRect{x0, y0, w, h},
                          fit, keepAspect, [&](const WallpaperTile& tile) {
                              const WallpaperRect& s = tile.source;
                              const WallpaperRect& d = tile.destination;
                              if (tile.fromImage) {
                                  GdipGraphics graphics = GraphicsFromDc(dc);
                                  Gdiplus::DllExports::GdipDrawImageRectRectI(
                                      graphics.Get(), image, d.x, d.y, d.width, d.height, s.x, s.y, s.width,
                                      s.height, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
                                  // The copies below read the device: the drawing must be there first.
                                  Gdiplus::DllExports::GdipFlush(graphics.Get(), Gdiplus::FlushIntentionSync);
                              } else {
                                  BitBlt(dc, d.x, d.y, d.width, d.height, dc, s.x, s.y, SRCCOPY);
                              }
                          });
}
