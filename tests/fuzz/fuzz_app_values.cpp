// "DataVer" and "Path" of any type and length, and day and month names of any
// text from the locale: the start-up reads them, the recurrence text and the
// month title are built from them for any stored rule and month.
#include <string>

#include "platform/text_codec.h"
#include "calendar/month_layout.h"
#include "core/recurrence_text.h"
#include "fuzz_support.h"
#include "platform/memory/memory_locale.h"
#include "store/app_values.h"
#include "store/registry_paths.h"
#include "store/text_trim.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    MemoryRegistry registry;
    const std::optional<FuzzValue> dataVer = in.Value();
    if (dataVer) Plant(registry, kRootKeyPath, "DataVer", *dataVer);
    const std::optional<FuzzValue> path = in.Value();
    if (path) Plant(registry, kRootKeyPath, "Path", *path);
    // Locale items 0x2A..0x4F; a missing one fails its query.
    MemoryLocaleSource locale;
    for (std::uint32_t item = 0x2A; item <= 0x4F; ++item) {
        if (const std::optional<FuzzValue> v = in.Value()) locale.items[item] = v->bytes;
    }

    AppValues values;
    LocaleNames names;
    ORV_FUZZ_CHECK(LoadAppValues(registry, locale, values, names));
    if (dataVer) {
        // A text comes back with its terminator, stored or not.
        const std::string& b = dataVer->bytes;
        const bool terminated = dataVer->type != RegType::Sz || b.empty() || b.back() == '\0';
        if (b.size() + (terminated ? 0 : 1) != 4) ORV_FUZZ_CHECK(values.dataVer == 0);
    } else {
        ORV_FUZZ_CHECK(values.dataVer == 0);
    }
    const std::string& p = values.installPath;
    if (!p.empty()) {
        // A folder the defaults can be built on: trimmed, one final backslash.
        ORV_FUZZ_CHECK(p.back() == '\\' && Utf16Length(p) <= 260 && p.find('\0') == std::string::npos);
        ORV_FUZZ_CHECK(p.size() == 1 || !IsTrimSpace(p.front()));
    }
    WriteDataVersion(registry);
    AppValues again;
    ORV_FUZZ_CHECK(LoadAppValues(registry, locale, again, names) && again.dataVer == 1);
    ORV_FUZZ_CHECK(again.installPath == values.installPath);

    // Every stored rule and every month reads its names within the tables.
    while (!in.AtEnd()) {
        const std::uint8_t kind = in.Byte();
        const std::uint16_t pattern = in.U16();
        const std::uint8_t interval = in.Byte();
        std::string text = "unchanged";
        DescribeRecurrence(kind, pattern, interval, text, names);
        ORV_FUZZ_CHECK(kind < 150 || text == "unchanged");
        const int month = static_cast<std::int8_t>(in.Byte());
        const std::string title = MonthTitle(names, 2026, month);
        ORV_FUZZ_CHECK((month >= 1 && month <= 12) != title.empty());
    }
    ORV_FUZZ_CHECK(registry.OpenHandleCount() == 0);
    return 0;
}
