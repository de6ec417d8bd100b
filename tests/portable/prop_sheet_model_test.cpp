#include <gtest/gtest.h>

#include <string>

#include "dialogs/prop_sheet_model.h"
#include "dialogs/sync_page_model.h"

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

TEST(PrefPages, SyncAddressIsTrimmedAndEachFaultIsNamed) {
    struct Row {
        const char* typed;
        const char* problem;  // "" when it can be stored
    };
    const Row rows[] = {
        {"", ""},
        {"  \t", ""},  // blank: no sync, as an empty field
        {" https://cal.test/dav/ann/ \r\n", ""},
        {"HTTP://cal.test", ""},
        {"cal.test/dav", "The server address must begin with https:// or http://."},
        {"ftp://cal.test/dav", "The server address must begin with https:// or http://."},
        {"https://cal test/dav", "The server address cannot contain spaces."},
        {"https://", "The server address needs the server's name after the \"//\"."},
        {"http:///dav", "The server address needs the server's name after the \"//\"."},
    };
    for (const Row& r : rows) EXPECT_EQ(SyncUrlProblem(TrimmedSyncUrl(r.typed)), r.problem) << r.typed;
    EXPECT_EQ(TrimmedSyncUrl(" https://cal.test/dav/ann/ \r\n"), "https://cal.test/dav/ann/");
    std::string tooLong = "https://cal.test/";
    tooLong.append(2048, 'a');
    EXPECT_EQ(SyncUrlProblem(tooLong), "The server address is too long.");
}

}  // namespace
