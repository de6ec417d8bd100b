#include "dialogs/sche_repeat_model.h"

#include <algorithm>

#include "core/calendar.h"

RepeatControls OpenRepeat(const RepeatValues& v) {
    RepeatControls c;
    c.interval = v.recurInterval;
    const RecurClass cls = ClassifyKind(v.recurKind);
    const int low = v.recurPattern & 0xFF;
    for (int i = 0; i < 7; ++i) c.weekdays[i] = cls != RecurClass::Weekly || (low & (1 << i)) != 0;
    c.day = v.startDate.day;
    c.monthIndex = v.startDate.month - 1;
    const bool nthKind = v.recurKind == kKindMonthlyNth || v.recurKind == kKindYearlyNth;
    if (v.recurKind >= 90 && v.recurKind < 150) {
        if (v.recurKind >= 120) c.monthIndex = (v.recurPattern >> 8) - 1;
        if (nthKind) {
            c.nthIndex = low >> 4;
            c.weekdayIndex = low & 15;
        } else {
            c.day = low;
        }
    }
    // Stored values the dialog never writes would select nothing in the lists.
    c.monthIndex = std::clamp(c.monthIndex, 0, 11);
    c.nthIndex = std::clamp(c.nthIndex, 0, 4);
    c.weekdayIndex = std::clamp(c.weekdayIndex, 0, 6);
    c.noEndDate = (v.recurFlags & 1) != 0;
    switch (v.recurKind >= 150 ? RecurClass::None : cls) {
        case RecurClass::None:
            c.kind = RepeatKind::None;
            break;
        case RecurClass::Daily:
            c.kind = RepeatKind::Daily;
            break;
        case RecurClass::Weekly:
            c.kind = RepeatKind::Weekly;
            break;
        case RecurClass::Monthly:
            c.kind = RepeatKind::Monthly;
            break;
        case RecurClass::Yearly:
            c.kind = RepeatKind::Yearly;
            break;
    }
    c.useNth = nthKind;
    // The other half of Day/The offers the same date in its own form; a
    // failed computation leaves that half as it was.
    const int year = v.startDate.year;
    const int month = v.startDate.month;
    if (c.useNth) {
        NthWeekdayOfMonth(year, month, c.nthIndex + 1, c.weekdayIndex + 1, c.day);
    } else {
        int week = 0;
        int weekday = 0;
        if (WeekOfMonthAndWeekday(year, month, c.day, week, weekday)) {
            c.nthIndex = week - 1;
            c.weekdayIndex = weekday - 1;
        }
    }
    return c;
}

RepeatLayout LayoutForKind(RepeatKind kind) {
    switch (kind) {
        case RepeatKind::Daily:
            return {"day(s)", false, false, false, true};
        case RepeatKind::Weekly:
            return {"week(s)", true, false, false, true};
        case RepeatKind::Monthly:
            return {"month(s)", false, true, false, true};
        case RepeatKind::Yearly:
            // The month list follows on the same line: "Every 2 year(s), May".
            return {"year(s),", false, true, true, true};
        case RepeatKind::None:
            break;
    }
    return {"day(s)", false, false, false, false};
}

void EncodeRepeat(const RepeatControls& c, RepeatValues& v) {
    const auto interval = static_cast<std::uint8_t>(c.interval);
    const auto nthWeekday = static_cast<std::uint16_t>((c.nthIndex << 4) | c.weekdayIndex);
    const auto month = static_cast<std::uint16_t>((c.monthIndex + 1) << 8);
    switch (c.kind) {
        case RepeatKind::None:
            v.recurKind = kKindNone;  // interval and pattern stay as they were
            break;
        case RepeatKind::Daily:
            v.recurInterval = interval;
            v.recurKind = kKindDaily;
            break;
        case RepeatKind::Weekly: {
            std::uint16_t mask = 0;
            for (int i = 0; i < 7; ++i)
                if (c.weekdays[i]) mask |= static_cast<std::uint16_t>(1 << i);
            v.recurInterval = interval;
            v.recurKind = kKindWeekly;
            v.recurPattern = mask;
            break;
        }
        case RepeatKind::Monthly:
            v.recurInterval = interval;
            v.recurKind = c.useNth ? kKindMonthlyNth : kKindMonthlyDay;
            v.recurPattern = c.useNth ? nthWeekday : static_cast<std::uint16_t>(c.day);
            break;
        case RepeatKind::Yearly:
            v.recurInterval = interval;
            v.recurKind = c.useNth ? kKindYearlyNth : kKindYearlyDate;
            v.recurPattern = static_cast<std::uint16_t>(month | (c.useNth ? nthWeekday : c.day));
            break;
    }
    v.recurFlags = static_cast<std::uint8_t>((v.recurFlags & ~1u) | (c.noEndDate ? 1u : 0u));
}
