#include <gtest/gtest.h>

#include <string>

#include "dialogs/prop_sheet_model.h"

namespace {

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

TEST(PrefPages, FileDialogFilterIsZeroSeparatedAndDoublyTerminated) {
    EXPECT_EQ(FileDialogFilter("Images|*.png|All|*.*||"), std::string("Images\0*.png\0All\0*.*\0\0", 22));
    EXPECT_EQ(FileDialogFilter("All|*.*"), std::string("All\0*.*\0\0", 9));
}

}  // namespace
