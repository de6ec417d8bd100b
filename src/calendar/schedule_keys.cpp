// The calendar window's keys.
#include "calendar/schedule_wnd.h"

bool CScheduleWnd::PreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != hwnd_ && GetAncestor(msg.hwnd, GA_PARENT) != hwnd_) return false;
    // Every key pressed in the window or on its buttons is the window's,
    // handled through its own table so that it may safely close the window.
    Invoke(hwnd_, WM_KEYDOWN, msg.wParam, msg.lParam);
    return true;
}

LRESULT CScheduleWnd::OnKeyDown(WPARAM key, LPARAM) {
    switch (key) {
        case VK_RETURN:
            EditEvent();
            break;
        case VK_SPACE:
        case VK_APPS:
            // The keyboard always opens the day menu.
            if (layout_.selectedDay > 0) {
                if (layout_.ClearEventSelection()) InvalidateDays();
                const LayoutRect cell = layout_.CellRect(layout_.selectedDay);
                ShowContextMenu(cell.x + layout_.metrics.scale(12), cell.y + layout_.metrics.scale(14));
            }
            break;
        case VK_PRIOR:
            PrevMonth();
            break;
        case VK_NEXT:
            NextMonth();
            break;
        case VK_HOME:
            ThisMonth();
            break;
        case VK_LEFT:
            MoveSelectedDay(-1);
            break;
        case VK_UP:
            MoveSelectedDay(-7);
            break;
        case VK_RIGHT:
            MoveSelectedDay(1);
            break;
        case VK_DOWN:
            MoveSelectedDay(7);
            break;
        case VK_INSERT:
            NewEvent();
            break;
        case VK_DELETE:
            DeleteSelectedEvent();
            break;
        default:
            break;
    }
    return 0;
}

void CScheduleWnd::MoveSelectedDay(int delta) {
    layout_.MoveSelectedDay(delta);
    InvalidateDays();
    AnnounceSelection();
}
