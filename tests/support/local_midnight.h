#pragma once
#include <stdexcept>

#include "core/calendar.h"

// Local midnight of the instant's date: the start of a reminder day or of a
// day's window in the tests.
inline Instant LocalMidnight(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) throw std::invalid_argument("instant cannot be broken down");
    return MakeLocalTime(f.year, f.month, f.day, 0, 0, 0);
}
