#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "core/calendar.h"
#include "core/clock.h"
#include "portable/core_zone.h"

namespace {

TEST(CivilDaysTest, KnownDaysRoundTripAndOverflowRollsOver) {
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);
    EXPECT_EQ(DaysFromCivil(1969, 12, 31), -1);
    EXPECT_EQ(DaysFromCivil(2026, 1, 32), DaysFromCivil(2026, 2, 1));
    EXPECT_EQ(DaysFromCivil(2026, 13, 1), DaysFromCivil(2027, 1, 1));
    EXPECT_EQ(DaysFromCivil(2026, 0, 1), DaysFromCivil(2025, 12, 1));
    EXPECT_EQ(DaysFromCivil(3000, 12, 31) * kSecondsPerDay + 86399, kLatestInstant);
    long long expected = DaysFromCivil(1900, 1, 1);
    for (int y = 1900; y <= 3001; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInMonth(y, m); ++d, ++expected) {
                ASSERT_EQ(DaysFromCivil(y, m, d), expected);
                int yy = 0, mm = 0, dd = 0;
                CivilFromDays(expected, yy, mm, dd);
                ASSERT_EQ(yy * 10000 + mm * 100 + dd, y * 10000 + m * 100 + d);
            }
        }
    }
    EXPECT_EQ(WeekdayIndexOfDays(DaysFromCivil(2026, 1, 29)), 4);
    EXPECT_EQ(WeekdayIndexOfDays(DaysFromCivil(1969, 12, 28)), 0);
}

TEST(CalendarFieldsTest, MonthLengthsNthWeekdayAndWeekOfMonth) {
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2028, 2), 29);
    EXPECT_EQ(DaysInMonth(2026, 4), 30);
    EXPECT_EQ(DaysInMonth(2026, 12), 31);

    int day = -1;
    EXPECT_TRUE(NthWeekdayOfMonth(2026, 2, 5, 1, day));
    EXPECT_EQ(day, 22);  // four Sundays: the last is the fourth
    EXPECT_TRUE(NthWeekdayOfMonth(2026, 3, 5, 1, day));
    EXPECT_EQ(day, 29);
    EXPECT_TRUE(NthWeekdayOfMonth(2026, 8, 5, 2, day));  // a fifth Monday on the month's last day
    EXPECT_EQ(day, 31);
    EXPECT_TRUE(NthWeekdayOfMonth(2026, 3, 1, 1, day));
    EXPECT_EQ(day, 1);
    EXPECT_TRUE(NthWeekdayOfMonth(2025, 3, 2, 1, day));  // New York's change day
    EXPECT_EQ(day, 9);
    EXPECT_TRUE(NthWeekdayOfMonth(2025, 9, 1, 1, day));  // Santiago's midnight change
    EXPECT_EQ(day, 7);
    day = -1;
    for (auto bad : {std::array{1969, 1, 1, 1}, std::array{3001, 1, 1, 1}, std::array{2026, 0, 1, 1},
                     std::array{2026, 13, 1, 1}, std::array{2026, 1, 6, 1}, std::array{2026, 1, 0, 1},
                     std::array{2026, 1, 1, 8}, std::array{2026, 1, 1, 0}}) {
        EXPECT_FALSE(NthWeekdayOfMonth(bad[0], bad[1], bad[2], bad[3], day));
    }
    EXPECT_EQ(day, -1);

    int week = -1, weekday = -1;
    EXPECT_TRUE(WeekOfMonthAndWeekday(2026, 1, 29, week, weekday));
    EXPECT_EQ(week, 5);
    EXPECT_EQ(weekday, 5);
    EXPECT_TRUE(WeekOfMonthAndWeekday(2026, 4, 31, week, weekday));  // taken as 1 May, a Friday
    EXPECT_EQ(week, 5);
    EXPECT_EQ(weekday, 6);
    week = weekday = -1;
    EXPECT_FALSE(WeekOfMonthAndWeekday(2026, 1, 32, week, weekday));
    EXPECT_FALSE(WeekOfMonthAndWeekday(2026, 1, 0, week, weekday));
    EXPECT_FALSE(WeekOfMonthAndWeekday(1969, 1, 1, week, weekday));
    EXPECT_EQ(week + weekday, -2);
}

TEST(CalendarFieldsTest, DateKeyAndTitleColor) {
    EXPECT_EQ(MakeDateKey(2026, 3, 5), 0x7EA0305u);
    EXPECT_EQ(DateKeyOf(Local(2026, 3, 5, 23, 59, 59)), 0x7EA0305u);
    EXPECT_EQ(DateKeyOf(-1), 0u);
    EXPECT_EQ(TitleColor(""), MakeRgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(TitleColor("A"), MakeRgb(0xFE, 0xFF, 0xFF));
    EXPECT_EQ(TitleColor("Dentist"), TitleColor("Dentisx"));  // only six bytes count
    EXPECT_EQ(TitleColor("\x01\x02\x03\x0C\x30\x01"), MakeRgb(0xE3, 0xEF, 0xF1));
}

TEST(LocalTimeTest, WallClockFieldsRoundTripEveryDayInEveryZone) {
    for (long long days = DaysFromCivil(2025, 1, 1); days < DaysFromCivil(2027, 1, 1); ++days) {
        int y = 0, m = 0, d = 0;
        CivilFromDays(days, y, m, d);
        for (int h : {0, 3, 9, 12, 23}) {
            LocalFields f;
            ASSERT_TRUE(BreakDownLocal(Local(y, m, d, h, 15, 7), f));
            if (f.hour != h && h == 0) continue;  // Santiago's midnight gap, pinned below
            ASSERT_EQ((std::array{f.year, f.month, f.day, f.hour, f.minute, f.second}),
                      (std::array{y, m, d, h, 15, 7}));
            ASSERT_EQ(f.weekdayIndex, WeekdayIndexOfDays(days));
        }
    }
    EXPECT_EQ(Local(2026, 1, 32, 0, 0, 0), Local(2026, 2, 1));
    EXPECT_EQ(Local(2026, 3, 1, 0, 0, 86400 + 60), Local(2026, 3, 2, 0, 1));
    EXPECT_EQ(WeekdayNumber(Local(2026, 1, 29, 12)), 5);
    EXPECT_EQ(WeekdayNumber(-5), 0);
    EXPECT_THROW(Local(1969, 12, 31), std::invalid_argument);
    EXPECT_THROW(Local(3001, 1, 1), std::invalid_argument);
    EXPECT_THROW(Local(3000, 12, 33), std::invalid_argument);  // rolls past the runtime's range
    EXPECT_EQ(EndOfDay(Local(2026, 7, 4, 17, 3)), Local(2026, 7, 4, 23, 59, 59));
}

// Gaps read with the offset before them (02:30 becomes 03:30), overlaps take
// their first reading, midnight that does not exist becomes the day's first instant.
TEST(LocalTimeTest, ChangeDaysOfTheCurrentZone) {
    const struct {
        TestZone zone;
        int local[5];
        int utc[5];
    } cases[] = {
        {TestZone::NewYork, {2025, 3, 9, 2, 30}, {2025, 3, 9, 7, 30}},
        {TestZone::NewYork, {2025, 3, 9, 3, 30}, {2025, 3, 9, 7, 30}},
        {TestZone::NewYork, {2025, 11, 2, 1, 30}, {2025, 11, 2, 5, 30}},
        {TestZone::NewYork, {1970, 1, 1, 0, 0}, {1970, 1, 1, 5, 0}},
        {TestZone::Santiago, {2025, 9, 7, 0, 0}, {2025, 9, 7, 4, 0}},
        {TestZone::Santiago, {2025, 4, 5, 23, 30}, {2025, 4, 6, 2, 30}},
        {TestZone::Santiago, {2025, 4, 6, 0, 0}, {2025, 4, 6, 4, 0}},
        {TestZone::LordHowe, {2025, 10, 5, 2, 15}, {2025, 10, 4, 15, 45}},
        {TestZone::LordHowe, {2025, 4, 6, 1, 45}, {2025, 4, 5, 14, 45}},
        {TestZone::Berlin, {2025, 3, 30, 2, 30}, {2025, 3, 30, 1, 30}},
        {TestZone::Berlin, {2025, 10, 26, 2, 30}, {2025, 10, 26, 0, 30}},
    };
    const TestZone zone = CurrentZone();
    int checked = 0;
    for (const auto& c : cases) {
        if (c.zone != zone) continue;
        const auto& l = c.local;
        const Instant expected = UtcInstant(c.utc[0], c.utc[1], c.utc[2], c.utc[3], c.utc[4]);
        EXPECT_EQ(Local(l[0], l[1], l[2], l[3], l[4]), expected) << l[0] << "-" << l[1] << "-" << l[2];
        EXPECT_EQ(DateKeyOf(expected), MakeDateKey(l[0], l[1], l[2]));
        ++checked;
    }
    if (zone == TestZone::Berlin) {
        EXPECT_THROW(Local(1970, 1, 1), std::invalid_argument);  // an hour before the range
    }
    if (checked == 0) GTEST_SKIP() << "no change days listed for this zone";
}

TEST(LocalTimeTest, RepresentableMonthsAreTheEdgesOfTheRuntimesRange) {
    int firstYear = 0;
    int firstMonth = 0;
    int lastYear = 0;
    int lastMonth = 0;
    RepresentableMonths(firstYear, firstMonth, lastYear, lastMonth);
    // January 1970 begins before the epoch east of UTC.
    EXPECT_EQ(firstYear, 1970);
    EXPECT_EQ(firstMonth, OffsetAt(UtcInstant(1970, 1, 1, 12)) > 0 ? 2 : 1);
    EXPECT_FALSE(CanRepresentMonth(firstMonth == 1 ? 1969 : 1970, firstMonth == 1 ? 12 : 1));
    EXPECT_EQ(std::make_pair(lastYear, lastMonth), std::make_pair(3000, 11));
    EXPECT_FALSE(CanRepresentMonth(3000, 12));
}

TEST(RollingWindowTest, FiveMonthsBackToSevenAhead) {
    const struct {
        int month, startYear, startMonth, endYear, endMonth;
    } cases[] = {{1, 2025, 8, 2026, 8}, {5, 2025, 12, 2026, 12}, {6, 2026, 1, 2027, 1}, {12, 2026, 7, 2027, 7}};
    for (const auto& c : cases) {
        Instant start = 0, end = 0;
        GetRollingWindow(FixedClock(Local(2026, c.month, 1)), start, end);
        EXPECT_EQ(start, Local(c.startYear, c.startMonth, 1)) << c.month;
        EXPECT_EQ(end, Local(c.endYear, c.endMonth, 1)) << c.month;
    }
}

}  // namespace
