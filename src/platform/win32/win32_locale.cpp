#include "platform/win32/win32_locale.h"

#include <windows.h>

bool Win32LocaleSource::GetItem(std::uint32_t item, std::string& text) {
    char buffer[260];
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, static_cast<LCTYPE>(item), buffer, sizeof buffer);
    if (n <= 0) return false;
    buffer[sizeof buffer - 1] = '\0';
    text = buffer;
    return true;
}
