// Which way a wallpaper frame is decoded: shrunk by the decoder itself when
// it offers a scale that still covers the kept copy, else converted at full
// size. A fake frame stands for Windows' JPEG decoder, which Wine lacks.
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/com_ptr.h"
#include "ui/gdiplus.h"
#include "wallpaper/wic_decode.h"

namespace {

// Left half red, right half blue, in whatever size it is read at.
void Paint(std::uint8_t* pixel, int x, int width) {
    const bool right = x >= width / 2;
    pixel[0] = right ? 200 : 0;  // blue
    pixel[1] = 0;
    pixel[2] = right ? 0 : 200;  // red
}

// A frame of 24-bit pixels. With a transform it scales as a JPEG does: to a
// half, a quarter or an eighth, rounded up; `scales` false answers every
// size with the full one.
class FakeFrame final : public IWICBitmapFrameDecode, public IWICBitmapSourceTransform {
public:
    FakeFrame(UINT width, UINT height, bool transform, bool scales = true, bool bgr = true)
        : width_(width), height_(height), transform_(transform), scales_(scales), bgr_(bgr) {}

    UINT askedWidth = 0;  // the size the last scaled read asked for
    UINT askedHeight = 0;
    int fullReads = 0;
    int scaledReads = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWICBitmapSource) ||
            IsEqualIID(iid, IID_IWICBitmapFrameDecode)) {
            *out = static_cast<IWICBitmapFrameDecode*>(this);
        } else if (transform_ && IsEqualIID(iid, IID_IWICBitmapSourceTransform)) {
            *out = static_cast<IWICBitmapSourceTransform*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the test's stack

    HRESULT STDMETHODCALLTYPE GetSize(UINT* w, UINT* h) override {
        *w = width_;
        *h = height_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) override {
        *format = GUID_WICPixelFormat24bppBGR;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override {
        *x = *y = 96.0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return WINCODEC_ERR_PALETTEUNAVAILABLE; }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* buffer) override {
        ++fullReads;
        return Fill(rect, width_, height_, 3, stride, size, buffer);
    }
    HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColorContexts(UINT, IWICColorContext**, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetThumbnail(IWICBitmapSource**) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT w, UINT h, WICPixelFormatGUID* format,
                                         WICBitmapTransformOptions options, UINT stride, UINT size,
                                         BYTE* buffer) override {
        ++scaledReads;
        askedWidth = w;
        askedHeight = h;
        UINT cw = w;
        UINT ch = h;
        GetClosestSize(&cw, &ch);
        WICPixelFormatGUID closest = GUID_WICPixelFormat32bppBGRA;
        GetClosestPixelFormat(&closest);
        if (cw != w || ch != h || !IsEqualGUID(*format, closest) || options != WICBitmapTransformRotate0) {
            return E_INVALIDARG;
        }
        return Fill(rect, w, h, bgr_ ? 3 : 4, stride, size, buffer);
    }
    HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* w, UINT* h) override {
        UINT divisor = 1;
        while (scales_ && divisor < 8 && (width_ + divisor * 2 - 1) / (divisor * 2) >= *w &&
               (height_ + divisor * 2 - 1) / (divisor * 2) >= *h) {
            divisor *= 2;
        }
        *w = (width_ + divisor - 1) / divisor;
        *h = (height_ + divisor - 1) / divisor;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) override {
        *format = bgr_ ? GUID_WICPixelFormat24bppBGR : GUID_WICPixelFormat8bppGray;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions options, BOOL* supported) override {
        *supported = options == WICBitmapTransformRotate0;
        return S_OK;
    }

private:
    static HRESULT Fill(const WICRect* rect, UINT w, UINT h, UINT bytes, UINT stride, UINT size, BYTE* buffer) {
        const WICRect all{0, 0, static_cast<INT>(w), static_cast<INT>(h)};
        const WICRect& r = rect != nullptr ? *rect : all;
        if (r.X < 0 || r.Y < 0 || r.Width <= 0 || r.Height <= 0 || static_cast<UINT>(r.X + r.Width) > w ||
            static_cast<UINT>(r.Y + r.Height) > h || stride < static_cast<UINT>(r.Width) * bytes ||
            size < stride * static_cast<UINT>(r.Height - 1) + static_cast<UINT>(r.Width) * bytes) {
            return E_INVALIDARG;
        }
        for (int y = 0; y < r.Height; ++y) {
            BYTE* row = buffer + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < r.Width; ++x) {
                std::memset(row + static_cast<std::size_t>(x) * bytes, 0, bytes);
                Paint(row + static_cast<std::size_t>(x) * bytes, r.X + x, static_cast<int>(w));
            }
        }
        return S_OK;
    }

    UINT width_;
    UINT height_;
    bool transform_;
    bool scales_;
    bool bgr_;
    ULONG refs_ = 1;
};

struct KeptPicture {
    UINT width = 0;
    UINT height = 0;
    Gdiplus::ARGB left = 0;   // a quarter of the way across, half way down
    Gdiplus::ARGB right = 0;  // three quarters
};

KeptPicture Look(const GdipBitmap& kept) {
    KeptPicture p;
    if (!kept) return p;
    Gdiplus::DllExports::GdipGetImageWidth(kept.Get(), &p.width);
    Gdiplus::DllExports::GdipGetImageHeight(kept.Get(), &p.height);
    const INT y = static_cast<INT>(p.height / 2);
    Gdiplus::DllExports::GdipBitmapGetPixel(kept.Get(), static_cast<INT>(p.width / 4), y, &p.left);
    Gdiplus::DllExports::GdipBitmapGetPixel(kept.Get(), static_cast<INT>(p.width * 3 / 4), y, &p.right);
    return p;
}

TEST(WicDecode, ShrinksInTheDecoderWhenItOffersAScaleThatCovers) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        GdiplusSession gdiplus;
        ComPtr<IWICImagingFactory> factory;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()))));
        struct Case {
            const char* what;
            UINT width, height;
            int screenWidth, screenHeight;
            bool fit, transform, scales, bgr;
            UINT askedWidth;  // 0: the frame is read whole, through a converter
            UINT askedHeight;
            UINT keptWidth, keptHeight;
        } cases[] = {
            {"a 4K photo on a small screen: half", 3840, 2160, 1024, 768, true, true, true, true, 1920, 1080, 1366, 768},
            {"an eighth, rounded up", 4001, 3001, 500, 375, true, true, true, true, 501, 376, 500, 376},
            {"a half exactly the copy", 2048, 1536, 1024, 768, true, true, true, true, 1024, 768, 1024, 768},
            {"no transform offered", 3840, 2160, 1024, 768, true, false, true, true, 0, 0, 1366, 768},
            {"a decoder that cannot scale", 3840, 2160, 1024, 768, true, true, false, true, 0, 0, 1366, 768},
            {"a format not turned into BGRA", 3840, 2160, 1024, 768, true, true, true, false, 0, 0, 1366, 768},
            {"tiled: the top-left, unscaled", 3840, 2160, 1024, 768, false, true, true, true, 0, 0, 1024, 768},
            {"smaller than the screen", 800, 600, 1024, 768, true, true, true, true, 0, 0, 800, 600},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            FakeFrame frame(c.width, c.height, c.transform, c.scales, c.bgr);
            GdipBitmap kept = DecodeScreenSizedFrame(*factory.Get(), frame, c.screenWidth, c.screenHeight, c.fit);
            const KeptPicture p = Look(kept);
            EXPECT_EQ(p.width, c.keptWidth);
            EXPECT_EQ(p.height, c.keptHeight);
            EXPECT_EQ(frame.askedWidth, c.askedWidth);
            EXPECT_EQ(frame.askedHeight, c.askedHeight);
            if (c.askedWidth != 0) {
                EXPECT_EQ(frame.fullReads, 0);
            } else {
                EXPECT_GT(frame.fullReads, 0);
            }
            if (!c.fit) continue;  // a tiled copy is the left of the frame only
            EXPECT_EQ(p.left, 0xFFC80000u);
            EXPECT_EQ(p.right, 0xFF0000C8u);
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace
