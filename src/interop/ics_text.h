#pragma once
#include <string>
#include <string_view>

// The text rules of iCalendar content lines.

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// TEXT values: backslash, semicolon, comma and line breaks escaped; a CR LF
// pair or a lone CR is one line break.
std::string EscapeText(std::string_view text);
// The reverse; an unknown escape keeps the character after the backslash.
std::string UnescapeText(std::string_view text);

// Appends a content line ending in CR LF, folded so that no physical line
// exceeds 75 octets and no UTF-8 sequence is split.
void AppendFolded(std::string& out, std::string_view line);

// ASCII upper case, for names that compare without regard to case.
std::string UpperAscii(std::string_view text);
