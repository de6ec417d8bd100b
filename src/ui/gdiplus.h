#pragma once
#include <windows.h>
#include <objidl.h>  // before gdiplus.h, which needs PROPID
#include <gdiplus.h>

#include <string>
#include <utility>

#include "platform/win32/trace.h"

// Owning wrappers for GDI+ flat-interface objects. Move-only, like the GDI ones.
template <class T, Gdiplus::GpStatus(WINGDIPAPI* Delete)(T*)>
class GdipHandle {
public:
    GdipHandle() = default;
    explicit GdipHandle(T* p) : p_(p) {}
    ~GdipHandle() { Reset(); }
    GdipHandle(const GdipHandle&) = delete;
    GdipHandle& operator=(const GdipHandle&) = delete;
    GdipHandle(GdipHandle&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    GdipHandle& operator=(GdipHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.p_, nullptr));
        return *this;
    }

    T* Get() const { return p_; }
    T** Out() {
        Reset();
        return &p_;
    }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset(T* p = nullptr) {
        if (p_ != nullptr) Delete(p_);
        p_ = p;
    }

private:
    T* p_ = nullptr;
};

namespace gdip_detail {
inline Gdiplus::GpStatus WINGDIPAPI DeleteSolidFill(Gdiplus::GpSolidFill* brush) {
    return Gdiplus::DllExports::GdipDeleteBrush(brush);
}
inline Gdiplus::GpStatus WINGDIPAPI DeleteBitmap(Gdiplus::GpBitmap* bitmap) {
    return Gdiplus::DllExports::GdipDisposeImage(bitmap);
}
}  // namespace gdip_detail

using GdipGraphics = GdipHandle<Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>;
using GdipPen = GdipHandle<Gdiplus::GpPen, Gdiplus::DllExports::GdipDeletePen>;
using GdipSolidFill = GdipHandle<Gdiplus::GpSolidFill, gdip_detail::DeleteSolidFill>;
using GdipBitmap = GdipHandle<Gdiplus::GpBitmap, gdip_detail::DeleteBitmap>;

// A graphics object drawing on a device context.
inline GdipGraphics GraphicsFromDc(HDC dc) {
    GdipGraphics g;
    Gdiplus::DllExports::GdipCreateFromHDC(dc, g.Out());
    return g;
}

inline GdipPen MakePen(Gdiplus::ARGB color, float width = 1.0f) {
    GdipPen pen;
    Gdiplus::DllExports::GdipCreatePen1(color, width, Gdiplus::UnitPixel, pen.Out());
    return pen;
}

inline GdipSolidFill MakeSolidFill(Gdiplus::ARGB color) {
    GdipSolidFill brush;
    Gdiplus::DllExports::GdipCreateSolidFill(color, brush.Out());
    return brush;
}

// GDI+ for the life of the object; the program starts it once, tests per suite.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        started_ = ORV_CHECK_STATUS(Gdiplus::GdiplusStartup(&token_, &input, nullptr));
    }
    ~GdiplusSession() {
        if (started_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};
