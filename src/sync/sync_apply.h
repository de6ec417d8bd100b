#pragma once
#include <string_view>

#include "core/clock.h"
#include "platform/registry.h"
#include "store/event_store.h"
#include "sync/sync_exchange.h"
#include "sync/sync_snapshot.h"
#include "sync/sync_status.h"

// The title a local version kept beside the server's gets.
constexpr char kConflictPrefix[] = "(conflict) ";

// Window thread: takes the outcome into the store, and notes in each
// event's key what its server copy now is. An event changed here while the
// exchange ran keeps that change and is sent next time. Each step leaves
// the registry so that a sync stopped after it loses nothing and doubles
// nothing.
SyncResult ApplySyncOutcome(SyncOutcome& outcome, const SyncSnapshot& snapshot, EventStore& store,
                            Registry& registry, const Clock& clock,
                            std::string_view exchangeId);
