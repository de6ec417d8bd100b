#include "platform/win32/win32_date_format.h"

#include <windows.h>

#include "core/calendar.h"
#include "platform/win32/system_time.h"

std::string FormatShortDate(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) return {};
    const SYSTEMTIME st = MakeSystemTime(f.year, f.month, f.day);
    char text[64] = {};
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text) == 0) return {};
    return text;
}

std::string FormatShortTime(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) return {};
    const SYSTEMTIME st = MakeSystemTime(f.year, f.month, f.day, f.hour, f.minute, f.second);
    char text[30] = {};
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, sizeof text) == 0) return {};
    return text;
}
