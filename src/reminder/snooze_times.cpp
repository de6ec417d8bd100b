#include "reminder/snooze_times.h"

#include "core/calendar.h"

bool SnoozeUntil(Instant now, int choice, Instant& until) {
    static constexpr int kMinutes[kSnoozeTomorrow] = {5, 10, 15, 30, 60, 120};
    if (choice >= 0 && choice < kSnoozeTomorrow) {
        until = now + static_cast<Instant>(kMinutes[choice]) * 60;
        return true;
    }
    if (choice != kSnoozeTomorrow) return false;
    LocalFields f;
    if (!BreakDownLocal(now, f)) return false;
    int y = 0, m = 0, d = 0;
    CivilFromDays(DaysFromCivil(f.year, f.month, f.day) + 1, y, m, d);
    return TryMakeLocalTime(y, m, d, f.hour, f.minute, f.second, until);
}
