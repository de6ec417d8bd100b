#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Conversion between UTF-8 (files exchanged with other programs) and the
// system's ANSI code page (everything the program keeps).
class TextCodec {
public:
    virtual ~TextCodec() = default;
    // Every ANSI string has a UTF-8 form.
    virtual std::string ToUtf8(std::string_view ansi) const = 0;
    // utf8 must be valid UTF-8. Characters the code page cannot hold become
    // '?' and are counted in replaced.
    virtual std::string FromUtf8(std::string_view utf8, std::size_t& replaced) const = 0;
};
