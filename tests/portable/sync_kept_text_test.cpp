#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "portable/sync_fixture.h"
#include "store/registry_paths.h"
#include "store/server_copy.h"

namespace {

Instant Now() { return Local(2026, 12, 8, 12); }

const std::string kSeriesWithOverride =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\n"
    "BEGIN:VEVENT\r\nUID:series-1\r\nDTSTAMP:20261201T000000Z\r\nDTSTART:20261207T100000\r\n"
    "DTEND:20261207T110000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO\r\nSUMMARY:Team\r\nLOCATION:Room 9\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:series-1\r\nDTSTAMP:20261201T000000Z\r\nRECURRENCE-ID:20261214T100000\r\n"
    "DTSTART:20261214T150000\r\nDTEND:20261214T160000\r\nSUMMARY:Team (late)\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

const std::string kExtraDates = PhoneEvent("extra-1", "Team", "20261207T100000", "20261207T110000",
                                           "RRULE:FREQ=WEEKLY;BYDAY=MO\r\nRDATE:20261219T100000\r\n");

bool HasKeptText(SyncDevice& d, const std::string& title) {
    const ScheduleItem* e = d.ByTitle(title);
    if (e == nullptr) return false;
    RegType type{};
    std::string bytes;
    return d.registry.Peek(std::string(kEventsKeyPath) + "\\" + std::to_string(e->front.id), kServerTextValue, type,
                           bytes);
}

// A local edit of an event the calendar holds only in part merges the
// edited fields into the server's text: the rest of what the server holds stays.
TEST(SyncKeptText, LocalEditsMergeIntoTheServersText) {
    struct Case {
        const char* name;
        const std::string& text;
        enum { kTitle, kRule } edit;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        {"title of a series with a changed occurrence", kSeriesWithOverride, Case::kTitle,
         {"SUMMARY:Team weekly", "RRULE:FREQ=WEEKLY;BYDAY=MO", "LOCATION:Room 9", "RECURRENCE-ID:20261214T100000",
          "SUMMARY:Team (late)"},
         {"SUMMARY:Team\r\n", "EXDATE"}},
        {"title of a series with extra dates", kExtraDates, Case::kTitle,
         {"SUMMARY:Team weekly", "RRULE:FREQ=WEEKLY;BYDAY=MO", "RDATE:20261219T100000", "DTSTART:20261207T100000"},
         {}},
        {"rule changed by the user", kSeriesWithOverride, Case::kRule,
         {"RRULE:FREQ=DAILY", "LOCATION:Room 9", "SUMMARY:Team"},
         {"BYDAY=MO"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCalDav server;
        SyncDevice here(Now());
        server.DevicePut("team.ics", c.text);
        here.Sync(server);
        ASSERT_NE(here.ByTitle("Team"), nullptr);
        EXPECT_TRUE(HasKeptText(here, "Team"));
        if (c.edit == Case::kTitle) {
            here.Retitle("Team", "Team weekly");
        } else {
            auto copy = std::make_unique<ScheduleItem>(*here.ByTitle("Team"));
            copy->front.recurKind = kKindDaily;
            copy->front.recurPattern = 0;
            copy->front.recurInterval = 1;
            copy->front.recurFlags = 1;
            here.store.SaveEvent(copy, true, false);
        }
        EXPECT_EQ(here.Sync(server).sent, 1);
        const std::string& sent = server.Find("team.ics")->text;
        for (const std::string& s : c.present) EXPECT_NE(sent.find(s), std::string::npos) << s << "\n" << sent;
        for (const std::string& s : c.absent) EXPECT_EQ(sent.find(s), std::string::npos) << s << "\n" << sent;
        // What was sent is kept as the server's text, and the next sync has nothing to do.
        const SyncResult again = here.Sync(server);
        EXPECT_EQ(again.sent + again.received + again.conflicts, 0);
    }
}

// Only what the calendar cannot hold keeps the server's text.
TEST(SyncKeptText, KeptOnlyWhenTheCalendarCannotHoldTheEvent) {
    MemoryCalDav server;
    SyncDevice here(Now());
    here.Add("Ours", 2026, 12, 9);
    server.DevicePut("plain.ics", PhoneEvent("plain", "Plain", "20261210T090000", "20261210T100000"));
    server.DevicePut("located.ics",
                     PhoneEvent("located", "Located", "20261210T090000", "20261210T100000", "LOCATION:Hall\r\n"));
    here.Sync(server);
    SyncDevice there(Now(), "fedcba9876543210");
    there.Sync(server);
    EXPECT_FALSE(HasKeptText(there, "Ours"));
    EXPECT_FALSE(HasKeptText(here, "Plain"));
    EXPECT_TRUE(HasKeptText(here, "Located"));
}

TEST(SyncKeptText, ARecurringEventGoesOutWithItsRule) {
    MemoryCalDav server;
    SyncDevice here(Now());
    const std::uint32_t id = here.Add("Weekly", 2026, 12, 7);
    auto copy = std::make_unique<ScheduleItem>(*here.store.FindEvent(id));
    copy->front.recurKind = kKindWeekly;
    copy->front.recurPattern = 1 << 1;  // Mondays
    copy->front.recurFlags = 1;
    here.store.SaveEvent(copy, true, false);
    here.Sync(server);
    ASSERT_EQ(server.Resources().size(), 1u);
    EXPECT_NE(server.Resources().begin()->second.text.find("RRULE:FREQ=WEEKLY;BYDAY=MO"), std::string::npos);
}

}  // namespace
