// "EventExcluded" of any type and length beside a few stored events: the
// settings load prunes and converts it, the events load after it, then the
// user toggles and deletes. Memory and registry must agree after each step.
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/memory/fixed_desktop.h"
#include "store/registry_paths.h"
#include "store/settings.h"
#include "support/local_midnight.h"

namespace {

std::uint32_t GetU32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// The first day of the month five months before now: the first the calendar shows.
DateKey Threshold(Instant now) {
    LocalFields f;
    if (!BreakDownLocal(now, f)) return 0;
    int month = f.month - 5;
    int year = f.year;
    if (month < 1) {
        month += 12;
        --year;
    }
    return MakeDateKey(year, month, 1);
}

std::string StoredExclusions(MemoryRegistry& registry) {
    RegType type{};
    std::string bytes;
    if (!registry.Peek(std::string(kUserKeyPath) + "\\" + std::string(kUserId), "EventExcluded", type, bytes)) return {};
    return bytes;
}

// A daily event without end that began in the month before now, good at any load.
void PutEvent(Registry& registry, std::uint32_t id, std::uint8_t kind, Instant now) {
    ScheduleItem item;
    item.front.id = id;
    item.front.recurKind = kind;
    item.front.recurFlags = 1;
    item.front.startDate = static_cast<std::int32_t>(LocalMidnight(now - 20 * kSecondsPerDay));
    item.front.endDate = static_cast<std::int32_t>(EndOfDay(item.front.startDate));
    item.front.startTime = 9 * 3600;
    item.title = "Event";
    const RegKey key = RegKey::Create(registry, std::string(kEventsKeyPath) + "\\" + std::to_string(id), RegAccess::All);
    const auto front = item.front.Encode();
    const auto priv = item.Actions().Encode();
    key.WriteBinary("front", front.data(), front.size());
    key.WriteBinary("priv", priv.data(), priv.size());
    key.WriteString("title", item.title);
}

bool Load(StoreRig& rig, MemoryRegistry& registry) {
    const FixedDesktop desktop({0, 0, 1024, 768});
    const bool ok = LoadSettings(registry, desktop, "", rig.store, rig.prefs);
    rig.store.LoadEvents();
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    SelectZone(in.Byte());
    const Instant now = SelectNow(in.Byte());
    MemoryRegistry registry;
    const std::optional<FuzzValue> stored = in.Value();
    if (stored) Plant(registry, std::string(kUserKeyPath) + "\\" + std::string(kUserId), "EventExcluded", *stored);
    std::vector<std::uint32_t> planted;
    const int count = in.Byte() % 4;
    for (int i = 0; i < count; ++i) {
        // Ids near those of the entries, so that toggles meet stored entries.
        const std::uint32_t id = in.Byte() % 8 + 1;
        const std::uint8_t kind = in.Byte() % 2 == 0 ? kKindNone : kKindDaily;
        PutEvent(registry, id, kind, now);
        planted.push_back(id);
    }

    PlantLastRun(registry, now);
    StoreRig rig(registry, now);
    ORV_FUZZ_CHECK(Load(rig, registry));
    // Exactly the whole entries from the first month the calendar shows (five back) on, in stored order.
    std::vector<Exclusion> expected;
    if (stored) {
        std::string bytes = stored->bytes;
        if (stored->type == RegType::Sz && !bytes.empty() && bytes.back() != '\0') bytes.push_back('\0');
        for (std::size_t at = 0; at + 8 <= bytes.size(); at += 8) {
            const Exclusion e{GetU32(bytes, at), GetU32(bytes, at + 4)};
            if (e.date >= Threshold(now)) expected.push_back(e);
        }
    }
    ORV_FUZZ_CHECK(rig.store.Exclusions() == expected);
    // Written at exit, read back the same.
    SaveSettings(registry, kExitGroup, rig.prefs, rig.store);
    {
        StoreRig again(registry, now);
        ORV_FUZZ_CHECK(Load(again, registry));
        ORV_FUZZ_CHECK(again.store.Exclusions() == rig.store.Exclusions());
    }

    // A new event starts with no occurrence excluded, whatever entries of
    // its id were stored.
    {
        auto fresh = std::make_unique<ScheduleItem>();
        const std::uint32_t id = rig.store.NextEventId();
        fresh->front.id = id;
        fresh->front.recurKind = kKindDaily;
        fresh->front.recurFlags = 1;
        fresh->front.startDate = static_cast<std::int32_t>(LocalMidnight(now));
        fresh->front.endDate = static_cast<std::int32_t>(EndOfDay(now));
        fresh->title = "New";
        ORV_FUZZ_CHECK(rig.store.SaveEvent(fresh, true, true));
        for (const Exclusion& e : rig.store.Exclusions()) ORV_FUZZ_CHECK(e.eventId != id);
        ORV_FUZZ_CHECK(StoredExclusions(registry) == rig.store.SaveExclusions());
        planted.push_back(id);
    }

    // Each toggle turns the date's state over and is kept at once.
    for (int step = 0; step < 24 && !in.AtEnd() && rig.store.Count() != 0; ++step) {
        const std::uint8_t op = in.Byte();
        const std::uint32_t id = planted[op % planted.size()];
        ScheduleItem* item = rig.store.FindEvent(id);
        if (item == nullptr) continue;
        const std::uint8_t kind = item->front.recurKind;
        if (op & 0x80) {
            rig.store.DeleteEvent(id, 0, true);
            for (const Exclusion& e : rig.store.Exclusions()) ORV_FUZZ_CHECK(e.eventId != id);
        } else {
            LocalFields f;
            BreakDownLocal(now + (in.Byte() % 64 - 8) * kSecondsPerDay, f);
            const DateKey key = MakeDateKey(f.year, f.month, f.day);
            const bool before = rig.store.IsExcluded(id, key, kind);
            rig.store.ToggleExclusion(id, f.year, f.month, f.day, kind);
            ORV_FUZZ_CHECK(rig.store.IsExcluded(id, key, kind) != before);
        }
        ORV_FUZZ_CHECK(StoredExclusions(registry) == rig.store.SaveExclusions());
    }
    ORV_FUZZ_CHECK(registry.OpenHandleCount() == 0);
    return 0;
}
