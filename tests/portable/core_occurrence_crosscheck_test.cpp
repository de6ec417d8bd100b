#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "portable/core_zone.h"

namespace {

long long LocalDays(Instant t) {
    LocalFields f;
    EXPECT_TRUE(BreakDownLocal(t, f));
    return DaysFromCivil(f.year, f.month, f.day);
}

// The rules read straight from their definitions, one day at a time.
bool IsOccurrenceDay(const ScheduleFront& f, long long startDays, long long days) {
    if (days < startDays) return false;
    int sy = 0, sm = 0, sd = 0, y = 0, m = 0, d = 0;
    CivilFromDays(startDays, sy, sm, sd);
    CivilFromDays(days, y, m, d);
    const int n = f.recurInterval == 0 ? 1 : f.recurInterval;
    const int low = f.recurPattern & 0xFF;
    const int weekday = WeekdayIndexOfDays(days);
    auto onRuleDay = [&](bool nthWeekday, int month) {
        if (m != month) return false;
        if (!nthWeekday) return low >= 1 && d == std::min(low, DaysInMonth(y, m));
        const int nth = low >> 4;
        if (nth > 4 || (low & 15) != weekday) return false;
        return nth == 4 ? d + 7 > DaysInMonth(y, m) : (d - 1) / 7 == nth;
    };
    switch (ClassifyKind(f.recurKind)) {
        case RecurClass::None:
            return days == startDays;
        case RecurClass::Daily:
            return (days - startDays) % n == 0;
        case RecurClass::Weekly:
            return (f.recurPattern & (1 << weekday)) != 0 && (days - startDays) / 7 % n == 0;
        case RecurClass::Monthly:
            return ((y - sy) * 12 + m - sm) % n == 0 && onRuleDay(f.recurKind == kKindMonthlyNth, m);
        case RecurClass::Yearly:
            return (y - sy) % n == 0 && onRuleDay(f.recurKind == kKindYearlyNth, f.recurPattern >> 8);
    }
    return false;
}

std::optional<Instant> ScanDays(const ScheduleFront& f, Instant from, Instant to) {
    if (!IsEndless(f) && f.endDate < from) return std::nullopt;
    const long long startDays = LocalDays(f.startDate);
    for (long long days = std::max(startDays, LocalDays(from) - 1); days <= LocalDays(to) + 1; ++days) {
        if (!IsOccurrenceDay(f, startDays, days)) continue;
        int y = 0, m = 0, d = 0;
        CivilFromDays(days, y, m, d);
        const Instant start = OccurrenceStart(y, m, d, f.startTime);
        if (start >= from && start <= to) return start;
    }
    return std::nullopt;
}

TEST(FindOccurrenceCrossCheck, MatchesDayByDayScanForRandomEvents) {
    std::mt19937 rng(20260305);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int kinds[] = {0, 1, 29, 30, 45, 60, 89, 90, 91, 91, 110, 120, 121, 121, 149, 150, 255};
    const int times[] = {0, 1800, 3600, 5400, 7200, 9000, 10800, 86399};
    const long long firstDay = DaysFromCivil(2024, 1, 1);
    int hits[5] = {};
    for (int i = 0; i < 20000; ++i) {
        ScheduleItem item;
        ScheduleFront& f = item.front;
        f.recurKind = static_cast<std::uint8_t>(kinds[pick(0, std::size(kinds) - 1)]);
        f.recurInterval = static_cast<std::uint8_t>(pick(0, 9) == 0 ? pick(0, 200) : pick(1, 4));
        int low = pick(0, 9) == 0 ? pick(0, 255) : pick(1, 31);
        if (f.recurKind == kKindMonthlyNth || f.recurKind == kKindYearlyNth) {
            low = pick(0, 9) == 0 ? pick(0, 255) : pick(0, 4) << 4 | pick(0, 6);
        } else if (ClassifyKind(f.recurKind) == RecurClass::Weekly) {
            low = pick(0, 255);
        }
        const int month = pick(0, 9) == 0 ? pick(0, 255) : pick(1, 12);
        f.recurPattern = static_cast<std::uint16_t>(ClassifyKind(f.recurKind) == RecurClass::Yearly ? month << 8 | low : low);
        const long long startDays = firstDay + pick(0, 4 * 365);
        int y = 0, m = 0, d = 0;
        CivilFromDays(startDays, y, m, d);
        f.startDate = static_cast<std::int32_t>(Local(y, m, d));
        f.startTime = pick(0, 2) == 0 ? pick(0, 86399) : times[pick(0, std::size(times) - 1)];
        f.recurFlags = static_cast<std::uint8_t>(pick(0, 1));
        f.endDate = static_cast<std::int32_t>(EndOfDay(f.startDate + pick(0, 800) * kSecondsPerDay));

        Instant from = f.startDate + static_cast<Instant>(pick(-60, 400)) * kSecondsPerDay + pick(0, 86399);
        Instant to = from + static_cast<Instant>(pick(0, 120)) * kSecondsPerDay + pick(0, 86399);
        if (pick(0, 1) == 0) {  // a reminder day: from its midnight or from "now", to its end
            if (pick(0, 1) == 0) from = StartOfDay(from);
            to = EndOfDay(from);
        }
        Instant got = -1;
        const bool ok = FindOccurrence(item, from, to, &got);
        const std::optional<Instant> expected = ScanDays(f, from, to);
        ASSERT_EQ(ok, expected.has_value())
            << "case " << i << " kind " << int(f.recurKind) << " pattern " << f.recurPattern << " interval "
            << int(f.recurInterval) << " start " << f.startDate << "+" << f.startTime << " window " << from << ".." << to;
        if (ok) {
            ASSERT_EQ(got, *expected) << "case " << i;
            ++hits[static_cast<int>(ClassifyKind(f.recurKind))];
        }
    }
    for (int h : hits) EXPECT_GT(h, 100);  // no kind is checked only by "nothing found"
}

}  // namespace
