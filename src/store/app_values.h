#pragma once
#include <cstdint>
#include <string>

#include "core/locale_names.h"
#include "platform/locale_source.h"
#include "platform/registry.h"

// The application-level values under the registry root.
struct AppValues {
    std::uint32_t dataVer = 0;  // 0 when "DataVer" is missing
    std::string installPath;    // empty, or ending in a backslash
};

// Reads "DataVer" and "Path" and fills the name tables from the locale.
// False only when the root key cannot be opened or created.
bool LoadAppValues(Registry& registry, LocaleSource& locale, AppValues& values, LocaleNames& names);

// "DataVer" = 1; a failure is ignored.
void WriteDataVersion(Registry& registry);
