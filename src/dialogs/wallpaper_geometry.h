#pragma once
// Where a wallpaper image goes in a rectangle: the arithmetic of the drawing
// rule, apart from the drawing calls, so it can be checked on its own.
#include <functional>

// Left, top, width, height in pixels.
struct WallpaperRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WallpaperRect&) const = default;
};

// One tile. The first tile is drawn from the image: source is in image pixels
// and is scaled into destination. Every other tile copies the top-left part
// of the first tile as it stands on the device: source is then a device
// rectangle of the destination's size at the target's top-left corner.
struct WallpaperTile {
    WallpaperRect source;
    WallpaperRect destination;
    bool fromImage = false;

    bool operator==(const WallpaperTile&) const = default;
};

// Whether an image of that size is taken as a wallpaper at all. A larger
// one would take seconds to draw at every paint (and gigabytes to decode),
// so it is treated as a file that cannot be loaded.
constexpr unsigned long long kMaxWallpaperPixels = 64ull * 1024 * 1024;
constexpr bool WallpaperSizeAcceptable(unsigned long long width, unsigned long long height) {
    return width > 0 && height > 0 && width <= kMaxWallpaperPixels / height;
}

using WallpaperTileSink = std::function<void(const WallpaperTile&)>;

// Covers target with the image of imageWidth x imageHeight, rows top to
// bottom, each row left to right: tiled at its natural size (fit false),
// stretched over the target (fit, not keepAspect), or stretched after a crop
// to the target's aspect ratio (fit and keepAspect: the top part of a tall
// image, the horizontal middle of a wide one). An empty target or image
// gives no tiles. A tiny image can need very many tiles, hence the sink.
void ComputeWallpaperTiles(int imageWidth, int imageHeight, const WallpaperRect& target, bool fit,
                           bool keepAspect, const WallpaperTileSink& sink);
