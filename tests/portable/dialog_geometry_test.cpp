#include "dialogs/dialog_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogGeometry, CentresOverTheAnchorAndStaysOnTheWorkArea) {
    const ScreenRect work{0, 0, 1024, 740};
    struct Row {
        const char* what;
        int width;
        int height;
        ScreenRect anchor;
        ScreenRect work;
        ScreenRect expected;
    };
    const Row rows[] = {
        {"centred over the calendar", 400, 300, {100, 50, 700, 550}, work, {200, 150, 600, 450}},
        {"centred on the work area", 400, 300, work, work, {312, 220, 712, 520}},
        {"a calendar at the right edge: moved left", 400, 300, {800, 50, 1100, 350}, work, {624, 50, 1024, 350}},
        {"a calendar at the bottom: moved up", 400, 300, {100, 600, 500, 900}, work, {100, 440, 500, 740}},
        {"a small calendar above the top", 400, 300, {0, -400, 200, -100}, work, {0, 0, 400, 300}},
        {"larger than the work area: its top-left corner stays on it", 1200, 900, {100, 50, 700, 550}, work,
         {0, 0, 1200, 900}},
        {"a monitor left of the first", 300, 200, {-1600, 100, -1000, 500}, {-1920, 0, 0, 1050},
         {-1450, 200, -1150, 400}},
        {"an odd remainder rounds towards the anchor's start", 301, 201, {0, 0, 600, 400}, work, {149, 99, 450, 300}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CenteredRect(row.width, row.height, row.anchor, row.work), row.expected) << row.what;
    }
}

}  // namespace
