#include "platform/memory/memory_caldav.h"

#include <cstdlib>

void MemoryCalDav::Store(const std::string& href, const std::string& text,
                         std::optional<std::pair<Instant, Instant>> span) {
    Resource& r = resources_[href];
    r.etag = std::string("\"").append(std::to_string(nextEtag_++)).append("\"");
    r.text = text;
    r.span = span || !spanOf ? span : spanOf(text);
    changedAt_[href] = ++version_;
}

void MemoryCalDav::Remove(const std::string& href) {
    if (resources_.erase(href) != 0) changedAt_[href] = ++version_;
}

void MemoryCalDav::DevicePut(const std::string& name, const std::string& text,
                             std::optional<std::pair<Instant, Instant>> span) {
    Store(Href(name), text, span);
}

void MemoryCalDav::DeviceDelete(const std::string& name) { Remove(Href(name)); }

const MemoryCalDav::Resource* MemoryCalDav::Find(const std::string& name) const {
    const auto it = resources_.find(Href(name));
    return it != resources_.end() ? &it->second : nullptr;
}

bool MemoryCalDav::Admit(std::string request, DavStatus& status) {
    requests_.push_back(std::move(request));
    answer_ = {};
    if (unreachable || (stopAfter && requests_.size() > *stopAfter)) status = DavStatus::Unreachable;
    else if (refuseCredentials) answer_ = {401, "Unauthorized", -1};
    else if (refuseAll.code != 0) answer_ = refuseAll;
    else if (missing) answer_ = {404, "Not Found", -1};
    else return true;
    if (answer_.code != 0) status = DavStatusOf(answer_.code);
    return false;
}

bool MemoryCalDav::AdmitWrite(std::string request, DavStatus& status) {
    if (!Admit(std::move(request), status)) return false;
    if (refuseWrites.code == 0) return true;
    answer_ = refuseWrites;
    status = DavStatusOf(answer_.code);
    return false;
}

DavStatus MemoryCalDav::Probe(bool& syncCollection, std::string& syncToken) {
    DavStatus st = DavStatus::Ok;
    if (!Admit("PROBE", st)) return st;
    syncCollection = offersSyncCollection;
    syncToken = offersSyncCollection ? Token() : std::string();
    return DavStatus::Ok;
}

DavStatus MemoryCalDav::QueryRange(Instant from, Instant to, DavListing& out) {
    DavStatus st = DavStatus::Ok;
    if (!Admit("QUERY", st)) return st;
    out = {};
    for (const auto& [href, r] : resources_)
        if (!r.span || (r.span->first < to && r.span->second > from)) out.resources.push_back({Written(href), r.etag, "", false});
    return DavStatus::Ok;
}

DavStatus MemoryCalDav::SyncCollection(const std::string& token, DavListing& out) {
    DavStatus st = DavStatus::Ok;
    if (!Admit("SYNC", st)) return st;
    if (!offersSyncCollection) return DavStatus::Refused;
    std::size_t since = 0;
    if (!token.empty()) {
        if (token.rfind("token-", 0) != 0) return DavStatus::TokenRejected;
        since = std::strtoull(token.c_str() + 6, nullptr, 10);
        if (since < historyStart_ || since > version_) return DavStatus::TokenRejected;
    }
    out = {};
    std::size_t upTo = since;
    // Oldest changes first, so a truncated answer ends at a version.
    std::multimap<std::size_t, std::string> byVersion;
    for (const auto& [href, at] : changedAt_)
        if (at > since) byVersion.emplace(at, href);
    for (const auto& [at, href] : byVersion) {
        if (pageSize != 0 && out.resources.size() == pageSize) {
            out.truncated = true;
            break;
        }
        const auto r = resources_.find(href);
        if (r != resources_.end()) out.resources.push_back({Written(href), r->second.etag, "", false});
        else out.resources.push_back({Written(href), "", "", true});
        upTo = at;
    }
    out.syncToken = std::string("token-").append(std::to_string(out.truncated ? upTo : version_));
    return DavStatus::Ok;
}

DavStatus MemoryCalDav::Fetch(const std::vector<std::string>& hrefs, std::vector<DavResource>& out) {
    DavStatus st = DavStatus::Ok;
    if (!Admit(std::string("FETCH ").append(std::to_string(hrefs.size())), st)) return st;
    out.clear();
    for (const std::string& href : hrefs) {
        const auto r = resources_.find(Read(href));
        if (r != resources_.end()) out.push_back({Written(href), r->second.etag, r->second.text, false});
    }
    return DavStatus::Ok;
}

DavStatus MemoryCalDav::Put(const std::string& href, const std::string& text, const std::string& ifMatch,
                            std::string& newEtag) {
    DavStatus st = DavStatus::Ok;
    if (!AdmitWrite("PUT " + href + " " + (ifMatch.empty() ? "*" : ifMatch), st)) return st;
    const auto r = resources_.find(href);
    if (ifMatch.empty() ? r != resources_.end() : (r == resources_.end() || r->second.etag != ifMatch))
        return DavStatus::PreconditionFailed;
    Store(href, text, std::nullopt);
    newEtag = etagOnPut ? resources_[href].etag : std::string();
    return DavStatus::Ok;
}

DavStatus MemoryCalDav::Delete(const std::string& href, const std::string& ifMatch) {
    DavStatus st = DavStatus::Ok;
    if (!AdmitWrite("DELETE " + href, st)) return st;
    const auto r = resources_.find(href);
    if (r == resources_.end()) return DavStatus::NotFound;
    if (!ifMatch.empty() && r->second.etag != ifMatch) return DavStatus::PreconditionFailed;
    Remove(href);
    return DavStatus::Ok;
}

std::string MemoryCalDav::Read(const std::string& href) const {
    std::string out;
    for (std::size_t i = 0; i < href.size(); ++i) {
        const bool at = href.compare(i, 3, "%40") == 0;
        out += at ? '@' : href[i];
        if (at) i += 2;
    }
    return out;
}

std::string MemoryCalDav::Written(const std::string& href) const {
    if (!escapesAt) return href;
    std::string out;
    for (const char c : href) out += c == '@' ? std::string("%40") : std::string(1, c);
    return out;
}
