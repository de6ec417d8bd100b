// The reminder schedule across days: midnight, long gaps, clocks set back,
// exclusions, and the daylight-saving days of each zone the tests run in.
#include <gtest/gtest.h>

#include <algorithm>

#include "portable/reminder_fakes.h"

namespace {

const Day D = kQuietDay;

TEST(ReminderDaysTest, ExclusionsForTodayAndTomorrow) {
    ReminderRig r;
    const ScheduleItem& today = r.AddDaily("NotToday", D.Plus(-5), 15, 0, 10);
    const ScheduleItem& both = r.AddDaily("NeitherDay", D.Plus(-5), 15, 0, 10);
    const ScheduleItem& tomorrow = r.AddDaily("NotTomorrow", D.Plus(-5), 15, 0, 10);
    r.events.excluded = {{D.Key(), today.front.id},
                         {D.Key(), both.front.id},
                         {D.Plus(1).Key(), both.front.id},
                         {D.Plus(1).Key(), tomorrow.front.id}};
    r.clock.now = D.At(9, 0);
    r.scheduler.StartSchedule();
    EXPECT_EQ(r.PendingTitles(), (std::vector<std::string>{"NotTomorrow", "NotToday"}));
    EXPECT_EQ(r.PendingStarts(), (std::vector<Instant>{D.At(15, 0), D.Plus(1).At(15, 0)}));

    // The day after, the exclusion of the new tomorrow is honoured too.
    r.events.excluded.push_back({D.Plus(2).Key(), today.front.id});
    r.RunUntil(D.Plus(1).At(0, 5));
    EXPECT_EQ(r.PendingTitles(), (std::vector<std::string>{"NotToday", "NeitherDay", "NotTomorrow"}));
}

TEST(ReminderDaysTest, RunningAcrossMidnightKeepsTomorrowsRecordsAndAddsTheNextDay) {
    ReminderRig r;
    r.upcoming.open = true;
    r.AddDaily("Standup", D.Plus(-5), 9, 0, 15);
    r.Add("Trip", D.Plus(2), 7, 0, 60);
    r.clock.now = D.At(22, 0);
    r.scheduler.StartSchedule();
    ASSERT_EQ(r.PendingStarts(), std::vector<Instant>{D.Plus(1).At(9, 0)});
    const PendingReminder* madeYesterday = r.scheduler.Pending().front().get();

    r.RunUntil(D.Plus(1).At(0, 5));
    ASSERT_FALSE(r.checks.empty());
    EXPECT_EQ(r.checks.back(), D.Plus(1).At(0, 0));  // the ten-minute wake-up after 23:50
    EXPECT_EQ(r.scheduler.DayWindowEnd(), D.Plus(1).At(23, 59, 59));
    EXPECT_EQ(r.PendingStarts(),
              (std::vector<Instant>{D.Plus(1).At(9, 0), D.Plus(2).At(7, 0), D.Plus(2).At(9, 0)}));
    EXPECT_EQ(r.scheduler.Pending().front().get(), madeYesterday);

    r.RunUntil(D.Plus(2).At(12, 0));
    EXPECT_EQ(r.actions.sounds, (std::vector<Done>{{"Standup.wav", D.Plus(1).At(8, 45)},
                                                   {"Trip.wav", D.Plus(2).At(6, 0)},
                                                   {"Standup.wav", D.Plus(2).At(8, 45)}}));
    EXPECT_EQ(r.upcoming.begun.size(), 3u);
    EXPECT_EQ(r.PendingStarts(), std::vector<Instant>{D.Plus(3).At(9, 0)});
}

TEST(ReminderDaysTest, GapIntoTheNextDayFiresWhatWasMissed) {
    ReminderRig r;
    r.AddDaily("Standup", D.Plus(-5), 9, 0, 15);
    r.clock.now = D.At(8, 0);
    r.scheduler.StartSchedule();
    r.clock.now = D.Plus(1).At(10, 0);
    r.scheduler.OnTimer();
    EXPECT_EQ(r.actions.sounds,
              (std::vector<Done>{{"Standup.wav", D.Plus(1).At(10, 0)}, {"Standup.wav", D.Plus(1).At(10, 0)}}));
    EXPECT_EQ(r.PendingStarts(), std::vector<Instant>{D.Plus(2).At(9, 0)});
}

// Woken days later, the day is made from its midnight: what fell due on it
// while asleep fires at once, as it would on waking the day after; the days
// slept through are gone. A clock set back rebuilds from then on, and what
// already fired does not fire again.
TEST(ReminderDaysTest, GapOfMoreThanADayOrAClockSetBack) {
    ReminderRig r;
    r.AddDaily("Standup", D.Plus(-5), 9, 0, 15);
    r.Add("Call", D.Plus(2), 11, 0, 0);
    r.clock.now = D.At(8, 0);
    r.scheduler.StartSchedule();
    r.clock.now = D.Plus(2).At(10, 0);
    r.scheduler.OnTimer();
    EXPECT_EQ(r.actions.sounds, (std::vector<Done>{{"Standup.wav", D.Plus(2).At(10, 0)}}));
    EXPECT_EQ(r.PendingStarts(), (std::vector<Instant>{D.Plus(2).At(11, 0), D.Plus(3).At(9, 0)}));
    EXPECT_EQ(r.scheduler.DayWindowStart(), D.Plus(2).At(10, 0));

    // Back to 08:00 of the same day: rebuilt from then on; the standup's
    // reminder has run, the call's has not.
    r.clock.now = D.Plus(2).At(8, 0);
    r.scheduler.OnTimer();
    EXPECT_EQ(r.PendingStarts(),
              (std::vector<Instant>{D.Plus(2).At(9, 0), D.Plus(2).At(11, 0), D.Plus(3).At(9, 0)}));
    EXPECT_EQ(r.scheduler.DayWindowStart(), D.Plus(2).At(8, 0));
    std::vector<bool> fired;
    for (const auto& p : r.scheduler.Pending()) fired.push_back(p->fired);
    EXPECT_EQ(fired, (std::vector<bool>{true, false, false}));
    r.RunUntil(D.Plus(2).At(11, 30));
    EXPECT_EQ(r.actions.sounds, (std::vector<Done>{{"Standup.wav", D.Plus(2).At(10, 0)},
                                                   {"Call.wav", D.Plus(2).At(11, 0)}}));

    // Back to the day before: that day's schedule, nothing run twice.
    r.clock.now = D.Plus(1).At(20, 0);
    r.scheduler.OnTimer();
    EXPECT_EQ(r.PendingStarts(), (std::vector<Instant>{D.Plus(2).At(9, 0), D.Plus(2).At(11, 0)}));
    EXPECT_EQ(r.scheduler.DayWindowEnd(), D.Plus(1).At(23, 59, 59));
    r.RunUntil(D.Plus(2).At(12, 0));
    EXPECT_EQ(r.actions.sounds.size(), 2u);
}

// The clock set back between two checks: the timer's next check may come
// after an occurrence that began since; its reminder fires then, late, rather
// than never.
TEST(ReminderDaysTest, AClockSetBackSeenOnlyAtTheNextCheck) {
    ReminderRig r;
    r.Add("Call", D, 9, 0, 5);
    r.clock.now = D.At(9, 10);
    r.scheduler.StartSchedule();  // 09:00 has passed by this clock
    EXPECT_TRUE(r.PendingTitles().empty());
    r.clock.now = D.At(9, 1);     // set back to 08:52; the timer comes nine minutes later
    r.scheduler.OnTimer();
    EXPECT_EQ(r.actions.sounds, (std::vector<Done>{{"Call.wav", D.At(9, 1)}}));
}

// A changed zone moves the local days under the schedule: the day is made
// again in the new zone from the last check, so each day's 09:00 reminds at
// 08:50 of that zone, none is skipped and none runs twice.
TEST(ReminderDaysTest, AChangedZoneMakesTheDayAgain) {
    for (const bool eastward : {true, false}) {
        SCOPED_TRACE(eastward ? "eastward" : "westward");
        const ScopedZone west("AAA+5");
        const char* from = eastward ? "AAA+5" : "BBB-1";
        const char* to = eastward ? "BBB-1" : "AAA+5";
        ScopedZone::Switch(from);
        ReminderRig r;
        r.AddDaily("Daily", D.Plus(-5), 9, 0, 10);
        r.clock.now = D.At(eastward ? 20 : 7, 0);
        r.scheduler.StartSchedule();
        r.RunUntil(r.clock.now + 600);
        ScopedZone::Switch(to);  // eastward D 20:10 reads D+1 02:10; westward D 07:10 reads D 01:10
        r.RunUntil(D.Plus(4).At(0, 0));
        std::vector<Done> expected;
        for (int n = eastward ? 1 : 0; n <= 3; ++n) expected.push_back({"Daily.wav", D.Plus(n).At(8, 50)});
        EXPECT_EQ(r.actions.sounds, expected);
    }
}

// The zone changed and the clock set back within the day: the day is made
// again from now, not from the last check, which lies ahead of it.
TEST(ReminderDaysTest, AChangedZoneAndAClockSetBack) {
    const ScopedZone zone("AAA+5");
    ReminderRig r;
    r.AddDaily("Daily", D.Plus(-5), 9, 0, 10);
    r.clock.now = UtcInstant(D.y, D.m, D.d, 11);  // 06:00
    r.scheduler.StartSchedule();
    r.RunUntil(UtcInstant(D.y, D.m, D.d, 17));  // 12:00
    ScopedZone::Switch("CCC+6");                // an hour west
    r.clock.now = UtcInstant(D.y, D.m, D.d, 12);  // back to 06:00 of the new zone
    r.scheduler.OnTimer();
    r.RunUntil(UtcInstant(D.y, D.m, D.Plus(1).d, 6));
    EXPECT_EQ(r.actions.sounds, (std::vector<Done>{{"Daily.wav", UtcInstant(D.y, D.m, D.d, 13, 50)},
                                                   {"Daily.wav", UtcInstant(D.y, D.m, D.d, 14, 50)}}));
}

// Change days of each zone, and a month's or year's end where there are none.
struct ZoneDays {
    TestZone zone;
    std::vector<Day> days;
};

const ZoneDays kZoneDays[] = {
    {TestZone::Utc, {{2025, 12, 31}}},
    {TestZone::Kolkata, {{2026, 2, 28}}},
    {TestZone::Berlin, {{2025, 3, 30}, {2025, 10, 26}}},
    {TestZone::NewYork, {{2025, 3, 9}, {2025, 11, 2}}},
    {TestZone::Santiago, {{2025, 9, 7}, {2025, 4, 6}}},  // at midnight
    {TestZone::LordHowe, {{2025, 10, 5}, {2025, 4, 6}}},  // half an hour
};

const std::vector<Day>* DaysOfThisZone() {
    for (const auto& z : kZoneDays) {
        if (z.zone == CurrentZone()) return &z.days;
    }
    return nullptr;
}

// Three daily events run from noon the day before a change day to late on the
// day after it: each reminder acts once, at its wall-clock time less its lead,
// and each occurrence begins once, at its wall-clock time.
TEST(ReminderDaysTest, EveryReminderOnceAcrossTheChangeDaysOfThisZone) {
    const std::vector<Day>* days = DaysOfThisZone();
    if (days == nullptr) GTEST_SKIP() << "no days listed for this zone";
    const struct {
        const char* title;
        int h, mi, lead;
    } events[] = {{"Early", 0, 30, 0}, {"Morning", 9, 0, 15}, {"Night", 23, 30, 20}};

    for (const Day change : *days) {
        SCOPED_TRACE(testing::Message() << change.y << "-" << change.m << "-" << change.d);
        ReminderRig r;
        r.upcoming.open = true;
        for (const auto& e : events) r.AddDaily(e.title, change.Plus(-10), e.h, e.mi, e.lead);
        const Instant from = change.Plus(-1).At(12, 0);
        const Instant until = change.Plus(1).At(22, 0);
        r.clock.now = from;
        r.scheduler.StartSchedule();
        r.RunUntil(until);

        std::vector<Done> sounds, begun;
        for (int n = -1; n <= 1; ++n) {
            for (const auto& e : events) {
                const Instant start = change.Plus(n).At(e.h, e.mi);
                if (start < from) continue;
                if (start - e.lead * 60 <= until) sounds.push_back({std::string(e.title) + ".wav", start - e.lead * 60});
                if (start <= until) begun.push_back({e.title, start});
            }
        }
        auto byTime = [](const Done& a, const Done& b) { return a.at < b.at; };
        std::stable_sort(sounds.begin(), sounds.end(), byTime);
        std::stable_sort(begun.begin(), begun.end(), byTime);
        EXPECT_EQ(r.actions.sounds, sounds);
        EXPECT_EQ(r.upcoming.begun, begun);
        EXPECT_EQ(r.upcoming.beganAt.size(), begun.size());
        for (std::size_t i = 0; i < std::min(begun.size(), r.upcoming.beganAt.size()); ++i) {
            EXPECT_EQ(r.upcoming.beganAt[i], begun[i].at);
        }
        EXPECT_EQ(r.scheduler.DayWindowEnd(), change.Plus(2).At(0) - 1);
        for (std::uint32_t p : r.timer.periods) {
            EXPECT_GE(p, kMinTimerPeriodMs);
            EXPECT_LE(p, kMaxTimerPeriodMs);
        }
    }
}

TEST(ReminderDaysTest, BerlinSpringForward) {
    ORV_REQUIRE_ZONE(TestZone::Berlin);
    const Day day{2025, 3, 30};
    ReminderRig r;
    r.Add("Breakfast", day, 9, 0, 15);
    r.Add("Night", day, 3, 5, 0);
    r.clock.now = UtcInstant(2025, 3, 30, 0, 58);  // 01:58 CET
    r.scheduler.StartSchedule();
    EXPECT_EQ(r.timer.period, 7u * 60 * 1000);  // to 03:05 CEST, seven minutes later
    EXPECT_EQ(r.scheduler.Pending().back()->remindAt, UtcInstant(2025, 3, 30, 6, 45));
    EXPECT_EQ(r.scheduler.DayWindowEnd(), UtcInstant(2025, 3, 30, 21, 59, 59));
    r.RunUntil(UtcInstant(2025, 3, 30, 8));
    EXPECT_EQ(r.actions.sounds.back(), (Done{"Breakfast.wav", UtcInstant(2025, 3, 30, 6, 45)}));
}

TEST(ReminderDaysTest, NewYorkShortAndLongDays) {
    ORV_REQUIRE_ZONE(TestZone::NewYork);
    ReminderRig r;
    r.AddDaily("Daily", {2025, 3, 1}, 9, 0, 15);
    r.clock.now = UtcInstant(2025, 3, 9, 4, 30);  // 23:30 EST on the 8th
    r.scheduler.StartSchedule();
    EXPECT_EQ(r.PendingStarts(), std::vector<Instant>{UtcInstant(2025, 3, 9, 13)});
    EXPECT_EQ(r.scheduler.DayWindowEnd(), UtcInstant(2025, 3, 9, 4, 59, 59));

    // 1 November 2025: 25 hours, 01:00-02:00 twice.
    ReminderRig l;
    l.upcoming.open = true;
    l.Add("Ambiguous", {2025, 11, 2}, 1, 30, 0);
    l.clock.now = UtcInstant(2025, 11, 2, 4, 30);  // 00:30 EDT
    l.scheduler.StartSchedule();
    EXPECT_EQ(l.scheduler.DayWindowEnd(), UtcInstant(2025, 11, 3, 4, 59, 59));
    l.RunUntil(UtcInstant(2025, 11, 2, 7));  // 02:00 EST
    EXPECT_EQ(l.actions.sounds, (std::vector<Done>{{"Ambiguous.wav", UtcInstant(2025, 11, 2, 5, 30)}}));
    EXPECT_EQ(l.upcoming.beganAt, std::vector<Instant>{UtcInstant(2025, 11, 2, 5, 30)});
}

TEST(ReminderDaysTest, SantiagoChangesAtMidnight) {
    ORV_REQUIRE_ZONE(TestZone::Santiago);
    // 6 April 2025: 00:00 -03 becomes 23:00 -04 on the 5th, which runs for 25 hours.
    ReminderRig r;
    r.AddDaily("Early", {2025, 4, 1}, 0, 30, 0);
    r.clock.now = UtcInstant(2025, 4, 5, 15);
    r.scheduler.StartSchedule();
    EXPECT_EQ(r.scheduler.DayWindowEnd(), UtcInstant(2025, 4, 6, 3, 59, 59));
    const std::vector<Instant> before = r.PendingStarts();
    EXPECT_EQ(before, std::vector<Instant>{UtcInstant(2025, 4, 6, 4, 30)});
    r.clock.now = UtcInstant(2025, 4, 6, 3, 30);  // the second 23:30 of the 5th
    r.scheduler.OnTimer();
    EXPECT_EQ(r.PendingStarts(), before);
    EXPECT_EQ(r.scheduler.DayWindowEnd(), UtcInstant(2025, 4, 6, 3, 59, 59));

    // 7 September 2025 starts at 01:00 -03: the 00:30 occurrence reads as 01:30.
    ReminderRig s;
    s.AddDaily("Early", {2025, 9, 1}, 0, 30, 0);
    s.clock.now = UtcInstant(2025, 9, 6, 15);
    s.scheduler.StartSchedule();
    EXPECT_EQ(s.scheduler.DayWindowEnd(), UtcInstant(2025, 9, 7, 3, 59, 59));
    EXPECT_EQ(s.PendingStarts(), std::vector<Instant>{UtcInstant(2025, 9, 7, 4, 30)});
}

TEST(ReminderDaysTest, LordHoweHalfHourChange) {
    ORV_REQUIRE_ZONE(TestZone::LordHowe);
    // 5 October 2025: 02:00 +10:30 becomes 02:30 +11.
    ReminderRig r;
    r.Add("Breakfast", {2025, 10, 5}, 9, 0, 15);
    r.Add("Night", {2025, 10, 5}, 2, 33, 0);
    r.clock.now = UtcInstant(2025, 10, 4, 15, 25);  // 01:55 +10:30
    r.scheduler.StartSchedule();
    EXPECT_EQ(r.timer.period, 8u * 60 * 1000);
    EXPECT_EQ(r.scheduler.Pending().back()->remindAt, UtcInstant(2025, 10, 4, 21, 45));
}

}  // namespace
