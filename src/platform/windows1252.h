#pragma once
#include <string>
#include <string_view>

// Code page 1252, the Western European ANSI page: what text that is not
// UTF-8 most often is, in files and in the fake of the system code page.

// The character a byte stands for; bytes the page leaves undefined stand
// for the C1 control of the same value, as Windows maps them.
char32_t Windows1252Char(unsigned char byte);
// The whole text as UTF-8; every byte has a character.
std::string Windows1252ToUtf8(std::string_view text);
// Appends one character, below U+10000, as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
