#include "support/ical_oracle.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "core/calendar.h"
#include "core/occurrence.h"

namespace {

constexpr const char* kDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

std::string MonthDay(int day) {
    std::ostringstream s;
    s << "BYMONTHDAY=" << std::min(day, 28);
    if (day <= 28) return s.str();
    for (int d = 29; d <= day; ++d) s << ',' << d;
    s << ";BYSETPOS=-1";
    return s.str();
}

std::string NthWeekday(int low) {
    const int nth = low >> 4;
    std::ostringstream s;
    s << "BYDAY=" << (nth == 4 ? -1 : nth + 1) << kDays[low & 15];
    return s.str();
}

// Whether the runtime's local time at t reads `wall`.
bool Shows(Instant t, const icaltimetype& wall) {
    LocalFields f;
    return BreakDownLocalUncached(t, f) && f.year == wall.year && f.month == wall.month && f.day == wall.day &&
           f.hour == wall.hour && f.minute == wall.minute && f.second == wall.second;
}

}  // namespace

std::string RecurrenceRule(const ScheduleFront& f) {
    const RecurClass kind = ClassifyKind(f.recurKind);
    if (kind == RecurClass::None) return "";
    const int low = f.recurPattern & 0xFF;
    std::ostringstream s;
    s << "FREQ=" << (kind == RecurClass::Daily ? "DAILY" : kind == RecurClass::Weekly ? "WEEKLY"
                     : kind == RecurClass::Monthly ? "MONTHLY" : "YEARLY")
      << ";INTERVAL=" << (f.recurInterval == 0 ? 1 : f.recurInterval);
    if (kind == RecurClass::Weekly) {
        LocalFields start;
        BreakDownLocal(f.startDate, start);
        s << ";WKST=" << kDays[start.weekdayIndex] << ";BYDAY=";
        const char* comma = "";
        for (int d = 0; d < 7; ++d) {
            if ((low & (1 << d)) == 0) continue;
            s << comma << kDays[d];
            comma = ",";
        }
    } else if (kind == RecurClass::Monthly) {
        s << ';' << (f.recurKind == kKindMonthlyNth ? NthWeekday(low) : MonthDay(low));
    } else if (kind == RecurClass::Yearly) {
        s << ";BYMONTH=" << (f.recurPattern >> 8) << ';'
          << (f.recurKind == kKindYearlyNth ? NthWeekday(low) : MonthDay(low));
    }
    return s.str();
}

icaltimezone* IcalZone(const char* olson) {
    const std::string name = olson;
    if (name == "UTC") return icaltimezone_get_utc_timezone();
    return icaltimezone_get_builtin_timezone(olson);
}

IcalEvent::IcalEvent(const ScheduleFront& f, icaltimezone* zone, Reading reading, Mapping mapping)
    : zone_(zone), reading_(reading), recurs_(IsRecurring(f.recurKind)), dtstart_(ReadingAt(f.startDate)) {
    dtstart_.hour = f.startTime / 3600;
    dtstart_.minute = f.startTime / 60 % 60;
    dtstart_.second = f.startTime % 60;
    if (!recurs_) return;
    // The end as a reading in the zone rather than in UTC: libical compares
    // the two with its own zone data, which must not move the last day.
    const icaltimetype until = ReadingAt(f.endDate);
    auto add = [&](const std::string& text, icaltimetype dtstart) {
        Series series{icalrecurrencetype_from_string(text.c_str()), dtstart, Resolve(dtstart)};
        if (!IsEndless(f)) series.rule.until = until;
        series_.push_back(series);
    };
    if (mapping == Mapping::OneRule || ClassifyKind(f.recurKind) != RecurClass::Weekly) {
        add(RecurrenceRule(f), dtstart_);
        return;
    }
    const std::string rule = "FREQ=WEEKLY;INTERVAL=" + std::to_string(f.recurInterval == 0 ? 1 : f.recurInterval);
    const int startWeekday = icaltime_day_of_week(dtstart_) - 1;
    for (int d = 0; d < 7; ++d) {
        if ((f.recurPattern & (1 << d)) == 0) continue;
        icaltimetype dtstart = dtstart_;
        icaltime_adjust(&dtstart, (d - startWeekday + 7) % 7, 0, 0, 0);
        add(rule, dtstart);
    }
}

// The local reading of t as the runtime gives it, in the zone or floating.
icaltimetype IcalEvent::ReadingAt(Instant t) const {
    LocalFields f;
    BreakDownLocalUncached(t, f);
    icaltimetype r = icaltime_null_time();
    r.year = f.year;
    r.month = f.month;
    r.day = f.day;
    r.hour = f.hour;
    r.minute = f.minute;
    r.second = f.second;
    r.zone = reading_ == Reading::Libical ? zone_ : nullptr;
    return r;
}

Instant IcalEvent::Resolve(const icaltimetype& wall) const {
    if (reading_ == Reading::Libical) return icaltime_as_timet_with_zone(wall, zone_);
    Instant t = 0;
    if (!TryMakeLocalTime(wall.year, wall.month, wall.day, wall.hour, wall.minute, wall.second, t)) {
        return std::numeric_limits<Instant>::max();
    }
    return t;
}

bool IcalEvent::First(const Series& series, Instant from, Instant to, Instant& start, icaltimetype& wall) const {
    icalrecur_iterator* it = icalrecur_iterator_new(series.rule, series.dtstart);
    if (it == nullptr) return false;
    // A day early: a reading in a gap may name an instant after its own.
    const Instant skipTo = from - kSecondsPerDay;
    if (skipTo > series.first) {
        icalrecur_iterator_set_start(it, reading_ == Reading::Libical ? icaltime_from_timet_with_zone(skipTo, 0, zone_)
                                                                      : ReadingAt(skipTo));
    }
    bool found = false;
    for (icaltimetype o = icalrecur_iterator_next(it); !icaltime_is_null_time(o); o = icalrecur_iterator_next(it)) {
        const Instant t = Resolve(o);
        if (t > to) break;
        if (t >= from) {
            start = t;
            wall = o;
            found = true;
            break;
        }
    }
    icalrecur_iterator_free(it);
    return found;
}

bool IcalEvent::FirstOccurrence(Instant from, Instant to, Instant& start, icaltimetype* wall) const {
    if (to < from) return false;
    if (!recurs_) {
        const Instant t = Resolve(dtstart_);
        if (t < from || t > to) return false;
        start = t;
        if (wall != nullptr) *wall = dtstart_;
        return true;
    }
    bool found = false;
    for (const Series& series : series_) {
        Instant t = 0;
        icaltimetype w{};
        if (!First(series, from, found ? start : to, t, w)) continue;
        start = t;
        if (wall != nullptr) *wall = w;
        found = true;
    }
    return found;
}

bool IsAmbiguousReading(const icaltimetype& wall, icaltimezone* zone) {
    Instant ours = 0;
    if (!TryMakeLocalTime(wall.year, wall.month, wall.day, wall.hour, wall.minute, wall.second, ours)) return false;
    const Instant theirs = icaltime_as_timet_with_zone(wall, zone);
    if (ours == theirs) return false;
    // In a gap neither instant shows the reading, in an overlap both do.
    const bool oursShows = Shows(ours, wall);
    const bool theirsShows = Shows(theirs, wall);
    return oursShows == theirsShows;
}

Comparison CompareWithLibical(const std::vector<OccurrenceQuery>& queries, icaltimezone* zone) {
    Comparison c;
    for (const OccurrenceQuery& q : queries) {
        ++c.queries;
        const ScheduleFront& f = q.item.front;
        Instant ours = 0;
        Instant theirs = 0;
        icaltimetype wall{};
        const bool oursFound = FindOccurrence(q.item, q.from, q.to, &ours);
        const bool theirsFound = IcalEvent(f, zone).FirstOccurrence(q.from, q.to, theirs, &wall);
        if (oursFound == theirsFound && (!oursFound || ours == theirs)) {
            c.found += oursFound ? 1 : 0;
            continue;
        }
        // libical's rule alone, every reading turned into an instant as ours.
        auto ruleAgrees = [&](Mapping mapping, icaltimetype& w) {
            Instant t = 0;
            const bool found = IcalEvent(f, zone, Reading::Ours, mapping).FirstOccurrence(q.from, q.to, t, &w);
            return found == oursFound && (!found || t == ours);
        };
        icaltimetype ruleWall{};
        if (ruleAgrees(Mapping::OneRule, ruleWall)) {
            // The instants differ: tell why from libical's occurrence, or
            // from the rule's when libical found none.
            const icaltimetype& w = theirsFound ? wall : ruleWall;
            Instant read = 0;
            const bool readable = TryMakeLocalTime(w.year, w.month, w.day, w.hour, w.minute, w.second, read);
            if (IsAmbiguousReading(w, zone)) {
                ++c.readings;
                continue;
            }
            if (readable && Shows(read, w) && !Shows(icaltime_as_timet_with_zone(w, zone), w)) {
                ++c.zoneData;
                continue;
            }
            if (theirsFound && w.hour * 3600 + w.minute * 60 + w.second != f.startTime) {
                ++c.shiftedByGap;
                continue;
            }
        }
        if (ClassifyKind(f.recurKind) == RecurClass::Weekly && f.recurInterval > 1 &&
            ruleAgrees(Mapping::RulePerWeekday, ruleWall)) {
            ++c.weekStart;
            continue;
        }
        std::ostringstream s;
        s << "kind " << int(f.recurKind) << " " << RecurrenceRule(f) << " start " << f.startDate << "+"
          << f.startTime << (IsEndless(f) ? " endless" : " until ") << (IsEndless(f) ? "" : std::to_string(f.endDate))
          << " window " << q.from << ".." << q.to << ": ours "
          << (oursFound ? std::to_string(ours) : std::string("none")) << ", libical "
          << (theirsFound ? std::to_string(theirs) : std::string("none"));
        c.disagreements.push_back(s.str());
    }
    return c;
}
