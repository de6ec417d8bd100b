#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/time_types.h"
#include "platform/registry.h"
#include "store/event_store.h"
#include "store/server_copy.h"
#include "sync/event_print.h"

// One event as the sync sees it.
struct LocalCopy {
    std::uint32_t id = 0;
    std::string title;  // for the status line
    // Where a new one is put, below the collection: made from its UID, so a
    // copy sent by a sync that was stopped before it could note it is
    // found there again.
    std::string resourceName;
    ServerCopy server;  // empty href: not on the server yet
    EventPrint print;   // as it is now
    EventPrint synced;  // as last synced
    bool hasSynced = false;
    bool keptText = false;  // the server's text is kept for it
    // An occurrence within the synced months: a listing of those months
    // that lacks it says it is gone. Of one outside them it says nothing.
    bool inWindow = true;
    // What to send when it changed here or the collection is a new one;
    // empty when it cannot be sent (no occurrence, or kept text that could
    // not be merged into).
    std::string text;

    // New here, or changed here since the last sync.
    bool Changed() const { return server.href.empty() || (hasSynced && !(print == synced)); }
    // On the server, but what was synced is not known (a damaged print):
    // the server's copy is fetched and compared.
    bool Unknown() const { return !server.href.empty() && !hasSynced; }
};

// An event made from an occurrence its series' server copy changed.
struct SeriesPart {
    std::uint32_t id = 0;
    std::string seriesHref;
};

// Everything one sync needs of the calendar, taken on the window thread.
struct SyncSnapshot {
    Instant windowStart = 0;  // the span the calendar holds: [windowStart, windowEnd)
    Instant windowEnd = 0;
    std::string token;  // the last sync-collection token, when made for this window
    std::vector<LocalCopy> events;  // the parts of series are not among them
    std::vector<SeriesPart> parts;
    std::vector<ServerCopy> deletions;  // deleted here, still on the server
};

// The resource name of a UID: the UID itself when it is plain enough for a path.
std::string ResourceName(std::string_view uid);

// In the per-user key, "SyncToken": the window's start (4 bytes,
// little-endian, unsigned seconds), then the token. A token holds only for
// the window it was made for: a window that moved needs a full listing.
constexpr char kSyncTokenValue[] = "SyncToken";
constexpr std::size_t kMaxSyncTokenLength = 2048;
std::string LoadSyncToken(Registry& registry, Instant windowStart);
// An empty token deletes the value.
bool SaveSyncToken(Registry& registry, Instant windowStart, const std::string& token);

// Window thread. Reads what each event's key holds of its server copy, and
// forms the text of each event changed here.
SyncSnapshot TakeSyncSnapshot(EventStore& store, Registry& registry, const Clock& clock,
                              std::string_view exchangeId);

// The event's key below the events key; closed when none.
RegKey OpenEventKey(Registry& registry, std::uint32_t id, RegAccess access);
// The excluded dates of one event.
std::vector<DateKey> ExcludedDates(const EventStore& store, std::uint32_t id);
