#pragma once
#include <windows.h>

#include <utility>

// Owning wrappers for GDI and USER handles. Move-only: a copy would delete
// the same object twice.
template <class Handle, class Deleter>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }

    Handle Get() const { return handle_; }
    operator Handle() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle Release() { return std::exchange(handle_, nullptr); }
    void Reset(Handle h = nullptr) {
        if (handle_ != nullptr) Deleter{}(handle_);
        handle_ = h;
    }

private:
    Handle handle_ = nullptr;
};

struct GdiObjectDeleter {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct MenuDeleter {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct DcDeleter {
    void operator()(HDC h) const { DeleteDC(h); }
};

using DcHandle = UniqueHandle<HDC, DcDeleter>;
using PenHandle = UniqueHandle<HPEN, GdiObjectDeleter>;
using BrushHandle = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using FontHandle = UniqueHandle<HFONT, GdiObjectDeleter>;
using BitmapHandle = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using MenuHandle = UniqueHandle<HMENU, MenuDeleter>;

// Saves a device context's state when taken and restores it when done, so
// callers never re-select the objects they replaced.
class DcState {
public:
    explicit DcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~DcState() {
        if (saved_ != 0) RestoreDC(dc_, saved_);
    }
    DcState(const DcState&) = delete;
    DcState& operator=(const DcState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// A memory device context compatible with another.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible)), state_(dc_.Get()) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_.Get(); }
    operator HDC() const { return dc_.Get(); }

private:
    UniqueHandle<HDC, DcDeleter> dc_;
    DcState state_;  // restored before the DC is deleted
};

// GetDC / ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)), state_(dc_) {}
    ~WindowDc() = default;
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    struct Releaser {
        HWND hwnd;
        HDC dc;
        ~Releaser() { ReleaseDC(hwnd, dc); }
    };
    HWND hwnd_;
    HDC dc_;
    Releaser releaser_{hwnd_, dc_};
    DcState state_;
};

// BeginPaint / EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintDc() { EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    const RECT& PaintRect() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// Selects an object into a DC for a scope.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectScope() { SelectObject(dc_, old_); }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};
