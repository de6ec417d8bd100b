#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/schedule_item.h"
#include "core/time_types.h"
#include "sync/event_print.h"

// Which groups of an event's fields changed here since the last sync.
struct ChangedParts {
    bool title = false, note = false, times = false, alarm = false, rule = false, exclusions = false;
    bool Any() const { return title || note || times || alarm || rule || exclusions; }
};
ChangedParts Compare(const EventPrint& synced, const EventPrint& now);

// A local edit of an event whose server text is kept.
struct LocalEdit {
    ChangedParts changed;
    const ScheduleItem* now = nullptr;     // the event here
    const ScheduleItem* synced = nullptr;  // the kept text as the calendar read it; null when it cannot
    std::vector<DateKey> excluded;         // the event's excluded dates here
};

// The server's kept text with the changed groups of fields taken from
// `exported` (the event as an export writes it), written in the server's
// own terms: its zone, UTC or whole days, and a series' exceptions moved
// with its start. Everything else the server holds stays as it wrote it.
// Only a changed rule replaces the server's rule. An excluded occurrence is
// added to the server's; one included again cannot be told apart from a
// changed occurrence and is not sent. Empty when either text cannot be
// read whole.
std::string MergeIntoKeptText(std::string_view kept, std::string_view exported, const LocalEdit& edit);
