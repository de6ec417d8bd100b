#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// The program's UTF-8 text as the UTF-16 that Windows takes, and back,
// through the one codec (wchar_t is UTF-16 on Windows).
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
std::string Utf8(const wchar_t* wide);  // null gives ""

// Text of a code page as UTF-16: CP_ACP for what an older program sent.
// Empty when it cannot be converted.
std::wstring WidenText(std::string_view text, UINT codePage);
