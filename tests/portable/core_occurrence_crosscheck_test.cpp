#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "portable/core_zone.h"
#include "support/local_midnight.h"
#include "support/occurrence_reference.h"

namespace {

using reference::ScanDays;

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
            if (pick(0, 1) == 0) from = LocalMidnight(from);
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
