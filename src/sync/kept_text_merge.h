#pragma once
#include <string>
#include <string_view>

#include "sync/event_print.h"

// Which groups of an event's fields changed here since the last sync.
struct ChangedParts {
    bool title = false, note = false, times = false, alarm = false, rule = false, exclusions = false;
    bool Any() const { return title || note || times || alarm || rule || exclusions; }
};
ChangedParts Compare(const EventPrint& synced, const EventPrint& now);

// The server's kept text with the changed groups of fields taken from
// `exported` (the event as an export writes it): everything else the server
// holds (its rule, the changed occurrences, other properties) stays. Only a
// changed rule replaces the server's rule. An excluded occurrence is added
// to the server's; one included again cannot be told apart from a changed
// occurrence and is not sent. Empty when either text cannot be read whole.
std::string MergeIntoKeptText(std::string_view kept, std::string_view exported, const ChangedParts& changed);
