// The calendar window for screen readers: its accessible object, made only
// when a reader asks, and the events that make a reader speak.
#include "calendar/schedule_wnd.h"

LRESULT CScheduleWnd::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return Default();
    return accessible_.Answer(wParam, [this] {
        return new MonthAccessible(hwnd_, layout_, *context_.names, [this](int day) { SelectDay(day); });
    });
}

void CScheduleWnd::SelectDay(int day) {
    if (day < 1 || day > layout_.daysInMonth) return;
    layout_.SelectDay(day);
    InvalidateDays();
    AnnounceSelection();
}

void CScheduleWnd::AnnounceSelection() {
    if (hwnd_ == nullptr || layout_.selectedDay <= 0) return;
    const LONG child = MonthAccessible::ChildOfCell(CellOfDay(layout_, layout_.selectedDay));
    NotifyWinEvent(EVENT_OBJECT_SELECTION, hwnd_, OBJID_CLIENT, child);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd_, OBJID_CLIENT, child);
}

void CScheduleWnd::AnnounceMonth() {
    if (hwnd_ != nullptr) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}
