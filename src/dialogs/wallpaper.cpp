#include "dialogs/wallpaper.h"

#include <vector>

#include "dialogs/wallpaper_geometry.h"

GdipBitmap LoadWallpaperImage(const std::string& path) {
    GdipBitmap bitmap;
    if (path.empty()) return bitmap;
    // The path came through the ANSI registry and file-dialog calls, so it is
    // in the system code page, whatever the thread's locale says.
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return bitmap;
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length) != length) return bitmap;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(wide.data(), bitmap.Out()) != Gdiplus::Ok) {
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
