#include "calendar/day_speech_model.h"

#include "core/calendar.h"
#include "core/recurrence_text.h"

CellDate CellDateAt(const MonthLayout& layout, int cell) {
    const int day = cell - layout.firstWeekday + 1;
    CellDate d;
    // Walk from the first of the month, so leap years and year ends come out right.
    CivilFromDays(DaysFromCivil(layout.year, layout.month, 1) + day - 1, d.year, d.month, d.day);
    d.monthOffset = day < 1 ? -1 : (day > layout.daysInMonth ? 1 : 0);
    return d;
}

LayoutRect CellRectAt(const MonthLayout& layout, int cell) {
    return {layout.metrics.margin + cell % 7 * layout.cellWidth, layout.metrics.daysTop + cell / 7 * layout.cellHeight,
            layout.cellWidth, layout.cellHeight};
}

int CellFromPoint(const MonthLayout& layout, int x, int y) {
    if (layout.cellWidth <= 0 || layout.cellHeight <= 0) return -1;
    const int dx = x - layout.metrics.margin;
    const int dy = y - layout.metrics.daysTop;
    if (dx < 0 || dy < 0) return -1;
    const int column = dx / layout.cellWidth;
    const int row = dy / layout.cellHeight;
    return column < 7 && row < 6 ? row * 7 + column : -1;
}

std::string CellName(const MonthLayout& layout, int cell, const SpeechFormat& format) {
    const CellDate d = CellDateAt(layout, cell);
    return format.LongDate(d.year, d.month, d.day);
}

std::string SlotSpeech(const DaySlot& slot, const SpeechFormat& format, const LocaleNames& names) {
    if (slot.event == nullptr || slot.event->item == nullptr) return {};
    const ScheduleItem& item = *slot.event->item;
    const ScheduleFront& f = item.front;
    std::string text = item.title;
    if (IsRecurring(f.recurKind)) {
        std::string rule;
        DescribeRecurrence(f.recurKind, f.recurPattern, f.recurInterval, rule, names);
        if (!rule.empty()) text += ", " + rule;
    }
    if (slot.startsHere) {
        const auto t = static_cast<int>(((f.startTime % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
        text += ", " + format.ShortTime(t / 3600, t / 60 % 60);
    } else {
        text += ", continued";  // a span's later days: its time was on its first
    }
    if (slot.excluded) text += ", excluded on this day";
    return text;
}

std::string CellDescription(const MonthLayout& layout, int cell, const SpeechFormat& format,
                            const LocaleNames& names) {
    const CellDate d = CellDateAt(layout, cell);
    if (d.monthOffset < 0) return "Previous month.";
    if (d.monthOffset > 0) return "Next month.";
    std::string text;
    if (d.year == layout.todayYear && d.month == layout.todayMonth && d.day == layout.todayDay) text = "Today. ";
    std::string lines;
    int count = 0;
    for (int k = 1; k <= layout.lastLine[d.day] && k <= MonthLayout::kMaxLines; ++k) {
        const DaySlot& slot = layout.slots[d.day][k];
        if (slot.event == nullptr) continue;
        lines += (count == 0 ? "" : "; ") + SlotSpeech(slot, format, names);
        ++count;
    }
    if (count == 0) return text + "No events.";
    text += std::to_string(count) + (count == 1 ? " event: " : " events: ") + lines + ".";
    return text;
}
