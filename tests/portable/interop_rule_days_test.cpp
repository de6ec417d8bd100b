#include <gtest/gtest.h>

#include <random>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "interop/rule_days.h"
#include "portable/core_zone.h"

namespace {

long long DaysOf(Instant t) {
    LocalFields f;
    EXPECT_TRUE(BreakDownLocal(t, f));
    return DaysFromCivil(f.year, f.month, f.day);
}

// The day arithmetic used by the import agrees with the occurrence engine:
// the first occurrence from any day, and the n-th one after it.
TEST(RuleDays, AgreesWithTheOccurrenceEngine) {
    std::mt19937 rng(5545);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const std::uint8_t kinds[] = {30, 60, 90, 91, 120, 121};
    for (int i = 0; i < 3000; ++i) {
        ScheduleItem item;
        ScheduleFront& f = item.front;
        f.recurKind = kinds[i % 6];
        f.recurInterval = static_cast<std::uint8_t>(pick(1, 4));
        f.recurFlags = 1;
        const int nth = pick(0, 4) << 4 | pick(0, 6);
        if (f.recurKind == 60) f.recurPattern = static_cast<std::uint16_t>(pick(1, 127));
        if (f.recurKind == 90) f.recurPattern = static_cast<std::uint16_t>(pick(1, 31));
        if (f.recurKind == 91) f.recurPattern = static_cast<std::uint16_t>(nth);
        if (f.recurKind >= 120)
            f.recurPattern = static_cast<std::uint16_t>(pick(1, 12) << 8 | (f.recurKind == 121 ? nth : pick(1, 31)));
        const long long start = DaysFromCivil(2025, 1, 1) + pick(0, 500);
        int y = 0, m = 0, d = 0;
        CivilFromDays(start, y, m, d);
        f.startDate = static_cast<std::int32_t>(Local(y, m, d));
        f.startTime = pick(0, 95) * 900;
        const RuleDays rule{f.recurKind, f.recurPattern, f.recurInterval, start};

        const long long from = start + pick(-10, 400);
        CivilFromDays(from, y, m, d);
        Instant found = 0;
        ASSERT_TRUE(FindOccurrence(item, Local(y, m, d), kLatestInstant, &found));
        const long long first = rule.FirstFrom(from);
        ASSERT_EQ(first, DaysOf(found)) << int(f.recurKind) << " " << f.recurPattern << " " << i;

        const int count = pick(1, 30);
        Instant at = found;
        for (int k = 1; k < count; ++k) ASSERT_TRUE(FindOccurrence(item, at + 1, kLatestInstant, &at)) << int(f.recurKind) << " " << f.recurPattern << " " << at << " " << k;
        ASSERT_EQ(rule.Nth(first, count), DaysOf(at)) << int(f.recurKind) << " count " << count << " " << i;
    }
}

}  // namespace
