#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "portable/sync_fixture.h"
#include "store/registry_paths.h"
#include "store/server_copy.h"

namespace {

Instant Now() { return Local(2026, 12, 8, 12); }

// Weekly on Mondays at 10:00 from 7 December, with `changes` after the series.
std::string Series(const std::string& changes) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\n"
           "BEGIN:VEVENT\r\nUID:series-1\r\nDTSTAMP:20261201T000000Z\r\nDTSTART:20261207T100000\r\n"
           "DTEND:20261207T110000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO\r\nSUMMARY:Team\r\nLOCATION:Room 9\r\nEND:VEVENT\r\n" +
           changes + "END:VCALENDAR\r\n";
}

std::string Change(const std::string& recurrenceId, const std::string& start, const std::string& end,
                   const std::string& title, const std::string& extra = "") {
    return "BEGIN:VEVENT\r\nUID:series-1\r\nDTSTAMP:20261202T000000Z\r\nRECURRENCE-ID:" + recurrenceId +
           "\r\nDTSTART:" + start + "\r\nDTEND:" + end + "\r\nSUMMARY:" + title + "\r\n" + extra + "END:VEVENT\r\n";
}

// Every event as the month shows it: title, first day, start and end time,
// kind, excluded days; the UID too, which an import of the same file matches.
using Shown = std::tuple<std::string, Instant, int, int, int, std::vector<DateKey>, std::string>;

std::vector<Shown> ShownEvents(const MemoryCalendar& c) {
    std::vector<Shown> out;
    for (const auto& e : c.store.Events()) {
        std::vector<DateKey> excluded;
        for (const Exclusion& x : c.store.Exclusions())
            if (x.eventId == e->front.id) excluded.push_back(x.date);
        std::sort(excluded.begin(), excluded.end());
        out.emplace_back(e->title, e->front.startDate, e->front.startTime, e->front.endTime, e->front.recurKind,
                         excluded, e->uid);
    }
    std::sort(out.begin(), out.end());
    return out;
}

const ScheduleItem* Only(const MemoryCalendar& c, const std::string& title) {
    const ScheduleItem* found = nullptr;
    int n = 0;
    for (const auto& e : c.store.Events())
        if (e->title == title) {
            found = e.get();
            ++n;
        }
    return n == 1 ? found : nullptr;
}

// A changed occurrence of the phone's series shows at its own day and time,
// beside the series, as an import of the same text shows it.
TEST(SyncSeriesParts, ChangedOccurrencesShowAtTheirOwnTime) {
    struct Case {
        const char* name;
        std::string changes;
        const char* part;  // the title of the event it becomes, or none
        int day;           // of December, of that event
        int hour;
        bool excluded;     // 14 December is excluded from the series
    };
    const Case cases[] = {
        {"moved to another day and time", Change("20261214T100000", "20261216T150000", "20261216T160000", "Team"),
         "Team", 16, 15, true},
        {"moved on its day, retitled", Change("20261214T100000", "20261214T150000", "20261214T160000", "Team (late)"),
         "Team (late)", 14, 15, true},
        {"changes nothing the calendar keeps",
         Change("20261214T100000", "20261214T100000", "20261214T110000", "Team", "LOCATION:Room 2\r\n"), nullptr, 0, 0,
         false},
        {"cancelled", Change("20261214T100000", "20261214T100000", "20261214T110000", "Team", "STATUS:CANCELLED\r\n"),
         nullptr, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCalDav server;
        SyncDevice here(Now());
        server.DevicePut("team.ics", Series(c.changes));
        const SyncResult r = here.Sync(server);
        EXPECT_EQ(r.received, 1);
        EXPECT_EQ(here.store.Count(), c.part != nullptr ? 2u : 1u);
        const ScheduleItem* series = nullptr;
        for (const auto& e : here.store.Events())
            if (e->front.recurKind == kKindWeekly) series = e.get();
        ASSERT_NE(series, nullptr);
        const std::vector<DateKey> excluded = ExcludedDates(here.store, series->front.id);
        EXPECT_EQ(excluded, c.excluded ? std::vector<DateKey>{MakeDateKey(2026, 12, 14)} : std::vector<DateKey>{});
        if (c.part != nullptr) {
            const ScheduleItem* part = nullptr;
            for (const auto& e : here.store.Events())
                if (e.get() != series) part = e.get();
            ASSERT_NE(part, nullptr);
            EXPECT_EQ(part->title, c.part);
            EXPECT_EQ(part->front.recurKind, kKindNone);
            EXPECT_EQ(Instant{part->front.startDate}, Local(2026, 12, c.day));
            EXPECT_EQ(part->front.startTime, c.hour * 3600);
            EXPECT_EQ(part->front.endTime, (c.hour + 1) * 3600);
        }
        InteropStore imported(Now());
        imported.Import(Series(c.changes));
        EXPECT_EQ(ShownEvents(here), ShownEvents(imported));
    }
}

// The part of a series is the server's: never sent, made again when changed
// or deleted here, replaced when the series changes there, gone with it.
TEST(SyncSeriesParts, APartFollowsItsSeriesAndIsNeverSent) {
    const std::string moved = Series(Change("20261214T100000", "20261214T150000", "20261214T160000", "Team (late)"));
    for (const bool deletedHere : {false, true}) {
        SCOPED_TRACE(deletedHere);
        MemoryCalDav server;
        SyncDevice here(Now());
        SyncDevice there(Now(), "fedcba9876543210");
        server.DevicePut("team.ics", moved);
        here.Sync(server);
        there.Sync(server);
        ASSERT_NE(Only(here, "Team (late)"), nullptr);
        ASSERT_NE(Only(there, "Team (late)"), nullptr);
        RegType type{};
        std::string href;
        EXPECT_TRUE(here.registry.Peek(std::string(kEventsKeyPath) + "\\" +
                                           std::to_string(Only(here, "Team (late)")->front.id),
                                       kSeriesHrefValue, type, href));

        // Changed, then deleted here: back as the server has it, nothing sent.
        here.Retitle("Team (late)", "Team (later)");
        const std::size_t before = server.RequestCount();
        SyncResult r = here.Sync(server);
        EXPECT_EQ(r.sent, 0);
        EXPECT_NE(Only(here, "Team (late)"), nullptr);
        EXPECT_EQ(here.ByTitle("Team (later)"), nullptr);
        here.Delete("Team (late)");
        r = here.Sync(server);
        EXPECT_EQ(r.sent, 0);
        EXPECT_NE(Only(here, "Team (late)"), nullptr);
        EXPECT_TRUE(LoadPendingDeletions(here.registry).empty());
        for (std::size_t i = before; i < server.RequestCount(); ++i) {
            EXPECT_NE(server.Requests()[i].rfind("PUT", 0), 0u) << server.Requests()[i];
            EXPECT_NE(server.Requests()[i].rfind("DELETE", 0), 0u) << server.Requests()[i];
        }
        EXPECT_EQ(server.Find("team.ics")->text, moved);

        // The series edited here goes out with its changed occurrence; the part stays one.
        here.Retitle("Team", "Team weekly");
        EXPECT_EQ(here.Sync(server).sent, 1);
        EXPECT_NE(server.Find("team.ics")->text.find("RECURRENCE-ID:20261214T100000"), std::string::npos);
        EXPECT_NE(Only(here, "Team (late)"), nullptr);

        // Moved again there: one part, at its new time.
        server.DevicePut("team.ics", Series(Change("20261214T100000", "20261215T170000", "20261215T180000",
                                                   "Team (late)")));
        EXPECT_EQ(here.Sync(server).received, 1);
        const ScheduleItem* part = Only(here, "Team (late)");
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(Instant{part->front.startDate}, Local(2026, 12, 15));
        EXPECT_EQ(part->front.startTime, 17 * 3600);
        EXPECT_EQ(here.store.Count(), 2u);
        there.Sync(server);
        EXPECT_EQ(there.store.Count(), 2u);
        EXPECT_EQ(server.Resources().size(), 1u);

        // The series goes, from either side: its part goes with it.
        if (deletedHere) here.Delete("Team");
        else server.DeviceDelete("team.ics");
        here.Sync(server);
        there.Sync(server);
        EXPECT_EQ(here.store.Count(), 0u);
        EXPECT_EQ(there.store.Count(), 0u);
        EXPECT_TRUE(server.Resources().empty());
    }
}

}  // namespace
