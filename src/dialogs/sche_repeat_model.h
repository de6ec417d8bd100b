#pragma once
// The recurrence dialog's rules without its window: what it shows for a
// rule, which controls each kind uses, and the rule its controls encode.
#include <array>
#include <cstdint>

#include "core/schedule_item.h"

// A calendar day as a date picker holds it.
struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
    auto operator<=>(const CivilDate&) const = default;
};

// What the editor hands over and takes back.
struct RepeatValues {
    CivilDate startDate;
    CivilDate endDate;
    std::uint8_t recurFlags = 0;
    std::uint8_t recurKind = kKindNone;
    std::uint16_t recurPattern = 0;
    std::uint8_t recurInterval = 1;
};

// The kind radio buttons, in their order.
enum class RepeatKind { None, Daily, Weekly, Monthly, Yearly };

// The values of the controls.
struct RepeatControls {
    RepeatKind kind = RepeatKind::None;
    bool useNth = false;              // "The" rather than "Day"
    std::array<bool, 7> weekdays{};   // Sunday first
    int day = 1;                      // 1..31 when valid
    bool noEndDate = false;
    int interval = 1;                 // 1..200 when valid
    int monthIndex = 0;               // 0..11
    int nthIndex = 0;                 // 0..4, 4 = last
    int weekdayIndex = 0;             // 0..6, Sunday first
};

// Which controls a kind shows, and the unit after the interval.
struct RepeatLayout {
    const char* unit;
    bool weekdays;
    bool dayOrNth;  // Day/The, the day, the n-th and weekday lists
    bool months;
    bool interval;  // "No end date", Every, the interval and its unit
};

RepeatControls OpenRepeat(const RepeatValues& values);
RepeatLayout LayoutForKind(RepeatKind kind);
// The end date matters unless the rule recurs without end.
inline bool EndDateEnabled(RepeatKind kind, bool noEndDate) { return kind == RepeatKind::None || !noEndDate; }
// OK's encoding of validated controls; the dates are the caller's.
void EncodeRepeat(const RepeatControls& controls, RepeatValues& values);
