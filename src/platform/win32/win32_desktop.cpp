#include "platform/win32/win32_desktop.h"

#include <windows.h>

#include "platform/win32/late_bound.h"

namespace {

int SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// Windows 8.1 and later tell each monitor's own scale; before them every
// monitor has the system's.
int MonitorDpi(HMONITOR monitor) {
    using GetDpi = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = LateBound<GetDpi>("shcore.dll", "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    if (getDpiForMonitor != nullptr && SUCCEEDED(getDpiForMonitor(monitor, 0 /* effective DPI */, &x, &y)) && y > 0) {
        return static_cast<int>(y);
    }
    return SystemDpi();
}

ScreenRect FromRect(const RECT& rc) { return {rc.left, rc.top, rc.right, rc.bottom}; }

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM list) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(handle, &info)) return TRUE;
    auto& monitors = *reinterpret_cast<std::vector<Monitor>*>(list);
    const Monitor m{FromRect(info.rcMonitor), FromRect(info.rcWork), MonitorDpi(handle)};
    if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
        monitors.insert(monitors.begin(), m);
    } else {
        monitors.push_back(m);
    }
    return TRUE;
}

}  // namespace

std::vector<Monitor> Win32Desktop::Monitors() const {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        RECT rc{};
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0)) {
            rc.right = GetSystemMetrics(SM_CXSCREEN);
            rc.bottom = GetSystemMetrics(SM_CYSCREEN);
        }
        monitors.push_back(
            {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, FromRect(rc), SystemDpi()});
    }
    return monitors;
}
