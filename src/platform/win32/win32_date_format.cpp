#include "platform/win32/win32_date_format.h"

#include <windows.h>

#include "core/calendar.h"
#include "platform/win32/system_time.h"
#include "platform/win32/wide_text.h"

std::string FormatShortDate(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) return {};
    const SYSTEMTIME st = MakeSystemTime(f.year, f.month, f.day);
    wchar_t text[64] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, 64) == 0) return {};
    return Utf8(text);
}

std::string FormatShortTime(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) return {};
    const SYSTEMTIME st = MakeSystemTime(f.year, f.month, f.day, f.hour, f.minute, f.second);
    wchar_t text[30] = {};
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, 30) == 0) return {};
    return Utf8(text);
}
