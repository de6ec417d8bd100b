#pragma once
// What an http:// or https:// address must be for a request to go to it:
// the one rule the Sync page, the stored settings and the transport share.
#include <string>
#include <string_view>

// Where the collection lives: scheme, host and port of every request.
struct HttpOrigin {
    bool https = false;
    std::string host;  // lower case; an IPv6 address keeps its brackets
    unsigned port = 0;
};

// What is wrong with an address, the first fault found.
enum class HttpUrlFault {
    None,
    Scheme,       // neither http:// nor https://
    Blank,        // a space or a control character
    NoHost,       // nothing between "//" and the path
    UserInfo,     // "user@host": the user name has a field of its own
    Port,         // not a number from 1 to 65535
    HostLetters,  // a byte outside ASCII, or "\" in the server's name
    Path,         // a query, a fragment, "\" or a byte outside ASCII in the path
};

// A path goes into a request line as it stands: percent-encoded ASCII from "/".
bool IsPlainHttpPath(std::string_view path);

// Splits an address; path is at least "/". origin and path are set only
// when there is no fault.
HttpUrlFault CheckHttpUrl(std::string_view url, HttpOrigin& origin, std::string& path);
HttpUrlFault CheckHttpUrl(std::string_view url);
inline bool SplitHttpUrl(std::string_view url, HttpOrigin& origin, std::string& path) {
    return CheckHttpUrl(url, origin, path) == HttpUrlFault::None;
}
