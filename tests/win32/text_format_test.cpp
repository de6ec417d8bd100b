// The locale's time formats as the windows take them, under the test
// prefix's English (United States) locale.
#include <gtest/gtest.h>

#include "platform/win32/win32_text_format.h"

TEST(Win32TextFormat, ShortTimeLeavesOutOnlyTheSeconds) {
    const Win32TextFormat format;
    EXPECT_EQ(format.ShortTime(9, 30), "9:30 AM");
    EXPECT_EQ(format.ShortTime(16, 5), "4:05 PM");
    EXPECT_EQ(format.ShortTime(0, 0), "12:00 AM");
    EXPECT_EQ(format.TimeWithSeconds(16, 5, 7), "4:05:07 PM");
}
