// Pieces of the application shell that need no running program.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/main_frame.h"
#include "ui/desktop_metrics.h"

namespace {

TEST(CommandLine, SplitsLikeTheRuntime) {
    EXPECT_EQ(SplitCommandLine(""), std::vector<std::string>{});
    EXPECT_EQ(SplitCommandLine("  /s   -x "), (std::vector<std::string>{"/s", "-x"}));
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\a b\" c"),
              (std::vector<std::string>{"C:\\Program Files\\a b", "c"}));
    EXPECT_EQ(SplitCommandLine("a\\\\\"b c\" d\\e"), (std::vector<std::string>{"a\\b c", "d\\e"}));
}

TEST(CommandLine, QuietStartNeedsALowercaseS) {
    for (const char* yes : {"/s", "-s", "s", "/startup", "-startup", "silent"}) {
        EXPECT_TRUE(IsQuietStartArgument(yes)) << yes;
    }
    for (const char* no : {"/S", "x", "", "/", "--s", "/xs", "S"}) {
        EXPECT_FALSE(IsQuietStartArgument(no)) << no;
    }
}

TEST(ClampToWorkArea, KeepsTheWindowReachable) {
    const ScreenRect work{0, 0, 1024, 738};
    struct Case {
        ScreenRect in;
        ScreenRect out;
    } cases[] = {
        {{494, 338, 974, 715}, {494, 338, 974, 715}},      // inside: unchanged
        {{1000, 100, 1480, 477}, {974, 100, 1454, 477}},   // off the right: left edge 50 inside
        {{100, 700, 580, 1077}, {100, 688, 580, 1065}},    // off the bottom: top 50 above it
        {{-600, 100, -120, 477}, {-430, 100, 50, 477}},    // off the left: right edge at 50
        {{100, -30, 580, 347}, {100, 0, 580, 377}},        // above the top
        {{2000, 2000, 2480, 2377}, {974, 688, 1454, 1065}},
    };
    for (const Case& c : cases) {
        ScreenRect r = c.in;
        ClampToWorkArea(r, work);
        EXPECT_EQ(r, c.out) << c.in.left << "," << c.in.top;
    }
}

TEST(IconTitleFont, ComesFromTheSystem) {
    LOGFONTA expected = {};
    ASSERT_TRUE(CMainFrame::GetIconTitleLogFont(expected));
    FontHandle font;
    ASSERT_TRUE(CMainFrame::CreateIconTitleFont(font));
    LOGFONTA actual = {};
    ASSERT_EQ(GetObjectA(font, sizeof actual, &actual), static_cast<int>(sizeof actual));
    EXPECT_EQ(actual.lfHeight, expected.lfHeight);
    EXPECT_STREQ(actual.lfFaceName, expected.lfFaceName);
    EXPECT_STREQ(CMainFrame::UserId(), "Default_Id");
}

}  // namespace
