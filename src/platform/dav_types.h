#pragma once
#include <string>
#include <string_view>
#include <vector>

// What a request to the CalDAV collection came to.
enum class DavStatus {
    Ok,
    Unreachable,         // no connection, a timeout, a TLS failure
    Unauthorized,        // 401: the user name or password was refused
    Forbidden,           // 403 or 405: not this user's to do, as writing to a calendar shared read-only
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
    Answered,    // the server answered with a status the sync cannot go on with: see DavAnswer
};

// The server's own answer to a request it did not carry out, for the
// status line; every byte of it came from the server.
struct DavAnswer {
    int code = 0;            // the HTTP status; 0 when no answer came
    std::string reason;      // its reason phrase, printable ASCII only and cut short
    long long retryAfter = -1;  // seconds the server asked to be left alone (Retry-After); -1: it did not say
};

// What an HTTP status means to the sync.
DavStatus DavStatusOf(int code);

// Retry-After's value (delta-seconds, or an HTTP date read against now,
// seconds since 1970 UTC) as seconds from now; -1 when it is neither.
// A date already past is 0.
long long RetryAfterSeconds(std::string_view value, long long now);

// A reason phrase as the status line may show it.
std::string ShownReason(std::string_view reason);

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
