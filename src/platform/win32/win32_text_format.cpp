#include "platform/win32/win32_text_format.h"

#include <windows.h>

#include "platform/win32/system_time.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr int kBufferSize = 50;

}  // namespace

std::string Win32TextFormat::LongDate(int year, int month, int day) const {
    const SYSTEMTIME st = MakeSystemTime(year, month, day);
    wchar_t text[kBufferSize] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, text, kBufferSize) == 0) return {};
    return Utf8(text);
}

std::string Win32TextFormat::TimeWithSeconds(int hour, int minute, int second) const {
    const SYSTEMTIME st = MakeSystemTime(2000, 1, 1, hour, minute, second);
    wchar_t text[kBufferSize] = {};
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, kBufferSize) == 0) return {};
    return Utf8(text);
}

std::string Win32TextFormat::ShortTime(int hour, int minute) const {
    const SYSTEMTIME st = MakeSystemTime(2000, 1, 1, hour, minute, 0);
    wchar_t text[kBufferSize] = {};
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, kBufferSize) == 0) return {};
    return Utf8(text);
}
