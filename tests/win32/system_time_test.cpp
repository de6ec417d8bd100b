// The SYSTEMTIME the pickers and the locale's formats are given.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/system_time.h"

namespace {

struct Fields {
    int year, month, day, weekday, hour, minute, second;
};

void ExpectFields(const SYSTEMTIME& st, const Fields& f) {
    EXPECT_EQ(st.wYear, f.year);
    EXPECT_EQ(st.wMonth, f.month);
    EXPECT_EQ(st.wDay, f.day);
    EXPECT_EQ(st.wDayOfWeek, f.weekday);
    EXPECT_EQ(st.wHour, f.hour);
    EXPECT_EQ(st.wMinute, f.minute);
    EXPECT_EQ(st.wSecond, f.second);
    EXPECT_EQ(st.wMilliseconds, 0);
}

TEST(SystemTimeTest, WeekdayComesFromTheDate) {
    constexpr Fields kCases[] = {
        {1970, 1, 1, 4, 0, 0, 0},      // a Thursday
        {2000, 2, 29, 2, 23, 59, 59},  // leap day, a Tuesday
        {2024, 12, 31, 2, 12, 30, 5},
        {2025, 3, 9, 0, 2, 30, 0},     // a Sunday
        {2106, 2, 7, 0, 6, 28, 15},    // the last storable day, a Sunday
    };
    for (const Fields& f : kCases) {
        SCOPED_TRACE(f.year * 10000 + f.month * 100 + f.day);
        ExpectFields(MakeSystemTime(f.year, f.month, f.day, f.hour, f.minute, f.second), f);
    }
}

TEST(SystemTimeTest, TimeOfDayFallsOnTheFirstOf2000AndWrapsIntoOneDay) {
    constexpr struct {
        int seconds;
        int hour, minute, second;
    } kCases[] = {{0, 0, 0, 0},         {32400, 9, 0, 0},      {86399, 23, 59, 59},
                  {86400, 0, 0, 0},     {86400 + 61, 0, 1, 1}, {-1, 23, 59, 59},
                  {-86400, 0, 0, 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.seconds);
        ExpectFields(SystemTimeOfDay(c.seconds), {2000, 1, 1, 6, c.hour, c.minute, c.second});  // a Saturday
    }
}

}  // namespace
