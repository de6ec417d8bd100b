#pragma once
#include "core/schedule_item.h"
#include "core/time_types.h"

// The start of the earliest occurrence of item within [from, to], both ends
// inclusive. start is written only when the result is true. No allocation.
bool FindOccurrence(const ScheduleItem& item, Instant from, Instant to, Instant* start);

// Seconds from now to the event's next occurrence, or since its last one
// when none is left: what "nearest to today" is measured by.
long long DistanceFromNow(const ScheduleItem& item, Instant now);
