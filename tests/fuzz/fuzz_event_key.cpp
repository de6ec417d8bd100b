// Event keys as anything may have left them: up to four keys under "sc" with
// any name and any "front", "priv", "title", "note", "soundfile",
// "launchfile" and "fileschosen" (any type, any length, with or without a terminator). The real
// load runs, then what a user does next: restart, save every event back,
// delete them all. Each step must leave the registry and memory agreeing.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "fuzz_support.h"
#include "store/registry_paths.h"
#include "store/text_trim.h"

namespace {

const char* const kValueNames[] = {"front", "priv", "title", "note", "soundfile", "launchfile", "fileschosen"};

std::string KeyNameFrom(const std::optional<FuzzValue>& value, int index) {
    std::string name = value ? value->bytes : std::to_string(index + 1);
    // What a Win32 key name can be: text up to its zero, no backslash, at most 255 characters.
    name = name.substr(0, std::min<std::size_t>(name.find('\0'), 255));
    std::replace(name.begin(), name.end(), '\\', '/');
    return name.empty() ? std::to_string(index + 1) : name;
}

bool Trimmed(const std::string& s) {
    return s.empty() || (!IsTrimSpace(s.front()) && !IsTrimSpace(s.back()));
}

bool SameItem(const ScheduleItem& a, const ScheduleItem& b) {
    return a.front == b.front && a.actions == b.actions && a.remindMinutes == b.remindMinutes && a.title == b.title &&
           a.note == b.note && a.soundfile == b.soundfile && a.launchfile == b.launchfile &&
           a.filesChosen == b.filesChosen;
}

std::vector<ScheduleItem> Copies(const EventStore& store) {
    std::vector<ScheduleItem> out;
    for (const auto& e : store.Events()) out.push_back(*e);
    return out;
}

std::vector<ScheduleItem> ById(std::vector<ScheduleItem> items) {
    std::sort(items.begin(), items.end(),
              [](const ScheduleItem& a, const ScheduleItem& b) { return a.front.id < b.front.id; });
    return items;
}

bool SameItems(const std::vector<ScheduleItem>& a, const std::vector<ScheduleItem>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameItem);
}

std::vector<std::string> StoredKeys(Registry& registry) {
    std::vector<std::string> names;
    const RegKey sc = RegKey::Open(registry, kEventsKeyPath, RegAccess::Read);
    std::string name;
    for (std::uint32_t i = 0; sc.EnumSubkey(i, 255, name); ++i) names.push_back(name);
    return names;
}

// What a load may hand over, and what it must leave behind in the registry.
void CheckLoaded(StoreRig& rig, Registry& registry) {
    Instant windowStart = 0;
    Instant windowEnd = 0;
    GetRollingWindow(rig.clock, windowStart, windowEnd);
    std::int32_t lastTime = INT32_MIN;
    std::vector<std::uint32_t> ids;
    for (const auto& e : rig.store.Events()) {
        const ScheduleFront& f = e->front;
        ORV_FUZZ_CHECK(!e->title.empty() && Utf16Length(e->title) <= 60 && Trimmed(e->title));
        ORV_FUZZ_CHECK(Utf16Length(e->note) <= 255 && Trimmed(e->note));
        ORV_FUZZ_CHECK(Utf16Length(e->soundfile) <= 259 && Utf16Length(e->launchfile) <= 259);
        for (const std::string* s : {&e->title, &e->note, &e->soundfile, &e->launchfile})
            ORV_FUZZ_CHECK(s->find('\0') == std::string::npos);
        ORV_FUZZ_CHECK(f.linkKind != 1);
        // Old ones go; those after the window stay until it reaches them.
        ORV_FUZZ_CHECK(IsEndless(f) || f.endDate >= windowStart);
        ORV_FUZZ_CHECK(f.startTime >= lastTime);
        lastTime = f.startTime;
        ids.push_back(f.id);
    }
    std::sort(ids.begin(), ids.end());
    ORV_FUZZ_CHECK(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    // Every key left is the key of a loaded event: nothing damaged stays behind
    // to come back, nothing loaded lives under a name its deletion would miss.
    const std::vector<std::string> keys = StoredKeys(registry);
    ORV_FUZZ_CHECK(keys.size() == ids.size());
    for (const std::string& k : keys) {
        const ScheduleItem* e = nullptr;
        for (std::uint32_t id : ids)
            if (std::to_string(id) == k) e = rig.store.FindEvent(id);
        ORV_FUZZ_CHECK(e != nullptr);
    }
    for (const auto& p : rig.scheduler.Pending()) {
        ORV_FUZZ_CHECK(rig.store.FindEvent(p->item->front.id) == p->item);
        ORV_FUZZ_CHECK(p->start >= rig.clock.now && p->remindAt == p->start - p->item->remindMinutes * 60);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    SelectZone(in.Byte());
    const Instant now = SelectNow(in.Byte());
    const int count = in.Byte() % 4 + 1;

    MemoryRegistry registry;
    for (int i = 0; i < count; ++i) {
        const std::string path = std::string(kEventsKeyPath) + "\\" + KeyNameFrom(in.Value(), i);
        RegKey::Create(registry, path, RegAccess::All);
        for (const char* name : kValueNames) {
            if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, path, name, *v);
        }
    }

    PlantLastRun(registry, now);
    std::vector<ScheduleItem> loaded;
    {
        StoreRig rig(registry, now);
        rig.store.LoadEvents();
        CheckLoaded(rig, registry);
        loaded = Copies(rig.store);
    }
    {
        // What is left loads again unchanged and undamaged.
        StoreRig rig(registry, now);
        ORV_FUZZ_CHECK(rig.store.LoadEvents());
        ORV_FUZZ_CHECK(SameItems(Copies(rig.store), loaded));
        // Saved back whole, each event reads back as it was.
        for (const ScheduleItem& e : loaded) {
            auto copy = std::make_unique<ScheduleItem>(e);
            ORV_FUZZ_CHECK(rig.store.SaveEvent(copy, true, true));
        }
    }
    {
        StoreRig rig(registry, now);
        ORV_FUZZ_CHECK(rig.store.LoadEvents());
        CheckLoaded(rig, registry);
        ORV_FUZZ_CHECK(SameItems(ById(Copies(rig.store)), ById(loaded)));
        for (const ScheduleItem& e : loaded) rig.store.DeleteEvent(e.front.id, 0, true);
        ORV_FUZZ_CHECK(rig.store.Count() == 0);
    }
    {
        // Deleted means gone for good.
        StoreRig rig(registry, now);
        rig.store.LoadEvents();
        ORV_FUZZ_CHECK(rig.store.Count() == 0 && StoredKeys(registry).empty());
    }
    ORV_FUZZ_CHECK(registry.OpenHandleCount() == 0);
    return 0;
}
