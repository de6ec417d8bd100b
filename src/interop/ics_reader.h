#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "interop/ics_document.h"

// What a file may hold before it is refused: a calendar of the size this
// program keeps fits many times over, and nothing read can grow without bound.
struct IcsLimits {
    std::size_t maxBytes = 16u << 20;
    std::size_t maxLineBytes = 256u << 10;  // one unfolded content line
    std::size_t maxComponents = 50000;
    int maxDepth = 8;
};

struct IcsReadResult {
    std::vector<IcsComponent> calendars;  // the VCALENDARs, in file order
    std::string error;                    // for the user; empty when read
    std::size_t skippedLines = 0;         // content lines left out because they could not be read
    std::vector<std::size_t> skippedAt;   // where the first few of them stand, from 1
    bool Ok() const { return error.empty(); }
};

// Reads the whole text as the common readers do: a line or component that
// cannot be read is left out and counted, text that is not UTF-8 is read as
// Windows-1252. The file is refused, with the message and no calendar, when
// it is not iCalendar, passes a limit, or has problems and no event that
// could be read.
IcsReadResult ReadIcs(std::string_view text, const IcsLimits& limits = {});
