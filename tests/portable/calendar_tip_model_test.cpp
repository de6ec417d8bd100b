#include <gtest/gtest.h>

#include <string>

#include "calendar/tip_model.h"
#include "portable/core_zone.h"

namespace {

class IsoFormat final : public TextFormat {
public:
    std::string LongDate(int y, int m, int d) const override {
        return std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d);
    }
    std::string TimeWithSeconds(int h, int m, int s) const override {
        return std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s);
    }
    std::string ShortTime(int h, int m) const override { return std::to_string(h) + ":" + std::to_string(m); }
};

struct Day {
    int y, m, d;
};

ScheduleItem Event(Day first, Day last, std::uint8_t kind, std::uint8_t flags = 0) {
    ScheduleItem item;
    item.title = "Standup & review";
    item.front.startDate = static_cast<std::int32_t>(Local(first.y, first.m, first.d));
    item.front.endDate = static_cast<std::int32_t>(Local(last.y, last.m, last.d, 23, 59, 59));
    item.front.startTime = 9 * 3600 + 30 * 60 + 5;
    item.front.endTime = 10 * 3600;
    item.front.recurKind = kind;
    item.front.recurFlags = flags;
    return item;
}

ScheduleItem Until(ScheduleItem item, int hour) {
    item.front.endTime = hour * 3600;
    return item;
}

TEST(TipModelTest, FiveLines) {
    const IsoFormat iso;
    const Instant now = Local(2026, 3, 20, 12);
    struct Case {
        const char* what;
        ScheduleItem item;
        const char* date;
        const char* recur;
        const char* past;
    } cases[] = {
        {"endless", Event({2026, 3, 2}, {2026, 3, 2}, 30, 1), "Date: 2026-3-2 ~ endless", "Recur: Everyday", ""},
        {"ahead", Event({2026, 3, 29}, {2026, 3, 30}, 1), "Date: 2026-3-29 ~ 2026-3-30", "Recur: No Recurrence", ""},
        // Past once the last occurrence has ended, not once it has begun.
        {"begun, not ended", Event({2026, 3, 19}, {2026, 3, 21}, 1), "Date: 2026-3-19 ~ 2026-3-21",
         "Recur: No Recurrence", ""},
        {"last occurrence running", Until(Event({2026, 3, 2}, {2026, 3, 20}, 30), 13), "Date: 2026-3-2 ~ 2026-3-20",
         "Recur: Everyday", ""},
        {"one day, ended this morning", Event({2026, 3, 20}, {2026, 3, 20}, 1), "Date: 2026-3-20 ~ 2026-3-20",
         "Recur: No Recurrence", "This is a past event."},
        {"last occurrence gone", Event({2026, 3, 2}, {2026, 3, 20}, 30), "Date: 2026-3-2 ~ 2026-3-20",
         "Recur: Everyday", "This is a past event."},
        {"ended", Event({2026, 3, 2}, {2026, 3, 3}, 30), "Date: 2026-3-2 ~ 2026-3-3", "Recur: Everyday",
         "This is a past event."},
    };
    for (const Case& c : cases) {
        const TipLines lines = MakeTipLines(c.item, now, iso, EnglishLocaleNames());
        EXPECT_EQ(lines[0], "Standup & review") << c.what;
        EXPECT_EQ(lines[1], c.date) << c.what;
        EXPECT_EQ(lines[2], c.recur) << c.what;
        // On 2026-03-29 Berlin's clock changes: still the stored time of day.
        EXPECT_EQ(lines[3], std::string("Time: 9:30:5 ~ ") + (c.item.front.endTime == 13 * 3600 ? "13" : "10") +
                                ":0:0")
            << c.what;
        EXPECT_EQ(lines[4], c.past) << c.what;
    }
}

TEST(TipModelTest, PushedBackIntoTheWorkArea) {
    const ScreenRect work = {0, 0, 1024, 738};
    struct Case {
        ScreenRect in, out;
    } cases[] = {
        {{100, 100, 300, 180}, {100, 100, 300, 180}},
        {{900, 100, 1100, 180}, {824, 100, 1024, 180}},  // right edge meets the work area's
        {{100, 700, 300, 780}, {100, 658, 300, 738}},     // bottom edge too
        {{-30, -5, 170, 75}, {0, 0, 200, 80}},
        {{-10, 100, 1100, 180}, {0, 100, 1110, 180}},    // wider than the area: its left edge shows
    };
    for (const Case& c : cases) EXPECT_EQ(PlaceTip(c.in, work), c.out) << c.in.left << "," << c.in.top;
}

}  // namespace
