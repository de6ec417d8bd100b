#include "platform/http_url.h"

#include <cctype>
#include <utility>

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != prefix[i]) return false;
    }
    return true;
}

bool IsBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
}

HttpUrlFault SplitAuthority(std::string_view authority, bool https, HttpOrigin& origin) {
    if (authority.empty()) return HttpUrlFault::NoHost;
    if (authority.find('@') != std::string_view::npos) return HttpUrlFault::UserInfo;
    std::string_view host = authority;
    std::string_view port;
    if (authority[0] == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return HttpUrlFault::HostLetters;
        host = authority.substr(0, close + 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') return HttpUrlFault::HostLetters;
            port = rest.substr(1);
        }
    } else if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
    }
    if (host.empty()) return HttpUrlFault::NoHost;
    std::string lower;
    for (const char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '?' || c == '#') return HttpUrlFault::Path;
        if (u >= 0x80 || c == '\\') return HttpUrlFault::HostLetters;
        lower += Lower(c);
    }
    unsigned value = https ? 443 : 80;
    if (!port.empty()) {  // "host:" keeps the scheme's port
        if (port.size() > 5) return HttpUrlFault::Port;
        value = 0;
        for (const char c : port) {
            if (c < '0' || c > '9') return HttpUrlFault::Port;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value == 0 || value > 65535) return HttpUrlFault::Port;
    }
    origin.https = https;
    origin.host = std::move(lower);
    origin.port = value;
    return HttpUrlFault::None;
}

}  // namespace

bool IsPlainHttpPath(std::string_view path) {
    if (path.empty() || path[0] != '/') return false;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '\\' || c == '?' || c == '#') return false;
    }
    return true;
}

HttpUrlFault CheckHttpUrl(std::string_view url, HttpOrigin& origin, std::string& path) {
    bool https = false;
    if (StartsWithNoCase(url, "https://")) {
        https = true;
        url.remove_prefix(8);
    } else if (StartsWithNoCase(url, "http://")) {
        url.remove_prefix(7);
    } else {
        return HttpUrlFault::Scheme;
    }
    for (const char c : url) {
        if (IsBlank(c)) return HttpUrlFault::Blank;
    }
    const std::size_t slash = url.find('/');
    const std::string_view authority = url.substr(0, slash);
    const std::string_view rest = slash == std::string_view::npos ? std::string_view("/") : url.substr(slash);
    HttpOrigin split;
    if (const HttpUrlFault fault = SplitAuthority(authority, https, split); fault != HttpUrlFault::None) return fault;
    if (!IsPlainHttpPath(rest)) return HttpUrlFault::Path;
    origin = std::move(split);
    path.assign(rest);
    return HttpUrlFault::None;
}

HttpUrlFault CheckHttpUrl(std::string_view url) {
    HttpOrigin origin;
    std::string path;
    return CheckHttpUrl(url, origin, path);
}
