#include "dialogs/wallpaper_geometry.h"

#include <algorithm>

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
