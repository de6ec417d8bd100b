#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

// Where and how often to sync, beside the other preferences in the
// per-user key. The password is not here: it is kept by a CredentialStore
// under kSyncCredentialTarget.
struct SyncSettings {
    std::string SyncUrl;   // the calendar collection's address
    std::string SyncUser;
    std::uint32_t SyncMinutes = 15;  // 0: only by hand
};

constexpr std::uint32_t kDefaultSyncMinutes = 15;
// A day: a larger interval is read as this one.
constexpr std::uint32_t kMaxSyncMinutes = 1440;
constexpr std::size_t kMaxSyncUrlLength = 2048;
constexpr std::size_t kMaxSyncUserLength = 256;

// An address a request can go to (the transport's own rule), no longer than is stored.
bool IsSyncUrl(std::string_view url);
// Sync is set up when the address is one.
bool IsSyncSetUp(const SyncSettings& settings);

// Defaults for whatever is missing or not believable.
SyncSettings LoadSyncSettings(Registry& registry);
// False when a value could not be written.
bool SaveSyncSettings(Registry& registry, const SyncSettings& settings);
