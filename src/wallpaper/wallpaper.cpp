#include "wallpaper/wallpaper.h"

#include <wincodec.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "wallpaper/wallpaper_geometry.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"
#include "ui/com_ptr.h"

GdipBitmap LoadWallpaperImage(const std::string& path) {
    GdipBitmap bitmap;
    // The path came through the ANSI registry and file-dialog calls, so it is
    // in the system code page, whatever the thread's locale says.
    const std::wstring wide = WidenText(path);
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

namespace {

// Hands the rows [first, first + count) of the source, columns [0, width),
// as 32-bit BGRA to use; false when they cannot be read.
using RowReader = std::function<bool(int first, int count, int width,
                                     const std::function<void(const std::uint8_t* rows, int stride)>& use)>;

// The kept copy, filled strip by strip so that no second whole image exists.
GdipBitmap KeptCopy(const WallpaperKeep& keep, int sourceWidth, int sourceHeight, const RowReader& read) {
    GdipBitmap kept;
    if (!ORV_CHECK_STATUS(Gdiplus::DllExports::GdipCreateBitmapFromScan0(keep.width, keep.height, 0,
                                                                          PixelFormat32bppARGB, nullptr, kept.Out()))) {
        return {};
    }
    Gdiplus::Rect all{0, 0, keep.width, keep.height};
    Gdiplus::BitmapData target = {};
    if (!ORV_CHECK_STATUS(Gdiplus::DllExports::GdipBitmapLockBits(kept.Get(), &all, Gdiplus::ImageLockModeWrite,
                                                                   PixelFormat32bppARGB, &target))) {
        return {};
    }
    bool ok = true;
    const int width = keep.scaled ? sourceWidth : keep.width;
    for (int row = 0; ok && row < keep.height; ++row) {
        const RowSpan span = keep.scaled ? SourceRowsOf(row, sourceHeight, keep.height) : RowSpan{row, row + 1};
        auto* out = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(target.Scan0) +
                                                     static_cast<std::ptrdiff_t>(row) * target.Stride);
        ok = read(span.first, span.last - span.first, width, [&](const std::uint8_t* rows, int stride) {
            ShrinkRows(rows, span.last - span.first, stride, width, keep.width, out);
        });
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(kept.Get(), &target);
    if (!ok) kept.Reset();
    return kept;
}

}  // namespace

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

GdipBitmap DecodeScreenSizedWallpaper(const std::string& path, int screenWidth, int screenHeight, bool fit) {
    const std::wstring wide = WidenText(path);  // the system code page, as in LoadWallpaperImage
    if (wide.empty()) return {};
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> bgra;
    UINT w = 0;
    UINT h = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.Out()))) ||
        FAILED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&w, &h)) ||
        !WallpaperSizeAcceptable(w, h) || FAILED(factory->CreateFormatConverter(bgra.Out())) ||
        FAILED(bgra->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom))) {
        return {};
    }
    const WallpaperKeep keep =
        KeptWallpaperSize(static_cast<int>(w), static_cast<int>(h), screenWidth, screenHeight, fit);
    std::vector<std::uint8_t> strip;
    return KeptCopy(keep, static_cast<int>(w), static_cast<int>(h),
                    [&](int first, int count, int width, const auto& use) {
                        const int stride = width * 4;
                        strip.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(count));
                        const WICRect rect{0, first, width, count};
                        if (FAILED(bgra->CopyPixels(&rect, static_cast<UINT>(stride), static_cast<UINT>(strip.size()),
                                                    strip.data()))) {
                            return false;
                        }
                        use(strip.data(), stride);
                        return true;
                    });
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
