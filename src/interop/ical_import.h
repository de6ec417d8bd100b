#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/schedule_item.h"
#include "interop/import_report.h"
#include "interop/ics_reader.h"
#include "store/event_store.h"

struct PlannedEvent {
    std::unique_ptr<ScheduleItem> item;
    std::vector<DateKey> exclusions;
    std::uint32_t replaces = 0;  // the id of the event it updates, or 0
    ImportNotes notes;
    std::string uidKey;
    long long distance = 0;  // seconds from now to its nearest occurrence: who gets the last room
    std::vector<long long> replacedDays;  // a series' local days of its changed occurrences
    bool startOffRule = false;  // a series whose DTSTART is not one of its rule's days
};

// Everything an import will do, worked out before the store is touched.
struct ImportPlan {
    std::string error;  // the file is refused as a whole; then nothing is planned
    bool storeFull = false;  // refused for want of room, not for what the file holds
    std::vector<PlannedEvent> events;
    ImportReport report;
};

ImportPlan PlanImport(std::string_view fileText, EventStore& store, const Clock& clock,
                      std::string_view exchangeId, const IcsLimits& limits = {});

// Saves the plan into the store, exclusions included, and writes the
// exclusions at once (an import may be the program's only work in a run).
void ApplyImport(ImportPlan& plan, EventStore& store);
