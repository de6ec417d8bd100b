#include <gtest/gtest.h>

#include <string>

#include "interop/ics_reader.h"
#include "interop/ics_zone.h"
#include "portable/interop_fixture.h"

namespace {

// Central European rules with the change's time written into the rule as
// well, as some mail servers do.
std::string CentralEurope(const std::string& tzid, const std::string& summerRule, const std::string& winterRule) {
    return "BEGIN:VTIMEZONE\r\nTZID:" + tzid +
           "\r\n"
           "BEGIN:DAYLIGHT\r\nDTSTART:19700329T020000\r\nRRULE:" + summerRule +
           "\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nEND:DAYLIGHT\r\n"
           "BEGIN:STANDARD\r\nDTSTART:19701025T030000\r\nRRULE:" + winterRule +
           "\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
}

TEST(IcsZone, TakesTimeOfDayPartsOnlyWhereTheyRepeatTheChangesOwnTime) {
    const std::string winter = "FREQ=YEARLY;BYMINUTE=0;BYHOUR=3;BYDAY=-1SU;BYMONTH=10";
    const struct {
        const char* summer;
        int july;  // offset in mid-July; standard time when the rule is refused
    } cases[] = {
        {"FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3", 7200},
        {"FREQ=YEARLY;BYMINUTE=0;BYHOUR=2;BYDAY=-1SU;BYMONTH=3", 7200},
        {"FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3;BYHOUR=2;BYMINUTE=0;BYSECOND=0", 7200},
        {"FREQ=YEARLY;BYHOUR=3;BYDAY=-1SU;BYMONTH=3", 3600},
        {"FREQ=YEARLY;BYHOUR=2,14;BYDAY=-1SU;BYMONTH=3", 3600},
        {"FREQ=YEARLY;BYHOUR=2;BYMINUTE=30;BYDAY=-1SU;BYMONTH=3", 3600},
        {"FREQ=YEARLY;BYHOUR=2;BYSECOND=60;BYDAY=-1SU;BYMONTH=3", 3600},
        {"FREQ=YEARLY;BYHOUR=26;BYDAY=-1SU;BYMONTH=3", 3600},
        {"FREQ=YEARLY;BYHOUR=2;BYWEEKNO=13;BYDAY=-1SU;BYMONTH=3", 3600},
    };
    for (const auto& c : cases) {
        const IcsReadResult read = ReadIcs("BEGIN:VCALENDAR\r\n" + CentralEurope("CE", c.summer, winter) + "END:VCALENDAR\r\n");
        ASSERT_TRUE(read.Ok()) << read.error;
        IcsZone zone;
        ASSERT_TRUE(IcsZone::FromComponent(read.calendars.at(0).components.at(0), zone));
        EXPECT_EQ(zone.OffsetAt(WallSeconds(2026, 7, 15, 10 * 3600)), c.july) << c.summer;
        EXPECT_EQ(zone.OffsetAt(WallSeconds(2026, 1, 15, 10 * 3600)), 3600) << c.summer;
        // The autumn change at 03:00 by the rule's own time, not midnight's.
        EXPECT_EQ(zone.OffsetAt(WallSeconds(2026, 10, 25, 2 * 3600 + 59 * 60)), c.july) << c.summer;
        EXPECT_EQ(zone.OffsetAt(WallSeconds(2026, 10, 25, 3 * 3600)), 3600) << c.summer;
    }
}

// Times in a described zone come in at the instant they name, whatever
// this computer's zone is.
TEST(IcalImport, FindsTheZoneOfEveryTimeTheFileDescribes) {
    const std::string lotus = "FREQ=YEARLY;BYMINUTE=0;BYHOUR=2;BYDAY=-1SU;BYMONTH=3";
    const std::string lotusWinter = "FREQ=YEARLY;BYMINUTE=0;BYHOUR=3;BYDAY=-1SU;BYMONTH=10";
    const std::string plainWinter = "FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10";
    const std::string event = "BEGIN:VEVENT\r\nUID:u\r\nSUMMARY:Review\r\n";
    const struct {
        const char* what;
        std::string body;
        Instant start;  // 10:00 in the zone named, or as written where none is
        int unknownZones;
    } cases[] = {
        {"rules with the change's time", CentralEurope("W. Europe", lotus, lotusWinter) + event +
             "DTSTART;TZID=W. Europe:20260715T100000\r\nEND:VEVENT\r\n", UtcInstant(2026, 7, 15, 8), 0},
        {"the same in winter", CentralEurope("W. Europe", lotus, lotusWinter) + event +
             "DTSTART;TZID=W. Europe:20260115T100000\r\nEND:VEVENT\r\n", UtcInstant(2026, 1, 15, 9), 0},
        {"an empty zone name, described", CentralEurope("", "FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3", plainWinter) + event +
             "DTSTART;TZID=:20260715T100000\r\nEND:VEVENT\r\n", UtcInstant(2026, 7, 15, 8), 0},
        {"an empty zone name beside a named zone",
         CentralEurope("Other", "FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3", plainWinter) + event +
             "DTSTART;TZID=:20260715T100000\r\nEND:VEVENT\r\n", Local(2026, 7, 15, 10), 1},
        {"an empty zone name, not described", event + "DTSTART;TZID=\"\":20260715T100000\r\nEND:VEVENT\r\n",
         Local(2026, 7, 15, 10), 1},
    };
    for (const auto& c : cases) {
        InteropStore s(Local(2026, 6, 1, 12));
        const ImportPlan plan = s.Import(Vcalendar(c.body));
        ASSERT_EQ(plan.error, "") << c.what;
        ASSERT_EQ(plan.report.imported, 1) << c.what << ": " << plan.report.Text();
        EXPECT_EQ(plan.report.unknownZones, c.unknownZones) << c.what;
        const ScheduleItem* e = s.ByTitle("Review");
        ASSERT_NE(e, nullptr) << c.what;
        LocalFields f;
        ASSERT_TRUE(BreakDownLocal(c.start, f));
        EXPECT_EQ(e->front.startDate, Local(f.year, f.month, f.day)) << c.what;
        EXPECT_EQ(e->front.startTime, f.hour * 3600 + f.minute * 60) << c.what;
    }
}

}  // namespace
