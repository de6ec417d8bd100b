#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "dialogs/sche_repeat_model.h"

namespace {

constexpr std::array<bool, 7> kAllDays = {true, true, true, true, true, true, true};

RepeatValues Rule(CivilDate start, std::uint8_t kind, std::uint16_t pattern, std::uint8_t interval,
                  std::uint8_t flags = 0) {
    return {start, {start.year, start.month + 1, 1}, flags, kind, pattern, interval};
}

TEST(RepeatModelTest, OpeningFillsBothHalvesOfDayAndThe) {
    struct Case {
        const char* what;
        RepeatValues values;
        RepeatKind kind;
        bool useNth;
        int day, monthIndex, nthIndex, weekdayIndex;
    } cases[] = {
        // 2026-01-31 is a Saturday in its fifth week: "last".
        {"the 31st", Rule({2026, 1, 31}, kKindNone, 0, 1), RepeatKind::None, false, 31, 0, 4, 6},
        // 2026-07-08 is the second Wednesday.
        {"the 8th", Rule({2026, 7, 8}, kKindDaily, 0, 3), RepeatKind::Daily, false, 8, 6, 1, 3},
        {"monthly day", Rule({2026, 7, 8}, kKindMonthlyDay, 15, 1), RepeatKind::Monthly, false, 15, 6, 2, 3},
        // The last Friday of July 2026 is the 31st.
        {"monthly n-th", Rule({2026, 7, 8}, kKindMonthlyNth, 0x45, 1), RepeatKind::Monthly, true, 31, 6, 4, 5},
        {"yearly date", Rule({2026, 7, 8}, kKindYearlyDate, 0x050A, 2), RepeatKind::Yearly, false, 10, 4, 1, 5},
        {"yearly n-th", Rule({2026, 7, 8}, kKindYearlyNth, 0x0910, 1), RepeatKind::Yearly, true, 12, 8, 1, 0},
        {"never written", Rule({2026, 7, 8}, 200, 0xFFFF, 1), RepeatKind::None, false, 8, 6, 1, 3},
    };
    for (const Case& c : cases) {
        const RepeatControls r = OpenRepeat(c.values);
        EXPECT_EQ(r.kind, c.kind) << c.what;
        EXPECT_EQ(r.useNth, c.useNth) << c.what;
        EXPECT_EQ(r.day, c.day) << c.what;
        EXPECT_EQ(r.monthIndex, c.monthIndex) << c.what;
        EXPECT_EQ(r.nthIndex, c.nthIndex) << c.what;
        EXPECT_EQ(r.weekdayIndex, c.weekdayIndex) << c.what;
        EXPECT_EQ(r.interval, c.values.recurInterval) << c.what;
        EXPECT_EQ(r.weekdays, kAllDays) << c.what;
    }
}

TEST(RepeatModelTest, OpeningAWeeklyRuleTicksItsDaysAndTheEndOption) {
    const RepeatControls r = OpenRepeat(Rule({2026, 7, 8}, kKindWeekly, 0x8A, 2, 0x81));
    EXPECT_EQ(r.kind, RepeatKind::Weekly);
    EXPECT_EQ(r.weekdays, (std::array<bool, 7>{false, true, false, true, false, false, false}));
    EXPECT_TRUE(r.noEndDate);
}

TEST(RepeatModelTest, EncodingOfEachKind) {
    struct Case {
        RepeatKind kind;
        bool useNth;
        std::array<bool, 7> weekdays;
        bool noEnd;
        int kindOut, patternOut, intervalOut, flagsOut;
    } cases[] = {
        // No recurrence keeps the old interval and pattern.
        {RepeatKind::None, false, kAllDays, false, 1, 0x0777, 9, 0x80},
        {RepeatKind::Daily, false, kAllDays, true, 30, 0x0777, 3, 0x81},
        {RepeatKind::Weekly, false, {true, false, false, false, false, false, true}, false, 60, 0x41, 3, 0x80},
        {RepeatKind::Weekly, false, {}, false, 60, 0, 3, 0x80},
        {RepeatKind::Monthly, false, kAllDays, false, 90, 29, 3, 0x80},
        {RepeatKind::Monthly, true, kAllDays, false, 91, 0x45, 3, 0x80},
        {RepeatKind::Yearly, false, kAllDays, false, 120, 0x0B1D, 3, 0x80},
        {RepeatKind::Yearly, true, kAllDays, false, 121, 0x0B45, 3, 0x80},
    };
    for (const Case& c : cases) {
        RepeatControls r;
        r.kind = c.kind;
        r.useNth = c.useNth;
        r.weekdays = c.weekdays;
        r.noEndDate = c.noEnd;
        r.interval = 3;
        r.day = 29;
        r.monthIndex = 10;
        r.nthIndex = 4;
        r.weekdayIndex = 5;
        RepeatValues v = Rule({2026, 7, 8}, kKindMonthlyDay, 0x0777, 9, 0x81);
        EncodeRepeat(r, v);
        EXPECT_EQ(std::make_tuple(int{v.recurKind}, int{v.recurPattern}, int{v.recurInterval}, int{v.recurFlags}),
                  std::make_tuple(c.kindOut, c.patternOut, c.intervalOut, c.flagsOut))
            << static_cast<int>(c.kind) << (c.useNth ? " n-th" : "");
    }
}

}  // namespace
