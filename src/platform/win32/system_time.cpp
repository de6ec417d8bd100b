#include "platform/win32/system_time.h"

#include "core/calendar.h"

SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wDayOfWeek = static_cast<WORD>(WeekdayIndexOfDays(DaysFromCivil(year, month, day)));
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    return st;
}

SYSTEMTIME SystemTimeOfDay(int secondsOfDay) {
    constexpr int kDay = 86400;
    const int t = ((secondsOfDay % kDay) + kDay) % kDay;
    return MakeSystemTime(2000, 1, 1, t / 3600, t / 60 % 60, t % 60);
}
