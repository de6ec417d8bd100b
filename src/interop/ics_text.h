#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The text rules of iCalendar content lines.

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);
// Whether the text holds a well-formed UTF-8 sequence of more than one byte.
bool HasUtf8Sequence(std::string_view text);
// Replaces each byte that is no part of a well-formed sequence with '?';
// how many it replaced.
std::size_t ReplaceBadUtf8(std::string& text);

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
