#include "core/occurrence.h"

#include <algorithm>

#include "core/calendar.h"
#include "core/recurrence_days.h"

// The rule names days (RecurrenceDays); only the few instants compared with
// the window go through the local-time conversion, so counts of days, weeks,
// months and years stay calendar counts on daylight-saving days.
//
// A time of day outside the day would move occurrences onto other days,
// even out of the window: such a record occurs nowhere.

namespace {

// The first day from which an occurrence may start at or after `from`;
// false when that day lies after toDays.
bool FirstCandidate(const ScheduleFront& front, Instant from, long long startDays, long long toDays,
                    long long& candidate) {
    LocalFields f;
    if (!BreakDownLocal(from, f)) return false;
    const long long fromDays = DaysFromCivil(f.year, f.month, f.day);
    // Compare instants, not times of day: on a daylight-saving day the two
    // disagree, and no occurrence before `from` may be returned.
    Instant today = 0;
    if (!TryOccurrenceStart(f.year, f.month, f.day, front.startTime, today)) return false;
    candidate = today >= from ? fromDays : fromDays + 1;
    if (candidate > toDays) return false;
    // The start date's occurrence lies before `from`, even where a clock set
    // back across midnight reads from's date as an earlier one.
    candidate = std::max(candidate, startDays + 1);
    return true;
}

}  // namespace

bool FindOccurrence(const ScheduleItem& item, Instant from, Instant to, Instant* start) {
    const ScheduleFront& front = item.front;
    if (front.startTime < 0 || front.startTime >= kSecondsPerDay) return false;
    LocalFields sf;
    if (!BreakDownLocal(front.startDate, sf)) return false;
    Instant first = 0;
    if (!TryOccurrenceStart(sf.year, sf.month, sf.day, front.startTime, first)) return false;
    if (first > to) return false;
    if (!IsEndless(front) && front.endDate < from) return false;

    Instant found = first;
    if (!IsRecurring(front.recurKind)) {
        if (first < from) return false;
    } else {
        const RecurrenceDays rule(front.recurKind, front.recurPattern, front.recurInterval, sf.year, sf.month,
                                  sf.day);
        LocalFields tf;
        if (!BreakDownLocal(std::min(to, kLatestInstant), tf)) return false;
        const long long toDays = DaysFromCivil(tf.year, tf.month, tf.day);
        long long day = rule.StartDays();
        if (first < from && !FirstCandidate(front, from, rule.StartDays(), toDays, day)) return false;
        // A start two dates or more after to's reads over a day later than
        // `to`, so it lies after `to` unless the offset grew by more than a
        // day meanwhile. Such dates are not turned into instants: a date
        // years off would cost learning the zone's offsets there.
        if (!rule.FirstIn(day, toDays + 1, day)) return false;
        if (day != rule.StartDays()) {
            int y = 0, m = 0, d = 0;
            CivilFromDays(day, y, m, d);
            if (!TryOccurrenceStart(y, m, d, front.startTime, found)) return false;
        }
        if (found > to) return false;
    }
    if (start != nullptr) *start = found;
    return true;
}

long long DistanceFromNow(const ScheduleItem& item, Instant now) {
    const ScheduleFront& f = item.front;
    const Instant last = IsEndless(f) ? kLatestInstant : static_cast<Instant>(f.endDate);
    Instant at = 0;
    if (FindOccurrence(item, std::max<Instant>(now, f.startDate), last, &at)) return at - now;
    return now - std::min<Instant>(now, last);
}
