#include "platform/memory/cp1252_codec.h"

#include <cstdint>

namespace {

// 0x80..0x9F; 0 where the code page defines no character (those bytes map
// to the C1 control of the same value, as Windows does).
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t Decode(unsigned char b) {
    if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0) return kHigh[b - 0x80];
    return b;
}

void Append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string Cp1252Codec::ToUtf8(std::string_view ansi) const {
    std::string out;
    for (char b : ansi) Append(out, Decode(static_cast<unsigned char>(b)));
    return out;
}

std::string Cp1252Codec::FromUtf8(std::string_view utf8, std::size_t& replaced) const {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
        i += length;
        int byte = -1;
        for (int b = 0; b < 256 && byte < 0; ++b)
            if (Decode(static_cast<unsigned char>(b)) == c) byte = b;
        if (byte < 0) {
            out += '?';
            ++replaced;
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}
