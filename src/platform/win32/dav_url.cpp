#include "platform/win32/dav_url.h"

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

std::string ServerPath(std::string_view href, const HttpOrigin& origin) {
    if (!href.empty() && href[0] == '/') {
        // "//host/path" names a host, not a path.
        if (href.size() > 1 && href[1] == '/') return {};
        return IsPlainHttpPath(href) ? std::string(href) : std::string();
    }
    HttpOrigin other;
    std::string path;
    if (!SplitHttpUrl(href, other, path)) return {};
    if (other.https != origin.https || other.host != origin.host || other.port != origin.port) return {};
    return path;
}

bool RedirectTarget(const std::string& location, const HttpOrigin& from, const std::string& fromPath,
                    HttpOrigin& origin, std::string& path) {
    if (CheckHttpUrl(location) != HttpUrlFault::Scheme) {
        if (!SplitHttpUrl(location, origin, path)) return false;
    } else {
        // Empty, scheme-relative, or another scheme ("ftp:").
        if (location.empty() || location.compare(0, 2, "//") == 0 || location.find(':') < location.find('/')) {
            return false;
        }
        origin = from;
        path = location[0] == '/' ? location : fromPath.substr(0, fromPath.rfind('/') + 1) + location;
        if (!IsPlainHttpPath(path)) return false;
    }
    const std::string dots = path + "/";
    return dots.find("/../") == std::string::npos && dots.find("/./") == std::string::npos &&
           (origin.https || !from.https);
}
