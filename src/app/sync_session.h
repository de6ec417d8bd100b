#pragma once
#include <memory>
#include <string>

#include "core/clock.h"
#include "platform/caldav_transport.h"
#include "platform/credential_store.h"
#include "platform/registry.h"
#include "store/event_store.h"
#include "sync/sync_exchange.h"
#include "sync/sync_snapshot.h"
#include "sync/sync_status.h"

// The steps of one sync as the program runs them: the frame spreads them
// over its thread and a worker; /sync without windows runs them in a row.

// The collection set up in the registry, with the password kept for it;
// null, with the reason in `refusal`, when sync cannot run.
std::unique_ptr<CalDavTransport> OpenSyncTransport(Registry& registry, const CredentialStore& credentials,
                                                   SyncEnd& refusal);
// The collection at url for user: what the Sync page shows, before it is stored.
std::unique_ptr<CalDavTransport> OpenSyncTransport(const std::string& url, const std::string& user,
                                                   const std::string& password, SyncEnd& refusal);

// Window thread, before the exchange.
SyncSnapshot TakeCalendarSnapshot(EventStore& store, Registry& registry, const Clock& clock);
// Window thread, after it: the outcome taken in.
SyncResult ApplyCalendarOutcome(SyncOutcome& outcome, const SyncSnapshot& snapshot, EventStore& store,
                                Registry& registry, const Clock& clock);

// The status line for a result reached at `now`.
std::string SyncStatusLine(const SyncResult& result, Instant now);

// All of it on this thread.
SyncResult SyncHere(EventStore& store, Registry& registry, const CredentialStore& credentials, const Clock& clock);
