// The days of rules the calendar cannot store, as RFC 5545 reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calendar.h"
#include "interop/ics_recurrence.h"
#include "interop/ics_values.h"

namespace {

// The first n days from `from` (the start when 0) of a rule starting y-m-d.
std::vector<std::string> FirstDays(const char* rule, int y, int m, int d, std::size_t n, bool* read = nullptr,
                                   long long from = 0, long long budget = 1000000) {
    IcsRecurRule rr;
    EXPECT_TRUE(ParseRecurRule(rule, rr)) << rule;
    std::vector<std::string> days;
    const long long start = DaysFromCivil(y, m, d);
    const bool ok = ForEachRuleDay(rr, start, from != 0 ? from : start, DaysFromCivil(2100, 1, 1), budget,
                                   [&](long long day) {
        int yy = 0, mm = 0, dd = 0;
        CivilFromDays(day, yy, mm, dd);
        days.push_back(FormatIcsDate(yy, mm, dd));
        return days.size() < n;
    });
    if (read != nullptr) *read = ok;
    return days;
}

TEST(IcsRecurrence, RuleDaysAsTheStandardReadsThem) {
    const struct {
        const char* rule;
        int y, m, d;  // DTSTART
        std::vector<std::string> days;
    } cases[] = {
        {"FREQ=MONTHLY;BYDAY=FR;BYMONTHDAY=13", 2026, 1, 1, {"20260213", "20260313", "20261113"}},
        {"FREQ=YEARLY;BYMONTH=11;BYDAY=TU;BYMONTHDAY=2,3,4,5,6,7,8", 2024, 1, 1, {"20241105", "20251104", "20261103"}},
        {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", 2026, 1, 1, {"20260130", "20260227", "20260331"}},
        {"FREQ=MONTHLY", 2026, 1, 31, {"20260131", "20260331", "20260531"}},
        {"FREQ=MONTHLY;BYMONTHDAY=-1;INTERVAL=2", 2026, 1, 31, {"20260131", "20260331", "20260531"}},
        {"FREQ=YEARLY;BYYEARDAY=1,-1", 2025, 6, 1, {"20251231", "20260101", "20261231"}},
        {"FREQ=YEARLY;BYDAY=20MO", 2026, 1, 1, {"20260518", "20270517", "20280515"}},
        {"FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", 2026, 1, 1, {"20260329", "20270328", "20280326"}},
        {"FREQ=YEARLY", 2024, 2, 29, {"20240229", "20280229", "20320229"}},
        // Weeks begin on WKST: the same rule from a Friday keeps other weeks.
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,WE,FR", 2026, 3, 6, {"20260306", "20260317", "20260318", "20260320"}},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,WE,FR;WKST=TH", 2026, 3, 6, {"20260306", "20260310", "20260311"}},
        {"FREQ=DAILY;BYMONTH=2;COUNT=3", 2026, 1, 30, {"20260201", "20260202", "20260203"}},
        {"FREQ=MONTHLY;BYMONTHDAY=1,15;COUNT=3", 2026, 1, 10, {"20260115", "20260201", "20260215"}},
    };
    for (const auto& c : cases) EXPECT_EQ(FirstDays(c.rule, c.y, c.m, c.d, c.days.size()), c.days) << c.rule;
}

TEST(IcsRecurrence, PartsItCannotReadAreSaidSo) {
    for (const char* rule : {"FREQ=YEARLY;BYWEEKNO=20", "FREQ=DAILY;BYHOUR=9,17", "FREQ=HOURLY",
                             "FREQ=MONTHLY;BYYEARDAY=100", "FREQ=WEEKLY;BYDAY=1MO"}) {
        bool read = true;
        FirstDays(rule, 2026, 1, 1, 3, &read);
        EXPECT_FALSE(read) << rule;
    }
    bool read = false;
    EXPECT_EQ(FirstDays("FREQ=DAILY;COUNT=2", 2026, 1, 1, 5, &read), (std::vector<std::string>{"20260101", "20260102"}));
    EXPECT_TRUE(read);
}

// A search from a later day skips the periods before it, unless a COUNT
// must be counted from the start; a search that would take too long says so.
TEST(IcsRecurrence, LaterSearchesAreShortAndBounded) {
    const long long from = DaysFromCivil(2026, 3, 1);
    bool read = false;
    EXPECT_EQ(FirstDays("FREQ=MONTHLY;BYMONTHDAY=31", 1901, 1, 31, 2, &read, from, 4),
              (std::vector<std::string>{"20260331", "20260531"}));
    EXPECT_TRUE(read);
    // March 2025 has five Mondays.
    EXPECT_EQ(FirstDays("FREQ=YEARLY;BYMONTH=3;BYDAY=MO;COUNT=6", 2025, 1, 1, 3, &read, from),
              (std::vector<std::string>{"20260302"}));
    EXPECT_EQ(FirstDays("FREQ=YEARLY;BYMONTH=3;BYDAY=MO;COUNT=5", 2025, 1, 1, 3, &read, from),
              (std::vector<std::string>{}));
    FirstDays("FREQ=DAILY;COUNT=1000000", 1, 1, 1, 1, &read, from, 100000);
    EXPECT_FALSE(read);
}

}  // namespace
