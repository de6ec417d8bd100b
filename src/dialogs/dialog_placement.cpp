#include "dialogs/dialog_placement.h"

#include "dialogs/dialog_geometry.h"

namespace {

ScreenRect FromRect(const RECT& rc) { return ScreenRect{rc.left, rc.top, rc.right, rc.bottom}; }

}  // namespace

void CenterDialog(HWND dialog, HWND anchor) {
    const bool overAnchor = anchor != nullptr && IsWindowVisible(anchor) && !IsIconic(anchor);
    HWND owner = GetWindow(dialog, GW_OWNER);
    HWND onMonitorOf = overAnchor ? anchor : (owner != nullptr ? owner : dialog);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(onMonitorOf, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    RECT own = {};
    RECT over = monitor.rcWork;
    if (!GetWindowRect(dialog, &own) || (overAnchor && !GetWindowRect(anchor, &over))) return;
    const ScreenRect placed =
        CenteredRect(own.right - own.left, own.bottom - own.top, FromRect(over), FromRect(monitor.rcWork));
    SetWindowPos(dialog, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
