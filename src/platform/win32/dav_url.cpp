#include "platform/win32/dav_url.h"

#include <cctype>

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != prefix[i]) return false;
    }
    return true;
}

// A path goes into a request line as it stands: percent-encoded ASCII.
bool PlainPath(std::string_view path) {
    if (path.empty() || path[0] != '/') return false;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '\\' || c == '?' || c == '#') return false;
    }
    return true;
}

bool SplitAuthority(std::string_view authority, bool https, HttpOrigin& origin) {
    if (authority.empty() || authority.find('@') != std::string_view::npos) return false;
    std::string_view host = authority;
    std::string_view port;
    if (authority[0] == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return false;
        host = authority.substr(0, close + 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') return false;
            port = rest.substr(1);
        }
    } else if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
    }
    if (host.empty()) return false;
    origin.https = https;
    origin.host.clear();
    for (const char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '/' || c == '\\') return false;
        origin.host += Lower(c);
    }
    origin.port = https ? 443 : 80;
    if (!port.empty()) {
        if (port.size() > 5) return false;
        unsigned value = 0;
        for (const char c : port) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value == 0 || value > 65535) return false;
        origin.port = value;
    }
    return true;
}

}  // namespace

bool IsLoopback(const HttpOrigin& origin) {
    if (origin.host == "localhost" || origin.host == "[::1]") return true;
    // Only a whole dotted address: "127.0.0.1.example.net" is a name like any other.
    int parts = 0;
    unsigned value = 0;
    std::size_t digits = 0;
    for (std::size_t i = 0; i <= origin.host.size(); ++i) {
        const char c = i < origin.host.size() ? origin.host[i] : '.';
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<unsigned>(c - '0');
            if (++digits > 3 || value > 255) return false;
        } else if (c == '.' && digits > 0) {
            if (parts == 0 && value != 127) return false;
            ++parts;
            value = 0;
            digits = 0;
        } else {
            return false;
        }
    }
    return parts == 4;
}

bool SplitHttpUrl(std::string_view url, HttpOrigin& origin, std::string& path) {
    bool https = false;
    if (StartsWithNoCase(url, "https://")) {
        https = true;
        url.remove_prefix(8);
    } else if (StartsWithNoCase(url, "http://")) {
        url.remove_prefix(7);
    } else {
        return false;
    }
    const std::size_t slash = url.find('/');
    const std::string_view authority = url.substr(0, slash);
    const std::string_view rest = slash == std::string_view::npos ? std::string_view("/") : url.substr(slash);
    if (!SplitAuthority(authority, https, origin) || !PlainPath(rest)) return false;
    path.assign(rest);
    return true;
}

std::string ServerPath(std::string_view href, const HttpOrigin& origin) {
    if (!href.empty() && href[0] == '/') {
        // "//host/path" names a host, not a path.
        if (href.size() > 1 && href[1] == '/') return {};
        return PlainPath(href) ? std::string(href) : std::string();
    }
    HttpOrigin other;
    std::string path;
    if (!SplitHttpUrl(href, other, path)) return {};
    if (other.https != origin.https || other.host != origin.host || other.port != origin.port) return {};
    return path;
}

bool RedirectTarget(const std::string& location, const HttpOrigin& from, const std::string& fromPath,
                    HttpOrigin& origin, std::string& path) {
    if (StartsWithNoCase(location, "http://") || StartsWithNoCase(location, "https://")) {
        if (!SplitHttpUrl(location, origin, path)) return false;
    } else {
        // Empty, scheme-relative, or another scheme ("ftp:").
        if (location.empty() || location.compare(0, 2, "//") == 0 || location.find(':') < location.find('/')) {
            return false;
        }
        origin = from;
        path = location[0] == '/' ? location : fromPath.substr(0, fromPath.rfind('/') + 1) + location;
        if (!PlainPath(path)) return false;
    }
    const std::string dots = path + "/";
    return dots.find("/../") == std::string::npos && dots.find("/./") == std::string::npos &&
           (origin.https || !from.https);
}
