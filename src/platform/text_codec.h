#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Text is UTF-8 everywhere in the program and UTF-16 only where Windows
// takes it; these are the one pair of conversions between the two.
// "Characters" below are what Windows counts: UTF-16 units, so a character
// outside the Basic Multilingual Plane (an emoji) counts two.

// Bytes that are not UTF-8 (and encoded surrogates) become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// A lone surrogate becomes U+FFFD, as Windows converts it.
std::string Utf16ToUtf8(std::u16string_view utf16);
// The text with each byte that is not part of a valid UTF-8 sequence
// replaced by '?', counted in replaced.
std::string ValidUtf8(std::string_view text, std::size_t& replaced);
// How many UTF-16 units the UTF-8 text takes.
std::size_t Utf16Length(std::string_view utf8);
// The longest start of the text that takes at most maxUnits UTF-16 units,
// never ending inside a character.
std::string_view CutUtf8(std::string_view utf8, std::size_t maxUnits);
// The same for UTF-16: never between the two halves of a surrogate pair.
std::u16string_view CutUtf16(std::u16string_view utf16, std::size_t maxUnits);

// The system's ANSI code page, which older versions of the program kept
// every text in.
class TextCodec {
public:
    virtual ~TextCodec() = default;
    // Every ANSI string has a UTF-8 form.
    virtual std::string ToUtf8(std::string_view ansi) const = 0;
    // utf8 must be valid UTF-8. Characters the code page cannot hold become
    // '?' and are counted in replaced.
    virtual std::string FromUtf8(std::string_view utf8, std::size_t& replaced) const = 0;
};
