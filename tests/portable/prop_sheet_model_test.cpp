#include <gtest/gtest.h>

#include <string>

#include "dialogs/prop_sheet_model.h"
#include "dialogs/sync_page_model.h"
#include "platform/http_url.h"
#include "sync/sync_settings.h"

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
    const char* const kUserInfo = "The server address cannot hold a user name (\"name@\"): enter it under User name.";
    const char* const kHostLetters =
        "The server's name must be written in ASCII (an international name in its xn-- form).";
    const char* const kPath =
        "The server address cannot hold \"?\", \"#\" or \"\\\", and characters other than ASCII in its path "
        "must be percent-encoded.";
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
        {"https://:8443/dav", "The server address needs the server's name after the \"//\"."},
        {"https://ann@cal.example/", kUserInfo},
        {"https://ann:pw@cal.example/", kUserInfo},
        {"https://cal.example:65536/", "The port after the server's name must be a number from 1 to 65535."},
        {"https://cal.example:0/", "The port after the server's name must be a number from 1 to 65535."},
        {"https://cal.example:8o/", "The port after the server's name must be a number from 1 to 65535."},
        {"https://cal.example:65535/dav/", ""},
        {"https://cal.example:/dav/", ""},  // an empty port is the scheme's
        {"https://[::1]:5232/dav/", ""},
        {"https://k\xC3\xA4lender.example/", kHostLetters},
        {"https://xn--klender-5wa.example/", ""},
        {"https://cal.example/caf\xC3\xA9/", kPath},
        {"https://cal.example/caf%C3%A9/", ""},
        {"https://cal.example/dav?user=ann", kPath},
        {"https://cal.example?x", kPath},
    };
    for (const Row& r : rows) EXPECT_EQ(SyncUrlProblem(TrimmedSyncUrl(r.typed)), r.problem) << r.typed;
    // One rule: what the page takes is what is stored and what a request can go to.
    for (const Row& r : rows) {
        const std::string url = TrimmedSyncUrl(r.typed);
        if (url.empty()) continue;
        HttpOrigin origin;
        std::string path;
        EXPECT_EQ(IsSyncUrl(url), *r.problem == '\0') << r.typed;
        EXPECT_EQ(SplitHttpUrl(url, origin, path), *r.problem == '\0') << r.typed;
    }
    EXPECT_EQ(TrimmedSyncUrl(" https://cal.test/dav/ann/ \r\n"), "https://cal.test/dav/ann/");
    std::string tooLong = "https://cal.test/";
    tooLong.append(2048, 'a');
    EXPECT_EQ(SyncUrlProblem(tooLong), "The server address is too long.");
}

}  // namespace
