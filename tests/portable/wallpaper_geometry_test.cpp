#include "wallpaper/wallpaper_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<WallpaperTile> Tiles(int imageWidth, int imageHeight, WallpaperRect target, bool fit, bool keepAspect) {
    std::vector<WallpaperTile> tiles;
    ComputeWallpaperTiles(imageWidth, imageHeight, target, fit, keepAspect,
                          [&](const WallpaperTile& tile) { tiles.push_back(tile); });
    return tiles;
}

WallpaperTile Drawn(WallpaperRect source, WallpaperRect destination) { return {source, destination, true}; }

TEST(WallpaperGeometry, TilesAtNaturalSizeCopyingTheFirstTile) {
    const auto tiles = Tiles(100, 50, {0, 0, 250, 120}, false, false);
    ASSERT_EQ(tiles.size(), 9u);
    EXPECT_EQ(tiles[0], Drawn({0, 0, 100, 50}, {0, 0, 100, 50}));
    const int xs[] = {0, 100, 200};
    const int widths[] = {100, 100, 50};
    const int ys[] = {0, 50, 100};
    const int heights[] = {50, 50, 20};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const WallpaperTile& t = tiles[row * 3 + col];
            EXPECT_EQ(t.destination, (WallpaperRect{xs[col], ys[row], widths[col], heights[row]})) << row << col;
            if (row == 0 && col == 0) continue;
            EXPECT_FALSE(t.fromImage);
            EXPECT_EQ(t.source, (WallpaperRect{0, 0, widths[col], heights[row]}));
        }
    }
}

TEST(WallpaperGeometry, TilingStartsAtTheTargetCorner) {
    // The calendar passes the area inside its one-pixel border.
    const auto tiles = Tiles(300, 200, {1, 1, 398, 298}, false, false);
    ASSERT_EQ(tiles.size(), 4u);
    EXPECT_EQ(tiles[0], Drawn({0, 0, 300, 200}, {1, 1, 300, 200}));
    EXPECT_EQ(tiles[1], (WallpaperTile{{1, 1, 98, 200}, {301, 1, 98, 200}, false}));
    EXPECT_EQ(tiles[2], (WallpaperTile{{1, 1, 300, 98}, {1, 201, 300, 98}, false}));
    EXPECT_EQ(tiles[3], (WallpaperTile{{1, 1, 98, 98}, {301, 201, 98, 98}, false}));
}

TEST(WallpaperGeometry, ImageLargerThanTargetShowsItsTopLeftUnscaled) {
    const auto tiles = Tiles(500, 400, {0, 0, 200, 100}, false, false);
    ASSERT_EQ(tiles.size(), 1u);
    EXPECT_EQ(tiles[0], Drawn({0, 0, 200, 100}, {0, 0, 200, 100}));
}

TEST(WallpaperGeometry, KeepAspectWithoutFitStillTiles) {
    EXPECT_EQ(Tiles(100, 50, {0, 0, 250, 120}, false, true), Tiles(100, 50, {0, 0, 250, 120}, false, false));
}

TEST(WallpaperGeometry, FitStretchesOnce) {
    EXPECT_EQ(Tiles(400, 300, {0, 0, 100, 100}, true, false),
              std::vector<WallpaperTile>{Drawn({0, 0, 400, 300}, {0, 0, 100, 100})});
    EXPECT_EQ(Tiles(10, 10, {5, 7, 1000, 800}, true, false),
              std::vector<WallpaperTile>{Drawn({0, 0, 10, 10}, {5, 7, 1000, 800})});
}

TEST(WallpaperGeometry, KeepAspectCropsWideImagesAtTheCentreAndTallOnesAtTheTop) {
    EXPECT_EQ(Tiles(400, 300, {0, 0, 100, 100}, true, true),
              std::vector<WallpaperTile>{Drawn({50, 0, 300, 300}, {0, 0, 100, 100})});
    EXPECT_EQ(Tiles(300, 400, {0, 0, 100, 100}, true, true),
              std::vector<WallpaperTile>{Drawn({0, 0, 300, 300}, {0, 0, 100, 100})});
    // Same ratio: hh = H, so the centred branch with ww = W, no crop.
    EXPECT_EQ(Tiles(400, 200, {0, 0, 200, 100}, true, true),
              std::vector<WallpaperTile>{Drawn({0, 0, 400, 200}, {0, 0, 200, 100})});
    // Divisions truncate: hh = 401 * 100 / 300 = 133.
    EXPECT_EQ(Tiles(401, 500, {0, 0, 300, 100}, true, true)[0].source, (WallpaperRect{0, 0, 401, 133}));
    // ww = 300 * 100 / 70 = 428, offset (1000 - 428) / 2 = 286.
    EXPECT_EQ(Tiles(1000, 300, {0, 0, 100, 70}, true, true)[0].source, (WallpaperRect{286, 0, 428, 300}));
}

TEST(WallpaperGeometry, LargeSizesDoNotOverflow) {
    // 60000 * 40000 exceeds 32 bits.
    EXPECT_EQ(Tiles(60000, 50000, {0, 0, 30000, 40000}, true, true)[0].source,
              (WallpaperRect{11250, 0, 37500, 50000}));
    EXPECT_EQ(Tiles(60000, 90000, {0, 0, 30000, 40000}, true, true)[0].source, (WallpaperRect{0, 0, 60000, 80000}));
}

TEST(WallpaperGeometry, ACropKeepsAtLeastOnePixel) {
    // hh = 10 * 5 / 1000 = 0 and ww = 1 * 10 / 100 = 0 would leave nothing to draw.
    EXPECT_EQ(Tiles(10, 20, {0, 0, 1000, 5}, true, true)[0].source, (WallpaperRect{0, 0, 10, 1}));
    EXPECT_EQ(Tiles(21, 1, {0, 0, 10, 100}, true, true)[0].source, (WallpaperRect{10, 0, 1, 1}));
}

TEST(WallpaperGeometry, EmptyTargetOrImageDrawsNothing) {
    EXPECT_TRUE(Tiles(100, 50, {0, 0, 0, 120}, false, false).empty());
    EXPECT_TRUE(Tiles(100, 50, {0, 0, 250, 0}, true, true).empty());
    EXPECT_TRUE(Tiles(100, 50, {0, 0, -5, 120}, true, false).empty());
    EXPECT_TRUE(Tiles(0, 50, {0, 0, 250, 120}, false, false).empty());
    EXPECT_TRUE(Tiles(100, 0, {0, 0, 250, 120}, true, true).empty());
}

TEST(WallpaperGeometry, HugeImagesAreNotTakenAsWallpapers) {
    struct Row {
        unsigned long long width;
        unsigned long long height;
        bool taken;
    };
    const Row rows[] = {
        {16320, 12240, true},  // a 200-megapixel photo
        {16384, 16384, true},  // the limit
        {16385, 16384, false},
        {20000, 20000, false},
        {kMaxWallpaperPixels, 1, true},
        {0xFFFFFFFF, 0xFFFFFFFF, false},  // no overflow
        {0, 10, false},
        {10, 0, false},
    };
    for (const Row& r : rows) EXPECT_EQ(WallpaperSizeAcceptable(r.width, r.height), r.taken) << r.width << "x" << r.height;
}

TEST(WallpaperGeometry, TilesCoverTheTargetExactlyOnce) {
    const WallpaperRect target{3, 4, 97, 61};
    for (int w = 1; w <= 40; w += 3) {
        for (int h = 1; h <= 40; h += 4) {
            std::vector<int> cover(target.width * target.height, 0);
            int fromImage = 0;
            for (const WallpaperTile& t : Tiles(w, h, target, false, false)) {
                fromImage += t.fromImage ? 1 : 0;
                if (!t.fromImage) {
                    // A copy reads only what the first tile drew.
                    EXPECT_LE(t.source.width, std::min(w, target.width));
                    EXPECT_LE(t.source.height, std::min(h, target.height));
                }
                for (int y = t.destination.y; y < t.destination.y + t.destination.height; ++y) {
                    for (int x = t.destination.x; x < t.destination.x + t.destination.width; ++x) {
                        ++cover[(y - target.y) * target.width + (x - target.x)];
                    }
                }
            }
            EXPECT_EQ(fromImage, 1);
            for (int c : cover) ASSERT_EQ(c, 1) << w << "x" << h;
        }
    }
}

}  // namespace

TEST(WallpaperGeometry, KeepsWhatAScreenCanShowAndDecodesNoLargerThanNeeded) {
    struct Case {
        int w, h, sw, sh;
        bool fit;
        WallpaperKeep keep;
        int divisor;
    } cases[] = {
        {3840, 2160, 1024, 768, true, {1366, 768, true}, 2},    // wider than the screen: covered by height
        {1500, 3001, 1024, 768, true, {1024, 2049, true}, 1},   // taller: covered by width, rounded up
        {1000, 3000, 1024, 768, true, {1000, 3000, false}, 1},  // narrower than the screen: never enlarged
        {3840, 2160, 1024, 768, false, {1024, 768, false}, 1},  // tiled: the top-left screenful
        {3840, 500, 1024, 768, false, {1024, 500, false}, 1},
        {800, 600, 1024, 768, true, {800, 600, false}, 1},      // within the screen: whole
        {2048, 1536, 1024, 768, true, {1024, 768, true}, 2},    // half exactly
        {100000, 100000, 1024, 768, true, {1024, 1024, true}, 8},
        {4001, 3001, 500, 375, true, {500, 376, true}, 8},      // an eighth, rounded up, still covers
        {0, 600, 1024, 768, true, {0, 600, false}, 1},
    };
    for (const Case& c : cases) {
        const WallpaperKeep keep = KeptWallpaperSize(c.w, c.h, c.sw, c.sh, c.fit);
        EXPECT_EQ(keep, c.keep) << c.w << "x" << c.h << " fit " << c.fit;
        EXPECT_EQ(ScaledDecodeDivisor(c.w, c.h, keep), c.divisor) << c.w << "x" << c.h << " fit " << c.fit;
    }
}

TEST(WallpaperGeometry, ABlendMovesEachChannelTowardsTheColourInsideTheAreaAndThePixelsOnly) {
    struct Case {
        std::uint32_t colour;
        std::uint8_t alpha;
        std::uint32_t before;
        std::uint32_t after;
    };
    const Case cases[] = {
        {0xFFFFFF, 0, 0x00123456, 0x00123456},    // no wash
        {0xFFFFFF, 255, 0x00000000, 0x00FFFFFF},  // all white
        {0xFFFFFF, 200, 0x000000C8, 0x00C8C8F3},  // the stored blue under the Preferences test's wash
        {0xFFFFFF, 160, 0xFF808080, 0xFFD0D0D0},  // the alpha byte stays
        {0xFFFFFF, 1, 0x00FEFEFE, 0x00FEFEFE},    // 1/255 of one step rounds to nothing
        {0x000000, 127, 0x00C8C8F3, 0x0064647A},  // a half-black grid line over that wash
        {0x0000FF, 255, 0x00FFFFFF, 0x000000FF},  // each channel its own
    };
    for (const Case& c : cases) {
        // 4 x 3 pixels; the area, partly outside them, covers the middle row's last two.
        std::vector<std::uint32_t> pixels(12, c.before);
        BlendSolid(pixels.data(), 4, 3, {2, 1, 5, 1}, c.colour, c.alpha);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(pixels[static_cast<std::size_t>(i)], (i == 6 || i == 7) ? c.after : c.before)
                << std::hex << c.colour << " alpha " << std::dec << int{c.alpha} << ", pixel " << i;
        }
    }
    std::vector<std::uint32_t> pixels(12, 0);
    BlendSolid(pixels.data(), 4, 3, {-3, -3, 4, 4}, 0xFFFFFF, 255);  // only (0, 0) is inside
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0x00FFFFFFu), 1);
    EXPECT_EQ(pixels[0], 0x00FFFFFFu);
}
