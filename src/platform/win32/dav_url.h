#pragma once
#include <string>
#include <string_view>

#include "platform/http_url.h"

// Whether the origin is this computer: "localhost", 127.0.0.0/8 or [::1].
// A password sent there in Basic never crosses a network.
bool IsLoopback(const HttpOrigin& origin);

// An href from a server's answer as a path on origin: a path is kept, an
// absolute URL of the same origin gives its path. Empty when the href names
// another host, port or scheme, is relative, or holds characters no path may.
std::string ServerPath(std::string_view href, const HttpOrigin& origin);

// Where a redirect's Location leads from the address (from, fromPath) that
// answered: an absolute URL, a path, or a name relative to fromPath's
// folder. False for what SplitHttpUrl refuses, a path with "..", a
// scheme-relative "//host", and a step from https down to http.
bool RedirectTarget(const std::string& location, const HttpOrigin& from, const std::string& fromPath,
                    HttpOrigin& origin, std::string& path);
