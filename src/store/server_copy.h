#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

// Values an event's key holds once the event has a copy on a sync server;
// older versions of the program ignore them.
constexpr char kServerHrefValue[] = "href";          // REG_SZ: the copy's path on the server
constexpr char kServerEtagValue[] = "etag";          // REG_SZ: its ETag, quotes kept
constexpr char kServerTextValue[] = "servertext";    // REG_BINARY: the server's UTF-8 text, kept
                                                     // when the event cannot hold it exactly
constexpr char kSyncedPrintValue[] = "syncprint";    // REG_BINARY: the event's fingerprint as last synced
// An occurrence the server's series changed, shown as an event of its own:
// REG_SZ, the href of the series' copy. It is never sent; it is made again
// from the series' text whenever the two differ, and goes with the series.
constexpr char kSeriesHrefValue[] = "serieshref";

// In the per-user key: copies deleted here that the server still has.
// Entries of href, a zero byte, ETag, a zero byte.
constexpr char kSyncDeletedValue[] = "SyncDeleted";

// What is believed of a server's names; longer ones are not ours.
constexpr std::size_t kMaxHrefLength = 1024;
constexpr std::size_t kMaxEtagLength = 256;
constexpr std::size_t kMaxServerTextBytes = 256u << 10;
// More deletions than the calendar holds events, twice over; the oldest go first.
constexpr std::size_t kMaxPendingDeletions = 722;

struct ServerCopy {
    std::string href;
    std::string etag;
    bool operator==(const ServerCopy&) const = default;
};

// Believes only a path and an ETag within their limits and free of control characters.
bool IsStorableHref(std::string_view href);
bool IsStorableEtag(std::string_view etag);

// The event key's copy; empty href when it has none or what is stored is not believable.
ServerCopy ReadServerCopy(const RegKey& eventKey);
bool WriteServerCopy(const RegKey& eventKey, const ServerCopy& copy);

std::string EncodePendingDeletions(const std::vector<ServerCopy>& list);
// Complete entries that pass the limits, at most kMaxPendingDeletions.
std::vector<ServerCopy> DecodePendingDeletions(std::string_view bytes);
std::vector<ServerCopy> LoadPendingDeletions(Registry& registry);
// Deletes the value when the list is empty.
bool SavePendingDeletions(Registry& registry, const std::vector<ServerCopy>& list);

// Called before an event's key is deleted: its server copy, when it has
// one, joins the deletions to send. False when the list could not be written.
bool RememberDeletion(Registry& registry, const RegKey& eventKey);
