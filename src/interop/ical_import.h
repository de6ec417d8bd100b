#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/schedule_item.h"
#include "interop/ics_reader.h"
#include "platform/text_codec.h"
#include "store/event_store.h"

// What an import did, for the message the user reads.
struct ImportReport {
    int imported = 0;  // new events
    int updated = 0;   // events of the calendar matched by UID and replaced
    std::map<std::string, int> skipped;    // reason, count
    std::map<std::string, int> firstOnly;  // recurring ones kept as their first occurrence, by reason
    std::size_t replacedCharacters = 0;    // not in the system's code page
    int shortened = 0;                     // titles, notes or paths cut to what the calendar keeps
    int unknownZones = 0;                  // times in a zone the file does not describe, read as local
    int launchesLeftOff = 0;               // events that asked to open a program: never switched on
    int refusedPaths = 0;                  // network, device, relative or web paths, and sounds not WAV
    int saveFailures = 0;
    std::size_t unreadLines = 0;           // content lines of the file left out because they could not be read

    int SkippedCount() const;
    // "12 events imported, 2 skipped: 1 already over, 1 cancelled." and a line for each note.
    std::string Text() const;
};

struct PlannedEvent {
    std::unique_ptr<ScheduleItem> item;
    std::vector<DateKey> exclusions;
    std::uint32_t replaces = 0;  // the id of the event it updates, or 0
};

// Everything an import will do, worked out before the store is touched.
struct ImportPlan {
    std::string error;  // the file is refused as a whole; then nothing is planned
    bool storeFull = false;  // refused for want of room, not for what the file holds
    std::vector<PlannedEvent> events;
    ImportReport report;
};

ImportPlan PlanImport(std::string_view fileText, EventStore& store, const TextCodec& codec, const Clock& clock,
                      std::string_view exchangeId, const IcsLimits& limits = {});

// Saves the plan into the store, exclusions included, and writes the
// exclusions at once (an import may be the program's only work in a run).
void ApplyImport(ImportPlan& plan, EventStore& store);

// Why events are skipped or kept as their first occurrence only.
namespace import_reason {
inline constexpr const char* kCancelled = "cancelled";
inline constexpr const char* kNoStart = "without a valid start";
inline constexpr const char* kOutOfRange = "at a date the calendar cannot hold";
inline constexpr const char* kOver = "already over";
inline constexpr const char* kTooFarAhead = "beyond the months the calendar shows";
inline constexpr const char* kNoOccurrence = "without an occurrence";
inline constexpr const char* kDuplicate = "repeated in the file";
inline constexpr const char* kChangedOccurrence = "changed occurrences of a series";
inline constexpr const char* kRule = "a repeat rule the calendar cannot follow";
inline constexpr const char* kMissingDay = "a repeat on a day some months or years lack";
inline constexpr const char* kZoneShift = "a repeat that the time zone moves to another day";
inline constexpr const char* kExtraDates = "extra dates or rules";
}  // namespace import_reason
