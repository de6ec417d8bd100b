#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/time_types.h"

// The fixed record stored as the registry value "front" (36 bytes, little-endian).
struct ScheduleFront {
    std::uint32_t id = 0;
    std::uint32_t parentId = 0;
    std::uint8_t linkKind = 0;
    // The dates are unsigned seconds: every value stored before 2038 reads
    // the same, and dates up to 2106-02-07 fit.
    std::uint32_t startDate = 0;  // local midnight of the first day
    std::int32_t startTime = 0;   // seconds after midnight
    std::uint32_t endDate = 0;    // 23:59:59 of the last day
    std::int32_t endTime = 0;
    std::uint8_t recurFlags = 0;  // bit 0: no end date
    std::uint8_t recurKind = 1;
    std::uint16_t recurPattern = 0;
    std::uint8_t recurInterval = 1;

    static constexpr std::size_t kSize = 36;
    using Bytes = std::array<std::uint8_t, kSize>;

    Bytes Encode() const;
    // Reads up to kSize bytes; missing bytes count as zero, reserved bytes are ignored.
    static ScheduleFront Decode(const std::uint8_t* data, std::size_t size);

    bool operator==(const ScheduleFront&) const = default;
};

// The last instant the stored date fields hold, and the last whole month
// they hold in every zone.
constexpr Instant kLastStorableInstant = 0xFFFFFFFF;
constexpr int kLastStorableYear = 2106;
constexpr int kLastStorableMonth = 1;

// Action bits of ScheduleItem::actions.
constexpr std::uint8_t kActionPlaySound = 0x01;
constexpr std::uint8_t kActionLaunchFile = 0x02;

// The actions block stored as the registry value "priv" (4 bytes, little-endian).
struct ActionsBlock {
    std::uint8_t actions = 0;
    std::int16_t remindMinutes = 10;

    static constexpr std::size_t kSize = 4;
    using Bytes = std::array<std::uint8_t, kSize>;

    Bytes Encode() const;
    static ActionsBlock Decode(const std::uint8_t* data, std::size_t size);

    bool operator==(const ActionsBlock&) const = default;
};

// One event in memory. Default construction gives the defaults of a new event.
struct ScheduleItem {
    ScheduleFront front;
    std::uint8_t actions = 0;
    std::int16_t remindMinutes = 10;
    std::string title;
    std::string note;
    std::string soundfile;
    std::string launchfile;
    // The iCalendar UID an imported event came with; empty for the events
    // made here. Stored as the event key's value "uid" when not empty.
    std::string uid;
    // The user picked the sound and launch files in the editor. Only such
    // files may be on another computer or a device: a path from anywhere
    // else is touched only when it is a local one. Stored as "fileschosen".
    bool filesChosen = false;

    ActionsBlock Actions() const { return {actions, remindMinutes}; }
    void SetActions(const ActionsBlock& block) {
        actions = block.actions;
        remindMinutes = block.remindMinutes;
    }
};

// Recurrence kinds are read by range.
enum class RecurClass { None, Daily, Weekly, Monthly, Yearly };

constexpr std::uint8_t kKindNone = 1;
constexpr std::uint8_t kKindDaily = 30;
constexpr std::uint8_t kKindWeekly = 60;
constexpr std::uint8_t kKindMonthlyDay = 90;
constexpr std::uint8_t kKindMonthlyNth = 91;
constexpr std::uint8_t kKindYearlyDate = 120;
constexpr std::uint8_t kKindYearlyNth = 121;

// Kinds 150..255 are never written; they are classed as yearly.
constexpr RecurClass ClassifyKind(std::uint8_t kind) {
    if (kind < 30) return RecurClass::None;
    if (kind < 60) return RecurClass::Daily;
    if (kind < 90) return RecurClass::Weekly;
    if (kind < 120) return RecurClass::Monthly;
    return RecurClass::Yearly;
}

constexpr bool IsRecurring(std::uint8_t kind) { return kind >= 30; }

// Recurs without end: honoured only for recurring kinds.
constexpr bool IsEndless(const ScheduleFront& f) {
    return f.recurKind >= 30 && (f.recurFlags & 1) != 0;
}
