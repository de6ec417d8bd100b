#include "interop/ics_zone.h"

#include <algorithm>

#include "core/calendar.h"

long long WallSeconds(int year, int month, int day, int seconds) {
    return DaysFromCivil(year, month, day) * 86400 + seconds;
}

long long WallSeconds(const IcsTime& t) { return WallSeconds(t.year, t.month, t.day, t.seconds); }

namespace {

// Some writers spell out the observance's own time of day in the rule
// (BYHOUR=2;BYMINUTE=0); a time of their own would change more than once a
// day, which no zone does.
bool OnlyRepeatsItsTime(const IcsRecurRule& rule, int timeOfDay) {
    for (const std::string& name : rule.unsupported) {
        const std::vector<int>* list = nullptr;
        int part = 0;
        if (name == "BYHOUR") {
            list = &rule.byHour, part = timeOfDay / 3600;
        } else if (name == "BYMINUTE") {
            list = &rule.byMinute, part = timeOfDay / 60 % 60;
        } else if (name == "BYSECOND") {
            list = &rule.bySecond, part = timeOfDay % 60;
        } else {
            return false;
        }
        if (*list != std::vector<int>{part}) return false;
    }
    return true;
}

}  // namespace

bool IcsZone::FromComponent(const IcsComponent& vtimezone, IcsZone& out) {
    IcsZone zone;
    for (const IcsComponent& c : vtimezone.components) {
        if (c.name != "STANDARD" && c.name != "DAYLIGHT") continue;
        const IcsProperty* start = c.Find("DTSTART");
        const IcsProperty* from = c.Find("TZOFFSETFROM");
        const IcsProperty* to = c.Find("TZOFFSETTO");
        IcsTime t;
        Observance o;
        if (start == nullptr || from == nullptr || to == nullptr || !ParseIcsTime(start->value, t) ||
            !ParseUtcOffset(from->value, o.from) || !ParseUtcOffset(to->value, o.to))
            continue;
        o.start = WallSeconds(t);
        o.month = t.month;
        o.timeOfDay = t.seconds;
        IcsRecurRule rule;
        if (const IcsProperty* rrule = c.Find("RRULE");
            rrule != nullptr && ParseRecurRule(rrule->value, rule) && rule.freq == "YEARLY" && rule.interval == 1 &&
            rule.byMonth.size() <= 1 && OnlyRepeatsItsTime(rule, t.seconds)) {
            o.yearly = true;
            if (!rule.byMonth.empty()) o.month = rule.byMonth.front();
            o.byDay = rule.byDay;
            o.byMonthDay = rule.byMonthDay;
            if (rule.byDay.empty() && rule.byMonthDay.empty()) o.byMonthDay.push_back(t.day);
            if (rule.hasUntil) o.until = WallSeconds(rule.until) + (rule.until.utc ? o.from : 0);
        }
        for (const IcsProperty* rdate : c.FindAll("RDATE")) {
            std::vector<IcsTime> dates;
            if (!ParseIcsTimeList(*rdate, dates)) continue;
            for (const IcsTime& d : dates) o.dates.push_back(WallSeconds(d) + (d.utc ? o.from : 0));
        }
        zone.observances_.push_back(std::move(o));
    }
    if (zone.observances_.empty()) return false;
    out = std::move(zone);
    return true;
}

bool IcsZone::OnsetIn(const Observance& o, int year, long long& out) {
    const int length = DaysInMonth(year, o.month);
    // An ordinal weekday ("-1SU", "2SU") names the day by itself.
    for (const IcsByDay& d : o.byDay) {
        if (d.ordinal == 0) continue;
        const int nth = d.ordinal < 0 ? 5 : d.ordinal;
        int day = 0;
        if (d.ordinal < -1 || nth > 5 || !NthWeekdayOfMonth(year, o.month, nth, d.weekday + 1, day)) return false;
        if (d.ordinal == 5 && day + 7 <= length) return false;  // no fifth one this year
        out = WallSeconds(year, o.month, day, o.timeOfDay);
        return true;
    }
    // Otherwise the first day that both the day list and the weekdays accept.
    for (int day = 1; day <= length; ++day) {
        const bool dayOk = o.byMonthDay.empty() || std::any_of(o.byMonthDay.begin(), o.byMonthDay.end(), [&](int n) {
                               return n == day || (n < 0 && length + 1 + n == day);
                           });
        const int weekday = WeekdayIndexOfDays(DaysFromCivil(year, o.month, day));
        const bool weekdayOk = o.byDay.empty() || std::any_of(o.byDay.begin(), o.byDay.end(),
                                                              [&](const IcsByDay& d) { return d.weekday == weekday; });
        if (dayOk && weekdayOk) {
            out = WallSeconds(year, o.month, day, o.timeOfDay);
            return true;
        }
    }
    return false;
}

int IcsZone::OffsetAt(long long wallSeconds) const {
    long long best = LLONG_MIN;
    const Observance* found = nullptr;
    auto consider = [&](const Observance& o, long long onset) {
        if (onset <= wallSeconds && onset >= o.start && onset > best) {
            best = onset;
            found = &o;
        }
    };
    int year = 0, month = 0, day = 0;
    CivilFromDays(wallSeconds >= 0 ? wallSeconds / 86400 : (wallSeconds - 86399) / 86400, year, month, day);
    for (const Observance& o : observances_) {
        consider(o, o.start);
        for (long long d : o.dates) consider(o, d);
        if (!o.yearly) continue;
        for (int y = year - 1; y <= year; ++y) {
            long long onset = 0;
            if (OnsetIn(o, y, onset) && onset <= o.until) consider(o, onset);
        }
    }
    if (found != nullptr) return found->to;
    // Before every observance: the offset the earliest one changes from.
    const auto earliest = std::min_element(observances_.begin(), observances_.end(),
                                           [](const Observance& a, const Observance& b) { return a.start < b.start; });
    return earliest->from;
}
