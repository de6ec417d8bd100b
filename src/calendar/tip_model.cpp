#include "calendar/tip_model.h"

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

}  // namespace

TipLines MakeTipLines(const ScheduleItem& item, Instant now, const TextFormat& format, const LocaleNames& names) {
    const ScheduleFront& f = item.front;
    TipLines lines;
    lines[0] = item.title;
    std::string endText;
    if (IsEndless(f)) {
        endText = "endless";
    } else {
        if (now > f.endDate || !FindOccurrence(item, now, f.endDate, nullptr)) lines[4] = "This is a past event.";
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
