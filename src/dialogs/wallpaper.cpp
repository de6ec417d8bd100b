#include "dialogs/wallpaper.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dialogs/wallpaper_geometry.h"
#include "platform/win32/trace.h"

GdipBitmap LoadWallpaperImage(const std::string& path) {
    GdipBitmap bitmap;
    if (path.empty()) return bitmap;
    // The path came through the ANSI registry and file-dialog calls, so it is
    // in the system code page, whatever the thread's locale says.
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return bitmap;
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length) != length) return bitmap;
    if (!ORV_CHECK_STATUS(Gdiplus::DllExports::GdipCreateBitmapFromFile(wide.data(), bitmap.Out()))) {
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

    GdipBitmap kept;
    if (!ORV_CHECK_STATUS(Gdiplus::DllExports::GdipCreateBitmapFromScan0(keep.width, keep.height, 0,
                                                                          PixelFormat32bppARGB, nullptr, kept.Out()))) {
        return image;
    }
    // Strip by strip through locked bits: drawing the photo with GDI+ would
    // first convert all of it, doubling the memory a large photo takes.
    Gdiplus::Rect all{0, 0, keep.width, keep.height};
    Gdiplus::BitmapData target = {};
    if (!ORV_CHECK_STATUS(Gdiplus::DllExports::GdipBitmapLockBits(kept.Get(), &all, Gdiplus::ImageLockModeWrite,
                                                                   PixelFormat32bppARGB, &target))) {
        return image;
    }
    bool ok = true;
    for (int row = 0; ok && row < keep.height; ++row) {
        const RowSpan span = keep.scaled ? SourceRowsOf(row, static_cast<int>(h), keep.height) : RowSpan{row, row + 1};
        const int sourceWidth = keep.scaled ? static_cast<int>(w) : keep.width;
        Gdiplus::Rect strip{0, span.first, sourceWidth, span.last - span.first};
        Gdiplus::BitmapData source = {};
        ok = ORV_CHECK_STATUS(Gdiplus::DllExports::GdipBitmapLockBits(image.Get(), &strip, Gdiplus::ImageLockModeRead,
                                                                       PixelFormat32bppARGB, &source));
        if (!ok) break;
        auto* out = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(target.Scan0) +
                                                     static_cast<std::ptrdiff_t>(row) * target.Stride);
        ShrinkRows(static_cast<const std::uint8_t*>(source.Scan0), strip.Height, source.Stride, sourceWidth,
                   keep.width, out);
        Gdiplus::DllExports::GdipBitmapUnlockBits(image.Get(), &source);
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(kept.Get(), &target);
    if (!ok) return image;
    return kept;
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
