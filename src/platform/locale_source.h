#pragma once
#include <cstdint>
#include <string>

// The user's locale: the text of a locale item (day and month names).
class LocaleSource {
public:
    virtual ~LocaleSource() = default;
    // False when the item cannot be supplied; text is then unspecified.
    virtual bool GetItem(std::uint32_t item, std::string& text) = 0;
};
