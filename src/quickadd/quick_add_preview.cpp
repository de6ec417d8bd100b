#include "quickadd/quick_add_preview.h"

#include "core/calendar.h"
#include "core/recurrence_text.h"

namespace {

constexpr char kDot[] = " \xC2\xB7 ";  // " · "

// "Dec 10", with the year when it is not this one.
std::string MonthDay(const CivilDate& d, int thisYear, const LocaleNames& names) {
    std::string text = names.ShortMonthNames[d.month - 1] + " " + std::to_string(d.day);
    if (d.year != thisYear) text += ", " + std::to_string(d.year);
    return text;
}

std::string DayText(const CivilDate& d, int thisYear, const LocaleNames& names) {
    const int weekday = WeekdayIndexOfDays(DaysFromCivil(d.year, d.month, d.day));
    return names.ShortDayNames[weekday] + ", " + MonthDay(d, thisYear, names);
}

// The rule in the description's words, begun in lower case inside the line;
// the two commonest rules in the words people type.
std::string RuleText(const EditorFields& f, const LocaleNames& names) {
    if (f.recurKind == kKindDaily && f.recurInterval < 2) return "every day";
    if (f.recurKind == kKindWeekly && f.recurInterval < 2 && f.recurPattern == 0x3E) return "every weekday";
    std::string text;
    DescribeRecurrence(f.recurKind, f.recurPattern, f.recurInterval, text, names);
    for (const char* fixed : {"Every", "Day ", "The "}) {
        if (text.rfind(fixed, 0) == 0) {
            text[0] = static_cast<char>(text[0] - 'A' + 'a');
            break;
        }
    }
    return text;
}

}  // namespace

std::string QuickAddPreview(const QuickAddResult& result, const Clock& clock, const TextFormat& format,
                            const LocaleNames& names) {
    if (!result.item) {
        std::string reason = result.reason;
        for (char& c : reason)
            if (c == '\n') c = ' ';
        return reason;
    }
    const EditorFields& f = result.fields;
    LocalFields now;
    const int thisYear = BreakDownLocal(clock.Now(), now) ? now.year : f.startDate.year;
    const std::string time = format.ShortTime(f.startTime / 3600, f.startTime / 60 % 60);
    std::string text = f.title + kDot;
    if (f.recurKind >= 30) {
        text += RuleText(f, names) + " from " + MonthDay(f.startDate, thisYear, names);
        if (!f.Endless()) text += " until " + MonthDay(f.endDate, thisYear, names);
        text += kDot + time;
    } else {
        text += DayText(f.startDate, thisYear, names);
        if (f.endDate != f.startDate) text += " ~ " + DayText(f.endDate, thisYear, names);
        text += ", " + time;
    }
    if (result.remindSaid) text += std::string(kDot) + "reminder " + std::to_string(f.remindMinutes) + " min before";
    return text;
}
