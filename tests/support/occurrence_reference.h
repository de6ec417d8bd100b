#pragma once
// The recurrence rules read straight from their definitions, one day at a
// time: the reference the occurrence engine and the month layout are checked
// against. Slow and obvious on purpose.
#include <algorithm>
#include <optional>

#include "core/calendar.h"
#include "core/schedule_item.h"

namespace reference {

inline std::optional<long long> LocalDays(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) return std::nullopt;
    return DaysFromCivil(f.year, f.month, f.day);
}

// Whether the rule puts an occurrence on the day `days` (a DaysFromCivil count).
inline bool IsOccurrenceDay(const ScheduleFront& f, long long startDays, long long days) {
    if (days < startDays) return false;
    int sy = 0, sm = 0, sd = 0, y = 0, m = 0, d = 0;
    CivilFromDays(startDays, sy, sm, sd);
    CivilFromDays(days, y, m, d);
    const int n = f.recurInterval == 0 ? 1 : f.recurInterval;
    const int low = f.recurPattern & 0xFF;
    const int weekday = WeekdayIndexOfDays(days);
    auto onRuleDay = [&](bool nthWeekday, int month) {
        if (m != month) return false;
        if (!nthWeekday) return low >= 1 && d == std::min(low, DaysInMonth(y, m));
        const int nth = low >> 4;
        if (nth > 4 || (low & 15) != weekday) return false;
        return nth == 4 ? d + 7 > DaysInMonth(y, m) : (d - 1) / 7 == nth;
    };
    switch (ClassifyKind(f.recurKind)) {
        case RecurClass::None:
            return days == startDays;
        case RecurClass::Daily:
            return (days - startDays) % n == 0;
        case RecurClass::Weekly:
            return (f.recurPattern & (1 << weekday)) != 0 && (days - startDays) / 7 % n == 0;
        case RecurClass::Monthly:
            return ((y - sy) * 12 + m - sm) % n == 0 && onRuleDay(f.recurKind == kKindMonthlyNth, m);
        case RecurClass::Yearly:
            return (y - sy) % n == 0 && onRuleDay(f.recurKind == kKindYearlyNth, f.recurPattern >> 8);
    }
    return false;
}

// The earliest occurrence starting within [from, to], scanning the days the
// window touches (and one either side, which a time of day may reach into).
inline std::optional<Instant> ScanDays(const ScheduleFront& f, Instant from, Instant to) {
    if (!IsEndless(f) && f.endDate < from) return std::nullopt;
    const std::optional<long long> startDays = LocalDays(f.startDate);
    const std::optional<long long> fromDays = LocalDays(from);
    const std::optional<long long> toDays = LocalDays(to);
    if (!startDays || !fromDays || !toDays) return std::nullopt;
    for (long long days = std::max(*startDays, *fromDays - 1); days <= *toDays + 1; ++days) {
        if (!IsOccurrenceDay(f, *startDays, days)) continue;
        int y = 0, m = 0, d = 0;
        CivilFromDays(days, y, m, d);
        Instant start = 0;
        if (!TryOccurrenceStart(y, m, d, f.startTime, start)) continue;
        if (start >= from && start <= to) return start;
    }
    return std::nullopt;
}

}  // namespace reference
