#pragma once
#include <cstddef>
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
    // A changed occurrence: its series' place in the plan, and the day it
    // takes from the series, which the series gets back when it is not saved.
    std::size_t series = SIZE_MAX;
    DateKey seriesDay = 0;
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

// What a sync shares of the import's changed occurrences (VEVENTs with a
// RECURRENCE-ID). The key an import stores one under, so an import of the
// same file finds it.
std::string OverrideKey(const IcsComponent& change);
// A cancelled occurrence is an excluded date of its series.
bool IsCancelled(const IcsComponent& event);
// A changed occurrence that keeps the series' day (`day`, in its local
// days), times and texts changes nothing the calendar keeps (calendars
// write one for a reply to an invitation).
bool SameOccurrence(const ScheduleItem& change, const ScheduleItem& series, long long day);

// Saves the plan into the store, exclusions included, and writes the
// exclusions at once (an import may be the program's only work in a run).
void ApplyImport(ImportPlan& plan, EventStore& store);
