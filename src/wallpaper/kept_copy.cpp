#include "wallpaper/kept_copy.h"

#include <cstddef>

#include "platform/win32/trace.h"

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
