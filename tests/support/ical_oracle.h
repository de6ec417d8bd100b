#pragma once
// Our recurrence rules as iCalendar RRULEs answered by libical's recurrence
// iterator: the reference the occurrence engine is checked and measured
// against. Native builds only.
#include <libical/ical.h>

#include <string>
#include <vector>

#include "core/schedule_item.h"
#include "core/time_types.h"
#include "support/occurrence_queries.h"

// The rule of f as an RRULE without its end ("" for a single event):
// weekly weeks begin on the start date's weekday (WKST), a day of the month
// beyond a short month's end falls on its last day (BYMONTHDAY=28..D with
// BYSETPOS=-1), the last n-th weekday is -1, an interval of 0 counts as 1.
// The stored values the editor never writes (day 0, an empty weekday mask,
// n-th index above 4, month outside 1..12) have no RRULE; f holds none.
std::string RecurrenceRule(const ScheduleFront& f);

// libical's zone for an Olson name.
icaltimezone* IcalZone(const char* olson);

// Who turns wall-clock readings into instants: libical, iterating in the
// zone, or MakeLocalTime, with libical iterating floating readings and so
// doing nothing but the rule.
enum class Reading { Libical, Ours };

// A weekly rule as one RRULE with WKST and BYDAY, or as one RRULE per
// weekday of the mask (FREQ=WEEKLY;INTERVAL=N from the first such day),
// which needs no WKST.
enum class Mapping { OneRule, RulePerWeekday };

// One event's rule, parsed once, with its start and end.
class IcalEvent {
public:
    IcalEvent(const ScheduleFront& f, icaltimezone* zone, Reading reading = Reading::Libical,
              Mapping mapping = Mapping::OneRule);

    // The first occurrence starting within [from, to], both inclusive;
    // wall gets its local reading.
    bool FirstOccurrence(Instant from, Instant to, Instant& start, icaltimetype* wall = nullptr) const;

private:
    struct Series {
        icalrecurrencetype rule;
        icaltimetype dtstart;
        Instant first;
    };
    icaltimetype ReadingAt(Instant t) const;
    Instant Resolve(const icaltimetype& wall) const;
    bool First(const Series& series, Instant from, Instant to, Instant& start, icaltimetype& wall) const;

    icaltimezone* zone_;
    Reading reading_;
    bool recurs_ = false;
    icaltimetype dtstart_;
    std::vector<Series> series_;
};

// Whether libical and MakeLocalTime read `wall` differently only because it
// lies in a gap or an overlap of the zone.
bool IsAmbiguousReading(const icaltimetype& wall, icaltimezone* zone);

// The queries on which libical answers differently, by cause. What
// remains once the causes that lie in libical are set aside is a
// disagreement: a fault on one side to be looked into.
struct Comparison {
    int queries = 0;
    int found = 0;  // agreed on an occurrence
    // The rule gives the same wall-clock reading, which lies in a gap or
    // overlap: libical reads it otherwise than MakeLocalTime's documented way.
    int readings = 0;
    // The rule gives the same wall-clock reading, which libical's zone turns
    // into another instant than the runtime's zone data does (libical's own
    // expansion of the zone's history).
    int zoneData = 0;
    // libical's occurrences after a gap keep the time of day the gap
    // pushed one occurrence to (or DTSTART to, when it lies in one).
    int shiftedByGap = 0;
    // A weekly rule with an interval, where libical counts the weeks from
    // another day than WKST says (or a Sunday before a Monday DTSTART): with
    // one RRULE per weekday, which needs no WKST, libical agrees.
    int weekStart = 0;
    std::vector<std::string> disagreements;
};

// Every query through FindOccurrence and through libical, in the current zone.
Comparison CompareWithLibical(const std::vector<OccurrenceQuery>& queries, icaltimezone* zone);
