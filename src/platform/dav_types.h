#pragma once
#include <string>
#include <vector>

// What a request to the CalDAV collection came to.
enum class DavStatus {
    Ok,
    Unreachable,         // no connection, a timeout, a TLS failure
    Unauthorized,        // 401 or 403: the user name or password was refused
    PreconditionFailed,  // 412: the If-Match or If-None-Match did not hold
    NotFound,            // 404 or 410
    TokenRejected,       // sync-collection refused the token: list again from none
    Refused,             // any other answer the request cannot go on with
};

// Why a request came to DavStatus::Unreachable, for the status line.
enum class DavProblem {
    None,
    NoSuchHost,
    NoConnection,  // refused, reset, or no route
    TimedOut,
    Secure,  // TLS could not be set up, or the certificate was refused
    NoCalendar,  // the server answered, but has no calendar at the address
};

// One calendar object resource of the collection, as parsed from the
// server's answer; every byte is untrusted.
struct DavResource {
    std::string href;          // the path as the server wrote it, percent-encoding kept
    std::string etag;          // with its quotes, as sent back in If-Match
    std::string calendarData;  // UTF-8 iCalendar text; empty unless asked for
    bool gone = false;         // sync-collection: the resource was removed
};

struct DavListing {
    std::vector<DavResource> resources;
    std::string syncToken;   // sync-collection's new token; empty when none was given
    bool truncated = false;  // the server answered 507 for the request: ask again from syncToken
};
