#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "interop/ics_document.h"

// Values of DATE and DATE-TIME properties as written, before any zone is
// applied: a floating or zoned wall-clock time, a UTC time or a whole day.
struct IcsTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int seconds = 0;  // time of day
    bool dateOnly = false;
    bool utc = false;
    std::string tzid;  // empty: floating, UTC or a date
};

// The name an empty TZID stands for, in a time's parameter and in a
// VTIMEZONE alike (some servers write both so): no zone can be named by a
// control character.
inline constexpr const char* kEmptyTzid = "\x7F";
// The zone's name as a time refers to it.
std::string ZoneName(std::string_view tzid);

// "YYYYMMDD" or "YYYYMMDDTHHMMSS" with an optional "Z"; checks the fields.
bool ParseIcsTime(std::string_view text, IcsTime& out);
// The value of a property, with its TZID parameter (an empty one as kEmptyTzid).
bool ParseIcsTime(const IcsProperty& property, IcsTime& out);
// A list value (EXDATE, RDATE): every item, or false when one is bad.
bool ParseIcsTimeList(const IcsProperty& property, std::vector<IcsTime>& out);

std::string FormatIcsDate(int year, int month, int day);
// A floating date-time; with utc, its "Z" form.
std::string FormatIcsDateTime(int year, int month, int day, int seconds, bool utc = false);

// "[+-]P[nW][nD][T[nH][nM][nS]]" in seconds.
bool ParseIcsDuration(std::string_view text, long long& seconds);
std::string FormatIcsDuration(long long seconds);

// "+HHMM" or "-HHMMSS" in seconds east of UTC.
bool ParseUtcOffset(std::string_view text, int& seconds);

// The parts of an RRULE this program can reason about; everything else is
// noted in `unsupported`.
struct IcsByDay {
    int ordinal = 0;  // 0: every such weekday; -1 the last, 2 the second ...
    int weekday = 0;  // index, 0 = Sunday
    bool operator==(const IcsByDay&) const = default;
};

struct IcsRecurRule {
    std::string freq;  // DAILY, WEEKLY, MONTHLY, YEARLY, or another word
    int interval = 1;
    long long count = 0;  // 0: none
    bool hasUntil = false;
    IcsTime until;
    std::vector<IcsByDay> byDay;
    std::vector<int> byMonthDay;
    std::vector<int> byMonth;
    std::vector<int> byYearDay;
    std::vector<int> bySetPos;
    int weekStart = 1;             // WKST as a weekday index; Monday by default
    // Read where they are valid, yet still named in `unsupported`: only a
    // zone's observance takes them, when they repeat its own time of day.
    std::vector<int> byHour;
    std::vector<int> byMinute;
    std::vector<int> bySecond;
    std::vector<std::string> unsupported;  // names of parts not understood
};

bool ParseRecurRule(std::string_view text, IcsRecurRule& out);

// "SU".."SA" for a weekday index.
const char* WeekdayCode(int weekdayIndex);
