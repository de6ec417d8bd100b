#pragma once
#include "platform/text_format.h"

// GetDateFormatA and GetTimeFormatA of the user's default locale.
class Win32TextFormat final : public TextFormat {
public:
    std::string LongDate(int year, int month, int day) const override;
    std::string TimeWithSeconds(int hour, int minute, int second) const override;
    std::string ShortTime(int hour, int minute) const override;
};
