#include "interop/file_uri.h"

#include "interop/ics_text.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool Unreserved(char c) {
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' || c == '/' ||
           c == ':';
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string PathToFileUri(std::string_view path) {
    std::string rest;
    std::string uri;
    if (path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) {
        uri = "file:///";
        rest = path;
    } else if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
        uri = "file://";
        rest = path.substr(2);
    } else {
        return {};
    }
    static const char kHex[] = "0123456789ABCDEF";
    for (char c : rest) {
        if (c == '\\') c = '/';
        if (Unreserved(c)) {
            uri += c;
        } else {
            const auto b = static_cast<unsigned char>(c);
            uri += '%';
            uri += kHex[b >> 4];
            uri += kHex[b & 15];
        }
    }
    return uri;
}

std::string FileUriToPath(std::string_view uri) {
    if (UpperAscii(uri.substr(0, 7)) != "FILE://") return {};
    uri.remove_prefix(7);
    std::string decoded;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && HexDigitValue(uri[i + 1]) >= 0 && HexDigitValue(uri[i + 2]) >= 0) {
            decoded += static_cast<char>(HexDigitValue(uri[i + 1]) * 16 + HexDigitValue(uri[i + 2]));
            i += 2;
        } else {
            decoded += uri[i] == '/' ? '\\' : uri[i];
        }
    }
    // "\C:\x" (an empty host) or "localhost\C:\x" name a local drive.
    std::string_view path = decoded;
    if (UpperAscii(path.substr(0, 10)) == "LOCALHOST\\") path.remove_prefix(9);
    if (path.size() >= 3 && path[0] == '\\' && IsLetter(path[1]) && path[2] == ':') return std::string(path.substr(1));
    if (path.empty() || path[0] == '\\') return {};
    return "\\\\" + std::string(path);
}
