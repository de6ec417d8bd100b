#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "core/schedule_item.h"
#include "core/time_types.h"
#include "platform/registry.h"
#include "store/parallel_reads.h"
#include "store/store_links.h"

constexpr std::size_t kMaxEvents = 361;
// Longest "uid" the store reads back; a longer one is not written.
constexpr std::size_t kMaxUidLength = 255;
// The excluded occurrences' value in the per-user key. It claims its own
// size; anything larger than kMaxExclusionBytes is not believed.
constexpr char kExclusionsValue[] = "EventExcluded";
constexpr std::uint32_t kMaxExclusionBytes = 8 * 65536;

// The user's events in memory, ordered by time of day, with the excluded
// occurrences, kept in step with the registry.
class EventStore final : public EventSource {
public:
    EventStore(Registry& registry, const Clock& clock, ReminderSchedule& schedule, ScheduleNotifier& notifier);
    ~EventStore() override;

    // Both halves of the load at once.
    bool LoadEvents();
    // The load in two halves, so that the calendar can be painted after the
    // first: under Wine every value read is a round trip to the server, and
    // half of them are what no paint shows. The first half reads what the
    // month and the checks of a damaged key need and keeps the keys open;
    // the second reads the note, the files and the "uid", then starts the
    // reminders. Whatever edits, deletes, finds or fires an event finishes
    // the load first.
    bool BeginLoad();
    void FinishLoad();
    // Starts the first half on a helper thread, where the registry reads in
    // parallel, for BeginLoad to finish: until then the caller may go on
    // with anything that does not touch the events.
    void StartLoad();
    bool SaveEvent(std::unique_ptr<ScheduleItem>& item, bool structural, bool actionsChanged);
    // False when a deleted event's key could not be deleted: it comes back at the next start.
    bool DeleteEvent(std::uint32_t id, std::uint32_t parentId, bool notifyCalendar);
    // False when the list could not be written: the change holds until the program ends.
    bool ToggleExclusion(std::uint32_t eventId, int year, int month, int day, std::uint8_t recurKind);
    void RemoveExclusions(std::uint32_t eventId);
    std::uint32_t NextEventId() const;
    bool CanAddEvent() const;
    ScheduleItem* FindEvent(std::uint32_t id);

    // In order of time of day.
    const EventList& Events() const override { return events_; }
    std::size_t Count() const { return events_.size(); }
    bool Loaded() const { return finished_; }

    // The instant old events and exclusions are judged by: the last run the
    // program recorded ("LastRun"), when the clock is not behind it. None
    // before the first record or with the clock behind: then nothing is old.
    // A clock set wrong for one start can thus delete nothing that the last
    // run would not have deleted.
    std::optional<Instant> PruneInstant() const;

    const std::vector<Exclusion>& Exclusions() const override { return exclusions_; }
    void LoadExclusions(const std::uint8_t* data, std::size_t size);
    std::string SaveExclusions() const;
    // Writes "EventExcluded", or deletes it when the list is empty; into the
    // per-user key, or into the given open one.
    bool WriteExclusions() const;
    bool WriteExclusions(const RegKey& userKey) const;

private:
    ScheduleItem* Insert(std::unique_ptr<ScheduleItem> item);
    // replacing: the key may hold the event's previous version.
    bool WriteEvent(const ScheduleItem& item, bool structural, bool actionsChanged, bool replacing);
    // Entries older than the prune threshold stay when they leave out days of
    // a series' first seven days (an imported biweekly rule aligns its weeks
    // so); the rest go. Needs the events, which load after the list.
    bool AlignsFirstWeek(const Exclusion& e) const;
    void AdmitAgedExclusions();
    // Removes the entries that exclude the date of the event; true when any did.
    bool RemoveMatching(std::uint32_t eventId, DateKey date, std::uint8_t recurKind);

    Registry& registry_;
    const Clock& clock_;
    ReminderSchedule& schedule_;
    ScheduleNotifier& notifier_;
    EventList events_;
    std::vector<Exclusion> exclusions_;
    std::vector<Exclusion> aged_;  // older than the threshold, until the events are known
    // Events of the first half whose key is still open for the second.
    std::vector<std::pair<ScheduleItem*, RegKey>> unread_;
    struct PendingLoad;
    std::unique_ptr<PendingLoad> pending_;  // a first half started and not yet finished
    std::unique_ptr<ParallelReads> reads_;  // made by the first StartLoad
    bool loaded_ = false;
    bool finished_ = false;
};
