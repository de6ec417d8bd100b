// Which month the calendar window shows.
#include "calendar/schedule_wnd.h"
#include "core/calendar.h"
#include "core/occurrence.h"

void CScheduleWnd::ShowEvent(std::uint32_t eventId, Instant from, bool openEditor) {
    const ScheduleItem* item = context_.store->FindEvent(eventId);
    if (item == nullptr) return;
    const ScheduleFront& f = item->front;
    const Instant last = IsEndless(f) ? kLatestInstant : static_cast<Instant>(f.endDate);
    Instant start = 0;
    if (!(from <= last && FindOccurrence(*item, from, last, &start)) &&
        !FindOccurrence(*item, f.startDate, last, &start)) {
        return;
    }
    LocalFields at;
    if (!BreakDownLocal(start, at)) return;
    if ((at.year != layout_.year || at.month != layout_.month) && !layout_.SetupMonth(at.year, at.month)) return;
    // Whatever was selected before must not stay selected beside the shown day.
    layout_.SelectDay(at.day);
    layout_.SelectEventById(eventId);
    InvalidateRect(hwnd_, nullptr, FALSE);
    AnnounceMonth();
    AnnounceSelection();
    if (openEditor) EditEvent(eventId);
}

void CScheduleWnd::ShowMonth(int year, int month) {
    // Months the runtime cannot convert are out of reach; the display stays.
    if (!layout_.SetupMonth(year, month)) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    AnnounceMonth();
}

void CScheduleWnd::PrevMonth() {
    if (layout_.month <= 1) {
        ShowMonth(layout_.year - 1, 12);
    } else {
        ShowMonth(layout_.year, layout_.month - 1);
    }
}

void CScheduleWnd::NextMonth() {
    if (layout_.month >= 12) {
        ShowMonth(layout_.year + 1, 1);
    } else {
        ShowMonth(layout_.year, layout_.month + 1);
    }
}

void CScheduleWnd::ThisMonth() {
    LocalFields now;
    if (!BreakDownLocal(context_.clock->Now(), now)) return;
    const bool dayMoved = TakeToday();
    if (layout_.year != now.year || layout_.month != now.month) {
        if (!layout_.SetupMonth(now.year, now.month)) return;
        AnnounceMonth();
    } else if (!dayMoved) {
        return;
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}
