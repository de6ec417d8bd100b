#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/caldav_transport.h"
#include "store/server_copy.h"
#include "sync/event_print.h"
#include "sync/sync_snapshot.h"
#include "sync/sync_status.h"

// A server copy fetched for the calendar to take in.
struct FetchedCopy {
    std::string href;
    std::string etag;
    std::string text;
    std::uint32_t localId = 0;  // the event it is the copy of; 0 when new here
    // The server would not take the change made here: its version replaces
    // the local one, which is not kept beside it.
    bool serverWins = false;
};

// An event put on the server.
struct SentCopy {
    std::uint32_t id = 0;
    ServerCopy server;  // its ETag is empty when the server did not tell it
    EventPrint print;   // the event as sent
    std::string text;   // what was sent, kept when the event keeps the server's text
    bool keptText = false;
};

// What the exchange with the server came to; the store takes it in with
// ApplySyncOutcome.
struct SyncOutcome {
    SyncEnd end = SyncEnd::Done;
    DavProblem problem = DavProblem::None;  // why the server was unreachable
    std::vector<FetchedCopy> fetched;
    std::vector<std::string> gone;     // hrefs of events here that the server no longer has
    std::vector<SentCopy> sent;
    std::vector<std::string> deleted;  // pending deletions the server no longer holds
    std::string token;
    bool tokenValid = false;  // everything up to the token was listed and fetched
    int sentCount = 0;
    int failed = 0;
    std::vector<RefusedEvent> refused;   // of failed, those the server refused
    std::vector<std::string> readOnly;  // titles of changes the server would not take
    DavAnswer answer;                   // when problem is Answered
};

// Limits on what a server's answers may make of one sync.
constexpr std::size_t kMaxListedResources = 4000;
constexpr std::size_t kMaxFetchedBytes = 64u << 20;
constexpr std::size_t kFetchBatch = 50;
constexpr int kMaxSyncRounds = 20;

// Servers write one path in more than one way ("@" or "%40"): hrefs are
// compared in this form, with the escapes of characters a path may hold as
// they are undone and the others' hex digits in capitals.
std::string CanonicalHref(std::string_view href);

// Worker thread: only the transport and the snapshot, never the store.
// Stops at the first request that finds the server unreachable or the
// credentials refused; what was done until then is in the outcome.
SyncOutcome RunSyncExchange(const SyncSnapshot& snapshot, CalDavTransport& transport);
