// The calendar window has no frame: its own edges size it and the strip
// above the grid moves it.
#include "calendar/schedule_wnd.h"

namespace {

// The sizing edge under a client point: WMSZ_ codes, 0 inside.
int EdgeAt(int x, int y, int cx, int cy, int e) {
    const bool top = y < e;
    const bool bottom = y >= cy - e;
    if (x < e) return top ? WMSZ_TOPLEFT : bottom ? WMSZ_BOTTOMLEFT : WMSZ_LEFT;
    if (x >= cx - e) return top ? WMSZ_TOPRIGHT : bottom ? WMSZ_BOTTOMRIGHT : WMSZ_RIGHT;
    return top ? WMSZ_TOP : bottom ? WMSZ_BOTTOM : 0;
}

LPCWSTR EdgeCursor(int edge) {
    switch (edge) {
        case WMSZ_LEFT:
        case WMSZ_RIGHT:
            return IDC_SIZEWE;
        case WMSZ_TOP:
        case WMSZ_BOTTOM:
            return IDC_SIZENS;
        case WMSZ_TOPLEFT:
        case WMSZ_BOTTOMRIGHT:
            return IDC_SIZENWSE;
        default:
            return IDC_SIZENESW;
    }
}

}  // namespace

LRESULT CScheduleWnd::OnSize(WPARAM wParam, LPARAM lParam) {
    if (wParam == SIZE_MINIMIZED) return 0;
    const int cx = LOWORD(lParam);
    const int cy = HIWORD(lParam);
    if (cx == layout_.clientWidth && cy == layout_.clientHeight) return 0;
    layout_.SetClientSize(cx, cy);
    if (closeButton_.Hwnd() != nullptr) {
        const DpiScale s = layout_.metrics.scale;
        SetWindowPos(closeButton_, nullptr, cx - s(17), s(6), 0, 0,
                     SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    backDirty_ = true;
    InvalidateRect(hwnd_, nullptr, FALSE);
    return 0;
}

LRESULT CScheduleWnd::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = layout_.metrics.minWidth;
    info->ptMinTrackSize.y = layout_.metrics.minHeight;
    return 0;
}

LRESULT CScheduleWnd::OnSetCursor(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return Default();
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(hwnd_, &pt);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    sizeEdge_ = EdgeAt(pt.x, pt.y, rc.right, rc.bottom, layout_.metrics.edge);
    if (sizeEdge_ == 0) return Default();
    SetCursor(LoadCursor(nullptr, EdgeCursor(sizeEdge_)));
    return TRUE;
}
