#include "wallpaper/wic_decode.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/com_ptr.h"
#include "platform/win32/wide_text.h"
#include "wallpaper/kept_copy.h"
#include "wallpaper/wallpaper.h"
#include "wallpaper/wallpaper_geometry.h"

namespace {

// The decoder's own scaled size and the pixel format it hands out.
struct ScaledDecode {
    UINT width = 0;
    UINT height = 0;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    int bytesPerPixel = 0;
};

// The formats a strip is turned into BGRA from; 0 for the others.
int BytesPerPixel(const WICPixelFormatGUID& format) {
    if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) || IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)) {
        return 4;
    }
    return IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) ? 3 : 0;
}

bool ChooseScaledDecode(IWICBitmapSourceTransform& transform, UINT width, UINT height, const WallpaperKeep& keep,
                        ScaledDecode& chosen) {
    if (FAILED(transform.GetClosestPixelFormat(&chosen.format))) return false;
    chosen.bytesPerPixel = BytesPerPixel(chosen.format);
    if (chosen.bytesPerPixel == 0) return false;
    const auto w = static_cast<int>(width);
    const auto h = static_cast<int>(height);
    for (int divisor = ScaledDecodeDivisor(w, h, keep); divisor > 1; divisor /= 2) {
        UINT sw = static_cast<UINT>((w + divisor - 1) / divisor);
        UINT sh = static_cast<UINT>((h + divisor - 1) / divisor);
        if (FAILED(transform.GetClosestSize(&sw, &sh))) return false;
        const bool covers = sw >= static_cast<UINT>(keep.width) && sh >= static_cast<UINT>(keep.height);
        if (covers && sw <= width && sh <= height && (sw < width || sh < height)) {
            chosen.width = sw;
            chosen.height = sh;
            return true;
        }
    }
    return false;
}

GdipBitmap DecodeScaled(IWICBitmapSourceTransform& transform, const ScaledDecode& scaled, const WallpaperKeep& keep) {
    std::vector<std::uint8_t> raw;
    std::vector<std::uint8_t> bgra;
    const bool opaque = !IsEqualGUID(scaled.format, GUID_WICPixelFormat32bppBGRA);
    const auto read = [&](int first, int count, int width, const auto& use) {
        const int stride = (width * scaled.bytesPerPixel + 3) & ~3;
        raw.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(count));
        const WICRect rect{0, first, width, count};  // in the scaled image
        WICPixelFormatGUID format = scaled.format;
        if (FAILED(transform.CopyPixels(&rect, scaled.width, scaled.height, &format, WICBitmapTransformRotate0,
                                        static_cast<UINT>(stride), static_cast<UINT>(raw.size()), raw.data()))) {
            return false;
        }
        if (!opaque) {
            use(raw.data(), stride);
            return true;
        }
        // No alpha in the source: every pixel is opaque.
        bgra.resize(static_cast<std::size_t>(width) * 4 * static_cast<std::size_t>(count));
        for (int y = 0; y < count; ++y) {
            const std::uint8_t* in = raw.data() + static_cast<std::ptrdiff_t>(y) * stride;
            std::uint8_t* out = bgra.data() + static_cast<std::ptrdiff_t>(y) * width * 4;
            for (int x = 0; x < width; ++x, in += scaled.bytesPerPixel, out += 4) {
                std::memcpy(out, in, 3);
                out[3] = 0xFF;
            }
        }
        use(bgra.data(), width * 4);
        return true;
    };
    const WallpaperKeep fromScaled{keep.width, keep.height, true};
    return KeptCopy(fromScaled, static_cast<int>(scaled.width), static_cast<int>(scaled.height), read);
}

GdipBitmap DecodeConverted(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame, UINT width, UINT height,
                           const WallpaperKeep& keep) {
    ComPtr<IWICFormatConverter> bgra;
    if (FAILED(factory.CreateFormatConverter(bgra.Out())) ||
        FAILED(bgra->Initialize(&frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom))) {
        return {};
    }
    std::vector<std::uint8_t> strip;
    return KeptCopy(keep, static_cast<int>(width), static_cast<int>(height),
                    [&](int first, int count, int stripWidth, const auto& use) {
                        const int stride = stripWidth * 4;
                        strip.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(count));
                        const WICRect rect{0, first, stripWidth, count};
                        if (FAILED(bgra->CopyPixels(&rect, static_cast<UINT>(stride), static_cast<UINT>(strip.size()),
                                                    strip.data()))) {
                            return false;
                        }
                        use(strip.data(), stride);
                        return true;
                    });
}

}  // namespace

GdipBitmap DecodeScreenSizedFrame(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame, int screenWidth,
                                  int screenHeight, bool fit) {
    UINT w = 0;
    UINT h = 0;
    if (FAILED(frame.GetSize(&w, &h)) || !WallpaperSizeAcceptable(w, h)) return {};
    const WallpaperKeep keep =
        KeptWallpaperSize(static_cast<int>(w), static_cast<int>(h), screenWidth, screenHeight, fit);
    ComPtr<IWICBitmapSourceTransform> transform;
    ScaledDecode scaled;
    if (keep.scaled &&
        SUCCEEDED(frame.QueryInterface(IID_IWICBitmapSourceTransform, reinterpret_cast<void**>(transform.Out()))) &&
        ChooseScaledDecode(*transform.Get(), w, h, keep, scaled)) {
        if (GdipBitmap kept = DecodeScaled(*transform.Get(), scaled, keep)) return kept;
    }
    return DecodeConverted(factory, frame, w, h, keep);
}

GdipBitmap DecodeScreenSizedWallpaper(const std::string& path, int screenWidth, int screenHeight, bool fit) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) return {};
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.Out()))) ||
        FAILED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out()))) {
        return {};
    }
    return DecodeScreenSizedFrame(*factory.Get(), *frame.Get(), screenWidth, screenHeight, fit);
}
