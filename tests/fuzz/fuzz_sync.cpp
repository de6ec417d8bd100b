// A sync from a registry whose sync values may be anything, with a server
// whose answers may be anything: nothing it takes in may start a program,
// overfill the store or leave an unbelievable value behind.
#include <memory>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "platform/memory/memory_caldav.h"
#include "store/server_copy.h"
#include "sync/sync_apply.h"
#include "sync/sync_exchange.h"
#include "sync/sync_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    SelectZone(in.Byte());
    const Instant now = SelectNow(in.Byte());
    MemoryRegistry registry;
    StoreRig rig(registry, now);
    rig.store.LoadEvents();
    std::set<std::uint32_t> ours;
    const int count = in.Byte() % 3;
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = rig.store.NextEventId();
        item->front.startDate = static_cast<std::uint32_t>(now - now % kSecondsPerDay);
        item->front.endDate = item->front.startDate + kSecondsPerDay - 1;
        item->front.startTime = 9 * 3600;
        item->front.endTime = 10 * 3600;
        item->title = "E";
        ours.insert(item->front.id);
        rig.store.SaveEvent(item, true, true);
    }
    const std::string userKey = std::string(kUserKeyPath) + "\\" + std::string(kUserId);
    for (const char* name : {kSyncTokenValue, kSyncDeletedValue})
        if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, userKey, name, *v);
    if (!ours.empty()) {
        const std::string key = std::string(kEventsKeyPath) + "\\" + std::to_string(*ours.begin());
        for (const char* name : {kServerHrefValue, kServerEtagValue, kServerTextValue, kSyncedPrintValue})
            if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, key, name, *v);
    }

    MemoryCalDav server;
    const int resources = in.Byte() % 4;
    for (int i = 0; i < resources; ++i) {
        const std::size_t length = in.U16() % 4096;
        server.DevicePut(std::string("r").append(std::to_string(i)).append(".ics"), in.Bytes(length));
    }

    const char* exchangeId = "0123456789abcdef";
    SyncSnapshot snap = TakeSyncSnapshot(rig.store, registry, rig.clock, exchangeId);
    ORV_FUZZ_CHECK(snap.deletions.size() <= kMaxPendingDeletions);
    for (const ServerCopy& d : snap.deletions) ORV_FUZZ_CHECK(IsStorableHref(d.href) && IsStorableEtag(d.etag));
    for (const LocalCopy& e : snap.events)
        ORV_FUZZ_CHECK(e.server.href.empty() || (IsStorableHref(e.server.href) && IsStorableEtag(e.server.etag)));
    SyncOutcome outcome = RunSyncExchange(snap, server);
    ApplySyncOutcome(outcome, snap, rig.store, registry, rig.clock, exchangeId);

    ORV_FUZZ_CHECK(rig.store.Count() <= kMaxEvents);
    for (const auto& e : rig.store.Events()) {
        // A server's text never switches on a launch.
        if (ours.count(e->front.id) == 0)
            ORV_FUZZ_CHECK((e->actions & kActionLaunchFile) == 0 || e->launchfile.empty());
    }
    ORV_FUZZ_CHECK(LoadPendingDeletions(registry).size() <= kMaxPendingDeletions);
    ORV_FUZZ_CHECK(registry.OpenHandleCount() == 0);
    return 0;
}
