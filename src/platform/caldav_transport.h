#pragma once
#include <string>
#include <vector>

#include "core/time_types.h"
#include "platform/dav_types.h"

// The requests sync makes of one calendar collection. The Win32 one speaks
// HTTP; tests use one in memory.
class CalDavTransport {
public:
    virtual ~CalDavTransport() = default;

    // The collection's path ("/dav/cal/home/"), with its final slash: new
    // resources are named under it.
    virtual std::string CollectionPath() const = 0;
    // Whether the collection answers sync-collection, and its current token.
    virtual DavStatus Probe(bool& syncCollection, std::string& syncToken) = 0;
    // calendar-query with a time-range [from, to), instants in UTC: hrefs and ETags only.
    virtual DavStatus QueryRange(Instant from, Instant to, DavListing& out) = 0;
    // sync-collection from the token (empty: from none): hrefs and ETags,
    // removed ones marked gone.
    virtual DavStatus SyncCollection(const std::string& token, DavListing& out) = 0;
    // calendar-multiget: the ETags and texts of these hrefs; one that is
    // gone is missing from the answer or marked gone.
    virtual DavStatus Fetch(const std::vector<std::string>& hrefs, std::vector<DavResource>& out) = 0;
    // PUT with If-Match: ifMatch, or If-None-Match: * when ifMatch is empty.
    // newEtag is empty when the server did not say (fetch it to learn it).
    virtual DavStatus Put(const std::string& href, const std::string& text, const std::string& ifMatch,
                          std::string& newEtag) = 0;
    // DELETE with If-Match: ifMatch (none when empty).
    virtual DavStatus Delete(const std::string& href, const std::string& ifMatch) = 0;
    // Why the last request was Unreachable, when the transport knows.
    virtual DavProblem LastProblem() const { return DavProblem::None; }
    // What the server answered to the last request that came to anything
    // but Ok or Unreachable.
    virtual DavAnswer LastAnswer() const { return {}; }
};
