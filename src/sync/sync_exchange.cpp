#include "sync/sync_exchange.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <set>

#include "interop/file_uri.h"
#include "interop/ics_reader.h"
#include "interop/ics_text.h"

namespace {

class Exchange {
public:
    Exchange(const SyncSnapshot& s, CalDavTransport& t) : snap_(s), dav_(t) {}

    SyncOutcome Run() {
        bool syncCollection = false;
        std::string probeToken;
        const DavStatus probe = dav_.Probe(syncCollection, probeToken);
        if (Stops(probe)) return Finish();
        if (probe == DavStatus::NotFound) {
            out_.end = SyncEnd::Unreachable;
            out_.problem = DavProblem::NoCalendar;
            return Finish();
        }
        if (probe != DavStatus::Ok) syncCollection = false;
        collection_ = dav_.CollectionPath();
        // A copy in another collection (the address was changed) is not on this server.
        for (const LocalCopy& e : snap_.events)
            if (InCollection(e.server.href)) byHref_[e.server.href] = &e;

        SendDeletions();
        if (stopped_) return Finish();
        bool delta = syncCollection && !snap_.token.empty() && ListChanges();
        if (stopped_) return Finish();
        if (!delta) {
            if (!ListRange()) return Finish();
            out_.token = probeToken;
            out_.tokenValid = out_.tokenValid && syncCollection && !probeToken.empty();
        }
        for (const LocalCopy& e : snap_.events) {
            Plan(e, delta);
            if (stopped_) return Finish();
        }
        for (const auto& [href, etag] : listed_)
            if (byHref_.count(href) == 0 && claimed_.count(href) == 0) fetch_.emplace(href, 0);
        Fetch();
        NameReadOnlyDeletions();
        LearnSentEtags();
        for (const std::string& href : gone_)
            if (byHref_.count(href) != 0) out_.gone.push_back(href);
        return Finish();
    }

private:
    // True when the sync cannot go on.
    bool Stops(DavStatus status) {
        if (status == DavStatus::Unreachable) out_.end = SyncEnd::Unreachable;
        else if (status == DavStatus::Unauthorized) out_.end = SyncEnd::CredentialsRefused;
        else return false;
        stopped_ = true;
        return true;
    }

    // A request the server answered with a refusal the sync cannot go on after.
    void EndOnAnswer() {
        out_.end = SyncEnd::Unreachable;
        out_.answer = dav_.LastAnswer();
        if (out_.answer.code != 0) out_.problem = DavProblem::Answered;
    }

    SyncOutcome Finish() {
        if (stopped_) out_.tokenValid = false;
        return std::move(out_);
    }

    // A server names only resources of its collection: anything else is
    // never asked for, written or deleted.
    bool InCollection(const std::string& href) const {
        return IsStorableHref(href) && href.size() > collection_.size() && href.compare(0, collection_.size(), collection_) == 0 &&
               href.find_first_of("?#\\", collection_.size()) == std::string::npos &&
               href.find("/../") == std::string::npos && href.find("/./") == std::string::npos;
    }

    void SendDeletions() {
        for (const ServerCopy& d : snap_.deletions) {
            // The copy of an event here again (a deletion sent back by the server).
            if (byHref_.count(d.href) != 0 || !InCollection(d.href)) {
                out_.deleted.push_back(d.href);
                continue;
            }
            const DavStatus st = dav_.Delete(d.href, d.etag);
            if (Stops(st)) return;
            if (st == DavStatus::Ok) ++out_.sentCount;
            if (st == DavStatus::Ok || st == DavStatus::NotFound) {
                out_.deleted.push_back(d.href);
            } else if (st == DavStatus::PreconditionFailed) {
                // Changed on the server since: the server wins and its copy comes back.
                out_.deleted.push_back(d.href);
                fetch_.emplace(d.href, 0);
            } else if (st == DavStatus::Forbidden) {
                // Not this user's to delete: its copy comes back, named once it is read.
                out_.deleted.push_back(d.href);
                fetch_.emplace(d.href, 0);
                readOnlyDeletions_.insert(d.href);
            } else {
                ++out_.failed;
                out_.refused.push_back({"", dav_.LastAnswer()});
            }
        }
    }

    // Takes one listing's resource; false when the listing is over its limit.
    bool Take(DavResource& r) {
        r.href = CanonicalHref(r.href);
        if (!InCollection(r.href) || !IsStorableEtag(r.etag)) {
            ++out_.failed;
            out_.tokenValid = false;
            return true;
        }
        if (r.gone) {
            listed_.erase(r.href);
            gone_.insert(r.href);
            return true;
        }
        if (listed_.size() >= kMaxListedResources && listed_.count(r.href) == 0) {
            out_.tokenValid = false;
            return false;
        }
        gone_.erase(r.href);
        listed_[r.href] = r.etag;
        return true;
    }

    // sync-collection from the last token; false when a full listing is needed.
    bool ListChanges() {
        std::string token = snap_.token;
        out_.tokenValid = true;
        for (int round = 0;; ++round) {
            DavListing l;
            const DavStatus st = dav_.SyncCollection(token, l);
            if (Stops(st)) return false;
            if (st != DavStatus::Ok) {  // the token rejected, or no answer to go on with
                listed_.clear();
                gone_.clear();
                return false;
            }
            for (DavResource& r : l.resources)
                if (!Take(r)) break;
            if (l.syncToken.empty()) out_.tokenValid = false;
            token = l.syncToken;
            if (!l.truncated || token.empty()) break;
            if (round + 1 >= kMaxSyncRounds) {
                out_.tokenValid = false;
                break;
            }
        }
        out_.token = token;
        return true;
    }

    bool ListRange() {
        out_.tokenValid = true;
        DavListing l;
        const DavStatus st = dav_.QueryRange(snap_.windowStart, snap_.windowEnd, l);
        if (Stops(st)) return false;
        if (st != DavStatus::Ok) {
            EndOnAnswer();
            return false;
        }
        for (DavResource& r : l.resources) {
            if (r.gone) continue;
            if (!Take(r)) break;
        }
        // Whatever the listing lacks is no longer on the server (in the window).
        if (out_.tokenValid)
            for (const auto& [href, e] : byHref_)
                if (listed_.count(href) == 0 && e->inWindow) gone_.insert(href);
        return true;
    }

    void Put(const LocalCopy& e, const std::string& href, const std::string& ifMatch) {
        std::string etag;
        const DavStatus st = dav_.Put(href, e.text, ifMatch, etag);
        if (Stops(st)) return;
        if (st == DavStatus::Ok) {
            ++out_.sentCount;
            out_.sent.push_back({e.id, {href, IsStorableEtag(etag) ? etag : std::string()}, e.print, e.text, e.keptText});
        } else if (st == DavStatus::PreconditionFailed) {
            // Someone else's copy is there (or ours, sent by a sync that
            // was stopped): fetched and compared.
            fetch_.emplace(href, e.id);
        } else if (st == DavStatus::NotFound && !e.server.href.empty()) {
            gone_.insert(href);
        } else if (st == DavStatus::Forbidden && !e.server.href.empty()) {
            // Not this user's to change (a calendar shared read-only): the
            // server's version replaces the change, and the sync goes on.
            out_.readOnly.push_back(e.title);
            fetch_[href] = e.id;
            serverWins_.insert(href);
        } else {
            ++out_.failed;
            out_.refused.push_back({e.title, dav_.LastAnswer()});
        }
    }

    void Plan(const LocalCopy& e, bool delta) {
        if (byHref_.count(e.server.href) == 0) {
            if (e.text.empty()) {
                ++out_.failed;
                return;
            }
            const std::string target = collection_ + e.resourceName;
            // Another event's copy lives there: this one waits rather than overwrite it.
            if (byHref_.count(target) != 0 || !InCollection(target)) {
                ++out_.failed;
                return;
            }
            claimed_.insert(target);
            if (listed_.count(target) != 0) fetch_.emplace(target, e.id);
            else Put(e, target, "");
            return;
        }
        const std::string& href = e.server.href;
        if (gone_.count(href) != 0) return;
        const auto found = listed_.find(href);
        // A delta that does not name it, or a listing of months it is not
        // in: unchanged on the server.
        const std::string serverEtag = found != listed_.end() ? found->second : delta || !e.inWindow ? e.server.etag : "";
        if (e.Unknown() || e.server.etag.empty() || serverEtag != e.server.etag) {
            fetch_.emplace(href, e.id);
            return;
        }
        if (!e.Changed()) return;
        if (e.text.empty()) ++out_.failed;  // nothing it could be sent as
        else Put(e, href, e.server.etag);
    }

    void Fetch() {
        std::vector<std::pair<std::string, std::uint32_t>> wanted(fetch_.begin(), fetch_.end());
        std::size_t bytes = 0;
        for (std::size_t at = 0; at < wanted.size() && !stopped_; at += kFetchBatch) {
            std::vector<std::string> hrefs;
            std::map<std::string, std::uint32_t> ids;
            for (std::size_t i = at; i < wanted.size() && i < at + kFetchBatch; ++i) {
                hrefs.push_back(wanted[i].first);
                ids.insert(wanted[i]);
            }
            std::vector<DavResource> got;
            const DavStatus st = dav_.Fetch(hrefs, got);
            if (Stops(st)) return;
            if (st != DavStatus::Ok) {
                out_.failed += static_cast<int>(hrefs.size());
                out_.tokenValid = false;
                continue;
            }
            for (DavResource& r : got) {
                r.href = CanonicalHref(r.href);
                const auto id = ids.find(r.href);
                if (id == ids.end()) continue;  // not asked for
                const std::uint32_t localId = id->second;
                ids.erase(id);
                if (r.gone) {
                    if (localId != 0 && byHref_.count(r.href) != 0) gone_.insert(r.href);
                    continue;
                }
                bytes += r.calendarData.size();
                if (r.calendarData.empty() || r.calendarData.size() > kMaxServerTextBytes ||
                    !IsStorableEtag(r.etag) || bytes > kMaxFetchedBytes) {
                    ++out_.failed;
                    out_.tokenValid = false;
                    continue;
                }
                out_.fetched.push_back(
                    {r.href, r.etag, std::move(r.calendarData), localId, serverWins_.count(r.href) != 0});
            }
            // Asked for and not answered: tried again next time.
            if (!ids.empty()) out_.tokenValid = false;
        }
    }

    // A deletion the server would not take is told by the title its copy has.
    void NameReadOnlyDeletions() {
        for (const FetchedCopy& f : out_.fetched) {
            if (f.localId != 0 || readOnlyDeletions_.count(f.href) == 0) continue;
            const IcsReadResult read = ReadIcs(f.text);
            std::string title;
            for (const IcsComponent& cal : read.calendars)
                for (const IcsComponent& c : cal.components)
                    if (title.empty() && c.name == "VEVENT" && c.Find("RECURRENCE-ID") == nullptr &&
                        c.Find("SUMMARY") != nullptr)
                        title = UnescapeText(c.Find("SUMMARY")->value);
            out_.readOnly.push_back(title);
        }
    }

    // A PUT the server answered without an ETag: ask for it, or the next
    // sync fetches the copy and compares.
    void LearnSentEtags() {
        std::vector<std::string> hrefs;
        for (const SentCopy& s : out_.sent)
            if (s.server.etag.empty()) hrefs.push_back(s.server.href);
        for (std::size_t at = 0; at < hrefs.size() && !stopped_; at += kFetchBatch) {
            std::vector<std::string> batch(hrefs.begin() + static_cast<std::ptrdiff_t>(at),
                                           hrefs.begin() + static_cast<std::ptrdiff_t>(std::min(hrefs.size(), at + kFetchBatch)));
            std::vector<DavResource> got;
            const DavStatus st = dav_.Fetch(batch, got);
            if (Stops(st) || st != DavStatus::Ok) return;
            for (const DavResource& r : got)
                for (SentCopy& s : out_.sent)
                    if (s.server.href == r.href && s.server.etag.empty() && !r.gone && IsStorableEtag(r.etag))
                        s.server.etag = r.etag;
        }
    }

    const SyncSnapshot& snap_;
    CalDavTransport& dav_;
    SyncOutcome out_;
    std::string collection_;
    bool stopped_ = false;
    std::map<std::string, const LocalCopy*> byHref_;
    std::map<std::string, std::string> listed_;  // href, ETag
    std::set<std::string> gone_;
    std::set<std::string> claimed_;  // where new events go
    std::map<std::string, std::uint32_t> fetch_;  // href, the local event or 0
    std::set<std::string> serverWins_;          // changes the server would not take
    std::set<std::string> readOnlyDeletions_;   // deletions the server would not take
};

bool PathMayHold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::strchr("-._~!$&'()*+,;=:@", c) != nullptr;
}

}  // namespace

std::string CanonicalHref(std::string_view href) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(href.size());
    for (std::size_t i = 0; i < href.size(); ++i) {
        const int high = i + 2 < href.size() && href[i] == '%' ? HexDigitValue(href[i + 1]) : -1;
        const int low = high >= 0 ? HexDigitValue(href[i + 2]) : -1;
        if (low < 0) {
            out += href[i];
            continue;
        }
        const auto c = static_cast<unsigned char>(high * 16 + low);
        if (c != 0 && PathMayHold(c)) {
            out += static_cast<char>(c);
        } else {
            out.append(1, '%').append(1, kHex[c >> 4]).append(1, kHex[c & 15]);
        }
        i += 2;
    }
    return out;
}

SyncOutcome RunSyncExchange(const SyncSnapshot& snapshot, CalDavTransport& transport) {
    SyncOutcome outcome = Exchange(snapshot, transport).Run();
    if (outcome.end == SyncEnd::Unreachable && outcome.problem == DavProblem::None)
        outcome.problem = transport.LastProblem();
    return outcome;
}
