#include "core/recurrence_days.h"

#include <algorithm>
#include <bit>

#include "core/calendar.h"

namespace {

void AdvanceMonths(int& year, int& month, long long count) {
    const long long index = month - 1 + count;
    year += static_cast<int>(index / 12);
    month = static_cast<int>(index % 12) + 1;
}

}  // namespace

RecurrenceDays::RecurrenceDays(std::uint8_t kind, std::uint16_t pattern, int interval, int startYear,
                               int startMonth, int startDay)
    : RecurrenceDays(kind, pattern, interval, startYear, startMonth, DaysFromCivil(startYear, startMonth, startDay),
                     KnownDays{}) {}

RecurrenceDays::RecurrenceDays(std::uint8_t kind, std::uint16_t pattern, int interval, int startYear,
                               int startMonth, long long startDays, KnownDays)
    : class_(ClassifyKind(kind)),
      nthWeekday_(kind == kKindMonthlyNth || kind == kKindYearlyNth),
      low_(pattern & 0xFF),
      interval_(interval < 1 ? 1 : interval),
      startDays_(startDays),
      startYear_(startYear),
      startMonth_(startMonth) {
    const bool dayNamed = nthWeekday_ ? (low_ >> 4) <= 4 && (low_ & 15) <= 6 : low_ != 0;
    switch (class_) {
        case RecurClass::None:
            break;
        case RecurClass::Daily:
            namesDays_ = true;
            break;
        case RecurClass::Weekly: {
            // Weeks begin on the start date's weekday: the weekday mask
            // turned so that bit 0 is that weekday.
            const unsigned mask = pattern & 0x7Fu;
            const int first = WeekdayIndexOfDays(startDays_);
            blockMask_ = ((mask >> first) | (mask << (7 - first))) & 0x7Fu;
            namesDays_ = blockMask_ != 0;
            break;
        }
        case RecurClass::Monthly:
            namesDays_ = dayNamed;
            break;
        case RecurClass::Yearly:
            month_ = pattern >> 8;
            namesDays_ = dayNamed && month_ >= 1 && month_ <= 12;
            break;
    }
}

RecurrenceDays RecurrenceDays::FromDays(std::uint8_t kind, std::uint16_t pattern, int interval,
                                        long long startDays) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(startDays, y, m, d);
    return RecurrenceDays(kind, pattern, interval, y, m, startDays, KnownDays{});
}

int RecurrenceDays::DayIn(int year, int month) const {
    if (nthWeekday_) return NthWeekdayDay(year, month, low_ >> 4, low_ & 15);
    return std::min(low_, DaysInMonth(year, month));
}

bool RecurrenceDays::FirstIn(long long fromDays, long long lastDays, long long& day) const {
    if (!namesDays_) return false;
    long long d = std::max(fromDays, startDays_);
    if (d > lastDays) return false;
    switch (class_) {
        case RecurClass::Daily: {
            const long long r = (d - startDays_) % interval_;
            if (r != 0) d += interval_ - r;
            break;
        }
        case RecurClass::Weekly:
            d = WeeklyFrom(d);
            break;
        case RecurClass::Monthly:
            d = MonthlyFrom(d);
            break;
        case RecurClass::Yearly:
            d = YearlyFrom(d);
            break;
        case RecurClass::None:
            return false;
    }
    if (d > lastDays) return false;
    day = d;
    return true;
}

// Seven-day blocks from the start; every interval-th, block 0 first, is active.
long long RecurrenceDays::WeeklyFrom(long long days) const {
    const long long offset = days - startDays_;
    long long block = offset / 7;
    int pos = static_cast<int>(offset % 7);
    if (const long long r = block % interval_; r != 0) {
        block += interval_ - r;
        pos = 0;
    }
    if (const unsigned rest = blockMask_ >> pos; rest != 0)
        return startDays_ + block * 7 + pos + std::countr_zero(rest);
    return startDays_ + (block + interval_) * 7 + std::countr_zero(blockMask_);
}

long long RecurrenceDays::MonthlyFrom(long long days) const {
    int year = 0, month = 0, earliest = 0;
    CivilFromDays(days, year, month, earliest);
    const long long r = ((year - startYear_) * 12LL + (month - startMonth_)) % interval_;
    if (r != 0) {
        AdvanceMonths(year, month, interval_ - r);
        earliest = 1;
    }
    int day = DayIn(year, month);
    if (day < earliest) {
        AdvanceMonths(year, month, interval_);
        day = DayIn(year, month);
    }
    return DaysFromCivil(year, month, day);
}

long long RecurrenceDays::YearlyFrom(long long days) const {
    int year = 0, earliestMonth = 0, earliestDay = 0;
    CivilFromDays(days, year, earliestMonth, earliestDay);
    if (const long long r = (year - startYear_) % interval_; r != 0) {
        year += static_cast<int>(interval_ - r);
        earliestMonth = 1;
        earliestDay = 1;
    }
    if (month_ < earliestMonth || (month_ == earliestMonth && DayIn(year, month_) < earliestDay))
        year += static_cast<int>(interval_);
    return DaysFromCivil(year, month_, DayIn(year, month_));
}

long long RecurrenceDays::Nth(long long first, long long count) const {
    if (!namesDays_) return first;
    const long long more = count - 1;
    int year = 0, month = 0, day = 0;
    switch (class_) {
        case RecurClass::Daily:
            return first + more * interval_;
        case RecurClass::Weekly: {
            // Counted in occurrences from the start of first's block.
            const long long offset = first - startDays_;
            const int pos = static_cast<int>(offset % 7);
            const long long perBlock = std::popcount(blockMask_);
            const long long index = std::popcount(blockMask_ & ((1u << pos) - 1)) + more;
            unsigned bits = blockMask_;
            for (long long k = index % perBlock; k > 0; --k) bits &= bits - 1;
            const long long block = offset / 7 + index / perBlock * interval_;
            return startDays_ + block * 7 + std::countr_zero(bits);
        }
        case RecurClass::Monthly:
            CivilFromDays(first, year, month, day);
            AdvanceMonths(year, month, more * interval_);
            return DaysFromCivil(year, month, DayIn(year, month));
        case RecurClass::Yearly:
            CivilFromDays(first, year, month, day);
            year += static_cast<int>(more * interval_);
            return DaysFromCivil(year, month_, DayIn(year, month_));
        case RecurClass::None:
            break;
    }
    return first;
}

long long RecurrenceDays::PeriodStartFrom(long long minDays) const {
    if (minDays <= startDays_) return startDays_;
    int year = 0, month = 0, day = 0;
    CivilFromDays(minDays, year, month, day);
    const long long n = interval_;
    switch (class_) {
        case RecurClass::Daily:
        case RecurClass::Weekly: {
            const long long period = class_ == RecurClass::Daily ? n : 7 * n;
            return startDays_ + (minDays - startDays_ + period - 1) / period * period;
        }
        case RecurClass::Monthly: {
            const long long months = (year - startYear_) * 12LL + (month - startMonth_) + (day > 1 ? 1 : 0);
            int y = startYear_, m = startMonth_;
            AdvanceMonths(y, m, (months + n - 1) / n * n);
            return DaysFromCivil(y, m, 1);
        }
        case RecurClass::Yearly: {
            const long long years = year - startYear_ + (month > 1 || day > 1 ? 1 : 0);
            return DaysFromCivil(startYear_ + static_cast<int>((years + n - 1) / n * n), 1, 1);
        }
        case RecurClass::None:
            break;
    }
    return minDays;
}
