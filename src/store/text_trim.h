#pragma once
#include <string>
#include <string_view>

// White space as the C library's isspace knows it in the "C" locale.
constexpr bool IsTrimSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Trims the right end, then the left.
inline std::string TrimSpace(std::string_view text) {
    while (!text.empty() && IsTrimSpace(text.back())) text.remove_suffix(1);
    while (!text.empty() && IsTrimSpace(text.front())) text.remove_prefix(1);
    return std::string(text);
}

// At most maxBytes of text, never ending inside a character: text that is
// valid UTF-8 is cut before a character that would not fit whole; other
// text (the ANSI code page) byte by byte.
inline std::string CutText(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    bool utf8 = true;
    for (std::size_t i = 0; i < text.size() && utf8;) {
        const unsigned char lead = byte(i);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5                 ? 4
                                                                                 : 0;
        utf8 = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; k < length && utf8; ++k) utf8 = (byte(i + k) & 0xC0) == 0x80;
        i += length;
    }
    std::size_t cut = maxBytes;
    if (utf8) {
        while (cut > 0 && (byte(cut) & 0xC0) == 0x80) --cut;
    }
    return std::string(text.substr(0, cut));
}
