#include "platform/memory/memory_locale.h"

#include "core/locale_names.h"

MemoryLocaleSource MemoryLocaleSource::English() {
    const LocaleNames& en = EnglishLocaleNames();
    MemoryLocaleSource source;
    // Locale items number the days from Monday; the tables from Sunday.
    for (std::uint32_t i = 0; i < 7; ++i) {
        const std::size_t day = (i + 1) % 7;
        source.items[0x2A + i] = en.DayNames[day];
        source.items[0x31 + i] = en.ShortDayNames[day];
    }
    for (std::uint32_t i = 0; i < 12; ++i) {
        source.items[0x38 + i] = en.MonthNames[i];
        source.items[0x44 + i] = en.ShortMonthNames[i];
    }
    return source;
}

bool MemoryLocaleSource::GetItem(std::uint32_t item, std::string& text) {
    auto it = items.find(item);
    if (it == items.end()) return false;
    text = it->second;
    return true;
}
