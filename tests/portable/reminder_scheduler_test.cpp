// The reminder check within one day: when actions run, in what order, how
// often, and when the upcoming-events window is opened or told.
#include <gtest/gtest.h>

#include <functional>

#include "portable/reminder_fakes.h"

namespace {

const Day D = kQuietDay;

TEST(ReminderFiringTest, FifteenMinuteLeadFiresAtQuarterToAndEndsAtTheStart) {
    ReminderRig r;
    r.upcoming.open = true;
    r.Add("Dentist", D, 10, 0, 15, kActionPlaySound | kActionLaunchFile);
    r.actions.existing.insert("Dentist.exe");
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    ASSERT_EQ(r.scheduler.Pending().size(), 1u);
    const PendingReminder& record = *r.scheduler.Pending().front();
    EXPECT_EQ(record.start, D.At(10, 0));
    EXPECT_EQ(record.remindAt, D.At(9, 45));
    EXPECT_TRUE(record.text.empty());
    EXPECT_EQ(record.textWidth, 0);

    r.RunUntil(D.At(9, 44, 0));
    EXPECT_TRUE(r.actions.sounds.empty());
    EXPECT_EQ(r.timer.DueAt(), D.At(9, 45));

    r.CheckAt(D.At(9, 44, 54));
    EXPECT_TRUE(r.actions.sounds.empty());
    r.CheckAt(D.At(9, 44, 55));
    EXPECT_EQ(r.actions.sounds, (std::vector<Done>{{"Dentist.wav", D.At(9, 44, 55)}}));
    EXPECT_EQ(r.actions.opened, std::vector<std::string>{"Dentist.exe"});
    EXPECT_TRUE(r.scheduler.Pending().front()->fired);

    r.RunUntil(D.At(9, 59, 0));
    EXPECT_EQ(r.timer.DueAt(), D.At(10, 0));
    r.CheckAt(D.At(9, 59, 54));
    EXPECT_TRUE(r.upcoming.begun.empty());
    r.CheckAt(D.At(9, 59, 55));
    EXPECT_EQ(r.upcoming.begun, (std::vector<Done>{{"Dentist", D.At(10, 0)}}));
    EXPECT_TRUE(r.scheduler.Pending().empty());
    EXPECT_EQ(r.timer.period, kMaxTimerPeriodMs);
    EXPECT_EQ(r.actions.sounds.size(), 1u);
    EXPECT_EQ(r.actions.opened.size(), 1u);
}

TEST(ReminderFiringTest, ZeroLeadFiresBeforeTheRecordGoesAndNegativeLeadNeverFires) {
    ReminderRig r;
    r.upcoming.open = true;
    r.Add("Now", D, 10, 0, 0);
    r.Add("Late", D, 11, 3, -5);
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    EXPECT_EQ(r.scheduler.Pending().back()->remindAt, D.At(11, 8));
    r.log.clear();

    r.CheckAt(D.At(9, 59, 55));
    EXPECT_EQ(r.log, (Log{"sound Now.wav", "begun Now", "refresh"}));

    r.RunUntil(D.At(12, 0));
    EXPECT_EQ(r.actions.sounds.size(), 1u);
    EXPECT_EQ(r.upcoming.begun, (std::vector<Done>{{"Now", D.At(10, 0)}, {"Late", D.At(11, 3)}}));
    EXPECT_EQ(r.upcoming.beganAt.back(), D.At(11, 3));  // woken for the start, not the later reminder
    EXPECT_TRUE(r.scheduler.Pending().empty());
}

TEST(ReminderFiringTest, EventCreatedAfterItsReminderInstantFiresAtOnce) {
    ReminderRig r;
    r.clock.now = D.At(9, 55);
    r.scheduler.StartSchedule();
    EXPECT_EQ(r.upcoming.opens, 0);

    ScheduleItem& soon = r.Add("Soon", D, 10, 0, 15);
    r.scheduler.RescheduleEvent(soon);
    EXPECT_EQ(r.actions.sounds, (std::vector<Done>{{"Soon.wav", D.At(9, 55)}}));
    EXPECT_EQ(r.upcoming.opens, 1);  // UewNotification
    EXPECT_EQ(r.timer.DueAt(), D.At(10, 0));

    // Already begun today: nothing; a daily one also gets tomorrow's record.
    ScheduleItem& past = r.Add("Past", D, 9, 0, 15);
    r.scheduler.RescheduleEvent(past);
    ScheduleItem& daily = r.AddDaily("Daily", D.Plus(-3), 9, 30, 15);
    r.scheduler.RescheduleEvent(daily);
    EXPECT_EQ(r.PendingTitles(), (std::vector<std::string>{"Soon", "Daily"}));
    EXPECT_EQ(r.PendingStarts(), (std::vector<Instant>{D.At(10, 0), D.Plus(1).At(9, 30)}));
    EXPECT_EQ(r.actions.sounds.size(), 1u);
}

TEST(ReminderFiringTest, SleepFiresMissedRemindersTogetherInStartOrder) {
    ReminderRig r;
    r.upcoming.open = true;
    r.Add("Standup", D, 9, 0, 10);
    r.Add("Review", D, 10, 30, 10);
    r.Add("Lunch", D, 13, 0, 10);
    r.clock.now = D.At(8, 0);
    r.scheduler.StartSchedule();
    r.log.clear();

    // The machine sleeps; the first timer message comes at 11:00.
    r.clock.now = D.At(11, 0);
    r.scheduler.OnTimer();
    EXPECT_EQ(r.log, (Log{"sound Standup.wav", "begun Standup", "sound Review.wav", "begun Review", "refresh"}));
    EXPECT_EQ(r.PendingTitles(), std::vector<std::string>{"Lunch"});
    EXPECT_EQ(r.timer.period, kMaxTimerPeriodMs);
}

TEST(ReminderFiringTest, EachOccurrenceActsOnceWhateverTheNumberOfChecks) {
    ReminderRig r;
    r.AddDaily("Pills", D.Plus(-10), 10, 0, 15).actions = kActionPlaySound | kActionLaunchFile;
    r.actions.existing.insert("Pills.exe");
    r.clock.now = D.At(8, 0);
    r.scheduler.StartSchedule();
    for (Instant t = D.At(9, 40); t <= D.At(10, 5); t += 1) r.CheckAt(t, t % 7 == 0);
    r.RunUntil(D.Plus(1).At(12, 0));
    EXPECT_EQ(r.actions.sounds,
              (std::vector<Done>{{"Pills.wav", D.At(9, 44, 55)}, {"Pills.wav", D.Plus(1).At(9, 45)}}));
    EXPECT_EQ(r.actions.opened.size(), 2u);
    EXPECT_EQ(r.upcoming.begun.size(), 2u);
}

// Saving or excluding drops an event's records and makes them again: what
// has fired stays fired unless the edit moved its reminder later.
TEST(ReminderFiringTest, EditsAndExclusionsDoNotRunAFiredReminderAgain) {
    ReminderRig r;
    ScheduleItem& pills = r.AddDaily("Pills", D.Plus(-10), 10, 0, 15);
    pills.actions = kActionLaunchFile;
    r.actions.existing.insert("Pills.exe");
    r.clock.now = D.At(8, 0);
    r.scheduler.StartSchedule();
    r.RunUntil(D.At(9, 50));
    ASSERT_EQ(r.actions.opened.size(), 1u);
    const auto save = [&r](ScheduleItem& item) {  // as the store saves and excludes
        r.scheduler.DropPending(item);
        r.scheduler.RescheduleEvent(item);
    };
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"tomorrow excluded", [&] { r.events.excluded.push_back({D.Plus(1).Key(), pills.front.id}); }},
        {"a note added", [&] { pills.note = "with water"; }},
        {"reminded earlier", [&] { pills.remindMinutes = 30; }},
        {"moved later: reminded at 10:00, after the one that ran", [&] { pills.front.startTime = 10 * 3600 + 1800; }},
    };
    for (const auto& [edit, apply] : edits) {
        apply();
        save(pills);
        EXPECT_EQ(r.actions.opened.size(), 1u) << edit;
    }
    r.RunUntil(D.At(10, 20));
    EXPECT_EQ(r.actions.opened.size(), 2u);
    EXPECT_EQ(r.actions.opened.back(), "Pills.exe");

    // Deleted, its id is free: a new event that takes it reminds on its own.
    r.scheduler.DropPending(pills);
    r.scheduler.ForgetFired(pills.front.id);
    pills.front.startTime = 11 * 3600;
    pills.remindMinutes = 90;
    r.scheduler.RescheduleEvent(pills);
    EXPECT_EQ(r.actions.opened.size(), 3u);
}

TEST(ReminderActionsTest, LaunchNeedsTheFileSoundDoesNotAndNoActionStillCounts) {
    ReminderRig r;
    r.prefs.UewUpcoming = 0;
    r.prefs.UewSoon = 0;
    r.prefs.UewBeginning = 0;
    r.Add("Missing", D, 10, 0, 0, kActionPlaySound | kActionLaunchFile);
    r.Add("Present", D, 11, 0, 0, kActionLaunchFile);
    r.Add("Quiet", D, 12, 0, 0, 0);
    r.actions.existing.insert("Present.exe");
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();

    r.CheckAt(D.At(10, 0));
    EXPECT_EQ(r.actions.sounds, (std::vector<Done>{{"Missing.wav", D.At(10, 0)}}));
    EXPECT_EQ(r.actions.asked, std::vector<std::string>{"Missing.exe"});
    EXPECT_TRUE(r.actions.opened.empty());

    r.CheckAt(D.At(11, 0));
    EXPECT_EQ(r.actions.opened, std::vector<std::string>{"Present.exe"});

    // Nothing to do, but the reminder instant came: the window opens for it.
    r.upcoming.open = false;
    r.upcoming.opens = 0;
    r.CheckAt(D.At(12, 0));
    EXPECT_EQ(r.upcoming.opens, 1);
    EXPECT_EQ(r.actions.sounds.size(), 1u);
    EXPECT_EQ(r.actions.asked.size(), 2u);

    r.prefs.UewNotification = 0;
    r.upcoming.open = false;
    r.scheduler.RescheduleEvent(r.Add("Later", D, 14, 0, 0, 0));
    r.CheckAt(D.At(14, 0));
    EXPECT_EQ(r.upcoming.opens, 1);
}

// Files that came from outside are used only when they are local: a look
// at a network or device path reaches that host before anything plays.
TEST(ReminderActionsTest, FilesTheUserDidNotPickAreTouchedOnlyWhenLocal) {
    ReminderRig r;
    const std::string unc = "\\\\attacker.example\\share\\x";
    struct Case {
        std::string sound, launch;
        bool chosen;
        std::string played, asked;
    } const cases[] = {
        {unc + ".wav", unc + ".exe", false, "", ""},
        {"\\\\.\\COM1", "\\\\?\\C:\\x.exe", false, "", ""},
        {"chime.wav", "run.exe", false, "", ""},
        {"C:\\Media\\bell.wav", "C:\\notes.txt", false, "C:\\Media\\bell.wav", "C:\\notes.txt"},
        {unc + ".wav", unc + ".exe", true, unc + ".wav", unc + ".exe"},
    };
    int hour = 10;
    for (const Case& c : cases) {
        ScheduleItem& e = r.Add("e", D, hour, 0, 0, kActionPlaySound | kActionLaunchFile);
        e.soundfile = c.sound;
        e.launchfile = c.launch;
        e.filesChosen = c.chosen;
        r.actions.asked.clear();
        r.actions.sounds.clear();
        r.clock.now = D.At(hour - 1);
        r.scheduler.StartSchedule();
        r.CheckAt(D.At(hour));
        // A refused sound still sounds: the system's own, asked for by an empty name.
        EXPECT_EQ(r.actions.sounds, (std::vector<Done>{{c.played, D.At(hour)}})) << c.sound;
        EXPECT_EQ(r.actions.asked, c.asked.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.asked})
            << c.launch;
        ++hour;
    }
}

TEST(ReminderOrderTest, RecordsFollowStartThenInsertion) {
    ReminderRig r;
    r.Add("First", D, 15, 0, 10);
    r.Add("Second", D, 15, 0, 10);
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    r.scheduler.RescheduleEvent(r.Add("Third", D, 15, 0, 30));
    r.scheduler.RescheduleEvent(r.Add("Early", D, 14, 0, 10));
    r.scheduler.RescheduleEvent(r.Add("Last", D, 16, 0, 10));
    EXPECT_EQ(r.PendingTitles(), (std::vector<std::string>{"Early", "First", "Second", "Third", "Last"}));

    // Third's reminder was due first, yet reminders due in one check act in list order.
    r.CheckAt(D.At(15, 0));
    std::vector<std::string> order;
    for (const Done& s : r.actions.sounds) order.push_back(s.what);
    EXPECT_EQ(order, (std::vector<std::string>{"Early.wav", "First.wav", "Second.wav", "Third.wav"}));
}

TEST(ReminderOrderTest, DropPendingRemovesOnlyThatEvent) {
    ReminderRig r;
    ScheduleItem& daily = r.AddDaily("Daily", D.Plus(-1), 12, 0, 10);
    r.AddDaily("Other", D.Plus(-1), 12, 0, 10);
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    ASSERT_EQ(r.scheduler.Pending().size(), 4u);
    r.scheduler.DropPending(daily);
    EXPECT_EQ(r.PendingTitles(), (std::vector<std::string>{"Other", "Other"}));

    // Excluding today is a drop and a reschedule: only tomorrow comes back.
    r.events.excluded.push_back({D.Key(), daily.front.id});
    r.scheduler.RescheduleEvent(daily);
    EXPECT_EQ(r.PendingTitles(), (std::vector<std::string>{"Other", "Other", "Daily"}));
    EXPECT_EQ(r.scheduler.Pending().back()->start, D.Plus(1).At(12, 0));
}

TEST(ReminderTimerTest, NoEventsRearmsEveryTenMinutes) {
    ReminderRig r;
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    EXPECT_TRUE(r.timer.armed);
    EXPECT_EQ(r.timer.period, kMaxTimerPeriodMs);
    r.RunUntil(D.At(10, 0));
    EXPECT_EQ(r.checks.size(), 6u);
    EXPECT_EQ(r.timer.kills, 6);
    EXPECT_EQ(r.timer.periods, std::vector<std::uint32_t>(7, kMaxTimerPeriodMs));
    EXPECT_EQ(r.timer.DueAt(), D.At(10, 10));
}

TEST(UpcomingWindowTest, HorizonsOpenTheWindowOncePerRecord) {
    ReminderRig r;  // UewHours 4, UewHours2 2
    r.Add("Meeting", D, 14, 0, 10);
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    EXPECT_EQ(r.upcoming.opens, 0);

    r.CheckAt(D.At(9, 59, 55));  // 14:00 is within 4 h of 10:00:00
    EXPECT_EQ(r.upcoming.opens, 1);
    EXPECT_TRUE(r.scheduler.Pending().front()->shownUpcoming);
    r.upcoming.open = false;
    r.CheckAt(D.At(10, 30));
    EXPECT_EQ(r.upcoming.opens, 1);

    r.CheckAt(D.At(12, 0));  // within 2 h
    EXPECT_EQ(r.upcoming.opens, 2);
    r.upcoming.open = false;
    r.CheckAt(D.At(12, 30));
    EXPECT_EQ(r.upcoming.opens, 2);

    r.CheckAt(D.At(13, 50));  // reminder: UewNotification
    EXPECT_EQ(r.upcoming.opens, 3);
    r.upcoming.open = false;
    r.log.clear();
    r.CheckAt(D.At(14, 0));  // begun: UewBeginning, then told
    EXPECT_EQ(r.log, (Log{"show", "begun Meeting", "refresh"}));
}

TEST(UpcomingWindowTest, SwitchedOffPreferencesNeverOpenIt) {
    ReminderRig r;
    r.prefs.UewNotification = 0;
    r.prefs.UewBeginning = 0;
    r.prefs.UewUpcoming = 0;
    r.prefs.UewSoon = 0;
    r.Add("Meeting", D, 14, 0, 10);
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    r.RunUntil(D.At(15, 0));
    EXPECT_EQ(r.upcoming.opens, 0);
    EXPECT_EQ(r.actions.sounds.size(), 1u);
    EXPECT_TRUE(r.upcoming.begun.empty());  // closed: nobody to tell
    EXPECT_TRUE(r.scheduler.Pending().empty());
}

TEST(UpcomingWindowTest, OpenWindowIsRefreshedAndTheEmptyListOnlyWhenNotifying) {
    ReminderRig r;
    r.upcoming.open = true;
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    r.scheduler.OnTimer();
    EXPECT_TRUE(r.log.empty());
    r.scheduler.RescheduleEvent(r.Add("Yesterday", D.Plus(-1), 10, 0, 10));
    EXPECT_EQ(r.log, Log{"refresh"});

    r.scheduler.RescheduleEvent(r.Add("Tonight", D, 20, 0, 10));
    r.scheduler.OnTimer();
    EXPECT_EQ(r.log, (Log{"refresh", "refresh", "refresh"}));
}

// An action may run a message loop in which the store drops records or asks
// for another check; the check under way must survive both.
TEST(ReminderReentryTest, EventDeletedFromInsideItsOwnAction) {
    ReminderRig r;
    r.upcoming.open = true;
    ScheduleItem& self = r.Add("Self", D, 10, 0, 0, kActionLaunchFile);
    ScheduleItem& next = r.Add("Next", D, 10, 0, 0);
    r.Add("After", D, 10, 0, 0);
    r.actions.existing.insert("Self.exe");
    r.actions.onOpen = [&](const std::string&) {
        for (ScheduleItem* item : {&self, &next}) {
            r.scheduler.DropPending(*item);
            r.events.Remove(*item);  // frees it
        }
    };
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    r.log.clear();
    r.CheckAt(D.At(10, 0));
    EXPECT_EQ(r.log, (Log{"open Self.exe", "sound After.wav", "begun After", "refresh"}));
    EXPECT_TRUE(r.scheduler.Pending().empty());
    EXPECT_EQ(r.events.items.size(), 1u);
}

TEST(ReminderReentryTest, NestedCheckRunsAfterTheCheckUnderWay) {
    ReminderRig r;
    r.upcoming.open = true;
    r.Add("Outer", D, 10, 0, 0);
    r.Add("Tail", D, 10, 20, 15);
    r.actions.onSound = [&](const std::string& file) {
        if (file == "Outer.wav") r.scheduler.RescheduleEvent(r.Add("Inner", D, 10, 10, 60));
    };
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    r.log.clear();
    r.clock.now = D.At(10, 0);
    r.scheduler.OnTimer();
    // Outer's record is still handled when the nested check is asked for; that
    // check runs afterwards and fires Inner, which went in before Tail.
    EXPECT_EQ(r.log, (Log{"sound Outer.wav", "begun Outer", "refresh", "sound Inner.wav", "refresh"}));
    EXPECT_EQ(r.PendingTitles(), (std::vector<std::string>{"Inner", "Tail"}));
    EXPECT_EQ(r.timer.DueAt(), D.At(10, 5));
}

}  // namespace
