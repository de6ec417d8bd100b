#pragma once
#include <climits>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/recurrence_days.h"
#include "core/time_types.h"
#include "interop/ical_import.h"
#include "interop/ics_document.h"
#include "interop/ics_values.h"
#include "interop/ics_zone.h"
#include "interop/rule_mapping.h"

// A wall-clock time of the local zone.
struct LocalTime {
    long long days = 0;
    int seconds = 0;
    long long Wall() const { return days * 86400 + seconds; }
};

// What the repeat rule of one event becomes.
struct SeriesPlan {
    bool series = false;
    const char* firstOnly = nullptr;  // why only one occurrence is kept
    MappedRule rule;
    std::vector<long long> preExcluded;
    long long lastDay = LLONG_MAX;  // endless
};

// One VEVENT as one of our events.
class EventMapper {
public:
    EventMapper(Instant now, Instant windowStart, Instant windowEnd);

    std::map<std::string, IcsZone> zones;

    // The event as ours, or the reason it is skipped. The occurrences
    // `replaced` names (by their RECURRENCE-IDs) are none of its own; their
    // local days go to out.replacedDays.
    const char* Map(const IcsComponent& event, const std::vector<IcsTime>& replaced, PlannedEvent& out);
    // A changed occurrence as an event of its own: what it leaves out it
    // takes from the series (`master`, which may be missing).
    const char* MapOverride(const IcsComponent& change, const IcsComponent* master, PlannedEvent& out);
    // The RECURRENCE-ID, in the series' zone when it names none; false when unreadable.
    static bool RecurrenceTime(const IcsComponent& change, const IcsComponent* master, IcsTime& t);

private:
    bool ToLocal(const IcsTime& t, LocalTime& out);
    bool IsAbsolute(const IcsTime& t) const;
    std::string Text(std::string_view utf8, std::size_t max);
    std::string Path(std::string_view utf8);
    // The path when `allowed` takes it, else empty and counted; `named`
    // counts a reference that gave no path at all (a web address).
    std::string LocalPath(std::string_view utf8, bool (*allowed)(std::string_view), bool named = false);
    void ReadAlarm(const IcsComponent& event, const LocalTime& first, const LocalTime& end, ScheduleItem& item);
    LocalTime ReadEnd(const IcsComponent& event, const IcsTime& start, const LocalTime& first);
    const char* ReadSeries(const IcsComponent& event, const IcsTime& start, LocalTime& first, SeriesPlan& plan);
    void FollowNearestOccurrence(const IcsRecurRule& rr, const IcsTime& start, LocalTime& first, SeriesPlan& plan);
    bool LastOccurrence(const IcsRecurRule& rr, const IcsTime& start, const RecurrenceDays& days, long long firstDay,
                        long long& last);
    void NoteZoneChanges(const IcsTime& start, const LocalTime& first, long long from, long long last);
    void ChooseOccurrence(const IcsComponent& event, const IcsTime& start, const std::set<long long>& excluded,
                          LocalTime& first);
    static const char* ReadFront(const SeriesPlan& plan, const LocalTime& first, const LocalTime& end,
                                 ScheduleFront& f);
    bool DayOf(IcsTime t, const IcsTime& start, const SeriesPlan& plan, long long shift, long long& day);
    std::set<long long> ExcludedDays(const IcsComponent& event, const IcsTime& start, const SeriesPlan& plan,
                                     long long shift, const std::vector<IcsTime>& replaced,
                                     std::vector<long long>& replacedDays);
    const char* ReadExclusions(const std::set<long long>& days, const LocalTime& first, const SeriesPlan& plan,
                               std::set<DateKey>& excluded);
    void ReadTexts(const IcsComponent& event, ScheduleItem& item);

    long long today_ = 0;  // local days
    long long windowFirstDay_ = 0;
    long long windowEndDay_ = 0;  // the first day after the window
    Instant windowStart_;
    Instant windowEnd_;
    ImportNotes notes_;
    // Periods of rules looked at for one occurrence, for the whole file: a
    // file of many odd rules from year 1 stays quick, read as written.
    long long expansionBudget_ = 5000000;
};

// Calendar helpers the import shares.
IcsTime FromWall(const IcsTime& like, long long wall);
bool MidnightOf(long long days, int seconds, Instant& out);
DateKey KeyOfDays(long long days);
