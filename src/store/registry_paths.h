#pragma once
#include <string>
#include <string_view>

#include "platform/registry.h"

// Where everything lives below the current user's hive.
constexpr std::string_view kRootKeyPath = "SOFTWARE\\OrvCalendar";
constexpr std::string_view kUserKeyPath = "SOFTWARE\\OrvCalendar\\User";
// The only user id there is.
constexpr std::string_view kUserId = "Default_Id";
// Key names ignore case: this is the "sc" subkey of the per-user key.
constexpr std::string_view kEventsKeyPath = "SOFTWARE\\OrvCalendar\\user\\Default_Id\\sc";

// In the per-user key: the instant of the last start, unsigned seconds.
constexpr std::string_view kLastRunValue = "LastRun";

// The per-user key, created when absent: the user key, then the id below it.
RegKey OpenUserKey(Registry& registry, RegAccess access);
