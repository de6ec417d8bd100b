#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "portable/sync_fixture.h"

namespace {

Instant Now() { return Local(2026, 12, 8, 12); }

const char kBerlin[] =
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\nDTSTART:19700329T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\nDTSTART:19701025T030000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

std::string Calendar(const std::string& body, bool berlin = false) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\n" + std::string(berlin ? kBerlin : "") + body +
           "END:VCALENDAR\r\n";
}

// Weekly on Mondays at 19:00 (in `zone`, "" floating, "Z" UTC), 14 December
// cancelled, 21 December moved to the Tuesday.
std::string Weekly(const std::string& zone) {
    const std::string p = zone.empty() || zone == "Z" ? "" : ";TZID=" + zone;
    const std::string z = zone == "Z" ? "Z" : "";
    return Calendar("BEGIN:VEVENT\r\nUID:w\r\nDTSTAMP:20261201T000000Z\r\nDTSTART" + p + ":20261207T190000" + z +
                        "\r\nDTEND" + p + ":20261207T200000" + z +
                        "\r\nRRULE:FREQ=WEEKLY;BYDAY=MO\r\nEXDATE" + p + ":20261214T190000" + z +
                        "\r\nSUMMARY:Choir\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:w\r\nDTSTAMP:20261201T000000Z\r\nRECURRENCE-ID" + p +
                        ":20261221T190000" + z + "\r\nDTSTART" + p + ":20261222T190000" + z + "\r\nDTEND" + p +
                        ":20261222T200000" + z + "\r\nSUMMARY:Choir\r\nEND:VEVENT\r\n",
                    !p.empty());
}

std::string Single(const std::string& times, const std::string& extra = "", bool berlin = false) {
    return Calendar("BEGIN:VEVENT\r\nUID:s\r\nDTSTAMP:20261201T000000Z\r\n" + times + "SUMMARY:Choir\r\n" + extra +
                        "END:VEVENT\r\n",
                    berlin);
}

using Edit = std::function<void(SyncDevice&, ScheduleItem&)>;

Edit Shift(int seconds) {
    return [seconds](SyncDevice&, ScheduleItem& e) {
        e.front.startTime += seconds;
        e.front.endTime += seconds;
    };
}

Edit MoveDays(int days) {
    return [days](SyncDevice&, ScheduleItem& e) {
        e.front.startDate = static_cast<std::uint32_t>(e.front.startDate + days * 86400);
        e.front.endDate = static_cast<std::uint32_t>(e.front.endDate + days * 86400);
    };
}

// Excludes the occurrence that begins at this instant, on whatever day it is here.
Edit ExcludeAt(Instant at) {
    return [at](SyncDevice& d, ScheduleItem& e) {
        LocalFields f;
        ASSERT_TRUE(BreakDownLocal(at, f));
        d.store.ToggleExclusion(e.front.id, f.year, f.month, f.day, e.front.recurKind);
        d.store.WriteExclusions();
    };
}

// An edit here changes, in the server's text, only what was edited, in
// the server's own terms. `expect` tells the phone's-view check (python's
// expansion of the text before and after) what may differ.
TEST(SyncMerge, AnEditIsWrittenInTheServersTerms) {
    struct Row {
        const char* name;
        std::string kept;
        Edit edit;
        std::vector<std::string> present;
        std::vector<std::string> absent;
        std::string expect;  // "shift N", "exclude YYYYMMDD", "days N" or "same"
    };
    const Row rows[] = {
        {"floating series moved earlier: its exceptions move with it", Weekly(""), Shift(-1800),
         {"DTSTART:20261207T183000", "EXDATE:20261214T183000", "RECURRENCE-ID:20261221T183000",
          "DTSTART:20261222T190000", "DTEND:20261207T193000"},
         {"T190000\r\nRRULE", "EXDATE:20261214T190000"}, "shift -1800"},
        {"zoned series moved: the zone and its exceptions stay together", Weekly("Europe/Berlin"), Shift(-1800),
         {"DTSTART;TZID=Europe/Berlin:20261207T183000", "EXDATE;TZID=Europe/Berlin:20261214T183000",
          "RECURRENCE-ID;TZID=Europe/Berlin:20261221T183000", "BEGIN:VTIMEZONE"},
         {"DTSTART:2026", "EXDATE:2026"}, "shift -1800"},
        {"UTC series moved", Weekly("Z"), Shift(3600),
         {"DTSTART:20261207T200000Z", "EXDATE:20261214T200000Z", "RECURRENCE-ID:20261221T200000Z"},
         {"DTSTART:20261207T190000Z"}, "shift 3600"},
        {"zoned event moved an hour from another zone keeps its zone",
         Single("DTSTART;TZID=Europe/Berlin:20261211T090000\r\nDTEND;TZID=Europe/Berlin:20261211T100000\r\n", "",
                true),
         Shift(3600),
         {"DTSTART;TZID=Europe/Berlin:20261211T100000", "DTEND;TZID=Europe/Berlin:20261211T110000"},
         {"DTSTART:2026"}, "shift 3600"},
        {"UTC event with a duration keeps both forms", Single("DTSTART:20261211T080000Z\r\nDURATION:PT45M\r\n"),
         Shift(3600), {"DTSTART:20261211T090000Z", "DURATION:PT45M"}, {"DTEND"}, "shift 3600"},
        {"all-day event moved a day stays all day",
         Single("DTSTART;VALUE=DATE:20261220\r\nDTEND;VALUE=DATE:20261221\r\n"), MoveDays(1),
         {"DTSTART;VALUE=DATE:20261221", "DTEND;VALUE=DATE:20261222"}, {"T000000", "T235959"}, "days 1"},
        {"excluded here on a zoned series: written in the series' zone", Weekly("Europe/Berlin"),
         ExcludeAt(1798480800 /* 2026-12-28 19:00 in Berlin */),
         {"EXDATE;TZID=Europe/Berlin:20261228T190000", "EXDATE;TZID=Europe/Berlin:20261214T190000"},
         {"EXDATE:2026"}, "exclude 20261228"},
        {"title edited: the note, its language and the rest stay as written",
         Single("DTSTART:20261211T090000\r\nDTEND:20261211T100000\r\n",
                "DESCRIPTION:Кабинет 3 – Ärztehaus\\, 会议\r\nLOCATION:Hall\r\n"),
         [](SyncDevice&, ScheduleItem& e) { e.title += " practice"; },
         {"SUMMARY:Choir practice", "DESCRIPTION:Кабинет 3 – Ärztehaus\\, 会议", "LOCATION:Hall",
          "DTSTART:20261211T090000"},
         {}, "same"},
        {"reminder changed: the first alarm's trigger only",
         Single("DTSTART:20261211T090000\r\nDTEND:20261211T100000\r\n",
                "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Go\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
                "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Leave now\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\n"),
         [](SyncDevice&, ScheduleItem& e) { e.remindMinutes = 30; },
         {"TRIGGER:-PT30M", "DESCRIPTION:Go", "DESCRIPTION:Leave now", "TRIGGER:-PT5M"}, {"TRIGGER:-PT15M"}, "same"},
        {"rule changed on a zoned series: the new rule in the series' zone", Weekly("Europe/Berlin"),
         [](SyncDevice&, ScheduleItem& e) {
             e.front.recurKind = kKindDaily;
             e.front.recurPattern = 0;
             e.front.recurFlags = 1;
         },
         {"RRULE:FREQ=DAILY", "DTSTART;TZID=Europe/Berlin:20261207T190000"}, {"DTSTART:2026", "BYDAY=MO"}, ""},
    };
    const char* dir = std::getenv("ORV_MERGE_DIR");
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ++n;
        MemoryCalDav server;
        SyncDevice here(Now());
        server.DevicePut("e.ics", row.kept);
        here.Sync(server);
        const ScheduleItem* e = here.ByTitle("Choir");
        ASSERT_NE(e, nullptr);
        auto copy = std::make_unique<ScheduleItem>(*e);
        row.edit(here, *copy);
        here.store.SaveEvent(copy, true, true);
        const SyncResult r = here.Sync(server);
        EXPECT_EQ(r.sent, 1);
        const std::string& sent = server.Find("e.ics")->text;
        for (const std::string& s : row.present) EXPECT_NE(sent.find(s), std::string::npos) << s << "\n" << sent;
        for (const std::string& s : row.absent) EXPECT_EQ(sent.find(s), std::string::npos) << s << "\n" << sent;
        // What the calendar reads back of what it sent is what it holds.
        const SyncResult again = here.Sync(server);
        EXPECT_EQ(again.sent + again.received + again.conflicts, 0);
        if (dir != nullptr && !row.expect.empty()) {
            const std::string base = std::string(dir) + "/merge-" + std::to_string(n);
            std::ofstream(base + ".before.ics", std::ios::binary) << row.kept;
            std::ofstream(base + ".after.ics", std::ios::binary) << sent;
            std::ofstream(base + ".expect") << row.expect << "\n" << row.name << "\n";
        }
    }
}

}  // namespace
