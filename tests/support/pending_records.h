#pragma once
// A pending-reminder list with the events its records point at, for tests of
// what reads the scheduler's list (the upcoming-events rows and window).
#include <deque>
#include <memory>
#include <string>

#include "reminder/reminder_scheduler.h"

struct PendingRecords {
    std::deque<ScheduleItem> items;  // a deque: records keep pointing at them
    ReminderScheduler::PendingList list;

    // A record of event `id` starting at `start`, its reminder ten minutes before.
    PendingReminder& Add(std::uint32_t id, const std::string& title, Instant start, bool fired = false) {
        ScheduleItem& item = items.emplace_back();
        item.front.id = id;
        item.title = title;
        auto record = std::make_unique<PendingReminder>();
        record->item = &item;
        record->start = start;
        record->remindAt = start - 600;
        record->fired = fired;
        list.push_back(std::move(record));
        return *list.back();
    }
};
