#include "ui/window_dpi.h"

#include "platform/win32/late_bound.h"
#include "ui/gdi.h"

int SystemDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int WindowDpi(HWND hwnd) {
    // Windows 10 1607 and later; before it a window has the system's DPI.
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = LateBound<GetDpi>("user32.dll", "GetDpiForWindow");
    if (getDpiForWindow != nullptr && hwnd != nullptr) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}
