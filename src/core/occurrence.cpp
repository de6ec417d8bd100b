#include "core/occurrence.h"

#include <algorithm>

#include "core/calendar.h"

// Dates are handled as day counts (DaysFromCivil) so that counts of days,
// weeks, months and years stay calendar counts on daylight-saving days; only
// the few instants compared with the window go through the local-time
// conversion.
//
// Stored values the editor never writes are refused rather than guessed at:
// a monthly or yearly day 0 (it would roll into the previous month), an n-th
// index above 4 or a weekday index above 6, a yearly month outside 1..12 and
// a time of day outside the day (it would move occurrences onto other days,
// even out of the window) all make the rule occur nowhere. An interval of 0
// counts as 1.

namespace {

struct Search {
    explicit Search(const ScheduleFront& f) : front(f) {}

    const ScheduleFront& front;
    LocalFields startFields;
    long long startDays = 0;
    Instant first = 0;
    long long interval = 1;
    bool fromStart = false;  // the first occurrence is not yet past
    long long candidate = 0;  // C, as a day count
    int earliestDay = 1;      // d0
    long long toDays = 0;     // local date of `to`

    // Later dates have their midnight after `to`; earlier ones or the same one do not.
    bool AfterWindow(long long days) const { return days > toDays; }

    bool StartOn(long long days, Instant& out) const {
        // A start two dates or more after to's reads over a day later than
        // `to`, so it lies after `to` unless the offset grew by more than a
        // day meanwhile. Such dates are not turned into instants: a date
        // years off would cost learning the zone's offsets there.
        if (days > toDays + 1) return false;
        if (days == startDays) {
            out = first;
            return true;
        }
        int y = 0;
        int m = 0;
        int d = 0;
        CivilFromDays(days, y, m, d);
        return TryOccurrenceStart(y, m, d, front.startTime, out);
    }

    bool StartOn(int year, int month, int day, Instant& out) const {
        return StartOn(DaysFromCivil(year, month, day), out);
    }

    // The rule's day in (year, month); false when the stored rule names none.
    bool RuleDay(bool nthWeekday, int year, int month, int& day) const {
        const int low = front.recurPattern & 0xFF;
        if (nthWeekday) return NthWeekdayOfMonth(year, month, (low >> 4) + 1, (low & 15) + 1, day);
        if (low == 0) return false;
        day = std::min(low, DaysInMonth(year, month));
        return true;
    }

    bool Daily(Instant& out) {
        if (fromStart) {
            out = first;
            return true;
        }
        const long long r = (candidate - startDays) % interval;
        if (r != 0) candidate += interval - r;
        return StartOn(candidate, out);
    }

    bool Weekly(Instant& out) {
        const int mask = front.recurPattern & 0x7F;
        if (mask == 0) return false;
        if (!fromStart) {
            const long long weeks = (candidate - startDays) / 7;
            const long long r = weeks % interval;
            if (r != 0) {
                candidate = startDays + (weeks + interval - r) * 7;
                if (AfterWindow(candidate)) return false;
            }
        }
        // Weeks begin on the start date's weekday; the mask is not empty, so
        // this ends within a week's worth of steps.
        const int weekStart = WeekdayIndexOfDays(startDays);
        while ((mask & (1 << WeekdayIndexOfDays(candidate))) == 0) {
            ++candidate;
            if (WeekdayIndexOfDays(candidate) == weekStart) candidate += (interval - 1) * 7;
            if (AfterWindow(candidate)) return false;
        }
        return StartOn(candidate, out);
    }

    static void AdvanceMonths(int& year, int& month, long long count) {
        const long long index = month - 1 + count;
        year += static_cast<int>(index / 12);
        month = static_cast<int>(index % 12) + 1;
    }

    bool Monthly(Instant& out) {
        int year = 0;
        int month = 0;
        int day = 0;
        CivilFromDays(candidate, year, month, day);
        if (!fromStart) {
            const long long months = (year - startFields.year) * 12LL + (month - startFields.month);
            const long long r = months % interval;
            if (r != 0) {
                AdvanceMonths(year, month, interval - r);
                earliestDay = 1;
            }
        }
        const bool nth = front.recurKind == kKindMonthlyNth;
        if (!RuleDay(nth, year, month, day)) return false;
        if (day < earliestDay) {
            AdvanceMonths(year, month, interval);
            if (!RuleDay(nth, year, month, day)) return false;
        }
        return StartOn(year, month, day, out);
    }

    bool Yearly(Instant& out) {
        int year = 0;
        int earliestMonth = 0;
        int day = 0;
        CivilFromDays(candidate, year, earliestMonth, day);
        if (!fromStart) {
            const long long r = (year - startFields.year) % interval;
            if (r != 0) {
                year += static_cast<int>(interval - r);
                earliestMonth = 1;
                earliestDay = 1;
            }
        }
        const int month = front.recurPattern >> 8;
        if (month < 1 || month > 12) return false;
        const bool nth = front.recurKind == kKindYearlyNth;
        if (!RuleDay(nth, year, month, day)) return false;
        if (month < earliestMonth || (month == earliestMonth && day < earliestDay)) {
            year += static_cast<int>(interval);
            if (!RuleDay(nth, year, month, day)) return false;
        }
        return StartOn(year, month, day, out);
    }

    // Sets the candidate date C and the earliest acceptable day d0; false
    // when C already lies beyond the window.
    bool PlaceCandidate(Instant from) {
        if (fromStart) {
            candidate = startDays;
            earliestDay = startFields.day;
            return true;
        }
        LocalFields f;
        if (!BreakDownLocal(from, f)) return false;
        const long long fromDays = DaysFromCivil(f.year, f.month, f.day);
        // Compare instants, not times of day: on a daylight-saving day the two
        // disagree, and no occurrence before `from` may be returned.
        Instant today = 0;
        if (!TryOccurrenceStart(f.year, f.month, f.day, front.startTime, today)) return false;
        candidate = today >= from ? fromDays : fromDays + 1;
        if (AfterWindow(candidate)) return false;
        int y = 0;
        int m = 0;
        CivilFromDays(candidate, y, m, earliestDay);
        return true;
    }
};

}  // namespace

bool FindOccurrence(const ScheduleItem& item, Instant from, Instant to, Instant* start) {
    const ScheduleFront& front = item.front;
    if (front.startTime < 0 || front.startTime >= kSecondsPerDay) return false;
    Search s(front);
    LocalFields& sf = s.startFields;
    if (!BreakDownLocal(front.startDate, sf)) return false;
    if (!TryOccurrenceStart(sf.year, sf.month, sf.day, front.startTime, s.first)) return false;
    if (s.first > to) return false;
    if (!IsEndless(front) && front.endDate < from) return false;

    Instant found = s.first;
    if (!IsRecurring(front.recurKind)) {
        if (s.first < from) return false;
    } else {
        LocalFields tf;
        if (!BreakDownLocal(std::min(to, kLatestInstant), tf)) return false;
        s.toDays = DaysFromCivil(tf.year, tf.month, tf.day);
        s.startDays = DaysFromCivil(sf.year, sf.month, sf.day);
        s.interval = front.recurInterval == 0 ? 1 : front.recurInterval;
        s.fromStart = s.first >= from;
        if (!s.PlaceCandidate(from)) return false;
        bool ok = false;
        switch (ClassifyKind(front.recurKind)) {
            case RecurClass::Daily:
                ok = s.Daily(found);
                break;
            case RecurClass::Weekly:
                ok = s.Weekly(found);
                break;
            case RecurClass::Monthly:
                ok = s.Monthly(found);
                break;
            case RecurClass::Yearly:
                ok = s.Yearly(found);
                break;
            case RecurClass::None:
                break;
        }
        if (!ok || found > to) return false;
    }
    if (start != nullptr) *start = found;
    return true;
}
