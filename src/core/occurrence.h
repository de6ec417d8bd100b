#pragma once
#include "core/schedule_item.h"
#include "core/time_types.h"

// The start of the earliest occurrence of item within [from, to], both ends
// inclusive. start is written only when the result is true. No allocation.
bool FindOccurrence(const ScheduleItem& item, Instant from, Instant to, Instant* start);
