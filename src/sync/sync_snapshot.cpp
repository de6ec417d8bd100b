#include "sync/sync_snapshot.h"

#include <algorithm>
#include <cstdio>

#include "core/calendar.h"
#include "core/little_endian.h"
#include "core/occurrence.h"
#include "interop/exchange_id.h"
#include "interop/ical_export.h"
#include "store/registry_paths.h"
#include "sync/kept_text_merge.h"
#include "sync/server_event.h"

namespace {

bool PlainName(std::string_view uid) {
    return !uid.empty() && uid.size() <= 200 && uid.front() != '.' &&
           std::all_of(uid.begin(), uid.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                      c == '_' || c == '.' || c == '@';
           });
}

std::string ExportOne(const ScheduleItem& item, const std::vector<DateKey>& excluded,
                      std::string_view exchangeId, Instant now) {
    EventList one;
    one.push_back(std::make_unique<ScheduleItem>(item));
    std::vector<Exclusion> exclusions;
    for (DateKey d : excluded) exclusions.push_back({d, item.front.id});
    ExportResult r = ExportEvents(one, exclusions, exchangeId, now);
    return r.exported == 1 ? std::move(r.text) : std::string();
}

std::string ReadKeptText(const RegKey& key) {
    std::string text;
    if (!key.ReadBinary(kServerTextValue, kMaxServerTextBytes, text)) text.clear();
    return text;
}

}  // namespace

std::string ResourceName(std::string_view uid) {
    if (PlainName(uid)) return std::string(uid) + ".ics";
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (char c : uid) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    char name[24];
    std::snprintf(name, sizeof name, "%016llx.ics", static_cast<unsigned long long>(hash));
    return name;
}

std::string LoadSyncToken(Registry& registry, Instant windowStart) {
    std::string bytes;
    if (!OpenUserKey(registry, RegAccess::Read).ReadBinary(kSyncTokenValue, 4 + kMaxSyncTokenLength, bytes) ||
        bytes.size() <= 4)
        return {};
    if (GetLe32(reinterpret_cast<const std::uint8_t*>(bytes.data())) != static_cast<std::uint32_t>(windowStart))
        return {};
    std::string token = bytes.substr(4);
    const bool printable = std::all_of(token.begin(), token.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u != 0x7F;
    });
    return printable ? token : std::string();
}

bool SaveSyncToken(Registry& registry, Instant windowStart, const std::string& token) {
    const RegKey key = OpenUserKey(registry, RegAccess::Write);
    if (!key) return false;
    if (token.empty() || token.size() > kMaxSyncTokenLength) {
        key.DeleteValue(kSyncTokenValue);
        return token.empty();
    }
    std::string bytes;
    AppendLe32(bytes, static_cast<std::uint32_t>(windowStart));
    bytes += token;
    return key.WriteBinary(kSyncTokenValue, bytes.data(), bytes.size());
}

RegKey OpenEventKey(Registry& registry, std::uint32_t id, RegAccess access) {
    const RegKey sc = RegKey::Open(registry, kEventsKeyPath, access);
    return RegKey::Open(sc, std::to_string(id), access);
}

std::vector<DateKey> ExcludedDates(const EventStore& store, std::uint32_t id) {
    std::vector<DateKey> dates;
    for (const Exclusion& e : store.Exclusions())
        if (e.eventId == id) dates.push_back(e.date);
    return dates;
}

SyncSnapshot TakeSyncSnapshot(EventStore& store, Registry& registry, const Clock& clock,
                              std::string_view exchangeId) {
    store.FinishLoad();  // the UIDs are read in the second half
    SyncSnapshot s;
    GetRollingWindow(clock, s.windowStart, s.windowEnd);
    s.token = LoadSyncToken(registry, s.windowStart);
    s.deletions = LoadPendingDeletions(registry);
    for (const auto& event : store.Events()) {
        LocalCopy c;
        c.id = event->front.id;
        c.title = event->title;
        c.resourceName = ResourceName(EventUid(*event, exchangeId));
        const std::vector<DateKey> excluded = ExcludedDates(store, c.id);
        c.print = PrintOf(*event, excluded);
        c.inWindow = FindOccurrence(*event, s.windowStart, s.windowEnd - 1, nullptr);
        std::string kept;
        std::string series;
        if (const RegKey key = OpenEventKey(registry, c.id, RegAccess::Read)) {
            c.server = ReadServerCopy(key);
            if (c.server.href.empty() &&
                (!key.ReadString(kSeriesHrefValue, kMaxHrefLength + 1, series) || !IsStorableHref(series)))
                series.clear();
            c.hasSynced = ReadSyncedPrint(key, c.synced);
            if (!c.server.href.empty()) kept = ReadKeptText(key);
        }
        if (!series.empty()) {
            s.parts.push_back({c.id, std::move(series)});
            continue;
        }
        c.keptText = !kept.empty();
        // An unchanged event is sent too when the collection is another one.
        if (!c.Changed() && c.keptText) {
            c.text = std::move(kept);
        } else {
            c.text = ExportOne(*event, excluded, exchangeId, clock.Now());
            if (c.keptText && !c.text.empty()) {
                // The kept text as the calendar read it: what the edit started from.
                const ServerEvent read = MapServerText(kept, clock.Now(), s.windowStart, s.windowEnd);
                const LocalEdit edit{Compare(c.synced, c.print), event.get(), read.item.get(), excluded};
                c.text = MergeIntoKeptText(kept, c.text, edit);
            }
        }
        s.events.push_back(std::move(c));
    }
    return s;
}
