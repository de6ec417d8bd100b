#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <vector>

// What mapping one event noticed; added to the report only when the event
// is really saved, so a skipped one does not count.
struct ImportNotes {
    std::size_t replacedCharacters = 0;
    int shortened = 0;
    bool unknownZone = false;
    bool launchLeftOff = false;
    int refusedPaths = 0;
    const char* firstOnly = nullptr;  // why only one occurrence is kept
    bool followsZone = false;         // its local time moves with another zone's clock changes
    bool firstDayOnly = false;        // a series whose occurrences last into another day
};

// What an import did, for the message the user reads.
struct ImportReport {
    int imported = 0;  // new events
    int updated = 0;   // events of the calendar matched by UID and replaced
    std::map<std::string, int> skipped;    // reason, count
    std::map<std::string, int> firstOnly;  // recurring ones kept as one occurrence, by reason
    std::size_t replacedCharacters = 0;    // bytes that were not UTF-8
    int shortened = 0;                     // titles, notes or paths cut to what the calendar keeps
    int unknownZones = 0;                  // times in a zone the file does not describe, read as local
    int launchesLeftOff = 0;               // events that asked to open a program: never switched on
    int refusedPaths = 0;                  // network, device, relative or web paths, and sounds not WAV
    std::vector<std::string> zoneFollowers;  // titles of series that follow another zone's clock changes
    int saveFailures = 0;
    std::size_t unreadLines = 0;  // content lines of the file left out because they could not be read
    std::vector<std::size_t> unreadAt;  // the first few of them, from 1
    std::size_t replacedBytes = 0;      // bytes that were not UTF-8 where the rest of their line was
    int todosLeftOut = 0;
    int firstDayOnly = 0;         // series shown on the first day of each occurrence only
    int movedNotKept = 0;         // changed occurrences not saved: their series has the day back

    void Count(const ImportNotes& notes, const std::string& title);
    int SkippedCount() const;
    // "12 events imported, 2 skipped: 1 already over, 1 cancelled." and a line for each note.
    std::string Text() const;
};

// Why events are skipped or kept as one occurrence only.
namespace import_reason {
inline constexpr char kCancelled[] = "cancelled";
inline constexpr char kNoStart[] = "without a valid start";
inline constexpr char kOutOfRange[] = "at a date the calendar cannot hold";
inline constexpr char kOver[] = "already over";
inline constexpr char kTooFarAhead[] = "beyond the months the calendar shows";
inline constexpr char kNoOccurrence[] = "without an occurrence";
inline constexpr char kDuplicate[] = "repeated in the file";
inline constexpr char kNoRoom[] = "for lack of room in the calendar";
inline constexpr char kRule[] = "a repeat rule the calendar cannot follow";
inline constexpr char kMissingDay[] = "a repeat on a day some months or years lack";
inline constexpr char kZoneShift[] = "a repeat that the time zone moves to another day";
inline constexpr char kExtraDates[] = "extra dates or rules";
}  // namespace import_reason
