// Which monitor a window belongs to, and where a stored rectangle goes, for
// the monitor layouts of real desks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/memory/fixed_desktop.h"
#include "support/monitor_layouts.h"

namespace {

std::string Text(const ScreenRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST(DesktopMonitors, WorkAreaOfThePointAndOfTheRectangle) {
    struct Case {
        const char* name;
        const FixedDesktop& desktop;
        ScreenRect rect;  // its top-left corner is the point
        ScreenRect atPoint;
        ScreenRect ofRect;
    } cases[] = {
        {"one monitor, inside", kSingle, {100, 100, 580, 477}, {0, 0, 1024, 738}, {0, 0, 1024, 738}},
        {"one monitor, far off", kSingle, {-5000, 9000, -4000, 9900}, {0, 0, 1024, 738}, {0, 0, 1024, 738}},
        {"side by side, on the second", kSideBySide, {2000, 100, 2480, 477}, {1920, 0, 3200, 1024},
         {1920, 0, 3200, 1024}},
        // Starts on the primary, lies mostly on the second.
        {"side by side, across", kSideBySide, {1800, 100, 2280, 477}, {0, 0, 1920, 1040}, {1920, 0, 3200, 1024}},
        {"side by side, the first pixel of the second", kSideBySide, {1920, 0, 1921, 1}, {1920, 0, 3200, 1024},
         {1920, 0, 3200, 1024}},
        {"side by side, below the narrower second", kSideBySide, {3000, 1050, 3100, 1100}, {1920, 0, 3200, 1024},
         {1920, 0, 3200, 1024}},
        {"stacked, above", kStacked, {300, -900, 780, -523}, {0, -1200, 1920, -40}, {0, -1200, 1920, -40}},
        {"stacked, far above", kStacked, {300, -9000, 780, -8623}, {0, -1200, 1920, -40}, {0, -1200, 1920, -40}},
        {"primary on the right, negative", kPrimaryOnTheRight, {-1000, -300, -520, 77}, {-2560, -360, 0, 1040},
         {-2560, -360, 0, 1040}},
        {"primary on the right, the first pixel of the primary", kPrimaryOnTheRight, {0, 500, 1, 501},
         {0, 0, 1920, 1040}, {0, 0, 1920, 1040}},
        {"taskbar on the left of the second", kTaskbarLeft, {1930, 10, 2410, 387}, {1980, 0, 3840, 1080},
         {1980, 0, 3840, 1080}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Text(c.desktop.WorkAreaAt(c.rect.left, c.rect.top)), Text(c.atPoint));
        EXPECT_EQ(Text(c.desktop.WorkAreaOf(c.rect)), Text(c.ofRect));
    }
    // The primary's work area, wherever it is listed among the others.
    EXPECT_EQ(kPrimaryOnTheRight.WorkArea(), (ScreenRect{0, 0, 1920, 1040}));
}

TEST(DesktopMonitors, StoredRectangleStaysReachable) {
    struct Case {
        const char* name;
        const FixedDesktop& desktop;
        ScreenRect in;
        ScreenRect out;
    } cases[] = {
        // One monitor: a rectangle that shows keeps 50 pixels of its top on the work area.
        {"inside: unchanged", kSingle, {494, 338, 974, 715}, {494, 338, 974, 715}},
        {"off the right: left edge 50 inside", kSingle, {1000, 100, 1480, 477}, {974, 100, 1454, 477}},
        {"off the bottom: top 50 above it", kSingle, {100, 700, 580, 1077}, {100, 688, 580, 1065}},
        {"off the left: right edge at 50", kSingle, {-430, 100, 50, 477}, {-430, 100, 50, 477}},
        {"partly off the left", kSingle, {-440, 100, 40, 477}, {-430, 100, 50, 477}},
        {"above the top", kSingle, {100, -30, 580, 347}, {100, 0, 580, 377}},
        // On no monitor: whole and visible on the nearest, at its size.
        {"wholly off the left", kSingle, {-600, 100, -120, 477}, {0, 100, 480, 477}},
        {"wholly off the corner", kSingle, {2000, 2000, 2480, 2377}, {544, 361, 1024, 738}},
        {"larger than the screen", kSingle, {-3000, 0, -1000, 1000}, {0, 0, 1024, 738}},
        {"reversed", kSingle, {-100, -100, -600, -477}, {0, 0, 0, 0}},
        // Moved without overflow; the system limits the window's size.
        {"the largest numbers", kSingle, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
         {INT32_MIN, 0, INT32_MAX, INT32_MAX}},
        {"the most negative corner", kSingle, {INT32_MIN, INT32_MIN, INT32_MIN + 480, INT32_MIN + 377},
         {0, 0, 480, 377}},
        // Several monitors: any of them may hold the window.
        {"side by side, on the second", kSideBySide, {2400, 300, 2880, 677}, {2400, 300, 2880, 677}},
        {"side by side, across both", kSideBySide, {1700, 300, 2180, 677}, {1700, 300, 2180, 677}},
        {"side by side, off the second's right", kSideBySide, {3190, 300, 3670, 677}, {3150, 300, 3630, 677}},
        {"side by side, in the gap under the second", kSideBySide, {2400, 1030, 2880, 1407},
         {2400, 647, 2880, 1024}},
        {"stacked, above", kStacked, {300, -900, 780, -523}, {300, -900, 780, -523}},
        {"stacked, over the top of the upper one", kStacked, {300, -1250, 780, -873}, {300, -1200, 780, -823}},
        {"primary on the right, on the left one", kPrimaryOnTheRight, {-1000, -300, -520, 77},
         {-1000, -300, -520, 77}},
        {"primary on the right, off its left", kPrimaryOnTheRight, {-3200, 0, -2600, 377}, {-2560, 0, -1960, 377}},
        {"taskbar on the left, under it", kTaskbarLeft, {1500, 100, 1980, 477}, {1500, 100, 1980, 477}},
        {"taskbar on the left, off the second's right", kTaskbarLeft, {3830, 100, 4310, 477},
         {3790, 100, 4270, 477}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenRect r = c.in;
        KeepOnDesktop(r, c.desktop);
        EXPECT_EQ(Text(r), Text(c.out));
    }
}

// A laptop undocked: what was on the other monitor comes onto the laptop's
// screen whole, at its size.
TEST(DesktopMonitors, RectanglesOfARemovedMonitorComeOntoTheNearestOne) {
    const FixedDesktop laptop(std::vector<Monitor>{kLaptop});
    struct Case {
        ScreenRect in;
        ScreenRect out;
    } cases[] = {
        {{2400, 300, 2880, 677}, {1440, 300, 1920, 677}},    // was right of it
        {{-1000, -300, -520, 77}, {0, 0, 480, 377}},         // was left of it and higher
        {{300, -900, 780, -523}, {300, 0, 780, 377}},        // was above it
        {{-2500, 0, 0, 1100}, {0, 0, 1920, 1040}},           // filled the other monitor: shrunk to the work area
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Text(c.in));
        ScreenRect r = c.in;
        KeepOnDesktop(r, laptop);
        EXPECT_EQ(Text(r), Text(c.out));
    }
}

}  // namespace
