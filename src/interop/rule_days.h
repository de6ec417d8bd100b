#pragma once
#include <cstdint>

// One of our recurrence rules on calendar days (days since 1970-01-01, no
// zone), read as the occurrence engine reads it. Importing needs it where
// the engine cannot go: dates before 1970 and counts of occurrences.
struct RuleDays {
    std::uint8_t kind = 0;  // a recurring kind as written: 30, 60, 90, 91, 120, 121
    std::uint16_t pattern = 0;
    int interval = 1;
    long long startDays = 0;

    // The rule's day in a month, lowered to the month's length.
    int DayIn(int year, int month) const;
    // The first occurrence day on or after fromDays.
    long long FirstFrom(long long fromDays) const;
    bool Occurs(long long days) const { return FirstFrom(days) == days; }
    // The count-th occurrence day, `first` (an occurrence) being the first.
    long long Nth(long long first, long long count) const;
};
