#pragma once
#include <memory>
#include <string_view>
#include <vector>

#include "core/schedule_item.h"
#include "core/time_types.h"

// An occurrence the server's series changed (moved, retitled), or its first
// one where the rule names other days: an event of its own beside the series.
struct ServerPart {
    std::unique_ptr<ScheduleItem> item;
    std::vector<DateKey> exclusions;
};

// One server copy as one of our events.
struct ServerEvent {
    std::unique_ptr<ScheduleItem> item;  // null when the calendar cannot show it
    std::vector<DateKey> exclusions;
    // The event holds all the server's text says: nothing kept only by the
    // server (a rule kept as one occurrence, changed occurrences, extra
    // dates, a zone, properties or components an export does not write,
    // text cut or replaced).
    bool exact = false;
    long long distance = 0;  // seconds from now to its nearest occurrence
    std::vector<ServerPart> parts;  // as an import shows them
};

// Window thread: local times are converted here. The UTF-8 text of one
// calendar object resource: its event that is not a changed occurrence,
// and its changed occurrences as parts.
ServerEvent MapServerText(std::string_view text, Instant now, Instant windowStart,
                          Instant windowEnd);
