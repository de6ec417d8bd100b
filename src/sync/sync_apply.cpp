#include "sync/sync_apply.h"

#include <algorithm>
#include <map>

#include "interop/exchange_id.h"
#include "store/registry_paths.h"
#include "sync/server_event.h"

namespace {

// The title's limit where the store reads it back.
constexpr std::size_t kMaxTitleBytes = 60;

class Apply {
public:
    Apply(SyncOutcome& o, const SyncSnapshot& s, EventStore& store, Registry& registry,
          const Clock& clock, std::string_view exchangeId)
        : out_(o), snap_(s), store_(store), registry_(registry), clock_(clock), exchangeId_(exchangeId) {
        for (const LocalCopy& e : snap_.events) byId_[e.id] = &e;
    }

    SyncResult Run() {
        result_.end = out_.end;
        result_.problem = out_.problem;
        result_.sent = out_.sentCount;
        result_.failed = out_.failed;
        DropSentDeletions();
        for (const SentCopy& s : out_.sent) TakeSent(s);
        for (const std::string& href : out_.gone) TakeGone(href);
        std::vector<FetchedCopy*> fresh;
        for (FetchedCopy& f : out_.fetched) {
            if (f.localId != 0) TakeChanged(f);
            else fresh.push_back(&f);
        }
        TakeNew(fresh);
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
    }

    // The event is no longer known on the server: it is new here again.
    void Forget(std::uint32_t id) {
        const RegKey key = OpenEventKey(registry_, id, RegAccess::Write);
        for (const char* name : {kServerHrefValue, kServerEtagValue, kServerTextValue, kSyncedPrintValue})
            key.DeleteValue(name);
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
        copy->title = (kConflictPrefix + copy->title).substr(0, kMaxTitleBytes);
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
        if (!UnchangedHere(snap, *local) && !KeepAsConflict(*local)) {
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
        for (Candidate& c : candidates) {
            if (!store_.CanAddEvent()) {
                ++result_.leftOut;
                continue;
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

    SyncOutcome& out_;
    const SyncSnapshot& snap_;
    EventStore& store_;
    Registry& registry_;
    const Clock& clock_;
    std::string_view exchangeId_;
    std::map<std::uint32_t, const LocalCopy*> byId_;
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
