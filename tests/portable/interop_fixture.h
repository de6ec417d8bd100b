#pragma once
// An event store over an in-memory registry, for the iCalendar tests.
#include <memory>
#include <string>

#include "interop/ical_export.h"
#include "interop/ical_import.h"
#include "platform/memory/memory_registry.h"
#include "portable/core_zone.h"
#include "portable/store_fakes.h"
#include "store/event_store.h"

// The store and what it needs, all in memory, with the clock at now.
class MemoryCalendar {
public:
    explicit MemoryCalendar(Instant now) : clock(now) { store.LoadEvents(); }

    const ScheduleItem* ByTitle(const std::string& title) const {
        for (const auto& e : store.Events())
            if (e->title == title) return e.get();
        return nullptr;
    }

    SettableClock clock;
    MemoryRegistry registry;
    RecordingSchedule schedule;
    RecordingNotifier notifier;
    EventStore store{registry, clock, schedule, notifier};
};

class InteropStore : public MemoryCalendar {
public:
    explicit InteropStore(Instant now) : MemoryCalendar(now) {}

    ImportPlan Import(const std::string& text) {
        ImportPlan plan = PlanImport(text, store, clock, kExchangeId);
        ApplyImport(plan, store);
        return plan;
    }
    ExportResult Export() const { return ExportEvents(store.Events(), store.Exclusions(), kExchangeId, clock.Now()); }

    static constexpr const char* kExchangeId = "0123456789abcdef";
};

inline std::string Vcalendar(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Fixture//EN\r\n" + body + "END:VCALENDAR\r\n";
}
