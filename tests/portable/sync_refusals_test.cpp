// What a server's refusals come to: the HTTP status read, the sync that
// goes on or ends, and the status line that says why.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "portable/sync_fixture.h"
#include "sync/sync_status.h"

namespace {

using Titles = std::vector<std::string>;

TEST(SyncRefusals, HttpStatusesAsTheSyncReadsThem) {
    const struct {
        int code;
        DavStatus status;
    } cases[] = {
        {200, DavStatus::Ok}, {201, DavStatus::Ok}, {204, DavStatus::Ok}, {207, DavStatus::Ok},
        {401, DavStatus::Unauthorized},
        // Only 401 is the password; these are the calendar's rights.
        {403, DavStatus::Forbidden}, {405, DavStatus::Forbidden},
        {412, DavStatus::PreconditionFailed}, {404, DavStatus::NotFound}, {410, DavStatus::NotFound},
        {0, DavStatus::Refused}, {100, DavStatus::Refused}, {301, DavStatus::Refused}, {400, DavStatus::Refused},
        {409, DavStatus::Refused}, {415, DavStatus::Refused}, {503, DavStatus::Refused}, {507, DavStatus::Refused},
    };
    for (const auto& c : cases) EXPECT_EQ(DavStatusOf(c.code), c.status) << c.code;
}

TEST(SyncRefusals, RetryAfterInSecondsOrAsADate) {
    // Wed, 09 Dec 2026 17:12:00 GMT
    const long long at = DaysFromCivil(2026, 12, 9) * 86400 + 17 * 3600 + 12 * 60;
    const struct {
        const char* value;
        long long now;
        long long seconds;
    } cases[] = {
        {"120", 0, 120},
        {" 30 ", 0, 30},
        {"0", 0, 0},
        {"86400", 0, 86400},
        {"99999999999999999999999", 0, 86400},  // a day at most, and no overflow
        {"-5", 0, -1},
        {"1.5", 0, -1},
        {"", 0, -1},
        {"soon", 0, -1},
        {"Wed, 09 Dec 2026 17:12:00 GMT", at - 300, 300},
        {"Wed, 09 Dec 2026 17:12:00 GMT", at + 5, 0},
        {"Wed, 09 Dec 2026 17:12:00 GMT", at - 200000, 86400},
        {"Wed, 09 Dec 2026 17:12:00 UTC", at - 300, -1},
        {"Wednesday, 09-Dec-26 17:12:00 GMT", at - 300, -1},
        {"Wed, 09 Dex 2026 17:12:00 GMT", at - 300, -1},
        {"Wed, 09 Dec 2026 24:12:00 GMT", at - 300, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(RetryAfterSeconds(c.value, c.now), c.seconds) << c.value;
}

TEST(SyncRefusals, ReasonPhrasesArePrintableAndShort) {
    EXPECT_EQ(ShownReason("Service Unavailable"), "Service Unavailable");
    EXPECT_EQ(ShownReason("busy\r\nX-Evil: 1\x01\x7F "), "busyX-Evil: 1");
    EXPECT_EQ(ShownReason(std::string(200, 'a')), std::string(60, 'a'));
}

SyncResult Done() {
    SyncResult r;
    r.received = 1;
    return r;
}

TEST(SyncRefusals, StatusLines) {
    const auto busy = [](long long retryAfter) {
        SyncResult r;
        r.end = SyncEnd::Unreachable;
        r.problem = DavProblem::Answered;
        r.answer = {503, "busy", retryAfter};
        return r;
    };
    SyncResult readOnly = Done();
    readOnly.readOnly = {"Lunch"};
    SyncResult several = Done();
    several.readOnly = {"A", "", "B", "C", "D"};
    SyncResult refused = Done();
    refused.failed = 1;
    refused.refused = {{"Lunch", {400, "Bad Request", -1}}};
    SyncResult mixed = Done();
    mixed.failed = 3;
    mixed.refused = {{"Lunch", {415, "", -1}}, {"Gym", {}}};
    SyncResult refusedDeletion = Done();
    refusedDeletion.failed = 1;
    refusedDeletion.refused = {{"", {500, "Internal Server Error", -1}}};
    SyncResult password;
    password.end = SyncEnd::CredentialsRefused;
    SyncResult setUp;
    setUp.end = SyncEnd::NotSetUp;
    const struct {
        SyncResult result;
        const char* time;
        const char* text;
    } cases[] = {
        {busy(120), "14:05", "Sync at 14:05: The server answered 503: busy; trying again at 14:07."},
        {busy(-1), "14:05", "Sync at 14:05: The server answered 503: busy."},
        {busy(120), "", "The server answered 503: busy; trying again at 14:07."},
        {password, "14:05", "Sync at 14:05: The server refused the user name or password."},
        {password, "", "The server refused the user name or password."},
        {setUp, "14:05", "Sync is not set up."},
        {readOnly, "14:05",
         "Last synced 14:05: 1 received, 0 sent. \"Lunch\" is read-only on the server: the change made here was "
         "undone."},
        {several, "14:05",
         "Last synced 14:05: 1 received, 0 sent. \"A\", \"B\", \"C\" and 2 more are read-only on the server: the "
         "changes made here were undone."},
        {refused, "14:05",
         "Last synced 14:05: 1 received, 0 sent. \"Lunch\" was refused: the server answered 400: Bad Request. It "
         "will be tried again."},
        {mixed, "14:05",
         "Last synced 14:05: 1 received, 0 sent. \"Lunch\" was refused: the server answered 415. 2 more could not "
         "be synced; all will be tried again."},
        {refusedDeletion, "14:05",
         "Last synced 14:05: 1 received, 0 sent. A deletion was refused: the server answered 500: Internal Server "
         "Error. It will be tried again."},
    };
    for (const auto& c : cases) EXPECT_EQ(SyncStatusText(c.result, c.time, "14:07"), c.text);
    EXPECT_EQ(RetryDelaySeconds(busy(-1)), -1);
    EXPECT_EQ(RetryDelaySeconds(busy(0)), 60);  // never at once, over and over
    EXPECT_EQ(RetryDelaySeconds(busy(300)), 300);
    EXPECT_EQ(RetryDelaySeconds(readOnly), -1);
}

// One event synced, then changed (or deleted) here while the phone adds
// another, and the server answers as the row says.
TEST(SyncRefusals, WhatEachAnswerDoesToASync) {
    const DavAnswer none;
    const DavAnswer forbidden{403, "Forbidden", -1};
    const DavAnswer notAllowed{405, "Method Not Allowed", -1};
    const DavAnswer busy{503, "busy", 120};
    const DavAnswer unauthorized{401, "Unauthorized", -1};
    const struct {
        const char* name;
        DavAnswer all;
        DavAnswer writes;
        bool deleteHere;
        SyncEnd end;
        const char* status;
        Titles here;
        Titles server;
    } cases[] = {
        {"401", unauthorized, none, false, SyncEnd::CredentialsRefused,
         "Sync at 14:05: The server refused the user name or password.", {"Call Jo back"}, {"Call Jo", "Dentist"}},
        {"403 on the change", none, forbidden, false, SyncEnd::Done,
         "Last synced 14:05: 2 received, 0 sent. \"Call Jo back\" is read-only on the server: the change made here was "
         "undone.",
         {"Call Jo", "Dentist"}, {"Call Jo", "Dentist"}},
        {"405 on the change", none, notAllowed, false, SyncEnd::Done,
         "Last synced 14:05: 2 received, 0 sent. \"Call Jo back\" is read-only on the server: the change made here was "
         "undone.",
         {"Call Jo", "Dentist"}, {"Call Jo", "Dentist"}},
        {"403 on the deletion", none, forbidden, true, SyncEnd::Done,
         "Last synced 14:05: 2 received, 0 sent. \"Call Jo\" is read-only on the server: the change made here was "
         "undone.",
         {"Call Jo", "Dentist"}, {"Call Jo", "Dentist"}},
        {"503 on everything", busy, none, false, SyncEnd::Unreachable,
         "Sync at 14:05: The server answered 503: busy; trying again at 14:07.", {"Call Jo back"},
         {"Call Jo", "Dentist"}},
        {"503 on the change", none, {503, "busy", -1}, false, SyncEnd::Done,
         "Last synced 14:05: 1 received, 0 sent. \"Call Jo back\" was refused: the server answered 503: busy. It "
         "will be tried again.",
         {"Call Jo back", "Dentist"}, {"Call Jo", "Dentist"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCalDav server;
        SyncDevice here{Local(2026, 12, 8, 12)};
        here.Add("Call Jo", 2026, 12, 16);
        ASSERT_EQ(here.Sync(server).sent, 1);
        server.DevicePut("dentist.ics", PhoneEvent("dentist", "Dentist", "20261209T080000", "20261209T090000"));
        if (c.deleteHere) here.Delete("Call Jo");
        else here.Retitle("Call Jo", "Call Jo back");
        server.refuseAll = c.all;
        server.refuseWrites = c.writes;
        const SyncResult r = here.Sync(server);
        EXPECT_EQ(r.end, c.end);
        EXPECT_EQ(SyncStatusText(r, "14:05", "14:07"), c.status);
        EXPECT_EQ(here.Titles(), c.here);
        EXPECT_EQ(ServerTitles(server), c.server);
        if (c.end != SyncEnd::Done) continue;
        // Said once: the next sync has nothing to send and nothing to tell.
        const std::size_t before = server.RequestCount();
        const SyncResult next = here.Sync(server);
        const std::string again = "Last synced 14:10: 0 received, 0 sent.";
        if (c.writes.code == 503) {
            EXPECT_EQ(SyncStatusText(next, "14:10"), again + " \"Call Jo back\" was refused: the server answered "
                                                              "503: busy. It will be tried again.");
            continue;
        }
        EXPECT_EQ(SyncStatusText(next, "14:10"), again);
        for (std::size_t i = before; i < server.RequestCount(); ++i)
            EXPECT_EQ(server.Requests()[i].rfind("PUT", 0), std::string::npos) << server.Requests()[i];
    }
}

}  // namespace
