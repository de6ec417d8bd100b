#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "platform/locale_source.h"

// Locale items from a table; items not in it fail.
class MemoryLocaleSource final : public LocaleSource {
public:
    // The day and month names of an English locale.
    static MemoryLocaleSource English();

    bool GetItem(std::uint32_t item, std::string& text) override;

    std::map<std::uint32_t, std::string> items;
};
