#pragma once
#include <bit>
#include <cstdint>

#include "core/schedule_item.h"

// A stored recurrence rule read on calendar days (days since 1970-01-01 as
// DaysFromCivil counts them, no zone, any year): the one reading of the
// rules. The occurrence search, the month view and the iCalendar mapping
// all ask it; none steps months or weekdays itself.
//
// Stored values the editor never writes name no day at all: an empty
// weekday mask, a monthly or yearly day 0, an n-th index above 4, a weekday
// index above 6 and a yearly month outside 1..12. An interval of 0 counts as 1.
class RecurrenceDays {
public:
    RecurrenceDays(std::uint8_t kind, std::uint16_t pattern, int interval, int startYear, int startMonth,
                   int startDay);
    static RecurrenceDays FromDays(std::uint8_t kind, std::uint16_t pattern, int interval, long long startDays);

    long long StartDays() const { return startDays_; }

    // The first occurrence day within [fromDays, lastDays]; false when there is none.
    bool FirstIn(long long fromDays, long long lastDays, long long& day) const;
    bool Occurs(long long days) const {
        long long day = 0;
        return FirstIn(days, days, day);
    }
    // Calls visit(day) for each occurrence day within [fromDays, lastDays], in order.
    template <class Visit>
    void ForEachIn(long long fromDays, long long lastDays, Visit&& visit) const {
        long long day = 0;
        if (!FirstIn(fromDays, lastDays, day)) return;
        do visit(day);
        while (NextIn(day, lastDays, day));
    }
    // The count-th occurrence day (count >= 1), `first` (an occurrence) being the first.
    long long Nth(long long first, long long count) const;

    // The first day on or after minDays that begins one of the rule's
    // periods: every interval-th day or week from the start, or the first
    // day of every interval-th month or year after the start's.
    long long PeriodStartFrom(long long minDays) const;

private:
    struct KnownDays {};
    RecurrenceDays(std::uint8_t kind, std::uint16_t pattern, int interval, int startYear, int startMonth,
                   long long startDays, KnownDays);

    // Two occurrences of a monthly or yearly rule lie four weeks apart at
    // least: a day lowered to a month's length moves back no further than
    // the shorter month allows, and an n-th weekday moves by whole weeks.
    static constexpr long long kMonthlyGap = 28;

    // The occurrence after the occurrence `after`, if it lies on or before
    // lastDays; inline, as the month view takes every occurrence through it.
    bool NextIn(long long after, long long lastDays, long long& day) const {
        long long d = 0;
        if (class_ == RecurClass::Daily) {
            d = after + interval_;
        } else if (class_ == RecurClass::Weekly) {
            const long long offset = after - startDays_;
            const unsigned later = blockMask_ >> (offset % 7 + 1);
            d = later != 0 ? after + 1 + std::countr_zero(later)
                           : startDays_ + (offset / 7 + interval_) * 7 + std::countr_zero(blockMask_);
        } else {
            return FirstIn(after + kMonthlyGap, lastDays, day);
        }
        if (d > lastDays) return false;
        day = d;
        return true;
    }
    // The rule's day in a month: the n-th weekday, or the day of the month
    // lowered to the month's length.
    int DayIn(int year, int month) const;
    long long WeeklyFrom(long long days) const;
    long long MonthlyFrom(long long days) const;
    long long YearlyFrom(long long days) const;

    RecurClass class_ = RecurClass::None;
    bool namesDays_ = false;  // false for a kind that does not recur
    bool nthWeekday_ = false;
    int low_ = 0;    // the day of the month, or (n-th index << 4) | weekday index
    int month_ = 0;  // yearly
    // Weekly: bit j set when the j-th day of each seven-day block from the
    // start is one of the rule's weekdays.
    unsigned blockMask_ = 0;
    long long interval_ = 1;
    long long startDays_ = 0;
    int startYear_ = 0;
    int startMonth_ = 0;
};
