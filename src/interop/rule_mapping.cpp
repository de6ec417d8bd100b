#include "interop/rule_mapping.h"

#include "core/calendar.h"
#include "interop/import_report.h"

namespace r = import_reason;

namespace {

int MinMonthLength(int month) { return month == 2 ? 28 : DaysInMonth(2001, month); }

// The day of the month a BYMONTHDAY (and BYSETPOS) names, as our rules
// store it: a day every month has, 31 for the last day (our rule lowers it
// to the month's length), or the last of a run of days from one every
// month has; 0 when it is none of these.
int RuleMonthDay(const IcsRecurRule& rule, int minLength) {
    const std::vector<int>& days = rule.byMonthDay;
    if (days.size() == 1 && rule.bySetPos.empty()) {
        if (days[0] == -1) return 31;
        return days[0] >= 1 && days[0] <= minLength ? days[0] : 0;
    }
    if (days.size() < 2 || rule.bySetPos != std::vector<int>{-1} || days.front() < 1 || days.front() > minLength)
        return 0;
    for (std::size_t i = 1; i < days.size(); ++i)
        if (days[i] != days[i - 1] + 1) return 0;
    return days.back() <= 31 ? days.back() : 0;
}

// The n-th weekday a BYDAY (and BYSETPOS) names as our pattern byte
// ((n-th index << 4) | weekday), or -1.
int RuleNthWeekday(const IcsRecurRule& rule) {
    if (rule.byDay.size() != 1 || !rule.byMonthDay.empty()) return -1;
    int ordinal = rule.byDay[0].ordinal;
    if (ordinal == 0 && rule.bySetPos.size() == 1) ordinal = rule.bySetPos[0];
    else if (!rule.bySetPos.empty()) return -1;
    if (ordinal == -1) ordinal = 5;
    if (ordinal < 1 || ordinal > 5 || (ordinal == 5 && rule.byDay[0].ordinal != -1 && rule.bySetPos != std::vector<int>{-1}))
        return -1;
    return (ordinal - 1) << 4 | rule.byDay[0].weekday;
}

}  // namespace

const char* MapRule(const IcsRecurRule& rr, const IcsTime& source, long long shift, long long localStart,
                    MappedRule& out, std::vector<long long>& preExcluded) {
    if (!rr.unsupported.empty() || !rr.byYearDay.empty() || rr.interval > 200) return r::kRule;
    out = MappedRule{};
    out.interval = rr.interval;
    out.startDays = localStart;
    const int sourceWeekday = WeekdayIndexOfDays(DaysFromCivil(source.year, source.month, source.day));
    std::string freq = rr.freq;
    // Every weekday of a list, daily, is weekly on those days.
    if (freq == "DAILY" && !rr.byDay.empty() && rr.interval == 1) freq = "WEEKLY";
    if (freq == "DAILY") {
        if (!rr.byDay.empty() || !rr.byMonthDay.empty() || !rr.byMonth.empty() || !rr.bySetPos.empty()) return r::kRule;
        out.kind = kKindDaily;
        return nullptr;
    }
    if (freq == "WEEKLY") {
        if (!rr.byMonthDay.empty() || !rr.byMonth.empty() || !rr.bySetPos.empty()) return r::kRule;
        int mask = 0;
        for (const IcsByDay& d : rr.byDay) {
            if (d.ordinal != 0) return r::kRule;
            mask |= 1 << ((d.weekday + shift % 7 + 7) % 7);
        }
        if (mask == 0) mask = 1 << ((sourceWeekday + shift % 7 + 7) % 7);
        out.kind = kKindWeekly;
        out.pattern = static_cast<std::uint16_t>(mask);
        if (rr.interval > 1) {
            // Our weeks begin on the start date's weekday, the file's on
            // WKST: start on the file's first week day and leave out what
            // that week holds before DTSTART.
            const int weekStart = static_cast<int>((rr.weekStart + shift % 7 + 7) % 7);
            const long long back = (WeekdayIndexOfDays(localStart) - weekStart + 7) % 7;
            RecurrenceDays::FromDays(out.kind, out.pattern, out.interval, localStart - back)
                .ForEachIn(localStart - back, localStart - 1, [&](long long d) { preExcluded.push_back(d); });
            if (!preExcluded.empty()) out.startDays = localStart - back;
        }
        return nullptr;
    }
    // Monthly in one month only is yearly in that month.
    if (freq == "MONTHLY" && rr.byMonth.size() == 1 && rr.interval == 1) freq = "YEARLY";
    const bool monthly = freq == "MONTHLY";
    if (!monthly && freq != "YEARLY") return r::kRule;
    if (monthly ? !rr.byMonth.empty() : rr.byMonth.size() > 1) return r::kRule;
    const int month = monthly ? 0 : (rr.byMonth.empty() ? source.month : rr.byMonth[0]);
    const int minLength = monthly ? 28 : MinMonthLength(month);
    int day = 0;
    int nth = -1;
    if (rr.byDay.empty() && rr.byMonthDay.empty()) {
        if (!rr.bySetPos.empty()) return r::kRule;
        day = source.day;
        if (day > minLength) return r::kMissingDay;
    } else if (rr.byDay.empty()) {
        if (!monthly && rr.byMonth.empty()) return r::kRule;  // every month's day, yearly
        day = RuleMonthDay(rr, minLength);
        if (day == 0) return rr.byMonthDay.size() == 1 && rr.byMonthDay[0] > 0 ? r::kMissingDay : r::kRule;
    } else {
        if (!monthly && rr.byMonth.empty()) return r::kRule;  // a weekday of the year
        nth = RuleNthWeekday(rr);
        if (nth < 0) return rr.byDay.size() == 1 && rr.byDay[0].ordinal == 5 ? r::kMissingDay : r::kRule;
    }
    if (shift != 0) {
        // A day of the month moved by the zone stays a rule only well inside the month.
        if (nth >= 0 || day > 28 || day + shift < 1 || day + shift > 28) return r::kZoneShift;
        day += static_cast<int>(shift);
    }
    const int low = nth >= 0 ? nth : day;
    out.kind = monthly ? (nth >= 0 ? kKindMonthlyNth : kKindMonthlyDay) : (nth >= 0 ? kKindYearlyNth : kKindYearlyDate);
    out.pattern = static_cast<std::uint16_t>(month << 8 | low);
    return nullptr;
}
