#include "platform/win32/win32_date_format.h"

#include <windows.h>

#include "core/calendar.h"

std::string FormatShortDate(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) return {};
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(f.year);
    st.wMonth = static_cast<WORD>(f.month);
    st.wDay = static_cast<WORD>(f.day);
    st.wDayOfWeek = static_cast<WORD>(f.weekdayIndex);
    char text[64] = {};
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text) == 0) return {};
    return text;
}
