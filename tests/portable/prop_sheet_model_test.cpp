#include <gtest/gtest.h>

#include <string>

#include "dialogs/prop_sheet_model.h"

namespace {

TEST(PrefPages, BackgroundRoundTripsThroughThePreferences) {
    Preferences prefs;
    prefs.BkgColor = MakeRgb(1, 2, 3);
    prefs.BkgImgFile = "C:\\w.jpg";
    prefs.BkgImgFit = 0;
    prefs.BkgImgRetainRatio = 1;
    prefs.BkgAlpha = 77;
    BackgroundPageValues v = BackgroundFromPreferences(prefs);
    EXPECT_EQ(v.color, MakeRgb(1, 2, 3));
    EXPECT_EQ(v.imageFile, "C:\\w.jpg");
    EXPECT_EQ(v.fit, 0);
    EXPECT_EQ(v.keepAspect, 1);
    EXPECT_EQ(v.transparency, 77);

    v.imageFile.clear();
    v.keepAspect = 0;
    v.transparency = 255;
    ApplyBackground(v, prefs);
    EXPECT_EQ(prefs.BkgImgFile, "");
    EXPECT_EQ(prefs.BkgImgRetainRatio, 0);
    EXPECT_EQ(prefs.BkgAlpha, 255);
}

TEST(PrefPages, EventHoursAreRaisedToTheSoonHours) {
    struct Row {
        int hours;
        int soonHours;
        int storedHours;
        int storedSoon;
    };
    const Row rows[] = {
        {2, 5, 5, 5},
        {24, 0, 24, 0},
        {4, 4, 4, 4},
        {0, 24, 24, 24},
    };
    for (const Row& r : rows) {
        Preferences prefs;
        EventPageValues v = EventFromPreferences(prefs);
        v.hours = r.hours;
        v.soonHours = r.soonHours;
        ApplyEvent(v, prefs);
        EXPECT_EQ(prefs.UewHours, r.storedHours) << r.hours << "/" << r.soonHours;
        EXPECT_EQ(prefs.UewHours2, r.storedSoon) << r.hours << "/" << r.soonHours;
        EXPECT_EQ(v.hours, r.storedHours) << "the page shows what was stored";
    }
}

TEST(PrefPages, EventFlagsGoToTheirOwnPreferences) {
    Preferences prefs;  // startup 0, the others 1
    EventPageValues v = EventFromPreferences(prefs);
    EXPECT_EQ(v.startup, 0);
    EXPECT_EQ(v.notification + v.begins + v.upcoming + v.soon, 4);
    v = {1, 0, 1, 0, 1, 6, 3};
    ApplyEvent(v, prefs);
    EXPECT_EQ(prefs.UewStartup, 1);
    EXPECT_EQ(prefs.UewNotification, 0);
    EXPECT_EQ(prefs.UewBeginning, 1);
    EXPECT_EQ(prefs.UewUpcoming, 0);
    EXPECT_EQ(prefs.UewSoon, 1);
}

TEST(PrefPages, WhatTheCallerDoesAfterTheSheet) {
    struct Row {
        bool background;
        bool event;
        bool save;
        bool refresh;
        bool check;
    };
    const Row rows[] = {
        {false, false, false, false, false},
        {true, false, true, true, false},
        {false, true, true, false, true},
        {true, true, true, true, true},
    };
    for (const Row& r : rows) {
        const PrefSheetOutcome o{r.background, r.event};
        EXPECT_EQ(o.SaveSettings(), r.save);
        EXPECT_EQ(o.RefreshCalendar(), r.refresh);
        EXPECT_EQ(o.CheckReminders(), r.check);
    }
}

TEST(PrefPages, FileDialogFilterIsZeroSeparatedAndDoublyTerminated) {
    EXPECT_EQ(FileDialogFilter("Images|*.png|All|*.*||"), std::string("Images\0*.png\0All\0*.*\0\0", 22));
    EXPECT_EQ(FileDialogFilter("All|*.*"), std::string("All\0*.*\0\0", 9));
}

}  // namespace
