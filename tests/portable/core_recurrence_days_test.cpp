#include "core/recurrence_days.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include "core/calendar.h"
#include "support/occurrence_reference.h"

namespace {

struct Date {
    int y, m, d;
};

long long Days(Date date) { return DaysFromCivil(date.y, date.m, date.d); }

struct Row {
    const char* name;
    int kind, pattern, interval;
    Date start;
    Date from, last;         // the days asked about
    std::vector<Date> days;  // the occurrence days among them, in order
};

// The rules, one row per case; every row is read four ways below.
const Row kRows[] = {
    {"daily every 3 counts from the start", 30, 0, 3, {2026, 1, 30}, {2026, 2, 1}, {2026, 2, 28},
     {{2026, 2, 2}, {2026, 2, 5}, {2026, 2, 8}, {2026, 2, 11}, {2026, 2, 14}, {2026, 2, 17}, {2026, 2, 20},
      {2026, 2, 23}, {2026, 2, 26}}},
    {"daily, interval 0 counts as 1", 30, 0, 0, {2026, 3, 2}, {2026, 3, 5}, {2026, 3, 7},
     {{2026, 3, 5}, {2026, 3, 6}, {2026, 3, 7}}},
    {"daily kinds 30..59, nothing before the start", 45, 0, 3, {2026, 3, 2}, {2026, 1, 1}, {2026, 3, 10},
     {{2026, 3, 2}, {2026, 3, 5}, {2026, 3, 8}}},
    {"weekly every 2 skips the inactive block", 60, 0x0A, 2, {2026, 1, 5}, {2026, 1, 13}, {2026, 1, 31},
     {{2026, 1, 19}, {2026, 1, 21}}},
    {"weekly blocks begin on the start's weekday", 60, 0x01, 3, {2026, 1, 7}, {2026, 1, 12}, {2026, 2, 28},
     {{2026, 2, 1}, {2026, 2, 22}}},
    {"weekly, start day not in the mask", 60, 0x20, 1, {2026, 1, 5}, {2026, 1, 1}, {2026, 1, 16},
     {{2026, 1, 9}, {2026, 1, 16}}},
    {"weekly every 2 from mid-block", 60, 0x08, 2, {2026, 4, 15}, {2026, 5, 1}, {2026, 5, 31},
     {{2026, 5, 13}, {2026, 5, 27}}},
    {"weekly every 3 on Monday from a Thursday", 60, 0x02, 3, {2026, 4, 16}, {2026, 5, 1}, {2026, 5, 31},
     {{2026, 5, 11}}},
    {"weekly, bit 7 is no weekday", 60, 0xC1, 1, {2026, 4, 15}, {2026, 5, 1}, {2026, 5, 10},
     {{2026, 5, 2}, {2026, 5, 3}, {2026, 5, 9}, {2026, 5, 10}}},
    {"weekly every 2 before 1970", 60, 0x14, 2, {1969, 12, 29}, {1969, 12, 29}, {1970, 1, 25},
     {{1969, 12, 30}, {1970, 1, 1}, {1970, 1, 13}, {1970, 1, 15}}},
    {"weekly empty mask", 60, 0x00, 1, {2026, 1, 5}, {2026, 1, 1}, {2026, 3, 1}, {}},
    {"weekly bit 7 alone", 60, 0x80, 1, {2026, 1, 5}, {2026, 1, 1}, {2026, 3, 1}, {}},
    {"monthly 31 lowered to each month's length", 90, 31, 1, {2026, 1, 31}, {2026, 1, 1}, {2026, 5, 31},
     {{2026, 1, 31}, {2026, 2, 28}, {2026, 3, 31}, {2026, 4, 30}, {2026, 5, 31}}},
    {"monthly 29 in a leap February", 90, 29, 1, {2027, 12, 29}, {2028, 2, 1}, {2028, 3, 31},
     {{2028, 2, 29}, {2028, 3, 29}}},
    {"monthly every 3", 90, 15, 3, {2026, 1, 15}, {2026, 1, 16}, {2026, 12, 31},
     {{2026, 4, 15}, {2026, 7, 15}, {2026, 10, 15}}},
    {"monthly every 2, asked from a month between", 90, 5, 2, {2026, 1, 20}, {2026, 2, 10}, {2026, 5, 31},
     {{2026, 3, 5}, {2026, 5, 5}}},
    {"monthly every 5 across a year's end", 90, 10, 5, {2025, 10, 10}, {2025, 10, 11}, {2026, 12, 31},
     {{2026, 3, 10}, {2026, 8, 10}}},
    {"monthly day before the start's day", 100, 10, 1, {2026, 1, 15}, {2026, 1, 1}, {2026, 3, 31},
     {{2026, 2, 10}, {2026, 3, 10}}},
    {"monthly last Friday, four or five in the month", 91, 0x45, 1, {2026, 1, 1}, {2026, 1, 1}, {2026, 5, 31},
     {{2026, 1, 30}, {2026, 2, 27}, {2026, 3, 27}, {2026, 4, 24}, {2026, 5, 29}}},
    {"monthly second Tuesday before 1970", 91, 0x12, 1, {1969, 11, 1}, {1969, 11, 1}, {1970, 1, 31},
     {{1969, 11, 11}, {1969, 12, 9}, {1970, 1, 13}}},
    {"monthly day 0", 90, 0, 1, {2026, 1, 1}, {2026, 1, 1}, {2027, 1, 1}, {}},
    {"monthly n-th index 5", 91, 0x50, 1, {2026, 1, 1}, {2026, 1, 1}, {2027, 1, 1}, {}},
    {"monthly weekday index 7", 91, 0x07, 1, {2026, 1, 1}, {2026, 1, 1}, {2027, 1, 1}, {}},
    {"yearly second Sunday of May", 121, 0x0510, 1, {2026, 5, 10}, {2026, 5, 11}, {2028, 12, 31},
     {{2027, 5, 9}, {2028, 5, 14}}},
    {"yearly 29 February", 120, 0x021D, 1, {2026, 1, 31}, {2026, 1, 1}, {2028, 12, 31},
     {{2026, 2, 28}, {2027, 2, 28}, {2028, 2, 29}}},
    {"yearly every 2", 120, 0x030A, 2, {2026, 1, 5}, {2026, 1, 1}, {2030, 12, 31},
     {{2026, 3, 10}, {2028, 3, 10}, {2030, 3, 10}}},
    {"yearly every 2, first ahead of the start", 121, 0x0901, 2, {2026, 1, 1}, {2025, 12, 1}, {2028, 12, 31},
     {{2026, 9, 7}, {2028, 9, 4}}},
    {"kinds 150..255 read as yearly", 200, 0x0A05, 1, {2026, 1, 1}, {2026, 11, 1}, {2027, 12, 31},
     {{2027, 10, 5}}},
    {"yearly before 1970", 120, 0x0C19, 1, {1965, 12, 25}, {1968, 1, 1}, {1970, 12, 31},
     {{1968, 12, 25}, {1969, 12, 25}, {1970, 12, 25}}},
    {"yearly month 13", 120, 0x0D01, 1, {2026, 1, 1}, {2026, 1, 1}, {2035, 1, 1}, {}},
    {"yearly month 0", 121, 0x0001, 1, {2026, 1, 1}, {2026, 1, 1}, {2035, 1, 1}, {}},
    {"no recurrence", 1, 0, 1, {2026, 1, 1}, {2026, 1, 1}, {2026, 2, 1}, {}},
};

RecurrenceDays RuleOf(const Row& r) {
    return RecurrenceDays(static_cast<std::uint8_t>(r.kind), static_cast<std::uint16_t>(r.pattern), r.interval,
                          r.start.y, r.start.m, r.start.d);
}

TEST(RecurrenceDaysTest, RuleTable) {
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.name);
        const RecurrenceDays rule = RuleOf(r);
        std::vector<long long> expected;
        for (const Date& d : r.days) expected.push_back(Days(d));

        std::vector<long long> listed;
        rule.ForEachIn(Days(r.from), Days(r.last), [&](long long d) { listed.push_back(d); });
        EXPECT_EQ(listed, expected);
        long long first = -1;
        EXPECT_EQ(rule.FirstIn(Days(r.from), Days(r.last), first), !expected.empty());
        if (!expected.empty()) {
            EXPECT_EQ(first, expected.front());
        }
        for (long long d = Days(r.from); d <= Days(r.last); ++d)
            EXPECT_EQ(rule.Occurs(d), std::find(expected.begin(), expected.end(), d) != expected.end()) << d;
        // Counted from the first: the k-th is the k-th listed.
        for (std::size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(rule.Nth(expected.front(), k + 1), expected[k]);
    }
}

// Every stored value, any start from 1900 on, against the rules read
// straight from their definitions one day at a time.
TEST(RecurrenceDaysTest, AgreesWithTheDefinitionsDayByDay) {
    std::mt19937 rng(5545);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int kinds[] = {30, 45, 60, 89, 90, 91, 100, 120, 121, 149, 200};
    int counted = 0;
    for (int i = 0; i < 3000; ++i) {
        ScheduleFront f;
        f.recurKind = static_cast<std::uint8_t>(kinds[pick(0, std::size(kinds) - 1)]);
        f.recurInterval = static_cast<std::uint8_t>(pick(0, 9) == 0 ? pick(0, 255) : pick(1, 4));
        const int low = f.recurKind == kKindMonthlyNth || f.recurKind == kKindYearlyNth
                            ? (pick(0, 9) == 0 ? pick(0, 255) : pick(0, 4) << 4 | pick(0, 6))
                            : (pick(0, 9) == 0 ? pick(0, 255) : pick(1, 31));
        const int month = pick(0, 19) == 0 ? pick(0, 255) : pick(1, 12);
        f.recurPattern = static_cast<std::uint16_t>(month << 8 | low);
        const long long start = DaysFromCivil(1900, 1, 1) + pick(0, 200 * 365);
        const RecurrenceDays rule = RecurrenceDays::FromDays(f.recurKind, f.recurPattern, f.recurInterval, start);

        const long long from = start + pick(-40, 3000);
        const long long last = from + pick(0, 400);
        std::vector<long long> expected, listed;
        for (long long d = from; d <= last; ++d)
            if (reference::IsOccurrenceDay(f, start, d)) expected.push_back(d);
        rule.ForEachIn(from, last, [&](long long d) { listed.push_back(d); });
        ASSERT_EQ(listed, expected) << "kind " << int(f.recurKind) << " pattern " << f.recurPattern << " interval "
                                    << int(f.recurInterval) << " start " << start << " days " << from << ".." << last;

        // The n-th occurrence, as far as ten years of days reach.
        long long first = 0;
        if (!rule.FirstIn(from, LLONG_MAX, first)) continue;
        ASSERT_TRUE(reference::IsOccurrenceDay(f, start, first));
        const int count = pick(1, 40);
        long long day = first;
        int seen = 1;
        for (long long d = first + 1; seen < count && d <= first + 3650; ++d)
            if (reference::IsOccurrenceDay(f, start, d)) day = d, ++seen;
        if (seen < count) continue;
        ASSERT_EQ(rule.Nth(first, count), day) << "kind " << int(f.recurKind) << " count " << count;
        ++counted;
    }
    EXPECT_GT(counted, 1000);  // the counts were checked for most rules, not skipped
}

// An imported rule that began before 1970 starts again on its first period
// from the earliest day every zone can show.
TEST(RecurrenceDaysTest, PeriodStartFrom) {
    const struct {
        int kind, pattern, interval;
        Date start, min, expected;
    } cases[] = {
        {30, 0, 3, {1969, 12, 25}, {1970, 1, 2}, {1970, 1, 3}},
        {30, 0, 3, {1969, 12, 30}, {1970, 1, 2}, {1970, 1, 2}},
        {60, 0x08, 2, {1969, 12, 17}, {1970, 1, 2}, {1970, 1, 14}},
        {90, 20, 5, {1969, 6, 20}, {1970, 1, 2}, {1970, 4, 1}},
        {91, 0x45, 1, {1969, 12, 31}, {1970, 1, 2}, {1970, 2, 1}},
        {120, 0x030A, 2, {1967, 3, 10}, {1970, 1, 2}, {1971, 1, 1}},
        {121, 0x0510, 1, {1969, 5, 11}, {1970, 1, 1}, {1970, 1, 1}},
        {120, 0x030A, 1, {1975, 3, 10}, {1970, 1, 2}, {1975, 3, 10}},  // already after
    };
    for (const auto& c : cases) {
        const RecurrenceDays rule(static_cast<std::uint8_t>(c.kind), static_cast<std::uint16_t>(c.pattern), c.interval,
                                  c.start.y, c.start.m, c.start.d);
        EXPECT_EQ(rule.PeriodStartFrom(Days(c.min)), Days(c.expected)) << c.kind << " from " << c.start.y;
    }
}

}  // namespace
