#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "core/schedule_item.h"
#include "core/time_types.h"
#include "platform/reminder_links.h"
#include "reminder/reminder_notice.h"
#include "store/preferences.h"
#include "store/snoozes.h"
#include "store/store_links.h"

// A coming occurrence of today or tomorrow with its reminder state; also a row
// of the upcoming-events window.
struct PendingReminder {
    const ScheduleItem* item = nullptr;
    Instant remindAt = 0;
    Instant start = 0;
    std::string text;        // cached by the upcoming-events window
    std::int32_t textWidth = 0;
    bool fired = false;
    bool shownUpcoming = false;
    bool shownSoon = false;
    // Put off by the user: not listed as reminded until the snooze ends, and
    // its beginning tells the window nothing.
    bool snoozed = false;
};

constexpr std::uint32_t kMaxTimerPeriodMs = 600000;
// Every record left after a check is due more than the tolerance ahead, so a
// shorter period can only come from a clock oddity; one second, the
// resolution of instants, keeps that from turning into a busy loop.
constexpr std::uint32_t kMinTimerPeriodMs = 1000;
// A check performs what falls due up to this many seconds after it.
constexpr Instant kReminderTolerance = 5;
// The longest snooze, tomorrow on a 25-hour day. One further ahead was made
// with a clock that has since been set back: it ends this far ahead instead.
constexpr Instant kLongestSnooze = 25 * 3600;
// How far back occurrences begun while the program was not running, or the
// computer slept, are looked for; and how many of them are shown at most.
constexpr Instant kMissedLookBack = 7 * 86400;
constexpr std::size_t kMaxMissed = 60;

// Today's and tomorrow's occurrences, woken by one timer.
//
// Actions and the upcoming-events window may run message loops (ShellExecuteA
// can), so the store may drop records or ask for another check while a check
// is under way: a nested check is run after the current one instead of inside
// it, and a record dropped while it is being handled is removed when its
// handling returns.
class ReminderScheduler final : public ReminderSchedule {
public:
    using PendingList = std::list<std::unique_ptr<PendingReminder>>;

    // Without a keeper snoozes last as long as the scheduler; without a
    // notice nothing shows in the tray.
    ReminderScheduler(const EventSource& events, const Preferences& prefs, const Clock& clock, ReminderTimer& timer,
                      ReminderActions& actions, UpcomingLink& upcoming, ReminderKeeper* keeper = nullptr,
                      ReminderNotice* notice = nullptr);
    ReminderScheduler(const ReminderScheduler&) = delete;
    ReminderScheduler& operator=(const ReminderScheduler&) = delete;

    void CheckReminders(Instant now, bool notify);
    bool AddPending(const ScheduleItem& item, Instant from, Instant to);
    // The timer handler: kills the timer and checks for the current time.
    void OnTimer();
    // Puts off the occurrence of the event that starts at start until the
    // instant given: it leaves the reminded rows and comes back then with
    // its sound (never its launch file), as a reminder or, once begun, as a
    // notification. Replaces an earlier snooze of it. False when the event
    // is gone.
    bool SnoozeOccurrence(std::uint32_t eventId, Instant start, Instant until);
    const std::vector<Snooze>& Snoozes() const { return snoozes_; }

    // ReminderSchedule
    void DropPending(const ScheduleItem& item) override;
    void ForgetFired(std::uint32_t eventId) override;
    void RescheduleEvent(const ScheduleItem& item) override;
    void StartSchedule() override;

    const PendingList& Pending() const { return pending_; }
    PendingList& Pending() { return pending_; }
    Instant DayWindowStart() const { return dayWindowStart_; }
    Instant DayWindowEnd() const { return dayWindowEnd_; }

private:
    // The local calendar day of an instant and the one after it.
    struct Days {
        long long today = 0;  // days since 1970-01-01 on the local calendar
        DateKey todayKey = 0;
        DateKey tomorrowKey = 0;
        Instant startOfToday = 0;
        Instant endOfToday = 0;
        Instant startOfTomorrow = 0;
        Instant endOfTomorrow = 0;
    };
    static bool DaysOf(Instant now, Days& out);

    void RunCheck(Instant now, bool notify);
    // The due part of a check: snoozes, reminders, beginnings, the window, the timer.
    void CheckDue(Instant now, bool notify);
    bool UpdateDayWindow(Instant now);
    bool ZoneMoved() const;
    void AddDay(Instant from, Instant to, DateKey key);
    void Perform(const ScheduleItem& item);
    void PlaySoundOf(const ScheduleItem& item);
    const ScheduleItem* FindItem(std::uint32_t eventId) const;
    const Snooze* FindSnooze(std::uint32_t eventId, Instant start) const;
    // Loads the stored snoozes and last check at the start of the schedule.
    void LoadKept(Instant now);
    // Occurrences that began after the last check and before `until`, the
    // instant from which the day's records are made afresh.
    void CollectMissed(Instant now, Instant until);
    void ShowMissed();
    // Drops the snoozes whose occurrence is gone, excluded or moved; keeps
    // each no further ahead than the longest snooze. Saves when changed.
    void PruneSnoozes(Instant now);
    void SaveSnoozes();
    // Brings back what was put off until now5; returns the next snooze's instant.
    Instant FireSnoozes(Instant now, bool& fired);
    void Notice(const ScheduleItem& item, Instant start);
    void Arm(std::uint32_t milliseconds);
    bool Excluded(const ScheduleItem& item, DateKey key) const;

    const EventSource& events_;
    const Preferences& prefs_;
    const Clock& clock_;
    ReminderTimer& timer_;
    ReminderActions& actions_;
    UpcomingLink& upcoming_;
    ReminderKeeper* keeper_;
    ReminderNotice* notice_;
    std::vector<NoticeEntry> noticed_;  // fired in the check under way
    PendingList pending_;
    std::vector<Snooze> snoozes_;
    bool snoozesLoaded_ = false;
    Instant dayWindowStart_ = 0;
    Instant dayWindowEnd_ = 0;
    Instant lastCheck_ = 0;
    // The last check of an earlier run, until the first check of this one.
    std::optional<Instant> keptLastCheck_;
    struct Missed {
        const ScheduleItem* item;
        Instant start;
    };
    std::vector<Missed> missed_;  // found by the day window's update, shown by the check
    // Occurrences whose actions ran, by event id and day, kept two days:
    // records made again for them (an edit, an exclusion toggled, a clock
    // set back, a changed zone) come with their actions done, unless the
    // edit moved the reminder later than the one that ran.
    struct FiredOccurrence {
        std::uint32_t eventId = 0;
        DateKey day = 0;
        Instant remindAt = 0;
        Instant start = 0;
    };
    FiredOccurrence* FindFired(std::uint32_t eventId, DateKey day);
    std::vector<FiredOccurrence> fired_;

    // State of the check under way; see the class comment.
    bool checking_ = false;
    bool recheckWanted_ = false;
    bool recheckNotify_ = false;
    Instant recheckNow_ = 0;
    bool walking_ = false;
    PendingList::iterator cursor_;  // the next record the walk visits
    const PendingReminder* handling_ = nullptr;
    PendingList droppedWhileHandled_;
};
