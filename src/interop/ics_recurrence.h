#pragma once
#include <functional>

#include "interop/ics_values.h"

// The days an RRULE names, in its own calendar (no zone applied), for rules
// the calendar cannot store: an event kept as one occurrence still needs to
// know which of its occurrences lies in the months the calendar shows.
// COUNT is counted from the start; UNTIL is left to the caller, who knows
// the zone it is written in.
//
// Calls visit(day) for every occurrence day from fromDays on (from the
// start when the rule has a COUNT, which counts from it), in order, until
// visit returns false or a day passes lastDays. Each period looked at
// takes one from `budget`. False when the rule holds a part it does not
// read (BYWEEKNO, BYHOUR...) or BYYEARDAY in a rule not yearly, a
// frequency below a day, or the budget runs out.
bool ForEachRuleDay(const IcsRecurRule& rule, long long startDays, long long fromDays, long long lastDays,
                    long long& budget, const std::function<bool(long long)>& visit);
