#include "sync/sync_apply.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/occurrence.h"
#include "interop/exchange_id.h"
#include "platform/text_codec.h"
#include "store/registry_paths.h"
#include "sync/server_event.h"

namespace {

// The title's limit where the store reads it back, in UTF-16 units.
constexpr std::size_t kMaxTitleLength = 60;

class Apply {
public:
    Apply(SyncOutcome& o, const SyncSnapshot& s, EventStore& store, Registry& registry,
          const Clock& clock, std::string_view exchangeId)
        : out_(o), snap_(s), store_(store), registry_(registry), clock_(clock), exchangeId_(exchangeId) {
        for (const LocalCopy& e : snap_.events) {
            byId_[e.id] = &e;
            if (e.server.href.empty()) continue;
            hrefOf_[e.id] = e.server.href;
            // Text that could not be merged into says nothing of the series' parts.
            if (!e.keptText) textOf_[e.id] = nullptr;
            else if (!e.text.empty()) textOf_[e.id] = &e.text;
        }
    }

    SyncResult Run() {
        result_.end = out_.end;
        result_.problem = out_.problem;
        result_.sent = out_.sentCount;
        result_.failed = out_.failed;
        result_.refused = out_.refused;
        result_.readOnly = out_.readOnly;
        result_.answer = out_.answer;
        DropSentDeletions();
        for (const SentCopy& s : out_.sent) TakeSent(s);
        for (const std::string& href : out_.gone) TakeGone(href);
        std::vector<FetchedCopy*> fresh;
        for (FetchedCopy& f : out_.fetched) {
            if (f.localId != 0) TakeChanged(f);
            else fresh.push_back(&f);
        }
        TakeNew(fresh);
        SettleParts();
        if (exclusionsChanged_) store_.WriteExclusions();
        // The token last: a sync stopped before it lists the same changes again.
        const bool complete = out_.end == SyncEnd::Done && out_.tokenValid && result_.leftOut == 0 && !unresolved_;
        SaveSyncToken(registry_, snap_.windowStart, complete ? out_.token : std::string());
        return result_;
    }

private:
    void DropSentDeletions() {
        if (out_.deleted.empty()) return;
        std::vector<ServerCopy> list = LoadPendingDeletions(registry_);
        const std::size_t before = list.size();
        std::erase_if(list, [&](const ServerCopy& c) {
            return std::find(out_.deleted.begin(), out_.deleted.end(), c.href) != out_.deleted.end();
        });
        if (list.size() != before) SavePendingDeletions(registry_, list);
    }

    EventPrint PrintNow(const ScheduleItem& item) const {
        return PrintOf(item, ExcludedDates(store_, item.front.id));
    }

    // The event's key notes its server copy as it now is.
    void Note(std::uint32_t id, const ServerCopy& copy, const EventPrint& print, const std::string* kept) {
        const RegKey key = OpenEventKey(registry_, id, RegAccess::Write);
        if (!key) return;
        WriteServerCopy(key, copy);
        if (kept != nullptr) key.WriteBinary(kServerTextValue, kept->data(), kept->size());
        else key.DeleteValue(kServerTextValue);
        WriteSyncedPrint(key, print);
        noted_[id] = print;
        hrefOf_[id] = copy.href;
        textOf_[id] = kept;
    }

    // The event is no longer known on the server: it is new here again.
    void Forget(std::uint32_t id) {
        const RegKey key = OpenEventKey(registry_, id, RegAccess::Write);
        for (const char* name : {kServerHrefValue, kServerEtagValue, kServerTextValue, kSyncedPrintValue})
            key.DeleteValue(name);
        forgotten_.insert(id);
        hrefOf_.erase(id);
        textOf_.erase(id);
    }

    // Events that may give way to nearer new ones: copies the server holds
    // as they are here (nothing changed here, nothing made here and never
    // synced), by distance from today, the farthest last.
    std::vector<std::pair<long long, std::uint32_t>> Droppable() const {
        std::vector<std::pair<long long, std::uint32_t>> list;
        for (const LocalCopy& e : snap_.events) {
            const ScheduleItem* now = store_.FindEvent(e.id);
            if (e.server.href.empty() || forgotten_.count(e.id) != 0 || now == nullptr) continue;
            const auto noted = noted_.find(e.id);
            const bool same = noted != noted_.end() ? PrintNow(*now) == noted->second : UnchangedHere(e, *now);
            if (same) list.emplace_back(DistanceFromNow(*now, clock_.Now()), e.id);
        }
        std::sort(list.begin(), list.end());
        return list;
    }

    // Dropped here for want of room: the server keeps it, and it is offered
    // again at every sync.
    void Drop(std::uint32_t id) {
        if (const auto href = hrefOf_.find(id); href != hrefOf_.end())
            for (const SeriesPart& part : snap_.parts)
                if (part.seriesHref == href->second) store_.DeleteEvent(part.id, 0, true);
        Forget(id);
        store_.DeleteEvent(id, 0, true);
        ++result_.leftOut;
    }

    // Deleted because the server deleted it: no deletion to send.
    void DeleteHere(std::uint32_t id) {
        Forget(id);
        store_.DeleteEvent(id, 0, true);
        ++result_.received;
    }

    void TakeSent(const SentCopy& s) {
        if (store_.FindEvent(s.id) == nullptr) {
            // Deleted here while the copy was on its way: the deletion follows it.
            std::vector<ServerCopy> list = LoadPendingDeletions(registry_);
            std::erase_if(list, [&](const ServerCopy& c) { return c.href == s.server.href; });
            list.push_back(s.server);
            SavePendingDeletions(registry_, list);
            return;
        }
        // The print of what was sent: a change made since is still a change.
        Note(s.id, s.server, s.print, s.keptText ? &s.text : nullptr);
    }

    // Unchanged here since the snapshot, and not changed here before it.
    bool UnchangedHere(const LocalCopy& snap, const ScheduleItem& now) const {
        return !snap.Changed() && !snap.Unknown() && PrintNow(now) == snap.print;
    }

    void TakeGone(const std::string& href) {
        for (const LocalCopy& e : snap_.events) {
            if (e.server.href != href) continue;
            const ScheduleItem* now = store_.FindEvent(e.id);
            if (now == nullptr) continue;
            // What was changed here is not lost: it goes back as a new copy.
            if (UnchangedHere(e, *now)) DeleteHere(e.id);
            else Forget(e.id);
        }
    }

    void SetExclusions(std::uint32_t id, std::uint8_t kind, const std::vector<DateKey>& dates) {
        store_.RemoveExclusions(id);
        for (DateKey key : dates)
            store_.ToggleExclusion(id, static_cast<int>(key >> 16), (key >> 8) & 0xFF, key & 0xFF, kind);
        exclusionsChanged_ = true;
    }

    // The local version beside the server's, as an event new here.
    bool KeepAsConflict(const ScheduleItem& local) {
        if (!store_.CanAddEvent()) return false;
        auto copy = std::make_unique<ScheduleItem>(local);
        const std::uint32_t oldId = local.front.id;
        const std::vector<DateKey> dates = ExcludedDates(store_, oldId);
        copy->front.id = store_.NextEventId();
        copy->uid.clear();
        copy->title = std::string(CutUtf8(kConflictPrefix + copy->title, kMaxTitleLength));
        const std::uint32_t id = copy->front.id;
        const std::uint8_t kind = copy->front.recurKind;
        if (!store_.SaveEvent(copy, true, true) && store_.FindEvent(id) == nullptr) return false;
        if (!dates.empty()) SetExclusions(id, kind, dates);
        ++result_.conflicts;
        return true;
    }

    // Replaces the event with the server's version; the files it plays or
    // opens stay as they were here.
    void Replace(const ScheduleItem& local, ServerEvent& server) {
        ScheduleItem& item = *server.item;
        item.front.id = local.front.id;
        item.actions = local.actions;
        item.soundfile = local.soundfile;
        item.launchfile = local.launchfile;
        item.filesChosen = local.filesChosen;
        if (local.uid.empty() && item.uid == EventUid(local, exchangeId_)) item.uid.clear();
        const std::uint32_t id = item.front.id;
        const std::uint8_t kind = item.front.recurKind;
        store_.SaveEvent(server.item, true, true);
        SetExclusions(id, kind, server.exclusions);
    }

    void TakeChanged(FetchedCopy& f) {
        const auto snapIt = byId_.find(f.localId);
        ScheduleItem* local = store_.FindEvent(f.localId);
        if (snapIt == byId_.end() || local == nullptr) return;  // deleted here meanwhile: its deletion is on its way
        const LocalCopy& snap = *snapIt->second;
        ServerEvent server = MapServerText(f.text, clock_.Now(), snap_.windowStart, snap_.windowEnd);
        // One held outside the synced months stays, as the server now has it.
        if (!server.item && !snap.inWindow) server = MapServerText(f.text, clock_.Now(), 0, kLastStorableInstant);
        const ServerCopy copy{f.href, f.etag};
        const EventPrint now = PrintNow(*local);
        if (!server.item) {
            // The calendar cannot show the server's version: what was
            // changed here stays as a copy of its own.
            if (!UnchangedHere(snap, *local) && !KeepAsConflict(*local)) {
                unresolved_ = true;
                ++result_.failed;
                return;
            }
            DeleteHere(f.localId);
            return;
        }
        const EventPrint theirs = PrintOf(*server.item, server.exclusions);
        const std::string* kept = server.exact ? nullptr : &f.text;
        if (theirs == now) {
            // The same on both sides (a copy sent by a stopped sync, or the same change made twice).
            Note(f.localId, copy, now, kept);
            return;
        }
        // A change the server would not take is undone, not kept as a conflict.
        if (!f.serverWins && !UnchangedHere(snap, *local) && !KeepAsConflict(*local)) {
            unresolved_ = true;  // no room for the local version: tried again next time
            ++result_.failed;
            return;
        }
        // A conflict copy's save may have moved the list; find the event again.
        local = store_.FindEvent(f.localId);
        if (local == nullptr) return;
        Replace(*local, server);
        if (const ScheduleItem* saved = store_.FindEvent(f.localId)) Note(f.localId, copy, PrintNow(*saved), kept);
        ++result_.received;
    }

    void TakeNew(const std::vector<FetchedCopy*>& fresh) {
        struct Candidate {
            FetchedCopy* copy;
            ServerEvent event;
        };
        std::vector<Candidate> candidates;
        for (FetchedCopy* f : fresh) {
            ServerEvent e = MapServerText(f->text, clock_.Now(), snap_.windowStart, snap_.windowEnd);
            if (e.item) candidates.push_back({f, std::move(e)});
        }
        // The nearest to today come in when there is no room for all.
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return a.event.distance < b.event.distance; });
        std::vector<std::pair<long long, std::uint32_t>> droppable;
        bool listed = false;
        for (Candidate& c : candidates) {
            if (!store_.CanAddEvent()) {
                if (!listed) droppable = Droppable();
                listed = true;
                if (droppable.empty() || droppable.back().first <= c.event.distance) {
                    ++result_.leftOut;
                    continue;
                }
                Drop(droppable.back().second);
                droppable.pop_back();
                if (!store_.CanAddEvent()) {
                    ++result_.leftOut;
                    continue;
                }
            }
            const std::uint32_t id = store_.NextEventId();
            // The href goes into the key first: a sync stopped before the
            // event is whole leaves a damaged key that the next load
            // deletes, never an event that would be sent back as new.
            {
                const RegKey sc = RegKey::Create(registry_, kEventsKeyPath, RegAccess::Write);
                const RegKey key = RegKey::Create(sc, std::to_string(id), RegAccess::Write);
                if (!WriteServerCopy(key, {c.copy->href, c.copy->etag})) {
                    ++result_.failed;
                    continue;
                }
            }
            c.event.item->front.id = id;
            const std::uint8_t kind = c.event.item->front.recurKind;
            store_.SaveEvent(c.event.item, true, true);
            const ScheduleItem* saved = store_.FindEvent(id);
            if (saved == nullptr) continue;
            if (!c.event.exclusions.empty()) SetExclusions(id, kind, c.event.exclusions);
            Note(id, {c.copy->href, c.copy->etag}, PrintNow(*saved), c.event.exact ? nullptr : &c.copy->text);
            ++result_.received;
        }
    }

    // The parts a series' text makes; none when it cannot be read.
    std::vector<ServerPart> PartsOf(const std::string& text) const {
        ServerEvent e = MapServerText(text, clock_.Now(), snap_.windowStart, snap_.windowEnd);
        return std::move(e.parts);
    }

    bool SameParts(const std::vector<std::uint32_t>& local, const std::vector<ServerPart>& server) const {
        std::vector<EventPrint> a;
        std::vector<EventPrint> b;
        for (std::uint32_t id : local)
            if (const ScheduleItem* item = store_.FindEvent(id)) a.push_back(PrintNow(*item));
        for (const ServerPart& part : server) b.push_back(PrintOf(*part.item, part.exclusions));
        const auto less = [](const EventPrint& x, const EventPrint& y) { return x.parts < y.parts; };
        std::sort(a.begin(), a.end(), less);
        std::sort(b.begin(), b.end(), less);
        return a == b;
    }

    void AddPart(const std::string& seriesHref, ServerPart& part) {
        if (!store_.CanAddEvent()) {
            ++result_.leftOut;
            return;
        }
        const std::uint32_t id = store_.NextEventId();
        // The link goes in first: a sync stopped before the event is whole
        // leaves a damaged key that the next load deletes, never an event
        // that would be sent as new.
        {
            const RegKey sc = RegKey::Create(registry_, kEventsKeyPath, RegAccess::Write);
            const RegKey key = RegKey::Create(sc, std::to_string(id), RegAccess::Write);
            if (!key.WriteString(kSeriesHrefValue, seriesHref)) {
                ++result_.failed;
                return;
            }
        }
        part.item->front.id = id;
        const std::uint8_t kind = part.item->front.recurKind;
        store_.SaveEvent(part.item, true, true);
        if (store_.FindEvent(id) != nullptr && !part.exclusions.empty()) SetExclusions(id, kind, part.exclusions);
    }

    // The changed occurrences of each series held are as its server text
    // has them: a part changed or deleted here is made again (the server's
    // text is what counts), and the parts of a series no longer held go.
    void SettleParts() {
        std::map<std::string, std::vector<std::uint32_t>> local;  // by the series' href
        for (const SeriesPart& part : snap_.parts)
            if (store_.FindEvent(part.id) != nullptr) local[part.seriesHref].push_back(part.id);
        std::set<std::string> held;
        for (const auto& [id, href] : hrefOf_) {
            if (store_.FindEvent(id) == nullptr) continue;
            held.insert(href);
            const auto text = textOf_.find(id);
            if (text == textOf_.end()) continue;  // not known: they stay as they are
            std::vector<std::uint32_t>& mine = local[href];
            const std::string* t = text->second;
            // Only a series has parts; most texts need not be read again.
            const bool mayHave = t != nullptr && (t->find("RECURRENCE-ID") != std::string::npos ||
                                                  t->find("RRULE") != std::string::npos);
            if (mine.empty() && !mayHave) continue;
            std::vector<ServerPart> want = mayHave ? PartsOf(*t) : std::vector<ServerPart>();
            if (SameParts(mine, want)) continue;
            for (std::uint32_t part : mine) store_.DeleteEvent(part, 0, true);
            for (ServerPart& part : want) AddPart(href, part);
        }
        for (const auto& [href, ids] : local)
            if (held.count(href) == 0)
                for (std::uint32_t part : ids) store_.DeleteEvent(part, 0, true);
    }

    SyncOutcome& out_;
    const SyncSnapshot& snap_;
    EventStore& store_;
    Registry& registry_;
    const Clock& clock_;
    std::string_view exchangeId_;
    std::map<std::uint32_t, const LocalCopy*> byId_;
    std::map<std::uint32_t, EventPrint> noted_;  // as noted synced in this run
    std::set<std::uint32_t> forgotten_;
    // The href and server text of each series held; a null text: none kept,
    // the event is all the server holds.
    std::map<std::uint32_t, std::string> hrefOf_;
    std::map<std::uint32_t, const std::string*> textOf_;
    SyncResult result_;
    bool exclusionsChanged_ = false;
    bool unresolved_ = false;
};

}  // namespace

SyncResult ApplySyncOutcome(SyncOutcome& outcome, const SyncSnapshot& snapshot, EventStore& store,
                            Registry& registry, const Clock& clock,
                            std::string_view exchangeId) {
    return Apply(outcome, snapshot, store, registry, clock, exchangeId).Run();
}
