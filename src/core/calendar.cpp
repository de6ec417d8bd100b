#include "core/calendar.h"

#include <algorithm>
#include <stdexcept>

#include "core/local_zone.h"

namespace {

constexpr int kMinYear = 1970;
constexpr int kMaxYear = 3000;

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
long long FloorMod(long long a, long long b) { return a - FloorDiv(a, b) * b; }

using OffsetSource = bool (*)(Instant, long long&);

// Seconds the local clock is ahead of UTC at t. Probes are clamped into the
// runtime's range so that dates at its edges can still be resolved.
bool OffsetAt(OffsetSource source, Instant t, long long& offset) {
    return source(std::clamp(t, kEarliestInstant, kLatestInstant), offset);
}

// Finds the instant whose local wall-clock reading is `local` (seconds since
// 1970-01-01 on the local calendar). mktime is not used because glibc and the
// Windows runtime resolve gaps, overlaps and overflowing fields differently.
// Assumes at most one offset change within a day either side, which holds for
// every zone in use.
bool ResolveLocal(OffsetSource source, long long local, Instant& out) {
    long long before = 0;
    long long after = 0;
    if (!OffsetAt(source, local - kSecondsPerDay, before) || !OffsetAt(source, local + kSecondsPerDay, after)) {
        return false;
    }
    const Instant withBefore = local - before;
    Instant t = withBefore;
    if (before != after) {
        const Instant withAfter = local - after;
        long long probe = 0;
        const bool fitsBefore = OffsetAt(source, withBefore, probe) && probe == before;
        const bool fitsAfter = OffsetAt(source, withAfter, probe) && probe == after;
        if (fitsBefore && fitsAfter) {
            t = std::min(withBefore, withAfter);  // overlap: the first of the two readings
        } else if (fitsAfter) {
            t = withAfter;
        }
        // Neither fits: a spring-forward gap, read with the offset before it.
    }
    if (t < kEarliestInstant || t > kLatestInstant) return false;
    out = t;
    return true;
}

bool MakeLocalTimeWith(OffsetSource source, int year, int month, int day, int hour, int minute, int second,
                       Instant& out) {
    if (year < kMinYear || year > kMaxYear) return false;
    const long long local =
        DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600LL + minute * 60LL + second;
    return ResolveLocal(source, local, out);
}

bool BreakDownWith(OffsetSource source, Instant t, LocalFields& out) {
    long long offset = 0;
    if (!source(t, offset)) return false;
    const long long local = t + offset;
    const long long days = FloorDiv(local, kSecondsPerDay);
    const long long seconds = local - days * kSecondsPerDay;
    CivilFromDays(days, out.year, out.month, out.day);
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    out.weekdayIndex = WeekdayIndexOfDays(days);
    return true;
}

}  // namespace

long long DaysFromCivil(int year, int month, int day) {
    long long y = year + FloorDiv(month - 1LL, 12);
    const long long m = FloorMod(month - 1LL, 12) + 1;
    if (m <= 2) --y;  // count years from March so the leap day ends the year
    const long long era = FloorDiv(y, 400);
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + (day - 1LL);
}

void CivilFromDays(long long days, int& year, int& month, int& day) {
    const long long z = days + 719468;
    const long long era = FloorDiv(z, 146097);
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yearOfEra + era * 400 + (m <= 2 ? 1 : 0));
    month = static_cast<int>(m);
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
}

int WeekdayIndexOfDays(long long days) { return static_cast<int>(FloorMod(days + 4, 7)); }  // 1970-01-01 was a Thursday

bool TryMakeLocalTime(int year, int month, int day, int hour, int minute, int second, Instant& out) {
    return MakeLocalTimeWith(UtcOffset, year, month, day, hour, minute, second, out);
}

bool TryMakeLocalTimeUncached(int year, int month, int day, int hour, int minute, int second, Instant& out) {
    return MakeLocalTimeWith(RuntimeUtcOffset, year, month, day, hour, minute, second, out);
}

Instant MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
    Instant t = 0;
    if (!TryMakeLocalTime(year, month, day, hour, minute, second, t)) {
        throw std::invalid_argument("local time cannot be represented");
    }
    return t;
}

bool CanRepresentMonth(int year, int month) {
    Instant start = 0;
    Instant next = 0;
    return LocalMonthBounds(year, month, start, next);
}

bool LocalMonthBounds(int year, int month, Instant& start, Instant& next) {
    if (month < 1 || month > 12) return false;
    return TryMakeLocalTime(year, month, 1, 0, 0, 0, start) &&
           TryMakeLocalTime(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1, 0, 0, 0, next);
}

void RepresentableMonths(int& firstYear, int& firstMonth, int& lastYear, int& lastMonth) {
    // Only the first and last months of the range can fail, whatever the zone.
    long long first = kMinYear * 12LL;
    while (!CanRepresentMonth(static_cast<int>(first / 12), static_cast<int>(first % 12) + 1)) ++first;
    long long last = kMaxYear * 12LL + 11;
    while (!CanRepresentMonth(static_cast<int>(last / 12), static_cast<int>(last % 12) + 1)) --last;
    firstYear = static_cast<int>(first / 12);
    firstMonth = static_cast<int>(first % 12) + 1;
    lastYear = static_cast<int>(last / 12);
    lastMonth = static_cast<int>(last % 12) + 1;
}

bool BreakDownLocal(Instant t, LocalFields& out) { return BreakDownWith(UtcOffset, t, out); }

bool LocalDaysOf(Instant t, long long& days) {
    long long offset = 0;
    if (!UtcOffset(t, offset)) return false;
    days = FloorDiv(t + offset, kSecondsPerDay);
    return true;
}

bool BreakDownLocalUncached(Instant t, LocalFields& out) { return RuntimeLocalFields(t, out); }

int WeekdayNumber(Instant t) {
    LocalFields f;
    return BreakDownLocal(t, f) ? f.weekdayIndex + 1 : 0;
}

int DaysInMonth(int year, int month) {
    switch (month) {
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
        default:
            return 31;
    }
}

bool NthWeekdayOfMonth(int year, int month, int nth, int weekdayNumber, int& day) {
    if (year < kMinYear || year > kMaxYear || month < 1 || month > 12) return false;
    if (nth < 1 || nth > 5 || weekdayNumber < 1 || weekdayNumber > 7) return false;
    day = NthWeekdayDay(year, month, nth - 1, weekdayNumber - 1);
    return true;
}

int NthWeekdayDay(int year, int month, int nthIndex, int weekdayIndex) {
    const int first = WeekdayIndexOfDays(DaysFromCivil(year, month, 1));
    const int day = 1 + (weekdayIndex - first + 7) % 7 + nthIndex * 7;
    return day > DaysInMonth(year, month) ? day - 7 : day;
}

bool WeekOfMonthAndWeekday(int year, int month, int day, int& week, int& weekdayNumber) {
    if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 || day > 31) return false;
    week = (day + 6) / 7;
    // Day 31 of a 30-day month rolls over into the next month, as a built date would.
    weekdayNumber = WeekdayIndexOfDays(DaysFromCivil(year, month, day)) + 1;
    return true;
}

void GetRollingWindow(const Clock& clock, Instant& windowStart, Instant& windowEnd) {
    LocalFields now;
    if (!BreakDownLocal(clock.Now(), now)) throw std::invalid_argument("current time cannot be broken down");
    const int m = now.month - 1;
    int k = m - 5;
    int year = now.year;
    if (k < 0) {
        k += 12;
        --year;
    }
    windowStart = MakeLocalTime(year, k + 1, 1, 0, 0, 0);
    k = m + 7;
    year = now.year;
    if (k > 11) {
        k -= 12;
        ++year;
    }
    windowEnd = MakeLocalTime(year, k + 1, 1, 0, 0, 0);
}

DateKey DateKeyOf(Instant t) {
    LocalFields f;
    return BreakDownLocal(t, f) ? MakeDateKey(f.year, f.month, f.day) : 0;
}

Rgb TitleColor(std::string_view title) {
    std::uint8_t b[6] = {0xE0, 0xFF, 0xE0, 0xFF, 0xE0, 0xFF};
    std::copy_n(title.begin(), std::min<std::size_t>(title.size(), 6), b);
    return MakeRgb(static_cast<std::uint8_t>((b[0] ^ b[1]) | 0xE0), static_cast<std::uint8_t>((b[2] ^ b[3]) | 0xE0),
                   static_cast<std::uint8_t>((b[4] ^ b[5]) | 0xE0));
}

Instant EndOfDay(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) throw std::invalid_argument("instant cannot be broken down");
    return MakeLocalTime(f.year, f.month, f.day, 23, 59, 59);
}

bool TryOccurrenceStart(int year, int month, int day, int startTime, Instant& out) {
    // A wall-clock reading on that date, not seconds elapsed since its midnight:
    // the two differ by an hour on daylight-saving days.
    return TryMakeLocalTime(year, month, day, startTime / 3600, startTime % 3600 / 60, startTime % 60, out);
}
