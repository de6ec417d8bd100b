#pragma once
#include <string_view>

#include "core/clock.h"
#include "core/time_types.h"

// Local calendar fields of an instant; month 1..12, weekday index 0 = Sunday.
struct LocalFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekdayIndex = 0;
};

// Builds the instant of local calendar fields; out-of-range fields roll over
// (day 32 of January is 1 February). Both runtimes agree on the result:
// a wall-clock time inside a spring-forward gap takes the offset in force
// before the gap; an ambiguous time takes its first (earlier) instant.
// Throws std::invalid_argument for years outside 1970..3000 and for any
// result the Windows runtime could not represent.
Instant MakeLocalTime(int year, int month, int day, int hour, int minute, int second);

// The range both runtimes can break down: 1970-01-01 to 3000-12-31 23:59:59 UTC.
constexpr Instant kEarliestInstant = 0;
constexpr Instant kLatestInstant = 32535215999;

// As MakeLocalTime, but reports failure instead of throwing.
bool TryMakeLocalTime(int year, int month, int day, int hour, int minute, int second, Instant& out);

// Months whose first midnight and the next month's the local-time
// conversion can represent: February 1970 (January too west of UTC) to
// November 3000. Windows and pickers stay inside them, so the conversion's
// invalid-argument error never reaches a window procedure.
bool CanRepresentMonth(int year, int month);
// Local midnight of the month's day 1 and of the next month's; false unless
// CanRepresentMonth(year, month).
bool LocalMonthBounds(int year, int month, Instant& start, Instant& next);
// The first and the last such month.
void RepresentableMonths(int& firstYear, int& firstMonth, int& lastYear, int& lastMonth);

// Breaks an instant down in local time; false when the runtime cannot.
bool BreakDownLocal(Instant t, LocalFields& out);
// Only the local date, as a day count (DaysFromCivil's): the month view
// asks it of every event, and needs no fields.
bool LocalDaysOf(Instant t, long long& days);

// As TryMakeLocalTime and BreakDownLocal, but asking the runtime afresh
// instead of using the offsets remembered since the last
// ResetLocalTimeCache(): slower, for checking those.
bool TryMakeLocalTimeUncached(int year, int month, int day, int hour, int minute, int second, Instant& out);
bool BreakDownLocalUncached(Instant t, LocalFields& out);

// 1..7 with Sunday = 1; 0 when the instant cannot be broken down.
int WeekdayNumber(Instant t);

int DaysInMonth(int year, int month);

// nth 1..5 (5 = last); weekdayNumber 1..7. Leaves day untouched and returns false on bad input.
bool NthWeekdayOfMonth(int year, int month, int nth, int weekdayNumber, int& day);
// The same in any year, unchecked: nthIndex 0..4 (4 = last), weekdayIndex 0..6 (0 = Sunday).
int NthWeekdayDay(int year, int month, int nthIndex, int weekdayIndex);

bool WeekOfMonthAndWeekday(int year, int month, int day, int& week, int& weekdayNumber);

// [start, end): day 1 of the month five months back to day 1 of the month seven ahead.
void GetRollingWindow(const Clock& clock, Instant& windowStart, Instant& windowEnd);

constexpr DateKey MakeDateKey(int year, int month, int day) {
    return (static_cast<DateKey>(year) << 16) | (static_cast<DateKey>(month) << 8) |
           static_cast<DateKey>(day);
}

DateKey DateKeyOf(Instant t);

Rgb TitleColor(std::string_view title);

// 23:59:59 of the instant's local date.
Instant EndOfDay(Instant t);

// The start of an occurrence on a date: the local wall-clock time startTime
// (seconds after midnight) of that date, correct on daylight-saving days.
bool TryOccurrenceStart(int year, int month, int day, int startTime, Instant& out);

// Calendar-day arithmetic, independent of time zones: days since 1970-01-01.
// Month and day may lie outside their ranges and roll over as in MakeLocalTime.
long long DaysFromCivil(int year, int month, int day);
void CivilFromDays(long long days, int& year, int& month, int& day);

// Weekday index (0 = Sunday) of a day counted by DaysFromCivil.
int WeekdayIndexOfDays(long long days);
