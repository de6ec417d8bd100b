#pragma once
// "The first occurrence at or after `from` within [from, to]", asked of a
// random mix of events of every kind, interval and start year (1970..2037),
// with the windows the callers use: the rest of a day from a moment in it, a
// whole day, up to the event's end or without end, and spans of up to 400
// days. A window never reaches past a bounded event's end date, as no
// caller's does. Built in the current zone.
//
// With Reach::Everything the mix also holds what the store allows and the
// callers rarely ask: intervals up to the largest stored, and events without
// end asked anywhere up to 2582, the last year libical iterates.
#include <vector>

#include "core/schedule_item.h"
#include "core/time_types.h"

struct OccurrenceQuery {
    ScheduleItem item;
    Instant from = 0;
    Instant to = 0;
};

enum class Reach { Realistic, Everything };

std::vector<OccurrenceQuery> MakeOccurrenceQueries(int count, unsigned seed, Reach reach = Reach::Realistic);
