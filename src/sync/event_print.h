#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/schedule_item.h"
#include "core/time_types.h"
#include "platform/registry.h"

// What a sync compares of an event, one digest per group of fields the
// editor changes apart: a local edit is known by its groups, and only
// those are merged into a server's kept text.
enum class PrintPart : std::size_t { Title, Note, Times, Alarm, Rule, Exclusions, Count };

struct EventPrint {
    std::array<std::uint64_t, static_cast<std::size_t>(PrintPart::Count)> parts{};

    std::uint64_t Part(PrintPart p) const { return parts[static_cast<std::size_t>(p)]; }
    bool operator==(const EventPrint&) const = default;

    static constexpr std::size_t kBytes = 8 * static_cast<std::size_t>(PrintPart::Count);
    std::string Encode() const;
    // False unless exactly kBytes.
    static bool Decode(const std::string& bytes, EventPrint& out);
};

// The sound and launch files stay on this computer and are not compared.
// excluded: the event's excluded dates, in any order.
EventPrint PrintOf(const ScheduleItem& item, std::vector<DateKey> excluded);

// The stored print; false when there is none or it is damaged.
bool ReadSyncedPrint(const RegKey& eventKey, EventPrint& out);
bool WriteSyncedPrint(const RegKey& eventKey, const EventPrint& print);
