#pragma once
#include <string>

// Dates and times as the user's locale writes them.
class TextFormat {
public:
    virtual ~TextFormat() = default;
    // A calendar day in the long date format.
    virtual std::string LongDate(int year, int month, int day) const = 0;
    // A time of day with its seconds.
    virtual std::string TimeWithSeconds(int hour, int minute, int second) const = 0;
    // A time of day without its seconds.
    virtual std::string ShortTime(int hour, int minute) const = 0;
};
