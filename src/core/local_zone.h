#pragma once
#include <cstddef>
#include <cstdint>

#include "core/calendar.h"
#include "core/time_types.h"

// The local zone's offset from UTC: seconds the local clock is ahead at t.
// Both functions answer only for kEarliestInstant..kLatestInstant and report
// false outside it or when the runtime cannot break t down.

// Asked of the C runtime's localtime on every call.
bool RuntimeUtcOffset(Instant t, long long& offset);
bool RuntimeLocalFields(Instant t, LocalFields& out);

// The same answer from the offsets and change instants remembered for the
// span around t; the runtime is asked only about spans not seen since the
// last reset. Called on the GUI thread only, like every conversion.
bool UtcOffset(Instant t, long long& offset);

// Forgets what UtcOffset remembered. Call it whenever the runtime has read
// the zone again (_tzset, tzset), or it goes on answering for the old zone.
void ResetLocalTimeCache();

// Changes at every ResetLocalTimeCache(): whoever keeps local dates of
// its own knows when to read them again.
std::uint64_t LocalTimeGeneration();

// How many spans were learned from the runtime since the last reset: each
// span once, whatever the order of the questions.
std::size_t LearnedSpanCount();
