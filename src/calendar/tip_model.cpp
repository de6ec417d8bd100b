#include "calendar/tip_model.h"

#include <algorithm>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "core/recurrence_text.h"

namespace {

std::string DateText(Instant t, const TextFormat& format) {
    LocalFields f;
    return BreakDownLocal(t, f) ? format.LongDate(f.year, f.month, f.day) : std::string();
}

// A stored time of day read as hours, minutes and seconds: never added to a
// date's midnight, which is an hour off on a day the clock changes.
std::string TimeText(std::int32_t seconds, const TextFormat& format) {
    const auto t = static_cast<int>(((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
    return format.TimeWithSeconds(t / 3600, t / 60 % 60, t % 60);
}

int Shift(int low, int high, int areaLow, int areaHigh) {
    if (low < areaLow) return areaLow - low;
    if (high > areaHigh) return areaHigh - high;
    return 0;
}

// How long one occurrence lasts: a one-off event from its first day's start
// to its last day's end, a recurring one from its start to its end time.
Instant OccurrenceLength(const ScheduleFront& f) {
    if (IsRecurring(f.recurKind)) {
        const Instant length = static_cast<Instant>(f.endTime) - f.startTime;
        return length >= 0 ? length : length + kSecondsPerDay;  // over midnight
    }
    LocalFields first, last;
    Instant begins = 0, ends = 0;
    if (!BreakDownLocal(f.startDate, first) || !BreakDownLocal(f.endDate, last) ||
        !TryMakeLocalTime(first.year, first.month, first.day, f.startTime / 3600, f.startTime / 60 % 60,
                          f.startTime % 60, begins) ||
        !TryMakeLocalTime(last.year, last.month, last.day, f.endTime / 3600, f.endTime / 60 % 60, f.endTime % 60, ends))
        return 0;
    return std::max<Instant>(0, ends - begins);
}

// Past once its last occurrence has ended: one that began before now may still run.
bool IsPast(const ScheduleItem& item, Instant now) {
    const ScheduleFront& f = item.front;
    const Instant from = now - OccurrenceLength(f);
    return from > f.endDate || !FindOccurrence(item, from, f.endDate, nullptr);
}

}  // namespace

TipLines MakeTipLines(const ScheduleItem& item, Instant now, const TextFormat& format, const LocaleNames& names) {
    const ScheduleFront& f = item.front;
    TipLines lines;
    lines[0] = item.title;
    std::string endText;
    if (IsEndless(f)) {
        endText = "endless";
    } else {
        if (IsPast(item, now)) lines[4] = "This is a past event.";
        endText = DateText(f.endDate, format);
    }
    lines[1] = "Date: " + DateText(f.startDate, format) + " ~ " + endText;
    std::string rule;
    DescribeRecurrence(f.recurKind, f.recurPattern, f.recurInterval, rule, names);
    lines[2] = "Recur: " + rule;
    lines[3] = "Time: " + TimeText(f.startTime, format) + " ~ " + TimeText(f.endTime, format);
    return lines;
}

ScreenRect PlaceTip(ScreenRect r, const ScreenRect& work) {
    const int dx = Shift(r.left, r.right, work.left, work.right);
    const int dy = Shift(r.top, r.bottom, work.top, work.bottom);
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
