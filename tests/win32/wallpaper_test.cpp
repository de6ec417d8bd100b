// Drawing a wallpaper into a rectangle (tiles, stretch, crop, blending and
// the copies of the first tile), loading it from a file, and the preview
// control that shows a colour and a wallpaper.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "wallpaper/bkg_static.h"
#include "wallpaper/wallpaper.h"
#include "support/dib_canvas.h"
#include "ui/gdiplus.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr COLORREF kYellow = RGB(200, 200, 0);

// An image in memory; its pixels live as long as the bitmap that reads them.
struct TestImage {
    std::vector<std::uint32_t> pixels;
    GdipBitmap bitmap;
    Gdiplus::GpImage* Get() const { return bitmap.Get(); }
};

std::unique_ptr<TestImage> MakeImage(int w, int h, const std::function<std::uint32_t(int x, int y)>& argb) {
    auto image = std::make_unique<TestImage>();
    image->pixels.resize(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) image->pixels[static_cast<std::size_t>(y) * w + x] = argb(x, y);
    }
    Gdiplus::DllExports::GdipCreateBitmapFromScan0(w, h, w * 4, PixelFormat32bppARGB,
                                                   reinterpret_cast<BYTE*>(image->pixels.data()),
                                                   image->bitmap.Out());
    EXPECT_TRUE(image->bitmap);
    return image;
}

std::uint32_t Opaque(COLORREF c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

// Quadrants red, green / blue, yellow.
std::unique_ptr<TestImage> Quadrants(int w, int h) {
    return MakeImage(w, h, [w, h](int x, int y) {
        const bool right = x >= w / 2;
        const bool low = y >= h / 2;
        return Opaque(low ? (right ? kYellow : kBlue) : (right ? kGreen : kRed));
    });
}

bool Near(COLORREF a, COLORREF b, int tolerance = 8) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

class Wallpaper : public testing::Test {
protected:
    GdiplusSession gdiplus_;
};

TEST_F(Wallpaper, TilesAtNaturalSizeWithCopiesOfTheFirstTile) {
    auto image = Quadrants(100, 50);
    DibCanvas canvas(280, 140, kMagenta);
    DrawWallpaper(canvas.Dc(), 10, 5, 250, 120, image->Get(), false, true);  // keep aspect without fit: no effect
    // Tiles start at x = 10, 110, 210 (widths 100, 100, 50) and y = 5, 55, 105 (heights 50, 50, 20).
    for (const int x0 : {10, 110, 210}) {
        for (const int y0 : {5, 55, 105}) {
            SCOPED_TRACE(std::to_string(x0) + "," + std::to_string(y0));
            EXPECT_EQ(canvas.At(x0, y0), kRed);
            EXPECT_EQ(canvas.At(x0 + 49, y0 + 19), kRed);
            if (x0 != 210) {
                EXPECT_EQ(canvas.At(x0 + 50, y0), kGreen);
            }
            if (y0 != 105) {
                EXPECT_EQ(canvas.At(x0, y0 + 25), kBlue);
            }
            if (x0 != 210 && y0 != 105) {
                EXPECT_EQ(canvas.At(x0 + 99, y0 + 49), kYellow);
            }
        }
    }
    // Nothing outside the rectangle.
    EXPECT_EQ(canvas.At(9, 5), kMagenta);
    EXPECT_EQ(canvas.At(10, 4), kMagenta);
    EXPECT_EQ(canvas.At(260, 60), kMagenta);
    EXPECT_EQ(canvas.At(100, 125), kMagenta);
    EXPECT_EQ(canvas.At(259, 124), kRed);
}

TEST_F(Wallpaper, LargerImageShowsItsTopLeftUnscaled) {
    auto image = Quadrants(500, 400);
    DibCanvas canvas(200, 100, kMagenta);
    DrawWallpaper(canvas.Dc(), 0, 0, 200, 100, image->Get(), false, false);
    for (const POINT p : {POINT{0, 0}, POINT{199, 0}, POINT{0, 99}, POINT{199, 99}, POINT{100, 50}}) {
        EXPECT_EQ(canvas.At(p.x, p.y), kRed) << p.x << "," << p.y;
    }
}

TEST_F(Wallpaper, FitStretchesAndKeepAspectCropsTheSidesOrTheBottom) {
    // 400 x 300 into 100 x 100: the source is (50, 0, 300, 300), the middle.
    auto wide = MakeImage(400, 300, [](int x, int) { return Opaque(x < 50 ? kRed : x < 350 ? kGreen : kBlue); });
    DibCanvas canvas(100, 100, kMagenta);
    DrawWallpaper(canvas.Dc(), 0, 0, 100, 100, wide->Get(), true, true);
    for (int x = 2; x < 98; x += 5) EXPECT_TRUE(Near(canvas.At(x, 50), kGreen)) << x;
    // Without keeping the aspect the whole image is squeezed in: red, then blue at the sides.
    DrawWallpaper(canvas.Dc(), 0, 0, 100, 100, wide->Get(), true, false);
    EXPECT_TRUE(Near(canvas.At(5, 50), kRed, 60));
    EXPECT_TRUE(Near(canvas.At(50, 50), kGreen));
    EXPECT_TRUE(Near(canvas.At(95, 50), kBlue, 60));

    // 300 x 400: the source is (0, 0, 300, 300), the top, not the middle.
    auto tall = MakeImage(300, 400, [](int, int y) { return Opaque(y < 300 ? kGreen : kBlue); });
    DrawWallpaper(canvas.Dc(), 0, 0, 100, 100, tall->Get(), true, true);
    for (int y = 2; y < 98; y += 5) EXPECT_TRUE(Near(canvas.At(50, y), kGreen)) << y;
    DrawWallpaper(canvas.Dc(), 0, 0, 100, 100, tall->Get(), true, false);
    EXPECT_TRUE(Near(canvas.At(50, 90), kBlue));
}

// A photo larger than the screen is kept at the screen's size; what a window
// shows of it stays the same.
TEST_F(Wallpaper, AScreenSizedCopyDrawsAsThePhotoDoes) {
    auto photo = MakeImage(3000, 1000, [](int x, int y) {
        return Opaque(RGB(x * 255 / 3000, y * 255 / 1000, (x / 500 + y / 250) % 2 ? 200 : 40));
    });
    for (const bool fit : {true, false}) {
        GdipBitmap copy;
        Gdiplus::DllExports::GdipCloneImage(photo->Get(), reinterpret_cast<Gdiplus::GpImage**>(copy.Out()));
        GdipBitmap kept = ScreenSizedWallpaper(std::move(copy), 1024, 768, fit);
        UINT w = 0;
        UINT h = 0;
        Gdiplus::DllExports::GdipGetImageWidth(kept.Get(), &w);
        Gdiplus::DllExports::GdipGetImageHeight(kept.Get(), &h);
        EXPECT_EQ(w, fit ? 2304u : 1024u);
        EXPECT_EQ(h, 768u);
        for (const bool keepAspect : {true, false}) {
            DibCanvas fromPhoto(480, 377, kMagenta);
            DibCanvas fromKept(480, 377, kMagenta);
            DrawWallpaper(fromPhoto.Dc(), 1, 1, 478, 375, photo->Get(), fit, keepAspect);
            DrawWallpaper(fromKept.Dc(), 1, 1, 478, 375, kept.Get(), fit, keepAspect);
            int differing = 0;
            for (int y = 0; y < 377; ++y) {
                for (int x = 0; x < 480; ++x) differing += Near(fromPhoto.At(x, y), fromKept.At(x, y), 24) ? 0 : 1;
            }
            // Resampling twice moves the edges of the stripes a little, nothing more.
            EXPECT_LT(differing, 480 * 377 / 50) << "fit " << fit << " keepAspect " << keepAspect;
            EXPECT_EQ(fromKept.At(0, 0), kMagenta);
        }
    }
    // A photo within the screen is the same object.
    auto small = Quadrants(100, 50);
    GdipBitmap copy;
    Gdiplus::DllExports::GdipCloneImage(small->Get(), reinterpret_cast<Gdiplus::GpImage**>(copy.Out()));
    Gdiplus::GpBitmap* before = copy.Get();
    EXPECT_EQ(ScreenSizedWallpaper(std::move(copy), 1024, 768, true).Get(), before);
}

// The program's own way of reading a photo file: through the imaging
// component, strip by strip, with the same copy as GDI+'s whole decode gives.
TEST_F(Wallpaper, DecodedStripByStripKeepsWhatTheWholeDecodeKeeps) {
    struct ComSession {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ~ComSession() {
            if (SUCCEEDED(hr)) CoUninitialize();
        }
    } com;
    const std::string bmp = TempPath("orv_wallpaper_photo.bmp");
    {
        auto photo = MakeImage(3000, 1000, [](int x, int y) {
            return Opaque(RGB(x * 255 / 3000, y * 255 / 1000, (x / 500 + y / 250) % 2 ? 200 : 40));
        });
        DibCanvas file(3000, 1000, kMagenta);
        DrawWallpaper(file.Dc(), 0, 0, 3000, 1000, photo->Get(), false, false);
        ASSERT_TRUE(file.SaveBmp(bmp));
    }
    for (const bool fit : {true, false}) {
        GdipBitmap decoded = DecodeScreenSizedWallpaper(bmp, 1024, 768, fit);
        ASSERT_TRUE(decoded);
        GdipBitmap whole = ScreenSizedWallpaper(LoadWallpaperImage(bmp), 1024, 768, fit);
        DibCanvas fromDecoded(480, 377, kMagenta);
        DibCanvas fromWhole(480, 377, kMagenta);
        DrawWallpaper(fromDecoded.Dc(), 0, 0, 480, 377, decoded.Get(), fit, true);
        DrawWallpaper(fromWhole.Dc(), 0, 0, 480, 377, whole.Get(), fit, true);
        int differing = 0;
        for (int y = 0; y < 377; ++y) {
            for (int x = 0; x < 480; ++x) differing += fromDecoded.At(x, y) == fromWhole.At(x, y) ? 0 : 1;
        }
        EXPECT_EQ(differing, 0) << "fit " << fit;
    }
    const std::string text = TempPath("orv_wallpaper_photo.txt");
    FILE* f = std::fopen(text.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("just text", f);
    std::fclose(f);
    EXPECT_FALSE(DecodeScreenSizedWallpaper(text, 1024, 768, true));
    EXPECT_FALSE(LoadScreenSizedWallpaper(text, 1024, 768, true));
    DeleteFileA(text.c_str());
    DeleteFileA(bmp.c_str());
}

TEST_F(Wallpaper, TranslucentPixelsBlendAndTheCopiesRepeatTheBlend) {
    auto image = MakeImage(10, 10, [](int, int) { return 0x80FF0000u; });  // half-transparent red
    DibCanvas canvas(30, 10, RGB(0, 0, 255));
    DrawWallpaper(canvas.Dc(), 0, 0, 30, 10, image->Get(), false, false);
    const COLORREF first = canvas.At(5, 5);
    EXPECT_TRUE(Near(first, RGB(128, 0, 127), 3)) << std::hex << first;
    EXPECT_EQ(canvas.At(15, 5), first);
    EXPECT_EQ(canvas.At(25, 5), first);
}

TEST_F(Wallpaper, EmptyRectangleOrImageDrawsNothing) {
    auto image = Quadrants(10, 10);
    DibCanvas canvas(20, 20, kMagenta);
    DrawWallpaper(canvas.Dc(), 0, 0, 0, 20, image->Get(), false, false);
    DrawWallpaper(canvas.Dc(), 0, 0, 20, 0, image->Get(), true, true);
    DrawWallpaper(canvas.Dc(), 0, 0, -5, 20, image->Get(), true, false);
    DrawWallpaper(canvas.Dc(), 0, 0, 20, 20, nullptr, false, false);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) ASSERT_EQ(canvas.At(x, y), kMagenta) << x << "," << y;
    }
}

TEST_F(Wallpaper, LoadsImageFilesAndRefusesWhatIsNotOne) {
    const std::string bmp = TempPath("orv_wallpaper_load.bmp");
    {
        DibCanvas picture(7, 5, kGreen);
        ASSERT_TRUE(picture.SaveBmp(bmp));
    }
    GdipBitmap image = LoadWallpaperImage(bmp);
    ASSERT_TRUE(image);
    UINT w = 0;
    UINT h = 0;
    Gdiplus::DllExports::GdipGetImageWidth(image.Get(), &w);
    Gdiplus::DllExports::GdipGetImageHeight(image.Get(), &h);
    EXPECT_EQ(w, 7u);
    EXPECT_EQ(h, 5u);

    const std::string text = TempPath("orv_wallpaper_text.png");
    FILE* f = std::fopen(text.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("just text", f);
    std::fclose(f);
    EXPECT_FALSE(LoadWallpaperImage(text));
    EXPECT_FALSE(LoadWallpaperImage(TempPath("orv_no_such_wallpaper.png")));
    EXPECT_FALSE(LoadWallpaperImage(""));

    // A path in UTF-8 with letters of a script the code page lacks (Док).
    const std::wstring named = Wide(TempPath("orv_\xD0\x94\xD0\xBE\xD0\xBA.bmp"));
    ASSERT_TRUE(CopyFileW(Wide(bmp).c_str(), named.c_str(), FALSE));
    EXPECT_TRUE(LoadWallpaperImage(Utf8(named)));
    DeleteFileW(named.c_str());
    DeleteFileA(text.c_str());
    DeleteFileA(bmp.c_str());
}

// The preview control over a static control of a plain parent window.
class BkgStatic : public Wallpaper {
protected:
    void SetUp() override {
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, 200, 120, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        HWND stat = CreateWindowExA(0, "STATIC", "text", WS_CHILD | WS_VISIBLE, 10, 10, 120, 80, parent_, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(control_.SubclassWindow(stat));
        bmp_ = TempPath("orv_bkg_static.bmp");
        DibCanvas picture(30, 20, kGreen);
        for (int y = 0; y < 20; ++y) {
            for (int x = 15; x < 30; ++x) SetPixel(picture.Dc(), x, y, kBlue);
        }
        ASSERT_TRUE(picture.SaveBmp(bmp_));
    }
    void TearDown() override {
        DestroyWindow(parent_);
        DeleteFileA(bmp_.c_str());
    }
    std::unique_ptr<DibCanvas> Render() {
        auto canvas = std::make_unique<DibCanvas>(120, 80, kMagenta);
        SendMessageA(control_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->Dc()), PRF_CLIENT);
        return canvas;
    }

    HWND parent_ = nullptr;
    CBkgStatic control_;
    std::string bmp_;
};

TEST_F(BkgStatic, ShowsItsColourAndThenTheWallpaperOverIt) {
    control_.backColor = RGB(10, 20, 30);
    EXPECT_TRUE(control_.ReloadImage());  // an empty path
    EXPECT_FALSE(control_.image);
    auto canvas = Render();
    EXPECT_EQ(canvas->At(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(canvas->At(119, 79), RGB(10, 20, 30));
    EXPECT_EQ(canvas->At(60, 40), RGB(10, 20, 30));  // not the static's text

    control_.imagePath = bmp_;
    ASSERT_TRUE(control_.ReloadImage());
    canvas = Render();
    EXPECT_EQ(canvas->At(0, 0), kGreen);  // tiled: green, blue, green, blue...
    EXPECT_EQ(canvas->At(15, 0), kBlue);
    EXPECT_EQ(canvas->At(30, 25), kGreen);
    control_.fit = 1;
    canvas = Render();
    EXPECT_TRUE(Near(canvas->At(20, 40), kGreen));
    EXPECT_TRUE(Near(canvas->At(100, 40), kBlue));

    // Through WM_PAINT on the screen as well.
    InvalidateRect(control_, nullptr, FALSE);
    UpdateWindow(control_);
    GdiFlush();
    HDC screen = GetDC(nullptr);
    const COLORREF painted = GetPixel(screen, 20 + 10 + 20, 20 + 10 + 40);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(Near(painted, kGreen)) << std::hex << painted;
}

TEST_F(BkgStatic, AFailedReloadLeavesNoImage) {
    control_.imagePath = bmp_;
    ASSERT_TRUE(control_.ReloadImage());
    ASSERT_TRUE(control_.image);
    control_.imagePath = TempPath("orv_no_such_preview.bmp");
    EXPECT_FALSE(control_.ReloadImage());
    EXPECT_FALSE(control_.image);
    EXPECT_EQ(Render()->At(0, 0), RGB(255, 255, 255));  // the default colour alone
}

TEST_F(BkgStatic, ZeroSizedControlDrawsNothing) {
    control_.imagePath = bmp_;
    ASSERT_TRUE(control_.ReloadImage());
    SetWindowPos(control_, nullptr, 0, 0, 0, 30, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Render()->At(0, 0), kMagenta);
}

}  // namespace
