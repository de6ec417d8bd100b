#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/time_types.h"
#include "store/event_store.h"
#include "store/store_links.h"

struct ExportResult {
    std::string text;  // UTF-8 iCalendar
    int exported = 0;
    int leftOut = 0;   // events without any occurrence
};

// Every event that has an occurrence, as a VEVENT of one VCALENDAR. Times
// are floating: occurrences are wall-clock times of the local zone.
ExportResult ExportEvents(const EventList& events, const std::vector<Exclusion>& exclusions,
                          std::string_view exchangeId, Instant now);

// The product identifier written into every exported file.
constexpr std::string_view kIcsProductId = "-//OrvCalendar//OrvCalendar//EN";
