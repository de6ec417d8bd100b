#include "platform/memory/cp1252_codec.h"

#include "platform/windows1252.h"

std::string Cp1252Codec::ToUtf8(std::string_view ansi) const { return Windows1252ToUtf8(ansi); }

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
            if (Windows1252Char(static_cast<unsigned char>(b)) == c) byte = b;
        if (byte < 0) {
            out += '?';
            ++replaced;
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}
