#include "platform/win32/wide_text.h"

#include <climits>
#include <cwchar>

#include "platform/text_codec.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::wstring Wide(std::string_view utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Utf8(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::string Utf8(const wchar_t* wide) { return wide != nullptr ? Utf8(std::wstring_view(wide)) : std::string(); }

std::wstring WidenText(std::string_view text, UINT codePage) {
    if (codePage == CP_UTF8) return Wide(text);
    if (text.empty() || text.size() > INT_MAX) return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n) != n) return {};
    return wide;
}
