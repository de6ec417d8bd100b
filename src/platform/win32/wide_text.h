#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// Text of a code page (the system's ANSI page unless told) as UTF-16, for
// the calls that take only wide strings. Empty when it cannot be converted.
std::wstring WidenText(std::string_view text, UINT codePage = CP_ACP);
