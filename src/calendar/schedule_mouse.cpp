// Clicks and hovering over the calendar window.
#include "calendar/schedule_wnd.h"

#include <windowsx.h>

#include "platform/win32/trace.h"

LRESULT CScheduleWnd::OnLButtonDown(WPARAM, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (sizeEdge_ > 0) {
        PostMessageW(hwnd_, WM_SYSCOMMAND, SC_SIZE + sizeEdge_, 0);
    } else if (y < layout_.metrics.gridTop) {
        PostMessageW(hwnd_, WM_SYSCOMMAND, SC_MOVE + 2, 0);  // move by dragging: the strip acts as a caption
    } else {
        SelectAt(x, y);
    }
    return 0;
}

LRESULT CScheduleWnd::OnLButtonDblClk(WPARAM, LPARAM lParam) {
    if (sizeEdge_ > 0 || GET_Y_LPARAM(lParam) < layout_.metrics.gridTop) return 0;
    StopHoverTimer();
    CloseTip();
    // The button-down before it has already selected.
    if (layout_.selectedEvent != nullptr) {
        EditEvent();
    } else if (layout_.selectedDay > 0) {
        NewEvent();
    }
    return 0;
}

LRESULT CScheduleWnd::OnRButtonDown(WPARAM, LPARAM lParam) {
    Default();
    StopHoverTimer();
    CloseTip();
    SelectAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CScheduleWnd::OnRButtonUp(WPARAM, LPARAM lParam) {
    Default();
    ShowContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CScheduleWnd::OnMouseMove(WPARAM, LPARAM lParam) {
    Default();
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (x == lastMouseX_ && y == lastMouseY_) return 0;
    lastMouseX_ = x;
    lastMouseY_ = y;
    CloseTip();
    ORV_CHECK(SetTimer(hwnd_, kHoverTimerId, kHoverDelayMs, nullptr) != 0);
    return 0;
}

void CScheduleWnd::SelectAt(int x, int y) {
    if (!layout_.SelectAt(x, y)) return;
    InvalidateDays();
    AnnounceSelection();
}
