#include "interop/ical_export.h"

#include <algorithm>
#include <climits>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "interop/exchange_id.h"
#include "interop/file_uri.h"
#include "interop/ics_values.h"
#include "interop/ics_writer.h"

namespace {

struct Civil {
    int year = 0;
    int month = 0;
    int day = 0;
};

Civil CivilOf(long long days) {
    Civil c;
    CivilFromDays(days, c.year, c.month, c.day);
    return c;
}

long long LocalDays(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) return 0;
    return DaysFromCivil(f.year, f.month, f.day);
}

std::string DateTime(long long days, int seconds) {
    const Civil c = CivilOf(days);
    return FormatIcsDateTime(c.year, c.month, c.day, seconds);
}

// Comma-separated lists, built by appending (GCC 12 misreads "," + temporary).
void AddItem(std::string& list, std::string_view item) {
    if (!list.empty()) list += ',';
    list += item;
}

int MinMonthLength(int month) { return month == 2 ? 28 : DaysInMonth(2001, month); }

// The rule's day of the month, lowered to the month's length the way the
// occurrence engine does it, in terms every reader follows: days every
// month has stand as they are; 31 as the last day, -1; in between, the
// last of the candidate days that the month has.
std::string MonthDayPart(int day, int minLength) {
    if (day >= 31) return "BYMONTHDAY=-1";
    if (day <= minLength) return "BYMONTHDAY=" + std::to_string(day);
    std::string days;
    for (int d = minLength; d <= day; ++d) AddItem(days, std::to_string(d));
    return "BYMONTHDAY=" + days + ";BYSETPOS=-1";
}

std::string NthDayPart(int low) {
    const int nth = low >> 4;
    return "BYDAY=" + std::to_string(nth >= 4 ? -1 : nth + 1) + WeekdayCode(low & 15);
}

std::string RuleText(const ScheduleFront& f, long long startDays) {
    const int interval = f.recurInterval == 0 ? 1 : f.recurInterval;
    const int low = f.recurPattern & 0xFF;
    std::string rule;
    switch (ClassifyKind(f.recurKind)) {
        case RecurClass::Daily:
            rule = "FREQ=DAILY";
            break;
        case RecurClass::Weekly: {
            std::string days;
            for (int d = 0; d < 7; ++d)
                if (low & (1 << d)) AddItem(days, WeekdayCode(d));
            // Weeks begin on the start date's weekday.
            rule = "FREQ=WEEKLY;BYDAY=" + days + ";WKST=" + WeekdayCode(WeekdayIndexOfDays(startDays));
            break;
        }
        case RecurClass::Monthly:
            rule = "FREQ=MONTHLY;" + (f.recurKind == kKindMonthlyNth ? NthDayPart(low) : MonthDayPart(low, 28));
            break;
        case RecurClass::Yearly: {
            const int month = f.recurPattern >> 8;
            rule = "FREQ=YEARLY;BYMONTH=" + std::to_string(month) + ";" +
                   (f.recurKind == kKindYearlyNth ? NthDayPart(low)
                                                  : MonthDayPart(low, MinMonthLength(month)));
            break;
        }
        case RecurClass::None:
            return {};
    }
    if (interval > 1) rule += ";INTERVAL=" + std::to_string(interval);
    if (!IsEndless(f)) rule += ";UNTIL=" + DateTime(LocalDays(f.endDate), 86399);
    return rule;
}

void WriteEvent(IcsWriter& w, const ScheduleItem& item, Instant first, const std::vector<DateKey>& excluded,
                std::string_view exchangeId, const std::string& stamp) {
    const ScheduleFront& f = item.front;
    const bool recurring = IsRecurring(f.recurKind);
    const long long startDays = LocalDays(f.startDate);
    const long long firstDays = LocalDays(first);
    w.Begin("VEVENT");
    w.Text("UID", EventUid(item, exchangeId));
    w.Property("DTSTAMP", stamp);
    w.Property("DTSTART", DateTime(firstDays, f.startTime));
    // An occurrence ends on its own day, or on the next when its end time
    // is earlier than its start; a one-off event on its last day.
    long long endDays = recurring ? firstDays + (f.endTime < f.startTime ? 1 : 0) : LocalDays(f.endDate);
    if (endDays * 86400 + f.endTime >= firstDays * 86400 + f.startTime)
        w.Property("DTEND", DateTime(endDays, f.endTime));
    w.Text("SUMMARY", item.title);
    if (!item.note.empty()) w.Text("DESCRIPTION", item.note);
    if (recurring) {
        w.Property("RRULE", RuleText(f, startDays));
        std::string dates;
        for (DateKey key : excluded) {
            const long long days = DaysFromCivil(static_cast<int>(key >> 16), (key >> 8) & 0xFF, key & 0xFF);
            if (days >= firstDays) AddItem(dates, DateTime(days, f.startTime));
        }
        if (!dates.empty()) w.Property("EXDATE", dates);
        // The stored start date when it is not itself an occurrence.
        if (startDays != firstDays) {
            const Civil c = CivilOf(startDays);
            w.Property("X-ORV-START", FormatIcsDate(c.year, c.month, c.day), {{"VALUE", "DATE"}});
        }
    }
    if (!item.soundfile.empty()) w.Text("X-ORV-SOUNDFILE", item.soundfile);
    const bool launch = (item.actions & kActionLaunchFile) != 0;
    if (!item.launchfile.empty() || launch) {
        if (launch) w.Text("X-ORV-LAUNCHFILE", item.launchfile, {{"X-ORV-LAUNCH", "TRUE"}});
        else w.Text("X-ORV-LAUNCHFILE", item.launchfile);
    }
    w.Begin("VALARM");
    const int lead = std::clamp<int>(item.remindMinutes, 0, 999);
    w.Property("TRIGGER", FormatIcsDuration(-60LL * lead));
    if (item.actions & kActionPlaySound) {
        w.Property("ACTION", "AUDIO");
        const std::string uri = PathToFileUri(item.soundfile);
        if (!uri.empty()) w.Property("ATTACH", uri);
    } else {
        w.Property("ACTION", "DISPLAY");
        w.Text("DESCRIPTION", item.title);
    }
    w.End("VALARM");
    w.End("VEVENT");
}

}  // namespace

ExportResult ExportEvents(const EventList& events, const std::vector<Exclusion>& exclusions,
                          std::string_view exchangeId, Instant now) {
    ExportResult result;
    IcsWriter w;
    w.Begin("VCALENDAR");
    w.Property("VERSION", "2.0");
    w.Property("PRODID", kIcsProductId);
    w.Property("CALSCALE", "GREGORIAN");
    const Civil today = CivilOf(now >= 0 ? now / 86400 : (now - 86399) / 86400);
    const int seconds = static_cast<int>(((now % 86400) + 86400) % 86400);
    const std::string stamp = FormatIcsDateTime(today.year, today.month, today.day, seconds, true);
    for (const auto& event : events) {
        const ScheduleFront& f = event->front;
        std::vector<DateKey> excluded;
        for (const Exclusion& e : exclusions)
            if (e.eventId == f.id) excluded.push_back(e.date);
        std::sort(excluded.begin(), excluded.end());
        excluded.erase(std::unique(excluded.begin(), excluded.end()), excluded.end());
        // Every reader takes DTSTART for the first occurrence, while the
        // stored start date need not be one; an excluded one-off event has none.
        Instant first = 0;
        const Instant to = IsEndless(f) ? kLatestInstant : f.endDate;
        if ((!IsRecurring(f.recurKind) && !excluded.empty()) || !FindOccurrence(*event, f.startDate, to, &first)) {
            ++result.leftOut;
            continue;
        }
        WriteEvent(w, *event, first, excluded, exchangeId, stamp);
        ++result.exported;
    }
    w.End("VCALENDAR");
    result.text = w.Result();
    return result;
}
