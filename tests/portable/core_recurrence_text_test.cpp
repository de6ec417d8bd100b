#include <gtest/gtest.h>

#include "core/locale_names.h"
#include "core/recurrence_text.h"

namespace {

struct TextCase {
    int kind, pattern, interval;
    const char* text;
};

TEST(DescribeRecurrenceTest, EnglishTexts) {
    const TextCase cases[] = {
        {1, 0, 1, "No Recurrence"},
        {0, 0, 0, "No Recurrence"},
        {30, 0, 1, "Everyday"},
        {30, 0, 0, "Everyday"},
        {59, 0, 3, "Every 3 days"},
        {60, 0x2A, 1, "Every Mon Wed Fri"},
        {60, 0x41, 2, "Every 2 weeks Sun Sat"},
        {60, 0xC1, 1, "Every Sun Sat"},
        {60, 0, 1, "Every"},
        {90, 15, 1, "Day 15 of every month"},
        {90, 31, 2, "Day 31 of every 2 months"},
        {91, 0x12, 1, "The 2nd Tuesday of every month"},
        {91, 0x45, 3, "The last Friday of every 3 months"},
        {120, 0x050A, 1, "May 10 of every year"},
        {121, 0x0510, 1, "The 2nd Sunday of May of every year"},
        {121, 0x0901, 2, "The 1st Monday of September of every 2 years"},
        {149, 0x0C1F, 200, "December 31 of every 200 years"},
        // Values the editor never writes read as empty names, never out of bounds.
        {91, 0x5F, 1, "The   of every month"},
        {121, 0xFF00 | 0x07, 1, "The 1st  of  of every year"},
        {120, 0x0D01, 1, " 1 of every year"},
    };
    for (const TextCase& c : cases) {
        std::string text = "previous";
        DescribeRecurrence(static_cast<std::uint8_t>(c.kind), static_cast<std::uint16_t>(c.pattern),
                           static_cast<std::uint8_t>(c.interval), text, EnglishLocaleNames());
        EXPECT_EQ(text, c.text) << c.kind << " " << c.pattern;
    }
}

TEST(DescribeRecurrenceTest, KindsFromOneHundredFiftyKeepTheCallersText) {
    for (int kind : {150, 200, 255}) {
        std::string text = "unchanged";
        DescribeRecurrence(static_cast<std::uint8_t>(kind), 0x0101, 1, text, EnglishLocaleNames());
        EXPECT_EQ(text, "unchanged");
    }
}

TEST(DescribeRecurrenceTest, NamesComeFromTheGivenTables) {
    LocaleNames names = EnglishLocaleNames();
    names.ShortDayNames[1] = "lun.";
    names.DayNames[2] = "mardi";
    names.MonthNames[4] = "mai";
    std::string text;
    DescribeRecurrence(60, 0x03, 1, text, names);
    EXPECT_EQ(text, "Every Sun lun.");
    DescribeRecurrence(121, 0x0512, 1, text, names);
    EXPECT_EQ(text, "The 2nd mardi of mai of every year");
}

TEST(LocaleNamesTest, EnglishTablesStartOnSundayAndJanuary) {
    const LocaleNames& en = EnglishLocaleNames();
    EXPECT_EQ(en.ShortDayNames[6], "Sat");
    EXPECT_EQ(en.DayNames[0], "Sunday");
    EXPECT_EQ(en.ShortMonthNames[0], "Jan");
    EXPECT_EQ(en.MonthNames[11], "December");
}

}  // namespace
