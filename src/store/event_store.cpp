#include "store/event_store.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "store/registry_paths.h"
#include "store/server_copy.h"
#include "platform/text_codec.h"
#include "store/text_trim.h"

namespace {

// Read limits of the stored fields, terminator included.
constexpr std::size_t kTitleBuffer = 61;
constexpr std::size_t kNoteBuffer = 256;
constexpr std::size_t kPathBuffer = 260;
// How much of an overlong title is read to be cut: beyond it, the value is
// no title but damage.
constexpr std::uint32_t kLongestTitleRead = 64 * 1024;
// Every name a key can have: a longer one than an id needs must not end the
// enumeration and hide the events after it.
constexpr std::size_t kMaxKeyNameLength = 255;

std::string KeyName(std::uint32_t id) { return std::to_string(id); }

const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

void CopyActions(const ScheduleItem& from, ScheduleItem& to) {
    to.actions = from.actions;
    to.remindMinutes = from.remindMinutes;
    to.soundfile = from.soundfile;
    to.launchfile = from.launchfile;
    to.filesChosen = from.filesChosen;
}

// A title longer than the store keeps (a restored export, another tool, a
// later version) is cut as the editor would have cut it, not taken for damage.
std::string ReadTitle(const RegKey& key) {
    std::string text;
    if (!key.ReadString("title", kTitleBuffer, text)) {
        std::uint32_t size = 0;
        if (!key.ValueSize("title", size) || size > kLongestTitleRead) return {};
        if (!key.ReadString("title", std::size_t{size} + 1, text)) return {};
    }
    return TrimSpace(CutUtf8(text, kTitleBuffer - 1));
}

enum class Verdict { Good, Damaged, Expired, Discarded, Unopened };

// deleteBefore: an event that ended before it is deleted. An event after
// the window stays: it shows when the window reaches it, and a clock set back
// must not delete it.
Verdict ReadEvent(const RegKey& key, const std::string& name, std::optional<Instant> deleteBefore,
                  ScheduleItem& item) {
    std::string bytes;
    if (!key.ReadBinary("front", ScheduleFront::kSize, bytes) || bytes.empty()) return Verdict::Damaged;
    item.front = ScheduleFront::Decode(Bytes(bytes), bytes.size());
    const ScheduleFront& f = item.front;
    // Saving and deleting find the key by the id: under any other name the
    // event could neither be replaced nor deleted for good.
    if (name != KeyName(f.id)) return Verdict::Damaged;
    if (deleteBefore && !IsEndless(f) && f.endDate < *deleteBefore) return Verdict::Expired;
    if (f.linkKind == 1) return Verdict::Discarded;
    if (!key.ReadBinary("priv", ActionsBlock::kSize, bytes) || bytes.empty()) return Verdict::Damaged;
    item.SetActions(ActionsBlock::Decode(Bytes(bytes), bytes.size()));
    item.title = ReadTitle(key);
    if (item.title.empty()) return Verdict::Damaged;
    return Verdict::Good;
}

// What no paint shows and no check of a damaged key needs.
void ReadEventRest(const RegKey& key, ScheduleItem& item) {
    std::string text;
    if (key.ReadString("note", kNoteBuffer, text)) item.note = TrimSpace(text);
    key.ReadString("soundfile", kPathBuffer, item.soundfile);
    key.ReadString("launchfile", kPathBuffer, item.launchfile);
    // Older data has no "uid"; the event then has none.
    key.ReadString("uid", kMaxUidLength + 1, item.uid);
    // Older data has none: its files count as not chosen.
    std::uint32_t chosen = 0;
    item.filesChosen = key.ReadDword("fileschosen", chosen) && chosen == 1;
}

}  // namespace

EventStore::EventStore(Registry& registry, const Clock& clock, ReminderSchedule& schedule, ScheduleNotifier& notifier)
    : registry_(registry), clock_(clock), schedule_(schedule), notifier_(notifier) {}

ScheduleItem* EventStore::Insert(std::unique_ptr<ScheduleItem> item) {
    const std::int32_t t = item->front.startTime;
    auto at = std::find_if(events_.begin(), events_.end(),
                           [t](const std::unique_ptr<ScheduleItem>& e) { return e->front.startTime > t; });
    return events_.insert(at, std::move(item))->get();
}

bool EventStore::LoadEvents() {
    const bool ok = BeginLoad();
    FinishLoad();
    return ok;
}

struct EventStore::PendingLoad {
    struct Slot {
        std::string name;
        RegKey key;
        std::unique_ptr<ScheduleItem> item;
        Verdict verdict = Verdict::Unopened;
    };
    RegKey events;
    std::optional<Instant> deleteBefore;
    std::vector<Slot> slots;
};

EventStore::~EventStore() = default;

void EventStore::StartLoad() {
    if (pending_) return;
    finished_ = false;
    unread_.clear();
    pending_ = std::make_unique<PendingLoad>();
    PendingLoad& load = *pending_;
    // All of it is reading, on the helper when there is one: a start that
    // fails before BeginLoad has written nothing.
    const auto list = [this, &load] {
        const std::optional<Instant> pruneAt = PruneInstant();
        load.events = RegKey::Create(registry_, kEventsKeyPath, RegAccess::Read);
        if (!load.events) return std::size_t{0};
        if (pruneAt) {
            Instant windowStart = 0;
            Instant windowEnd = 0;
            GetRollingWindow(FixedClock(*pruneAt), windowStart, windowEnd);
            load.deleteBefore = windowStart;
        }
        std::string name;
        for (std::uint32_t index = 0; load.events.EnumSubkey(index, kMaxKeyNameLength, name); ++index) {
            load.slots.push_back(PendingLoad::Slot{name, {}, nullptr});
        }
        return load.slots.size();
    };
    const auto read = [&load](std::size_t i) {
        PendingLoad::Slot& slot = load.slots[i];
        slot.key = RegKey::Open(load.events, slot.name, RegAccess::Read);
        if (!slot.key) return;
        // Every fixed field starts at zero, not at a new event's defaults.
        slot.item = std::make_unique<ScheduleItem>();
        slot.item->front = ScheduleFront::Decode(nullptr, 0);
        slot.item->SetActions(ActionsBlock::Decode(nullptr, 0));
        slot.verdict = ReadEvent(slot.key, slot.name, load.deleteBefore, *slot.item);
    };
    if (!reads_) {
        const unsigned threads = registry_.ReadThreads();
        reads_ = std::make_unique<ParallelReads>(threads > 1 ? threads - 1 : 0,
                                                 [this] { registry_.StartReadThread(); });
    }
    reads_->Start(list, read);
}

bool EventStore::BeginLoad() {
    StartLoad();
    const std::unique_ptr<PendingLoad> load = std::move(pending_);
    reads_->Finish();
    const Instant now = clock_.Now();
    if (now >= 0 && now <= UINT32_MAX)
        OpenUserKey(registry_, RegAccess::Write).WriteDword(kLastRunValue, static_cast<std::uint32_t>(now));
    bool ok = true;
    std::vector<std::string> doomed;
    for (PendingLoad::Slot& slot : load->slots) {
        if (slot.verdict == Verdict::Good) {
            unread_.emplace_back(Insert(std::move(slot.item)), std::move(slot.key));
            continue;
        }
        slot.key.Close();
        if (slot.verdict == Verdict::Damaged || slot.verdict == Verdict::Unopened) ok = false;
        if (slot.verdict != Verdict::Unopened) doomed.push_back(slot.name);
    }
    // Deleting while enumerating would shift the indexes.
    for (const std::string& n : doomed) load->events.DeleteSubkey(n);
    loaded_ = true;
    AdmitAgedExclusions();
    return ok;
}

std::optional<Instant> EventStore::PruneInstant() const {
    std::uint32_t lastRun = 0;
    if (!OpenUserKey(registry_, RegAccess::Read).ReadDword(kLastRunValue, lastRun)) return std::nullopt;
    if (clock_.Now() < static_cast<Instant>(lastRun)) return std::nullopt;
    return static_cast<Instant>(lastRun);
}

void EventStore::FinishLoad() {
    if (!loaded_ || finished_) return;
    finished_ = true;
    // On the first half's helpers, which then wait for the next load: under
    // Wine a thread's end costs more memory than its idle life.
    reads_->Start([this] { return unread_.size(); },
                  [this](std::size_t i) {
                      ReadEventRest(unread_[i].second, *unread_[i].first);
                      unread_[i].second.Close();
                  });
    reads_->Finish();
    unread_.clear();
    schedule_.StartSchedule();
}

bool EventStore::WriteEvent(const ScheduleItem& item, bool structural, bool actionsChanged, bool replacing) {
    const RegKey sc = RegKey::Create(registry_, kEventsKeyPath, RegAccess::Write);
    const std::string name = KeyName(item.front.id);
    RegKey key = RegKey::Create(sc, name, RegAccess::Write);
    if (!key) return false;
    // An empty "front" marks the key unfinished until the real one, written
    // last, completes it: a key that a failing registry leaves half-written
    // (its deletion failing too) loads as damaged, never as a mixture of two
    // versions. Unmarked, a stored event is still whole and stays.
    const ScheduleFront::Bytes front = item.front.Encode();
    if (!key.WriteBinary("front", front.data(), 0)) {
        key.Close();
        if (!replacing) sc.DeleteSubkey(name);
        return false;
    }
    bool ok = true;
    if (actionsChanged) {
        const ActionsBlock::Bytes priv = item.Actions().Encode();
        ok = key.WriteBinary("priv", priv.data(), priv.size()) && key.WriteString("soundfile", item.soundfile) &&
             key.WriteString("launchfile", item.launchfile) &&
             key.WriteDword("fileschosen", item.filesChosen ? 1 : 0);
    }
    if (ok && structural) {
        ok = key.WriteString("title", item.title) && key.WriteString("note", item.note);
        // Written only when there is one, so the program's own events keep
        // the layout they always had.
        if (ok && !item.uid.empty() && item.uid.size() <= kMaxUidLength) ok = key.WriteString("uid", item.uid);
    }
    ok = ok && key.WriteBinary("front", front.data(), front.size());
    key.Close();
    // A half-written event must not come back at the next load.
    if (!ok) sc.DeleteSubkey(name);
    return ok;
}

bool EventStore::SaveEvent(std::unique_ptr<ScheduleItem>& item, bool structural, bool actionsChanged) {
    if (!item) return false;
    FinishLoad();
    const std::uint32_t id = item->front.id;
    auto found = std::find_if(events_.begin(), events_.end(),
                              [id](const std::unique_ptr<ScheduleItem>& e) { return e->front.id == id; });
    ScheduleItem* saved = nullptr;
    // The replaced event lives until the calendar has been told: a reminder
    // check below may run a message loop (opening a file can), and the
    // calendar's month still points at the old event until it rebuilds.
    std::unique_ptr<ScheduleItem> replaced;
    if (found != events_.end()) {
        schedule_.DropPending(**found);
        if (structural) {
            if (!actionsChanged) CopyActions(**found, *item);
            replaced = std::move(*found);
            events_.erase(found);
            saved = Insert(std::move(item));
        } else {
            CopyActions(*item, **found);
            saved = found->get();
        }
    } else {
        if (!structural) return false;
        // Entries left behind by an earlier event of this id (one whose
        // deletion could not rewrite them) must not exclude the new one.
        RemoveExclusions(item->front.id);
        saved = Insert(std::move(item));
    }
    schedule_.RescheduleEvent(*saved);
    const bool ok = WriteEvent(*saved, structural, actionsChanged, replaced != nullptr || !structural);
    notifier_.CalendarChanged();
    return ok;
}

bool EventStore::DeleteEvent(std::uint32_t id, std::uint32_t parentId, bool notifyCalendar) {
    FinishLoad();
    const RegKey sc = RegKey::Create(registry_, kEventsKeyPath, RegAccess::Write);
    bool deleted = false;
    bool written = true;
    for (auto it = events_.begin(); it != events_.end();) {
        const ScheduleFront& f = (*it)->front;
        const bool match = f.id == id || (parentId != 0 && f.parentId == parentId && f.linkKind == 1);
        if (!match) {
            ++it;
            continue;
        }
        const std::unique_ptr<ScheduleItem> gone = std::move(*it);
        it = events_.erase(it);
        schedule_.DropPending(*gone);
        schedule_.ForgetFired(gone->front.id);
        // A copy on a sync server is deleted there at the next sync; the
        // key goes even when that cannot be noted (the server's copy then
        // comes back, which loses nothing).
        if (const RegKey key = RegKey::Open(sc, KeyName(gone->front.id), RegAccess::Read))
            RememberDeletion(registry_, key);
        // Its exclusions go with its key: one that cannot be deleted brings
        // the event back whole at the next start.
        if (sc.DeleteSubkey(KeyName(gone->front.id))) RemoveExclusions(gone->front.id);
        else written = false;
        deleted = true;
        if (parentId == 0) break;
    }
    if (!deleted) return true;
    if (notifyCalendar) notifier_.CalendarChanged();
    notifier_.UpcomingEventsDeleted();
    return written;
}

std::uint32_t EventStore::NextEventId() const {
    std::uint32_t largest = 0;
    for (const auto& e : events_) largest = std::max(largest, e->front.id);
    if (largest != UINT32_MAX) return largest + 1;
    // A stored id at the top of the range would wrap to 0 and then to an id
    // in use; take the lowest free one instead.
    std::vector<std::uint32_t> ids;
    for (const auto& e : events_) ids.push_back(e->front.id);
    std::sort(ids.begin(), ids.end());
    std::uint32_t candidate = 1;
    for (std::uint32_t used : ids) {
        if (used == candidate) ++candidate;
        else if (used > candidate) break;
    }
    return candidate;
}

bool EventStore::CanAddEvent() const { return events_.size() < kMaxEvents; }

ScheduleItem* EventStore::FindEvent(std::uint32_t id) {
    FinishLoad();
    for (const auto& e : events_)
        if (e->front.id == id) return e.get();
    return nullptr;
}
