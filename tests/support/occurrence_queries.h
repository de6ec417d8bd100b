#pragma once
// "The first occurrence at or after `from` within [from, to]", asked of a
// random mix of events of every kind, interval and start year (1970..2037),
// with the windows the callers use: the rest of a day from a moment in it, a
// whole day, up to the event's end or without end, and spans of up to 400
// days. A window never reaches past a bounded event's end date, as no
// caller's does. Built in the current zone.
#include <vector>

#include "core/schedule_item.h"
#include "core/time_types.h"

struct OccurrenceQuery {
    ScheduleItem item;
    Instant from = 0;
    Instant to = 0;
};

std::vector<OccurrenceQuery> MakeOccurrenceQueries(int count, unsigned seed);
