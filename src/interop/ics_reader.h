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
    std::size_t replacedBytes = 0;        // bytes of UTF-8 text that were none, read as '?'
    bool Ok() const { return error.empty(); }
};

// Reads the whole text as the common readers do: a line or component that
// cannot be read is left out and counted; a line without any UTF-8 is read
// as Windows-1252, and in one with UTF-8 each byte that is none becomes '?'.
// The file is refused, with the message and no calendar, when it is not
// iCalendar, passes a limit, or has problems and no event that could be read.
IcsReadResult ReadIcs(std::string_view text, const IcsLimits& limits = {});
