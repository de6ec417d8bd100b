// The frame's part in the reminders: the timer, the moments that must check
// at once, and what the schedule tells the windows.
#include "app/main_frame.h"

#include <ctime>

#include "core/local_zone.h"
#include "core/schedule_changes.h"
#include "ui/window_messages.h"

LRESULT CMainFrame::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam == kSyncTimerId) {
        OnSyncTimer();
        return 0;
    }
    if (wParam != kReminderTimerId) return Default();
    scheduler_.OnTimer();
    return 0;
}

void CMainFrame::CheckNow() {
    // The timer may be up to ten minutes away; what fell due must not wait.
    scheduler_.OnTimer();
}

LRESULT CMainFrame::OnPowerBroadcast(WPARAM wParam, LPARAM) {
    if (wParam == PBT_APMRESUMEAUTOMATIC) CheckNow();
    return TRUE;
}

LRESULT CMainFrame::OnTimeChange(WPARAM, LPARAM) {
    _tzset();  // the runtime caches the zone; a changed zone must be read again
    ResetLocalTimeCache();
    CheckNow();
    return 0;
}

void CMainFrame::CalendarChanged() {
    if (scheduleWnd_ != nullptr) SendMessageW(scheduleWnd_, WM_SCHEDULECHANGED, kCalendarEventsChanged, 0);
}

void CMainFrame::UpcomingEventsDeleted() {
    if (dueEventWnd_ != nullptr) SendMessageW(dueEventWnd_, WM_SCHEDULECHANGED, kUpcomingDeleted, 0);
}

bool CMainFrame::IsOpen() const { return dueEventWnd_ != nullptr; }

void CMainFrame::Open() { OpenUpcoming(); }

void CMainFrame::Send(std::uintptr_t code, PendingReminder* record) {
    if (dueEventWnd_ != nullptr) {
        SendMessageW(dueEventWnd_, WM_SCHEDULECHANGED, code, reinterpret_cast<LPARAM>(record));
    }
}
