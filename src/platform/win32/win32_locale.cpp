#include "platform/win32/win32_locale.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

bool Win32LocaleSource::GetItem(std::uint32_t item, std::string& text) {
    wchar_t buffer[260];
    const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, static_cast<LCTYPE>(item), buffer, 260);
    if (n <= 0) return false;
    buffer[259] = L'\0';
    text = Utf8(buffer);
    return true;
}
