#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dav_types.h"
#include "platform/win32/dav_url.h"

// What a server's multistatus answer may hold before it is refused whole.
// Refusing rather than dropping: a resource left out of an answer would read
// as one that is gone.
struct DavLimits {
    std::size_t maxBytes = 16u << 20;
    std::size_t maxResponses = 4096;
    std::size_t maxHref = 2048;
    std::size_t maxEtag = 256;
    std::size_t maxCalendarData = 1u << 20;
    std::size_t maxSyncToken = 1024;
    unsigned maxDepth = 32;  // element nesting
};

enum class DavParse {
    Ok,
    Malformed,  // not XML, a DTD, not a multistatus, a status this reader cannot use
    OverLimit,
};

// What finding the calendar asks of a response; hrefs are paths on the origin
// (empty when the server named another).
struct DavCollectionProps {
    std::string href;
    bool calendar = false;         // resourcetype holds C:calendar
    bool componentsNamed = false;  // it has a supported-calendar-component-set...
    bool vevent = false;           // ...that names VEVENT
    std::string principal;         // current-user-principal
    std::string calendarHome;      // the first calendar-home-set
};

struct DavMultistatus {
    // One per href that names a path on the server (other hosts' are
    // dropped), in the answer's order; 404 and 410 ones marked gone.
    std::vector<DavResource> resources;
    // The answer's own sync-token, or the collection's DAV:sync-token property.
    std::string syncToken;
    bool truncated = false;             // a response said 507
    bool syncCollectionReport = false;  // the supported-report-set names sync-collection
    // One per response that held any of these properties.
    std::vector<DavCollectionProps> collections;
};

// Reads a 207 answer with XmlLite; elements are matched by namespace and name.
DavParse ParseMultistatus(std::string_view answer, const HttpOrigin& origin, DavMultistatus& out,
                          const DavLimits& limits = {});

// Whether an error answer (<D:error>) names the DAV: precondition
// ("valid-sync-token").
bool NamesDavPrecondition(std::string_view answer, std::string_view name, const DavLimits& limits = {});
