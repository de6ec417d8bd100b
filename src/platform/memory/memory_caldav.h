#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/caldav_transport.h"

// A calendar collection in memory, for native tests: href to ETag and text,
// with a sync-collection token and the faults a real server has. Another
// device changes it through DevicePut and DeviceDelete.
class MemoryCalDav final : public CalDavTransport {
public:
    explicit MemoryCalDav(std::string collection = "/cal/") : collection_(std::move(collection)) {}

    struct Resource {
        std::string etag;
        std::string text;
        // The span the resource's events cover, for the time-range query;
        // none: it overlaps every range.
        std::optional<std::pair<Instant, Instant>> span;
    };

    // Faults.
    bool offersSyncCollection = true;
    bool refuseCredentials = false;
    bool unreachable = false;
    bool etagOnPut = true;
    std::size_t pageSize = 0;  // sync-collection answers truncated to this many; 0: all
    DavProblem problem = DavProblem::None;  // told while unreachable
    bool escapesAt = false;
    bool missing = false;  // no collection at the address: every request NotFound    // answers write "@" in hrefs as "%40", as Radicale does
    // Every request after this many in all answers Unreachable: a sync cut off midway.
    std::optional<std::size_t> stopAfter;
    // The span of a text put without one, as a real server reads it for
    // its time-range queries; unset: every text overlaps every range.
    std::function<std::optional<std::pair<Instant, Instant>>(const std::string& text)> spanOf;
    // Every request answers this instead (503 while busy); code 0: none.
    DavAnswer refuseAll;
    // PUT and DELETE answer this instead (403 or 405: a calendar shared
    // read-only); code 0: they are carried out.
    DavAnswer refuseWrites;

    // Another device's changes.
    void DevicePut(const std::string& name, const std::string& text,
                   std::optional<std::pair<Instant, Instant>> span = std::nullopt);
    void DeviceDelete(const std::string& name);
    // The server forgets the changes before now: older tokens are refused.
    void ForgetHistory() { historyStart_ = version_; }

    const std::map<std::string, Resource>& Resources() const { return resources_; }
    const Resource* Find(const std::string& name) const;
    // "PUT /cal/a.ics *", "PUT /cal/a.ics \"3\"", "DELETE ...", "FETCH n", "QUERY", "SYNC", "PROBE".
    const std::vector<std::string>& Requests() const { return requests_; }
    std::size_t RequestCount() const { return requests_.size(); }

    std::string CollectionPath() const override { return collection_; }
    DavStatus Probe(bool& syncCollection, std::string& syncToken) override;
    DavStatus QueryRange(Instant from, Instant to, DavListing& out) override;
    DavStatus SyncCollection(const std::string& token, DavListing& out) override;
    DavStatus Fetch(const std::vector<std::string>& hrefs, std::vector<DavResource>& out) override;
    DavStatus Put(const std::string& href, const std::string& text, const std::string& ifMatch,
                  std::string& newEtag) override;
    DavStatus Delete(const std::string& href, const std::string& ifMatch) override;
    DavProblem LastProblem() const override { return unreachable ? problem : DavProblem::None; }
    DavAnswer LastAnswer() const override { return answer_; }

private:
    // Whether the request is answered; Unreachable or Unauthorized in status when not.
    bool Admit(std::string request, DavStatus& status);
    bool AdmitWrite(std::string request, DavStatus& status);
    // A path as the server writes it, and as it reads one.
    std::string Written(const std::string& href) const;
    std::string Read(const std::string& href) const;
    std::string Href(const std::string& name) const { return name.rfind('/', 0) == 0 ? name : collection_ + name; }
    void Store(const std::string& href, const std::string& text, std::optional<std::pair<Instant, Instant>> span);
    void Remove(const std::string& href);
    std::string Token() const { return "token-" + std::to_string(version_); }

    std::string collection_;
    std::map<std::string, Resource> resources_;
    std::map<std::string, std::size_t> changedAt_;  // href, the version of its last change (removals too)
    std::size_t version_ = 1;
    std::size_t historyStart_ = 1;
    std::size_t nextEtag_ = 1;
    std::vector<std::string> requests_;
    DavAnswer answer_;
};
