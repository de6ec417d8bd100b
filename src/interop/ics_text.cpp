#include "interop/ics_text.h"

namespace {

constexpr std::size_t kMaxOctets = 75;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at p[0], or 0.
std::size_t SequenceLength(const unsigned char* p, std::size_t n) {
    const unsigned char b = p[0];
    if (b < 0x80) return 1;
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2, c = b & 0x1F, least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, c = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, c = b & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (length > n) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (!IsContinuation(p[k])) return 0;
        c = (c << 6) | (p[k] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(p + i, text.size() - i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool HasUtf8Sequence(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (p[i] >= 0x80 && SequenceLength(p + i, text.size() - i) > 1) return true;
    return false;
}

std::size_t ReplaceBadUtf8(std::string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::string out;
    out.reserve(text.size());
    std::size_t replaced = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(p + i, text.size() - i);
        if (length == 0) {
            out += '?';
            ++replaced;
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    text = std::move(out);
    return replaced;
}

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\':
            case ';':
            case ',':
                out += '\\';
                out += c;
                break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
                out += "\\n";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string UnescapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += (next == 'n' || next == 'N') ? '\n' : next;
    }
    return out;
}

void AppendFolded(std::string& out, std::string_view line) {
    // The first physical line holds 75 octets, each continuation 74 after its space.
    std::size_t room = kMaxOctets;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && IsContinuation(static_cast<unsigned char>(line[cut]))) --cut;
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        room = kMaxOctets - 1;
    }
    out.append(line);
    out += "\r\n";
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}
