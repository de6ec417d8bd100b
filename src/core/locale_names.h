#pragma once
#include <array>
#include <string>

// Day names are indexed Sunday first, month names January first.
struct LocaleNames {
    std::array<std::string, 7> ShortDayNames;
    std::array<std::string, 7> DayNames;
    std::array<std::string, 12> ShortMonthNames;
    std::array<std::string, 12> MonthNames;
};

// The process-wide tables, filled once at start-up.
LocaleNames& TheLocaleNames();

// English tables, for platforms without a locale service and for tests.
const LocaleNames& EnglishLocaleNames();
