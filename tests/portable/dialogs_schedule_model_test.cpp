#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "core/calendar.h"
#include "dialogs/schedule_model.h"
#include "portable/core_zone.h"
#include "portable/store_fakes.h"

namespace {

TEST(EditorModelTest, NewEventStartsAtTheNextHalfHourOfThePresetDay) {
    struct Case {
        int hour, minute, time;
    } cases[] = {{10, 10, 10 * 3600 + 1800}, {10, 45, 11 * 3600}, {10, 30, 11 * 3600}, {23, 45, 0}};
    for (const Case& c : cases) {
        SettableClock clock(Local(2026, 8, 3, c.hour, c.minute));
        const EditorFields f = NewEventFields(clock, {2026, 8, 20});
        EXPECT_EQ(f.startTime, c.time) << c.hour << ":" << c.minute;
        EXPECT_EQ(f.endTime, c.time);
        EXPECT_EQ(f.startDate, (CivilDate{2026, 8, 20}));
        EXPECT_EQ(f.endDate, (CivilDate{2026, 8, 20}));
        EXPECT_EQ(std::make_tuple(int{f.recurKind}, int{f.recurInterval}, f.remindMinutes, f.soundCheck, f.launchCheck),
                  std::make_tuple(1, 1, 10, true, false));
    }
}

TEST(EditorModelTest, StoredTimesAreTimesOfDayOnAnyDay) {
    // Daylight-saving days in the test zones; midnight plus 9 hours is not 09:00 there.
    for (const CivilDate day : {CivilDate{2026, 3, 29}, CivilDate{2026, 3, 8}, CivilDate{2026, 4, 5},
                                CivilDate{2026, 9, 6}, CivilDate{2026, 10, 25}}) {
        ScheduleItem item;
        item.front.startDate = static_cast<std::int32_t>(Local(day.year, day.month, day.day));
        item.front.endDate = static_cast<std::int32_t>(Local(day.year, day.month, day.day, 23, 59, 59));
        item.front.startTime = 9 * 3600 + 15;
        item.front.endTime = 17 * 3600;
        item.title = "  Dentist ";
        item.actions = kActionLaunchFile;
        const EditorFields f = EditedEventFields(item, SettableClock(0));
        EXPECT_EQ(f.startDate, day);
        EXPECT_EQ(f.endDate, day);
        EXPECT_EQ(f.startTime, 9 * 3600 + 15);
        EXPECT_EQ(f.endTime, 17 * 3600);
        EXPECT_EQ(f.title, "Dentist");
        EXPECT_EQ(std::make_pair(f.soundCheck, f.launchCheck), std::make_pair(false, true));
    }
}

class ApplyTest : public testing::Test {
protected:
    SettableClock clock{Local(2026, 8, 3, 10, 10)};  // rolling window 2026-03-01 .. 2027-03-01
    bool structureChanged = false;
    bool actionsChanged = false;

    static EditorFields Fields(CivilDate start, CivilDate end) {
        EditorFields f;
        f.title = "Dentist";
        f.startDate = start;
        f.endDate = end;
        f.startTime = 9 * 3600;
        f.endTime = 10 * 3600;
        return f;
    }
    EditorRefusal Apply(EditorFields f, std::unique_ptr<ScheduleItem>& item) {
        return ApplyEditorFields(f, clock, item, structureChanged, actionsChanged);
    }
    // A stored copy of what a first OK made of the fields.
    std::unique_ptr<ScheduleItem> Stored(const EditorFields& f) {
        std::unique_ptr<ScheduleItem> item;
        EXPECT_EQ(Apply(f, item), EditorRefusal::None);
        structureChanged = actionsChanged = false;
        return item;
    }
};

TEST_F(ApplyTest, ChecksInOrderWithTheirTexts) {
    const std::string title51(51, 't');
    const std::string note201(201, 'n');
    const CivilDate tuesday{2026, 8, 4};
    const CivilDate wednesday{2026, 8, 5};
    struct Case {
        const char* what;
        std::string title, note;
        CivilDate start, end;
        std::uint8_t kind, flags;
        std::uint16_t pattern;
        const char* text;
    } cases[] = {
        {"title of 51", title51, note201, tuesday, wednesday, 1, 0, 0, "Title cannot exceed 50 characters."},
        {"title of 50", std::string(50, 't'), note201, tuesday, wednesday, 1, 0, 0,
         "Note cannot exceed 200 characters."},
        {"spaces do not count", "  Dentist  ", "  " + std::string(200, 'n') + "\n", tuesday, wednesday, 1, 0, 0, ""},
        {"starts at the window's end", "Dentist", "", {2027, 3, 1}, {2027, 3, 1}, 1, 0, 0, "Date is out of range."},
        {"ends before the window", "Dentist", "", {2026, 2, 27}, {2026, 2, 28}, 1, 0, 0, "Date is out of range."},
        {"endless from before the window", "Dentist", "", {2026, 2, 2}, {2026, 2, 2}, 60, 1, 0x02, ""},
        {"before the runtime's range", "Dentist", "", {1969, 12, 1}, {1969, 12, 1}, 1, 0, 0, "Date is out of range."},
        {"Mondays from a Tuesday to a Wednesday", "Dentist", "", tuesday, wednesday, 60, 0, 0x02,
         "No possible occurrence.\nPlease check recurrence settings."},
        {"the same without end", "Dentist", "", tuesday, wednesday, 60, 1, 0x02, ""},
    };
    for (const Case& c : cases) {
        EditorFields f = Fields(c.start, c.end);
        f.title = c.title;
        f.note = c.note;
        f.recurKind = c.kind;
        f.recurFlags = c.flags;
        f.recurPattern = c.pattern;
        std::unique_ptr<ScheduleItem> item;
        EXPECT_STREQ(RefusalText(Apply(f, item)), c.text) << c.what;
    }
}

TEST_F(ApplyTest, AnEndBeforeTheStartBecomesTheStart) {
    std::unique_ptr<ScheduleItem> item;
    ASSERT_EQ(Apply(Fields({2026, 8, 20}, {2026, 8, 18}), item), EditorRefusal::None);
    EXPECT_TRUE(structureChanged && actionsChanged);  // a new event
    EXPECT_EQ(item->front.endDate, Local(2026, 8, 20, 23, 59, 59));
}

TEST_F(ApplyTest, ALongStoredTitlePassesWhileUnchanged) {
    EditorFields f = Fields({2026, 8, 20}, {2026, 8, 20});
    auto item = Stored(f);
    item->title = std::string(55, 'x');
    item->note = std::string(240, 'y');
    f.title = item->title;
    f.note = item->note;
    EXPECT_EQ(Apply(f, item), EditorRefusal::None);
    EXPECT_FALSE(structureChanged || actionsChanged);
    f.title += "z";
    EXPECT_EQ(Apply(f, item), EditorRefusal::TitleTooLong);
}

TEST_F(ApplyTest, ChangeFlagsByGroup) {
    const EditorFields base = Fields({2026, 8, 20}, {2026, 8, 20});
    struct Case {
        const char* what;
        void (*edit)(EditorFields&);
        bool structure, actions;
    } cases[] = {
        {"note only", [](EditorFields& f) { f.note.push_back('x'); }, true, false},
        {"title", [](EditorFields& f) { f.title.push_back('!'); }, true, false},
        {"end time", [](EditorFields& f) { f.endTime += 60; }, true, false},
        {"rule", [](EditorFields& f) { f.recurKind = 30; }, true, false},
        {"minutes", [](EditorFields& f) { f.remindMinutes = 0; }, false, true},
        {"sound unticked", [](EditorFields& f) { f.soundCheck = false; }, false, true},
        {"nothing", [](EditorFields&) {}, false, false},
    };
    for (const Case& c : cases) {
        auto item = Stored(base);
        EditorFields f = base;
        c.edit(f);
        EXPECT_EQ(Apply(f, item), EditorRefusal::None) << c.what;
        EXPECT_EQ(std::make_pair(structureChanged, actionsChanged), std::make_pair(c.structure, c.actions)) << c.what;
    }
}

// Without an end a rule must still be able to occur: weekly on no weekday
// would be stored, never drawn and described as "Every".
TEST_F(ApplyTest, AnEndlessRuleThatNeverOccursIsRefused) {
    EditorFields f = Fields({2026, 8, 4}, {2026, 8, 4});
    auto item = Stored(f);
    f.recurKind = 60;
    f.recurFlags = 1;
    f.recurPattern = 0;
    EXPECT_EQ(Apply(f, item), EditorRefusal::NoOccurrence);
    f.recurPattern = 0x02;
    EXPECT_EQ(Apply(f, item), EditorRefusal::None);
}

TEST_F(ApplyTest, ARefusedAttemptKeepsWhatItCopied) {
    EditorFields f = Fields({2026, 8, 4}, {2026, 8, 5});
    auto item = Stored(f);
    f.recurKind = 60;
    f.recurPattern = 0x02;  // Mondays only, between a Tuesday and a Wednesday
    EXPECT_EQ(Apply(f, item), EditorRefusal::NoOccurrence);
    EXPECT_EQ(item->front.recurKind, 60);
    structureChanged = false;  // to see what the next attempt finds changed: not the rule it copied
    f.endDate = {2026, 8, 10};
    EXPECT_EQ(Apply(f, item), EditorRefusal::None);
    EXPECT_TRUE(structureChanged);  // the end date changed
}

}  // namespace
