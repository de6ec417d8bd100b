#include "interop/ics_recurrence.h"

#include <algorithm>
#include <vector>

#include "core/calendar.h"

namespace {

bool Contains(const std::vector<int>& list, int value) { return std::find(list.begin(), list.end(), value) != list.end(); }

// Whether a day matches BYDAY; the ordinals count within `scopeLength` days
// of which `index` (from 0) is this day's place.
bool WeekdayMatches(const IcsRecurRule& rule, int weekday, int index, int scopeLength) {
    for (const IcsByDay& d : rule.byDay) {
        if (d.weekday != weekday) continue;
        if (d.ordinal == 0 || d.ordinal == index / 7 + 1 || d.ordinal == -((scopeLength - 1 - index) / 7 + 1))
            return true;
    }
    return false;
}

bool MonthDayMatches(const IcsRecurRule& rule, int day, int monthLength) {
    return Contains(rule.byMonthDay, day) || Contains(rule.byMonthDay, day - monthLength - 1);
}

class PeriodDays {
public:
    PeriodDays(const IcsRecurRule& rule, long long startDays) : rule_(rule), startDays_(startDays) {
        CivilFromDays(startDays, startYear_, startMonth_, startDay_);
        startWeekday_ = WeekdayIndexOfDays(startDays);
    }

    // A period index at most one before the one that holds `days`: the
    // periods before it need not be looked at.
    long long PeriodBefore(long long days) const {
        if (days <= startDays_) return 0;
        long long steps = 0;
        if (rule_.freq == "DAILY") {
            steps = days - startDays_;
        } else if (rule_.freq == "WEEKLY") {
            steps = (days - startDays_) / 7;
        } else {
            int y = 0, m = 0, d = 0;
            CivilFromDays(days, y, m, d);
            steps = rule_.freq == "MONTHLY" ? (y - startYear_) * 12LL + (m - startMonth_) : y - startYear_;
        }
        return std::max(0LL, steps / rule_.interval - 1);
    }

    // The days of the k-th period, sorted, and the period's first day; false
    // when the frequency is not one read here.
    bool Collect(long long k, std::vector<long long>& days, long long& periodFirst) const {
        days.clear();
        const long long step = k * rule_.interval;
        if (rule_.freq == "DAILY") {
            periodFirst = startDays_ + step;
            if (DayMatches(periodFirst)) days.push_back(periodFirst);
        } else if (rule_.freq == "WEEKLY") {
            periodFirst = startDays_ - (startWeekday_ - rule_.weekStart + 7) % 7 + 7 * step;
            for (long long d = periodFirst; d < periodFirst + 7; ++d)
                if (DayMatches(d)) days.push_back(d);
        } else if (rule_.freq == "MONTHLY") {
            const long long months = startMonth_ - 1 + step;
            const int year = static_cast<int>(startYear_ + months / 12);
            const int month = static_cast<int>(months % 12 + 1);
            periodFirst = DaysFromCivil(year, month, 1);
            if (rule_.byMonth.empty() || Contains(rule_.byMonth, month)) AddMonth(year, month, days);
        } else if (rule_.freq == "YEARLY") {
            const int year = static_cast<int>(startYear_ + step);
            periodFirst = DaysFromCivil(year, 1, 1);
            if (rule_.byYearDay.empty() &&
                (!rule_.byMonth.empty() || (rule_.byDay.empty() && rule_.byMonthDay.empty()))) {
                for (int month = 1; month <= 12; ++month)
                    if (rule_.byMonth.empty() ? month == startMonth_ : Contains(rule_.byMonth, month))
                        AddMonth(year, month, days);
            } else {
                AddYear(year, days);
            }
        } else {
            return false;
        }
        SelectPositions(days);
        return true;
    }

private:
    // A day of a daily or weekly period, which BYDAY names without ordinals.
    bool DayMatches(long long d) const {
        int y = 0, m = 0, day = 0;
        CivilFromDays(d, y, m, day);
        const int weekday = WeekdayIndexOfDays(d);
        if (!rule_.byMonth.empty() && !Contains(rule_.byMonth, m)) return false;
        if (!rule_.byMonthDay.empty() && !MonthDayMatches(rule_, day, DaysInMonth(y, m))) return false;
        if (rule_.byDay.empty()) return rule_.freq != "WEEKLY" || weekday == startWeekday_;
        return WeekdayMatches(rule_, weekday, 0, 1);
    }

    void AddMonth(int year, int month, std::vector<long long>& days) const {
        const int length = DaysInMonth(year, month);
        const long long first = DaysFromCivil(year, month, 1);
        if (rule_.byDay.empty() && rule_.byMonthDay.empty()) {
            // A start on the 31st names no day in a shorter month.
            if (startDay_ <= length) days.push_back(first + startDay_ - 1);
            return;
        }
        for (int day = 1; day <= length; ++day) {
            if (!rule_.byMonthDay.empty() && !MonthDayMatches(rule_, day, length)) continue;
            if (!rule_.byDay.empty() && !WeekdayMatches(rule_, WeekdayIndexOfDays(first + day - 1), day - 1, length))
                continue;
            days.push_back(first + day - 1);
        }
    }

    // A yearly rule by days of the year, or without BYMONTH: BYDAY's ordinals
// count in the year.
    void AddYear(int year, std::vector<long long>& days) const {
        const long long first = DaysFromCivil(year, 1, 1);
        const int length = static_cast<int>(DaysFromCivil(year + 1, 1, 1) - first);
        for (int index = 0; index < length; ++index) {
            const long long d = first + index;
            int y = 0, m = 0, day = 0;
            CivilFromDays(d, y, m, day);
            if (!rule_.byYearDay.empty() && !Contains(rule_.byYearDay, index + 1) &&
                !Contains(rule_.byYearDay, index - length))
                continue;
            if (!rule_.byMonth.empty() && !Contains(rule_.byMonth, m)) continue;
            if (!rule_.byMonthDay.empty() && !MonthDayMatches(rule_, day, DaysInMonth(y, m))) continue;
            if (!rule_.byDay.empty() && !WeekdayMatches(rule_, WeekdayIndexOfDays(d), index, length)) continue;
            days.push_back(d);
        }
    }

    void SelectPositions(std::vector<long long>& days) const {
        if (rule_.bySetPos.empty()) return;
        std::vector<long long> chosen;
        const int n = static_cast<int>(days.size());
        for (int pos : rule_.bySetPos) {
            const int i = pos > 0 ? pos - 1 : n + pos;
            if (i >= 0 && i < n) chosen.push_back(days[static_cast<std::size_t>(i)]);
        }
        std::sort(chosen.begin(), chosen.end());
        chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
        days = std::move(chosen);
    }

    const IcsRecurRule& rule_;
    long long startDays_;
    int startYear_ = 0;
    int startMonth_ = 0;
    int startDay_ = 0;
    int startWeekday_ = 0;
};

}  // namespace

bool ForEachRuleDay(const IcsRecurRule& rule, long long startDays, long long fromDays, long long lastDays,
                    long long& budget, const std::function<bool(long long)>& visit) {
    if (!rule.unsupported.empty() || (!rule.byYearDay.empty() && rule.freq != "YEARLY")) return false;
    // Ordinals mean nothing in a day or a week.
    if (rule.freq == "DAILY" || rule.freq == "WEEKLY")
        for (const IcsByDay& d : rule.byDay)
            if (d.ordinal != 0) return false;
    const PeriodDays periods(rule, startDays);
    std::vector<long long> days;
    long long counted = 0;
    for (long long k = rule.count != 0 ? 0 : periods.PeriodBefore(fromDays);; ++k) {
        if (--budget < 0) return false;
        long long periodFirst = 0;
        if (!periods.Collect(k, days, periodFirst)) return false;
        if (periodFirst > lastDays) return true;
        for (long long d : days) {
            if (d < startDays) continue;
            if (d > lastDays) return true;
            if (rule.count != 0 && ++counted > rule.count) return true;
            if (d >= fromDays && !visit(d)) return true;
        }
    }
}
