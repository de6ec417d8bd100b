#pragma once
// Test doubles around the event store: a settable clock, and recorders for the
// calls into the reminder schedule and the change notices.
#include <functional>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "core/clock.h"
#include "store/store_links.h"

class SettableClock final : public Clock {
public:
    explicit SettableClock(Instant now) : now_(now) {}
    Instant Now() const override { return now_; }
    void Set(Instant now) { now_ = now; }

private:
    Instant now_;
};

// Calls as text: "drop 7", "forget 7", "reschedule 7", "start".
class RecordingSchedule final : public ReminderSchedule {
public:
    void DropPending(const ScheduleItem& item) override { calls.push_back("drop " + std::to_string(item.front.id)); }
    void ForgetFired(std::uint32_t eventId) override { calls.push_back("forget " + std::to_string(eventId)); }
    void RescheduleEvent(const ScheduleItem& item) override {
        calls.push_back("reschedule " + std::to_string(item.front.id));
        if (onReschedule) onReschedule();
    }
    void StartSchedule() override { calls.push_back("start"); }
    std::vector<std::string> calls;
    // Stands for what a reminder check may run: opening a file can pump messages.
    std::function<void()> onReschedule;
};

class RecordingNotifier final : public ScheduleNotifier {
public:
    void CalendarChanged() override { calls.push_back("calendar"); }
    void UpcomingEventsDeleted() override { calls.push_back("upcoming"); }
    std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;
