#pragma once
#include "platform/locale_source.h"

// Items of the user's default locale.
class Win32LocaleSource final : public LocaleSource {
public:
    bool GetItem(std::uint32_t item, std::string& text) override;
};
