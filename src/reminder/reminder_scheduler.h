#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/schedule_item.h"
#include "core/time_types.h"
#include "reminder/reminder_links.h"
#include "store/preferences.h"
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
};

constexpr std::uint32_t kReminderTimerId = 55;
constexpr std::uint32_t kMaxTimerPeriodMs = 600000;

// Today's and tomorrow's occurrences, woken by one timer.
class ReminderScheduler final : public ReminderSchedule {
public:
    using PendingList = std::list<std::unique_ptr<PendingReminder>>;

    ReminderScheduler(const EventSource& events, const Preferences& prefs, const Clock& clock, ReminderTimer& timer,
                      ReminderActions& actions, UpcomingLink& upcoming);

    void CheckReminders(Instant now, bool notify);
    bool AddPending(const ScheduleItem& item, Instant from, Instant to);
    // The timer handler: kills the timer and checks for the current time.
    void OnTimer();

    // ReminderSchedule
    void DropPending(const ScheduleItem& item) override;
    void RescheduleEvent(const ScheduleItem& item) override;
    void StartSchedule() override;

    const PendingList& Pending() const { return pending_; }
    PendingList& Pending() { return pending_; }
    Instant DayWindowStart() const { return dayWindowStart_; }
    Instant DayWindowEnd() const { return dayWindowEnd_; }

private:
    const EventSource& events_;
    const Preferences& prefs_;
    const Clock& clock_;
    ReminderTimer& timer_;
    ReminderActions& actions_;
    UpcomingLink& upcoming_;
    PendingList pending_;
    Instant dayWindowStart_ = 0;
    Instant dayWindowEnd_ = 0;
};
