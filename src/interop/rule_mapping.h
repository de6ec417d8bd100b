#pragma once
#include <cstdint>
#include <vector>

#include "core/recurrence_days.h"
#include "interop/ics_values.h"

// One of our rules as stored, starting on a calendar day that may lie before 1970.
struct MappedRule {
    std::uint8_t kind = 0;
    std::uint16_t pattern = 0;
    int interval = 1;
    long long startDays = 0;

    RecurrenceDays Days() const { return RecurrenceDays::FromDays(kind, pattern, interval, startDays); }
};

// An RRULE as one of our rules. The rule's days are those of DTSTART's own
// zone (source); `shift` is how many days the local date lies after it.
// Returns the reason when the rule has no exact form here. preExcluded gets
// the days a biweekly rule's first week holds before the start.
const char* MapRule(const IcsRecurRule& rr, const IcsTime& source, long long shift, long long localStart,
                    MappedRule& out, std::vector<long long>& preExcluded);
