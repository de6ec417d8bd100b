#include "interop/rule_days.h"

#include <algorithm>
#include <bit>

#include "core/calendar.h"
#include "core/schedule_item.h"

namespace {

void AdvanceMonths(int& year, int& month, long long count) {
    const long long index = month - 1 + count;
    year += static_cast<int>(index / 12);
    month = static_cast<int>(index % 12) + 1;
}

}  // namespace

int RuleDays::DayIn(int year, int month) const {
    const int low = pattern & 0xFF;
    if (kind == kKindMonthlyNth || kind == kKindYearlyNth) {
        // The n-th weekday by calendar days, as NthWeekdayOfMonth counts.
        const int first = WeekdayIndexOfDays(DaysFromCivil(year, month, 1));
        int day = 1 + ((low & 15) - first + 7) % 7 + (low >> 4) * 7;
        if (day > DaysInMonth(year, month)) day -= 7;
        return day;
    }
    return std::min(low, DaysInMonth(year, month));
}

long long RuleDays::FirstFrom(long long fromDays) const {
    long long d = std::max(fromDays, startDays);
    const long long n = interval < 1 ? 1 : interval;
    int sy = 0, sm = 0, sd = 0, y = 0, m = 0, day = 0;
    CivilFromDays(startDays, sy, sm, sd);
    CivilFromDays(d, y, m, day);
    switch (ClassifyKind(kind)) {
        case RecurClass::Daily: {
            const long long r = (d - startDays) % n;
            return r == 0 ? d : d + n - r;
        }
        case RecurClass::Weekly: {
            const int mask = pattern & 0x7F;
            if (mask == 0) return d;
            const long long weeks = (d - startDays) / 7;
            if (weeks % n != 0) d = startDays + (weeks + n - weeks % n) * 7;
            while ((mask & (1 << WeekdayIndexOfDays(d))) == 0) {
                ++d;
                if ((d - startDays) % 7 == 0) d += (n - 1) * 7;
            }
            return d;
        }
        case RecurClass::Monthly: {
            const long long months = (y - sy) * 12LL + (m - sm);
            if (months % n != 0) {
                AdvanceMonths(y, m, n - months % n);
                day = 1;
            }
            if (DayIn(y, m) < day) AdvanceMonths(y, m, n);
            return DaysFromCivil(y, m, DayIn(y, m));
        }
        case RecurClass::Yearly: {
            const int month = pattern >> 8;
            if ((y - sy) % n != 0) {
                y += static_cast<int>(n - (y - sy) % n);
                m = 1;
                day = 1;
            }
            if (month < m || (month == m && DayIn(y, month) < day)) y += static_cast<int>(n);
            return DaysFromCivil(y, month, DayIn(y, month));
        }
        case RecurClass::None:
            break;
    }
    return d;
}

long long RuleDays::Nth(long long first, long long count) const {
    const long long n = interval < 1 ? 1 : interval;
    const long long more = count - 1;
    int y = 0, m = 0, d = 0;
    CivilFromDays(first, y, m, d);
    switch (ClassifyKind(kind)) {
        case RecurClass::Daily:
            return first + more * n;
        case RecurClass::Weekly: {
            const int mask = pattern & 0x7F;
            const long long perWeek = std::popcount(static_cast<unsigned>(mask));
            if (perWeek == 0) return first;
            const long long weekStart = startDays + (first - startDays) / 7 * 7;
            long long left = more;
            long long day = first;
            // The rest of the first week, then whole active weeks, then a walk.
            for (long long k = first + 1; k < weekStart + 7 && left > 0; ++k)
                if (mask & (1 << WeekdayIndexOfDays(k))) day = k, --left;
            if (left == 0) return day;
            const long long weeks = (left - 1) / perWeek;
            left -= weeks * perWeek;
            for (day = weekStart + (weeks + 1) * n * 7;; ++day)
                if ((mask & (1 << WeekdayIndexOfDays(day))) && --left == 0) return day;
        }
        case RecurClass::Monthly:
            AdvanceMonths(y, m, more * n);
            return DaysFromCivil(y, m, DayIn(y, m));
        case RecurClass::Yearly:
            y += static_cast<int>(more * n);
            return DaysFromCivil(y, pattern >> 8, DayIn(y, pattern >> 8));
        case RecurClass::None:
            break;
    }
    return first;
}
