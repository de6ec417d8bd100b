#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/schedule_item.h"
#include "platform/registry.h"

// The random part of the UIDs of this installation's events, kept as the
// per-user value "ExchangeId" (16 hex digits). fresh is used, and stored,
// only when no valid value is there yet.
std::string LoadExchangeId(Registry& registry, std::uint64_t fresh);

// The UID an event goes out with: the one it came in with, else one made of
// its id and the installation's part.
std::string EventUid(const ScheduleItem& item, std::string_view exchangeId);

// The form a UID is stored and compared in: as it is when the store can
// keep it (printable ASCII, at most 255 bytes), else "~" and a digest.
std::string UidKey(std::string_view uid);
