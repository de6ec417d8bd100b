#pragma once
#include <cstdint>

// wParam of WM_SCHEDULECHANGED. Portable, so the reminder scheduler sends the
// same codes the windows read.
enum ScheduleChange : std::uintptr_t {
    kCalendarEventsChanged = 0,  // to the calendar window: events saved, deleted or excluded
    kUpcomingDeleted = 1,        // to the upcoming-events window: an event was deleted
    kUpcomingRefresh = 2,        // to the upcoming-events window: after a reminder check
    kUpcomingRebuild = 3,        // to the upcoming-events window: rebuild; accepted, though nothing here sends it
    kUpcomingBegun = 4,          // to the upcoming-events window: lParam = the begun PendingReminder
    kUpcomingMissed = 5,         // to the upcoming-events window: lParam = a PendingReminder begun while away
};
