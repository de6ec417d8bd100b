#pragma once
// Where a wallpaper image goes in a rectangle: the arithmetic of the drawing
// rule, apart from the drawing calls, so it can be checked on its own.
#include <cstdint>
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

// Whether an image of that size is taken as a wallpaper at all. A larger one
// takes gigabytes once decoded and seconds to shrink, so it is treated as a
// file that cannot be loaded; the largest camera photos still pass.
constexpr unsigned long long kMaxWallpaperPixels = 256ull * 1024 * 1024;
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

// How much of an image to keep for windows no larger than the screen: a
// fitted image is scaled down, its shape kept, until it just covers the
// screen; a tiled one keeps its top-left screenful at its natural size. An
// image within the screen is kept whole.
struct WallpaperKeep {
    int width = 0;
    int height = 0;
    bool scaled = false;  // else cut, or whole

    bool operator==(const WallpaperKeep&) const = default;
};
WallpaperKeep KeptWallpaperSize(int imageWidth, int imageHeight, int screenWidth, int screenHeight, bool fit);

// A JPEG decoder can shrink while it decodes, to 1/2, 1/4 or 1/8, so that
// the whole photo is never in memory: the largest of those divisors (or 1)
// whose decode, rounded up, still covers the kept copy. 1 for a copy that
// is not scaled.
int ScaledDecodeDivisor(int imageWidth, int imageHeight, const WallpaperKeep& keep);

// Shrinking a photo one target row at a time, so that only a few source rows
// are ever converted at once: the source rows [first, last) that target row
// `row` of `targetHeight` averages, and the average itself. Pixels are
// 0xAARRGGBB; stride is in bytes.
struct RowSpan {
    int first = 0;
    int last = 0;
};
RowSpan SourceRowsOf(int row, int sourceHeight, int targetHeight);
void ShrinkRows(const std::uint8_t* rows, int rowCount, int stride, int sourceWidth, int targetWidth,
                std::uint32_t* out);

// A colour laid over area at alpha/255, as a brush or a pen of that colour
// and alpha lays it, done on the pixels themselves so that no blending
// buffer is needed: the calendar's white wash and its half-black grid.
// Every channel moves alpha/255 of the way to the colour's. Pixels and
// colour are 0xAARRGGBB, width x height of them, rows top to bottom; the
// part of area outside them and the alpha byte are left as they are.
void BlendSolid(std::uint32_t* pixels, int width, int height, WallpaperRect area, std::uint32_t colour,
                std::uint8_t alpha);
