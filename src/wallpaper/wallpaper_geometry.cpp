#include "wallpaper/wallpaper_geometry.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

void ComputeWallpaperTiles(int imageWidth, int imageHeight, const WallpaperRect& target, bool fit,
                           bool keepAspect, const WallpaperTileSink& sink) {
    const int w = target.width;
    const int h = target.height;
    // Tested before any division or tiling: a failed size query reads as 0.
    if (w <= 0 || h <= 0 || imageWidth <= 0 || imageHeight <= 0) return;

    int tileWidth = w;
    int tileHeight = h;
    WallpaperRect source{0, 0, imageWidth, imageHeight};
    if (!fit) {
        tileWidth = imageWidth;
        tileHeight = imageHeight;
        source.width = std::min(imageWidth, w);
        source.height = std::min(imageHeight, h);
    } else if (keepAspect) {
        // 64-bit products: a large image on a large target overflows 32 bits.
        // A crop thinner than one pixel would draw nothing at all, so it keeps one.
        const long long hh = static_cast<long long>(imageWidth) * h / w;
        if (hh < imageHeight) {
            source.height = static_cast<int>(std::max(hh, 1LL));
        } else {
            const int ww = static_cast<int>(std::max(static_cast<long long>(imageHeight) * w / h, 1LL));
            source = {(imageWidth - ww) / 2, 0, ww, imageHeight};
        }
    }

    const long long right = static_cast<long long>(target.x) + w;
    const long long bottom = static_cast<long long>(target.y) + h;
    for (long long y = target.y; y < bottom;) {
        const int cy = static_cast<int>(std::min<long long>(tileHeight, bottom - y));
        for (long long x = target.x; x < right;) {
            const int cx = static_cast<int>(std::min<long long>(tileWidth, right - x));
            WallpaperTile tile;
            tile.destination = {static_cast<int>(x), static_cast<int>(y), cx, cy};
            tile.fromImage = x == target.x && y == target.y;
            tile.source = tile.fromImage ? source : WallpaperRect{target.x, target.y, cx, cy};
            sink(tile);
            x += cx;
        }
        y += cy;
    }
}

WallpaperKeep KeptWallpaperSize(int imageWidth, int imageHeight, int screenWidth, int screenHeight, bool fit) {
    WallpaperKeep keep{imageWidth, imageHeight, false};
    if (imageWidth <= 0 || imageHeight <= 0 || screenWidth <= 0 || screenHeight <= 0) return keep;
    if (!fit) {
        keep.width = std::min(imageWidth, screenWidth);
        keep.height = std::min(imageHeight, screenHeight);
        return keep;
    }
    // The larger of the two ratios covers the screen; 64-bit products, as
    // photos can be large.
    const long long w = imageWidth;
    const long long h = imageHeight;
    const bool byWidth = static_cast<long long>(screenWidth) * h >= static_cast<long long>(screenHeight) * w;
    if (byWidth ? screenWidth >= imageWidth : screenHeight >= imageHeight) return keep;
    keep.scaled = true;
    if (byWidth) {
        keep.width = screenWidth;
        keep.height = static_cast<int>((h * screenWidth + w - 1) / w);
    } else {
        keep.height = screenHeight;
        keep.width = static_cast<int>((w * screenHeight + h - 1) / h);
    }
    return keep;
}

int ScaledDecodeDivisor(int imageWidth, int imageHeight, const WallpaperKeep& keep) {
    if (!keep.scaled) return 1;
    for (int divisor = 8; divisor > 1; divisor /= 2) {
        if ((imageWidth + divisor - 1) / divisor >= keep.width && (imageHeight + divisor - 1) / divisor >= keep.height) {
            return divisor;
        }
    }
    return 1;
}

namespace {

// The boxes of n target cells over `size` source cells: cell i covers [i * size / n, (i + 1) * size / n), at least one.
int BoxStart(long long i, long long size, long long n) { return static_cast<int>(i * size / n); }

}  // namespace

RowSpan SourceRowsOf(int row, int sourceHeight, int targetHeight) {
    if (sourceHeight <= 0 || targetHeight <= 0) return {};
    RowSpan span{BoxStart(row, sourceHeight, targetHeight), BoxStart(row + 1LL, sourceHeight, targetHeight)};
    span.last = std::min(sourceHeight, std::max(span.last, span.first + 1));
    return span;
}

void ShrinkRows(const std::uint8_t* rows, int rowCount, int stride, int sourceWidth, int targetWidth,
                std::uint32_t* out) {
    if (rowCount <= 0 || sourceWidth <= 0 || targetWidth <= 0) return;
    for (int x = 0; x < targetWidth; ++x) {
        const int first = BoxStart(x, sourceWidth, targetWidth);
        const int last = std::min(sourceWidth, std::max(BoxStart(x + 1LL, sourceWidth, targetWidth), first + 1));
        std::uint64_t sum[4] = {};
        for (int y = 0; y < rowCount; ++y) {
            const std::uint8_t* p = rows + static_cast<std::ptrdiff_t>(y) * stride + first * 4;
            for (int i = first; i < last; ++i, p += 4) {
                std::uint32_t pixel;
                std::memcpy(&pixel, p, 4);
                for (int c = 0; c < 4; ++c) sum[c] += (pixel >> (8 * c)) & 0xFF;
            }
        }
        const std::uint64_t n = static_cast<std::uint64_t>(last - first) * static_cast<std::uint64_t>(rowCount);
        std::uint32_t pixel = 0;
        for (int c = 0; c < 4; ++c) pixel |= static_cast<std::uint32_t>((sum[c] + n / 2) / n) << (8 * c);
        out[x] = pixel;
    }
}

void BlendSolid(std::uint32_t* pixels, int width, int height, WallpaperRect area, std::uint32_t colour,
                std::uint8_t alpha) {
    const int right = std::min(area.x + area.width, width);
    const int bottom = std::min(area.y + area.height, height);
    area.x = std::max(area.x, 0);
    area.y = std::max(area.y, 0);
    area.width = right - area.x;
    area.height = bottom - area.y;
    if (alpha == 0 || area.width <= 0 || area.height <= 0) return;
    // Each channel's blended value for each value it can have, rounded to the nearest.
    std::array<std::array<std::uint32_t, 256>, 3> blended{};
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t to = (colour >> (8 * c)) & 0xFF;
        for (std::uint32_t v = 0; v < 256; ++v) {
            blended[c][v] = (to * alpha + v * (255u - alpha) + 127) / 255;
        }
    }
    for (int y = area.y; y < area.y + area.height; ++y) {
        std::uint32_t* p = pixels + static_cast<std::ptrdiff_t>(y) * width + area.x;
        for (int x = 0; x < area.width; ++x, ++p) {
            const std::uint32_t v = *p;
            *p = (v & 0xFF000000u) | blended[2][(v >> 16) & 0xFF] << 16 | blended[1][(v >> 8) & 0xFF] << 8 |
                 blended[0][v & 0xFF];
        }
    }
}
