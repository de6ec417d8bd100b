#include <algorithm>

#include "core/calendar.h"
#include "core/little_endian.h"
#include "store/event_store.h"
#include "store/registry_paths.h"

namespace {

constexpr std::size_t kEntrySize = 8;

}  // namespace

bool EventStore::RemoveMatching(std::uint32_t eventId, DateKey date, std::uint8_t recurKind) {
    const auto removed =
        std::erase_if(exclusions_, [&](const Exclusion& e) { return ExcludesOccurrence(e, eventId, date, recurKind); });
    return removed != 0;
}

void EventStore::RemoveExclusions(std::uint32_t eventId) {
    // Kept in the registry at once: stale entries would exclude dates of a
    // later event that is given the same id.
    if (RemoveMatching(eventId, 0, kKindNone)) WriteExclusions();
}

bool EventStore::ToggleExclusion(std::uint32_t eventId, int year, int month, int day, std::uint8_t recurKind) {
    ScheduleItem* item = FindEvent(eventId);
    if (item == nullptr) return true;
    const DateKey key = MakeDateKey(year, month, day);
    if (!RemoveMatching(eventId, key, recurKind)) exclusions_.push_back({key, eventId});
    schedule_.DropPending(*item);
    schedule_.RescheduleEvent(*item);
    // Written now rather than only at exit, so a crash cannot lose it.
    const bool written = WriteExclusions();
    notifier_.CalendarChanged();
    return written;
}

void EventStore::LoadExclusions(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) return;
    // Entries before the first month the calendar shows are dropped, judged
    // by an instant the clock's errors cannot move ahead.
    DateKey threshold = 0;
    if (const std::optional<Instant> pruneAt = PruneInstant()) {
        Instant windowStart = 0;
        Instant windowEnd = 0;
        GetRollingWindow(FixedClock(*pruneAt), windowStart, windowEnd);
        threshold = DateKeyOf(windowStart);
    }
    for (std::size_t at = 0; at + kEntrySize <= size; at += kEntrySize) {
        const Exclusion e{GetLe32(data + at), GetLe32(data + at + 4)};
        if (e.date >= threshold) exclusions_.push_back(e);
        else aged_.push_back(e);
    }
    if (loaded_) AdmitAgedExclusions();
}

bool EventStore::AlignsFirstWeek(const Exclusion& e) const {
    for (const auto& item : events_) {
        const ScheduleFront& f = item->front;
        if (f.id != e.eventId) continue;
        if (f.recurKind != kKindWeekly) return false;
        const DateKey first = DateKeyOf(f.startDate);
        const DateKey week = DateKeyOf(static_cast<Instant>(f.startDate) + 6 * kSecondsPerDay + 3600);
        return e.date >= first && e.date <= week;
    }
    return false;
}

void EventStore::AdmitAgedExclusions() {
    for (const Exclusion& e : aged_)
        if (AlignsFirstWeek(e)) exclusions_.push_back(e);
    aged_.clear();
}

std::string EventStore::SaveExclusions() const {
    std::string bytes;
    bytes.reserve(exclusions_.size() * kEntrySize);
    for (const Exclusion& e : exclusions_) {
        AppendLe32(bytes, e.date);
        AppendLe32(bytes, e.eventId);
    }
    return bytes;
}

bool EventStore::WriteExclusions(const RegKey& userKey) const {
    if (exclusions_.empty()) {
        // Absent already is as good as deleted.
        std::uint32_t size = 0;
        return userKey.DeleteValue(kExclusionsValue) || (userKey && !userKey.ValueSize(kExclusionsValue, size));
    }
    const std::string bytes = SaveExclusions();
    return userKey.WriteBinary(kExclusionsValue, bytes.data(), bytes.size());
}

bool EventStore::WriteExclusions() const { return WriteExclusions(OpenUserKey(registry_, RegAccess::Write)); }
