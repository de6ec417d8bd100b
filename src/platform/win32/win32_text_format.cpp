#include "platform/win32/win32_text_format.h"

#include <windows.h>

namespace {

constexpr int kBufferSize = 50;

SYSTEMTIME Fields(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    return st;
}

}  // namespace

std::string Win32TextFormat::LongDate(int year, int month, int day) const {
    const SYSTEMTIME st = Fields(year, month, day, 0, 0, 0);
    char text[kBufferSize] = {};
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, text, kBufferSize) == 0) return {};
    return text;
}

std::string Win32TextFormat::TimeWithSeconds(int hour, int minute, int second) const {
    const SYSTEMTIME st = Fields(2000, 1, 1, hour, minute, second);
    char text[kBufferSize] = {};
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, kBufferSize) == 0) return {};
    return text;
}
