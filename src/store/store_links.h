#pragma once
#include <algorithm>
#include <list>
#include <memory>
#include <vector>

#include "core/schedule_item.h"
#include "core/time_types.h"

using EventList = std::list<std::unique_ptr<ScheduleItem>>;

struct Exclusion {
    DateKey date = 0;
    std::uint32_t eventId = 0;
    bool operator==(const Exclusion&) const = default;
};

// An event that does not repeat is excluded whole, whatever date is named.
constexpr bool ExcludesOccurrence(const Exclusion& e, std::uint32_t eventId, DateKey date, std::uint8_t recurKind) {
    return e.eventId == eventId && (!IsRecurring(recurKind) || e.date == date);
}

// What the reminder scheduler and the calendar read of the event store.
class EventSource {
public:
    virtual ~EventSource() = default;
    // In order of time of day.
    virtual const EventList& Events() const = 0;
    virtual const std::vector<Exclusion>& Exclusions() const = 0;
    bool IsExcluded(std::uint32_t eventId, DateKey date, std::uint8_t recurKind) const {
        const std::vector<Exclusion>& all = Exclusions();
        return std::any_of(all.begin(), all.end(),
                           [&](const Exclusion& e) { return ExcludesOccurrence(e, eventId, date, recurKind); });
    }
};

// What the event store asks of the reminder scheduler.
class ReminderSchedule {
public:
    virtual ~ReminderSchedule() = default;
    // Removes every pending record of the item; what of it has fired stays
    // fired when the records are made again.
    virtual void DropPending(const ScheduleItem& item) = 0;
    // The event of that id was deleted: its fired reminders are forgotten.
    virtual void ForgetFired(std::uint32_t eventId) = 0;
    // Adds the item's occurrences of today and tomorrow and runs a check (notify on).
    virtual void RescheduleEvent(const ScheduleItem& item) = 0;
    // End of the load: empty day window, then a check for now without notifying.
    virtual void StartSchedule() = 0;
};

// Change notices to the windows that show events; each does nothing when its
// window is not open.
class ScheduleNotifier {
public:
    virtual ~ScheduleNotifier() = default;
    // WM_SCHEDULECHANGED (0, 0) to the calendar window.
    virtual void CalendarChanged() = 0;
    // WM_SCHEDULECHANGED (1, 0) to the upcoming-events window.
    virtual void UpcomingEventsDeleted() = 0;
};

// The links of a store that runs with no reminders and no windows: an
// import or export from the command line, a benchmark filling the registry.
class NoScheduleLinks final : public ReminderSchedule, public ScheduleNotifier {
public:
    void DropPending(const ScheduleItem&) override {}
    void ForgetFired(std::uint32_t) override {}
    void RescheduleEvent(const ScheduleItem&) override {}
    void StartSchedule() override {}
    void CalendarChanged() override {}
    void UpcomingEventsDeleted() override {}
};
