// Putting a reminder off: when it comes back and with what, what the
// registry keeps across a restart, and what ends a snooze.
#include <gtest/gtest.h>

#include "portable/reminder_fakes.h"
#include "reminder/snooze_times.h"
#include "store/registry_paths.h"

namespace {

const Day D = kQuietDay;

// Dentist at 10:00, reminded at 09:45 with its sound and its launch file.
struct SnoozeRig : ReminderRig {
    SnoozeRig() {
        Add("Dentist", D, 10, 0, 15, kActionPlaySound | kActionLaunchFile);
        actions.existing.insert("Dentist.exe");
        upcoming.open = true;
        clock.now = D.At(9, 0);
        scheduler.StartSchedule();
        RunUntil(D.At(9, 46));
    }
    std::uint32_t Id() const { return events.items.front()->front.id; }
    const PendingReminder* Record() const {
        return scheduler.Pending().empty() ? nullptr : scheduler.Pending().front().get();
    }
    std::string Stored() {
        RegType type{};
        std::string bytes;
        return registry.Peek("SOFTWARE\\OrvCalendar\\User\\Default_Id", kSnoozedValue, type, bytes) ? bytes
                                                                                                   : "(none)";
    }
};

TEST(ReminderSnoozeTest, SnoozedReminderComesBackOnceWithItsSoundAndNotItsFile) {
    SnoozeRig r;
    ASSERT_EQ(r.actions.sounds.size(), 1u);
    ASSERT_TRUE(r.scheduler.SnoozeOccurrence(r.Id(), D.At(10, 0), D.At(9, 56)));
    ASSERT_NE(r.Record(), nullptr);
    EXPECT_TRUE(r.Record()->snoozed);
    EXPECT_EQ(r.timer.DueAt(), D.At(9, 56));
    EXPECT_EQ(r.Stored(), EncodeSnoozes({{r.Id(), D.Key(), D.At(9, 56)}}));

    r.CheckAt(D.At(9, 55, 54));
    EXPECT_EQ(r.actions.sounds.size(), 1u);
    r.CheckAt(D.At(9, 55, 55));
    EXPECT_EQ(r.actions.sounds.back(), (Done{"Dentist.wav", D.At(9, 55, 55)}));
    EXPECT_FALSE(r.Record()->snoozed);  // listed as reminded again
    EXPECT_EQ(r.Stored(), "(none)");

    r.RunUntil(D.At(12, 0));
    EXPECT_EQ(r.actions.sounds.size(), 2u);
    EXPECT_EQ(r.actions.opened.size(), 1u);
    EXPECT_EQ(r.upcoming.begun, (std::vector<Done>{{"Dentist", D.At(10, 0)}}));
}

TEST(ReminderSnoozeTest, SnoozedPastTheStartComesBackAsANotificationNotAtTheStart) {
    SnoozeRig r;
    r.upcoming.open = false;
    r.scheduler.SnoozeOccurrence(r.Id(), D.At(10, 0), D.At(10, 20));
    r.RunUntil(D.At(10, 19));
    EXPECT_TRUE(r.upcoming.begun.empty());
    EXPECT_EQ(r.upcoming.opens, 0);
    EXPECT_TRUE(r.scheduler.Pending().empty());
    r.RunUntil(D.At(10, 21));
    EXPECT_EQ(r.upcoming.opens, 1);  // UewBeginning
    EXPECT_EQ(r.upcoming.begun, (std::vector<Done>{{"Dentist", D.At(10, 0)}}));
    EXPECT_EQ(r.actions.sounds.size(), 2u);

    // A begun occurrence put off again comes back again, once.
    r.scheduler.SnoozeOccurrence(r.Id(), D.At(10, 0), D.At(10, 30));
    r.RunUntil(D.At(11, 0));
    EXPECT_EQ(r.upcoming.begun.size(), 2u);
    EXPECT_EQ(r.actions.sounds.size(), 3u);
    EXPECT_EQ(r.actions.opened.size(), 1u);
}

// The program killed with a snooze pending: started again before it, the
// reminder does not run again and the snooze keeps its time; started after
// it, the snooze fires at once, and once.
TEST(ReminderSnoozeTest, SnoozeSurvivesARestart) {
    for (const bool late : {false, true}) {
        SCOPED_TRACE(late);
        SnoozeRig r;
        r.scheduler.SnoozeOccurrence(r.Id(), D.At(10, 0), D.At(9, 56));
        for (int run = 0; run < (late ? 2 : 1); ++run) {  // late: a second start finds nothing to fire
            ReminderScheduler again(r.events, r.prefs, r.clock, r.timer, r.actions, r.upcoming, &r.keeper);
            r.clock.now = late ? D.At(13, 0) : D.At(9, 50);
            again.StartSchedule();
            if (late) continue;
            ASSERT_EQ(again.Pending().size(), 1u);
            EXPECT_TRUE(again.Pending().front()->snoozed);
            EXPECT_EQ(r.actions.sounds.size(), 1u);
            EXPECT_EQ(r.timer.DueAt(), D.At(9, 56));
            r.clock.now = D.At(9, 56);
            again.OnTimer();
        }
        ASSERT_EQ(r.actions.sounds.size(), 2u);
        EXPECT_EQ(r.actions.sounds.back().at, late ? D.At(13, 0) : D.At(9, 56));
        EXPECT_EQ(r.upcoming.begun.size(), late ? 1u : 0u);
        EXPECT_EQ(r.actions.opened.size(), 1u);
        EXPECT_EQ(r.Stored(), "(none)");
    }
}

TEST(ReminderSnoozeTest, DeletingMovingOrExcludingTheOccurrenceEndsItsSnooze) {
    enum Change { Delete, MoveTime, MoveDay, Exclude, Retitle };
    for (const Change change : {Delete, MoveTime, MoveDay, Exclude, Retitle}) {
        SCOPED_TRACE(change);
        SnoozeRig r;
        r.scheduler.SnoozeOccurrence(r.Id(), D.At(10, 0), D.At(9, 56));
        ScheduleItem& item = *r.events.items.front();
        r.scheduler.DropPending(item);
        switch (change) {
            case Delete:
                r.scheduler.ForgetFired(item.front.id);
                r.events.Remove(item);
                break;
            case MoveTime:
                item.front.startTime += 1800;
                r.scheduler.RescheduleEvent(item);
                break;
            case MoveDay:
                item.front.startDate = static_cast<std::int32_t>(D.Plus(1).At(0));
                r.scheduler.RescheduleEvent(item);
                break;
            case Exclude:
                r.events.excluded.push_back({D.Key(), item.front.id});
                r.scheduler.RescheduleEvent(item);
                break;
            case Retitle:
                item.title = "Dentist, Dr Who";
                r.scheduler.RescheduleEvent(item);
                break;
        }
        EXPECT_EQ(r.scheduler.Snoozes().size(), change == Retitle ? 1u : 0u);
        EXPECT_EQ(r.Stored() == "(none)", change != Retitle);
    }
}

TEST(ReminderSnoozeTest, ClockSetBackOrForward) {
    SnoozeRig r;
    r.scheduler.SnoozeOccurrence(r.Id(), D.At(10, 0), D.At(9, 56));
    // Back an hour: the snooze keeps its instant.
    r.CheckAt(D.At(8, 46));
    EXPECT_EQ(r.scheduler.Snoozes().at(0).fireAt, D.At(9, 56));
    EXPECT_EQ(r.actions.sounds.size(), 1u);
    // Back two days: no snooze lies further ahead than the longest one.
    r.CheckAt(D.Plus(-2).At(9, 0));
    EXPECT_EQ(r.scheduler.Snoozes().at(0).fireAt, D.Plus(-2).At(9, 0) + kLongestSnooze);
    EXPECT_EQ(r.Stored(), EncodeSnoozes({{r.Id(), D.Key(), D.Plus(-2).At(9, 0) + kLongestSnooze}}));
    // Forward past it: it fires at once, once.
    r.CheckAt(D.Plus(-1).At(10, 30));
    r.CheckAt(D.Plus(-1).At(10, 31));
    EXPECT_EQ(r.actions.sounds.size(), 2u);
    EXPECT_TRUE(r.scheduler.Snoozes().empty());
}

TEST(SnoozeTimesTest, ChoicesAndTomorrowAtTheSameWallClockTime) {
    Instant until = 0;
    const Instant now = D.At(9, 46, 7);
    const int minutes[] = {5, 10, 15, 30, 60, 120};
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(SnoozeUntil(now, i, until));
        EXPECT_EQ(until, now + minutes[i] * 60);
    }
    ASSERT_TRUE(SnoozeUntil(now, kSnoozeTomorrow, until));
    EXPECT_EQ(until, D.Plus(1).At(9, 46, 7));
    // Across a change of the clocks: the same reading, 23 or 25 hours on.
    ASSERT_TRUE(SnoozeUntil(Local(2025, 3, 8, 9, 0), kSnoozeTomorrow, until));
    EXPECT_EQ(until, Local(2025, 3, 9, 9, 0));
    ASSERT_TRUE(SnoozeUntil(Local(2025, 10, 25, 23, 30), kSnoozeTomorrow, until));
    EXPECT_EQ(until, Local(2025, 10, 26, 23, 30));
    EXPECT_FALSE(SnoozeUntil(now, -1, until));
    EXPECT_FALSE(SnoozeUntil(now, kSnoozeChoices, until));
}

TEST(SnoozeStoreTest, BytesAreTwelveAnEntryLittleEndianAndUntrustedOnReading) {
    const std::vector<Snooze> list = {{7, MakeDateKey(2026, 6, 10), 0x01020304}, {0xA0B0C0D0, 0x07EA0C1F, 0xFFFFFFFF}};
    const std::string bytes = EncodeSnoozes(list);
    EXPECT_EQ(bytes, std::string("\x07\0\0\0\x0A\x06\xEA\x07\x04\x03\x02\x01"
                                 "\xD0\xC0\xB0\xA0\x1F\x0C\xEA\x07\xFF\xFF\xFF\xFF",
                                 24));
    const auto back = DecodeSnoozes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1].eventId, 0xA0B0C0D0u);
    EXPECT_EQ(back[1].fireAt, 0xFFFFFFFFll);  // unsigned: past 2038
    // A ragged tail is left off; the count is capped.
    EXPECT_EQ(DecodeSnoozes(reinterpret_cast<const std::uint8_t*>(bytes.data()), 23).size(), 1u);
    const std::string many(12 * (kMaxSnoozes + 5), '\x01');
    EXPECT_EQ(DecodeSnoozes(reinterpret_cast<const std::uint8_t*>(many.data()), many.size()).size(), kMaxSnoozes);

    // A value longer than the longest list is not read at all.
    MemoryRegistry registry;
    RegistryReminderKeeper keeper(registry);
    OpenUserKey(registry, RegAccess::Write).WriteBinary(kSnoozedValue, many.data(), many.size());
    EXPECT_TRUE(keeper.LoadSnoozes().empty());
    keeper.SaveSnoozes(list);
    EXPECT_EQ(keeper.LoadSnoozes().size(), 2u);
    keeper.SaveSnoozes({});
    std::uint32_t size = 0;
    EXPECT_FALSE(OpenUserKey(registry, RegAccess::Read).ValueSize(kSnoozedValue, size));
}

TEST(ReminderSnoozeTest, StoredSnoozesOfUnknownEventsOrImpossibleDaysAreDroppedAtLoad) {
    ReminderRig r;
    r.Add("Dentist", D, 10, 0, 15);
    r.keeper.SaveSnoozes({{1, D.Key(), D.At(9, 56)},
                                {2, D.Key(), D.At(9, 56)},
                                {1, MakeDateKey(2026, 2, 30), D.At(9, 56)},
                                {1, D.Plus(1).Key(), D.At(9, 56)}});  // no occurrence that day
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    ASSERT_EQ(r.scheduler.Snoozes().size(), 1u);
    EXPECT_EQ(r.scheduler.Snoozes()[0].start, D.At(10, 0));
    EXPECT_EQ(r.keeper.LoadSnoozes().size(), 1u);
}

}  // namespace

namespace {

// What began while the program was away or the computer slept.
TEST(ReminderMissedTest, AwayDaysAreShownOnceAsMissedWithoutSoundOrLaunch) {
    struct Case {
        const char* name;
        int awayDays;      // the last check on D at 11:00, back this many days later at 09:00
        bool restart;      // a new run, else woken from sleep
        std::vector<int> missedDays;
    };
    const Case cases[] = {
        {"three days off", 3, true, {1, 2}},
        {"three days asleep", 3, false, {1, 2}},
        {"ten days off: seven looked back", 10, true, {3, 4, 5, 6, 7, 8, 9}},
        {"same day off", 0, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReminderRig r;
        r.AddDaily("Pills", D, 10, 0, 15).actions = kActionPlaySound | kActionLaunchFile;
        r.actions.existing.insert("Pills.exe");
        r.clock.now = D.At(8, 0);
        r.scheduler.StartSchedule();
        r.RunUntil(D.At(11, 0));
        r.CheckAt(D.At(11, 0));
        ASSERT_EQ(r.actions.sounds.size(), 1u);
        const Day back = D.Plus(c.awayDays);
        std::vector<Done> expected;
        for (int day : c.missedDays) expected.push_back({"Pills", D.Plus(day).At(10, 0)});
        if (c.awayDays == 0) expected.clear();
        if (c.restart) {
            ReminderScheduler again(r.events, r.prefs, r.clock, r.timer, r.actions, r.upcoming, &r.keeper, &r.notice);
            r.clock.now = c.awayDays == 0 ? D.At(12, 0) : back.At(9, 0);
            again.StartSchedule();
            ReminderScheduler third(r.events, r.prefs, r.clock, r.timer, r.actions, r.upcoming, &r.keeper, &r.notice);
            third.StartSchedule();  // nothing twice
        } else {
            r.CheckAt(back.At(9, 0));
            r.CheckAt(back.At(9, 1));
        }
        EXPECT_EQ(r.upcoming.missed, expected);
        // One notification names them all.
        EXPECT_EQ(r.notice.shown.size(), expected.empty() ? 1u : 2u);
        EXPECT_EQ(r.actions.sounds.size(), 1u);
        EXPECT_EQ(r.actions.opened.size(), 1u);
        EXPECT_TRUE(expected.empty() || r.upcoming.open);
    }
}

// The window lists them at once, also with nothing pending to refresh it.
TEST(ReminderMissedTest, MissedRowsAreListedAtOnceWithNothingPending) {
    ReminderRig r;
    r.Add("Call", D.Plus(1), 10, 0, 0);
    r.keeper.SaveLastChecked(D.At(11, 0));
    r.clock.now = D.Plus(2).At(12, 0);
    r.scheduler.StartSchedule();
    EXPECT_EQ(r.log, (Log{"show", "missed Call", "refresh"}));
}

TEST(ReminderMissedTest, FirstRunExcludedDaysAndSnoozedOccurrencesAreNotMissed) {
    ReminderRig r;
    ScheduleItem& pills = r.AddDaily("Pills", D, 10, 0, 15);
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();  // no last check stored: nothing before it counts
    EXPECT_TRUE(r.upcoming.missed.empty());
    r.RunUntil(D.At(10, 30));
    r.scheduler.SnoozeOccurrence(pills.front.id, D.At(10, 0), D.Plus(2).At(8, 0));
    r.events.excluded.push_back({D.Plus(1).Key(), pills.front.id});
    ReminderScheduler again(r.events, r.prefs, r.clock, r.timer, r.actions, r.upcoming, &r.keeper);
    r.clock.now = D.Plus(2).At(12, 0);
    again.StartSchedule();
    EXPECT_EQ(r.upcoming.missed, (std::vector<Done>{{"Pills", D.Plus(2).At(10, 0)}}));
    EXPECT_EQ(r.upcoming.begun, (std::vector<Done>{{"Pills", D.At(10, 0)}, {"Pills", D.At(10, 0)}}));  // the snooze
}

}  // namespace

namespace {

// One tray notification a check, naming what fired in it; none when the
// preference is off.
TEST(ReminderNoticeTest, ReminderFiringTogetherShareOneNotification) {
    for (const int toast : {1, 0}) {
        SCOPED_TRACE(toast);
        ReminderRig r;
        r.prefs.UewToast = toast;
        r.Add("Standup", D, 10, 0, 15);
        r.Add("Review", D, 10, 5, 20);
        r.Add("Lunch", D, 12, 0, 15);
        r.clock.now = D.At(9, 0);
        r.scheduler.StartSchedule();
        r.RunUntil(D.At(11, 40));
        if (toast == 0) {
            EXPECT_TRUE(r.notice.shown.empty());
            continue;
        }
        EXPECT_EQ(r.notice.shown, (std::vector<std::string>{"Standup,Review"}));
        r.RunUntil(D.At(11, 46));
        r.scheduler.SnoozeOccurrence(r.events.items.back()->front.id, D.At(12, 0), D.At(11, 55));
        r.RunUntil(D.At(12, 30));
        EXPECT_EQ(r.notice.shown, (std::vector<std::string>{"Standup,Review", "Lunch", "Lunch"}));
    }
}

TEST(ReminderNoticeTest, TextNamesOneOrSeveralWithinTheShellsLimits) {
    const auto start = [](Instant t, bool withDate) {
        return (withDate ? std::string("6/7 ") : std::string()) + std::to_string(t) + ":00";
    };
    struct Case {
        std::vector<NoticeEntry> entries;
        bool missed;
        NoticeText want;
    };
    const Case cases[] = {
        {{{"Dentist", 10, "Bring the card\r\nand the forms"}}, false, {"Dentist", "10:00\nBring the card"}},
        {{{"Dentist", 10, ""}}, true, {"Missed: Dentist", "6/7 10:00"}},
        {{{"Standup", 9, ""}, {"Review", 10, "x"}, {"Lunch", 12, ""}},
         false,
         {"3 events: Standup, Review, Lunch", "9:00 Standup\n10:00 Review\n12:00 Lunch"}},
        {{{"A", 9, ""}, {"B", 9, ""}}, true, {"2 missed events: A, B", "6/7 9:00 A\n6/7 9:00 B"}},
    };
    for (const Case& c : cases) {
        const NoticeText got = MakeNoticeText(c.entries, c.missed, start);
        EXPECT_EQ(got.title, c.want.title);
        EXPECT_EQ(got.text, c.want.text);
    }
    const NoticeText full = MakeNoticeText({{std::string(60, 'T'), 1, std::string(300, 'n')}}, true, start);
    EXPECT_EQ(full.title, "Missed: " + std::string(52, 'T') + "...");
    EXPECT_EQ(full.title.size(), kNoticeTitleLength);
    EXPECT_EQ(full.text.size(), kNoticeTextLength);
    // The tray counts UTF-16 units; a cut never splits a character.
    std::string chinese;
    for (int i = 0; i < 60; ++i) chinese += "\xE4\xBC\x9A";
    EXPECT_EQ(MakeNoticeText({{chinese, 1, ""}}, true, start).title, "Missed: " + chinese.substr(0, 52 * 3) + "...");
    EXPECT_TRUE(MakeNoticeText({}, false, start).title.empty());
}

}  // namespace
