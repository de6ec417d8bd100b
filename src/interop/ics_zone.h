#pragma once
#include <climits>
#include <vector>

#include "interop/ics_document.h"
#include "interop/ics_values.h"

// Wall-clock seconds of a calendar time with no zone applied:
// days since 1970-01-01 times 86400 plus the time of day.
long long WallSeconds(int year, int month, int day, int seconds);
long long WallSeconds(const IcsTime& t);

// The offsets of a VTIMEZONE: which UTC offset holds at a wall-clock time of
// that zone. Observances repeat by the yearly rules zones use (a month and
// an n-th or last weekday, or a day of the month); others count only at
// their DTSTART and RDATEs.
class IcsZone {
public:
    // False when the component holds no usable observance.
    static bool FromComponent(const IcsComponent& vtimezone, IcsZone& out);

    // Seconds east of UTC.
    int OffsetAt(long long wallSeconds) const;

private:
    struct Observance {
        long long start = 0;  // wall clock of the offset before it
        int from = 0;
        int to = 0;
        bool yearly = false;
        int month = 0;
        int timeOfDay = 0;
        std::vector<IcsByDay> byDay;
        std::vector<int> byMonthDay;
        long long until = LLONG_MAX;
        std::vector<long long> dates;  // RDATEs
    };
    // The onset in a year, or false when the rule names no day in it.
    static bool OnsetIn(const Observance& o, int year, long long& out);

    std::vector<Observance> observances_;
};
