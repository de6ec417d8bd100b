// Series as other calendars write them: in other zones, with rules the
// calendar keeps as one occurrence, with changed occurrences.
#include <gtest/gtest.h>

#include <string>

#include "core/occurrence.h"
#include "portable/interop_fixture.h"

namespace {

namespace r = import_reason;

LocalFields LocalOf(Instant t) {
    LocalFields f;
    EXPECT_TRUE(BreakDownLocal(t, f));
    return f;
}

std::string Event(const std::string& uid, const std::string& lines) {
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nSUMMARY:" + uid + "\r\n" + lines + "END:VEVENT\r\n";
}

// The start of the occurrence on the local day of `t`, or 0.
Instant OccurrenceOn(const ScheduleItem& e, Instant t) {
    const LocalFields f = LocalOf(t);
    Instant at = 0;
    return FindOccurrence(e, Local(f.year, f.month, f.day), Local(f.year, f.month, f.day, 23, 59, 59), &at) ? at : 0;
}

const std::string kNewYorkFrom2024 =
    "BEGIN:VTIMEZONE\r\nTZID:Eastern\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:20240310T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
    "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nDTSTART:20241103T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
    "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

const std::string kMelbourne =
    "BEGIN:VTIMEZONE\r\nTZID:Australia/Melbourne\r\n"
    "BEGIN:STANDARD\r\nDTSTART:20080406T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU\r\n"
    "TZOFFSETFROM:+1100\r\nTZOFFSETTO:+1000\r\nEND:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:20081005T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=1SU\r\n"
    "TZOFFSETFROM:+1000\r\nTZOFFSETTO:+1100\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";

// A series in another zone is read at its next occurrence, whatever its
// first one was, and the report names it when the clocks change apart.
TEST(IcalImportSeries, ZonedSeriesTakeTheLocalTimeOfTheNextOccurrence) {
    const struct {
        const char* name;
        Instant now;
        std::string file;
        Instant next;                // the true instant of the next occurrence
        std::vector<Instant> later;  // true instants in the other seasons of both zones
    } cases[] = {
        {"weekly in UTC since winter", UtcInstant(2026, 4, 1, 12),
         Event("utc", "DTSTART:20251104T091500Z\r\nRRULE:FREQ=WEEKLY\r\n"), UtcInstant(2026, 4, 7, 9, 15),
         {UtcInstant(2026, 11, 3, 9, 15)}},
        {"zone described from years after the start", UtcInstant(2026, 6, 9, 12),
         kNewYorkFrom2024 + Event("ny", "DTSTART;TZID=Eastern:20190102T090000\r\nRRULE:FREQ=WEEKLY;BYDAY=WE\r\n"),
         UtcInstant(2026, 6, 10, 13), {UtcInstant(2026, 10, 28, 13), UtcInstant(2026, 12, 9, 14)}},
        {"Melbourne before its clocks go back", UtcInstant(2026, 3, 29, 12),
         kMelbourne + Event("mel", "DTSTART;TZID=Australia/Melbourne:20260105T090000\r\nRRULE:FREQ=WEEKLY\r\n"),
         UtcInstant(2026, 3, 29, 22), {UtcInstant(2026, 7, 5, 23), UtcInstant(2026, 9, 13, 23)}},
        // Ended: read at its last occurrence, never at one after its end.
        {"ended in January in UTC by a count", UtcInstant(2026, 4, 1, 12),
         Event("count", "DTSTART:20260105T091500Z\r\nRRULE:FREQ=WEEKLY;COUNT=4\r\n"), UtcInstant(2026, 1, 26, 9, 15),
         {UtcInstant(2026, 1, 5, 9, 15)}},
        {"ended in January in UTC by a date", UtcInstant(2026, 4, 1, 12),
         Event("until", "DTSTART:20260105T091500Z\r\nRRULE:FREQ=WEEKLY;UNTIL=20260126T091500Z\r\n"),
         UtcInstant(2026, 1, 26, 9, 15), {UtcInstant(2026, 1, 5, 9, 15)}},
        {"ended in New York before the spring change", UtcInstant(2026, 6, 9, 12),
         kNewYorkFrom2024 +
             Event("nyended", "DTSTART;TZID=Eastern:20260107T090000\r\nRRULE:FREQ=WEEKLY;UNTIL=20260225T140000Z\r\n"),
         UtcInstant(2026, 2, 25, 14), {UtcInstant(2026, 1, 7, 14)}},
        {"ended across the spring change", UtcInstant(2026, 4, 20, 12),
         Event("across", "DTSTART:20260202T091500Z\r\nRRULE:FREQ=WEEKLY;COUNT=10\r\n"), UtcInstant(2026, 4, 6, 9, 15),
         {UtcInstant(2026, 2, 2, 9, 15)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InteropStore s(c.now);
        const ImportPlan plan = s.Import(Vcalendar(c.file));
        ASSERT_EQ(plan.events.size(), 1u);
        const ScheduleItem& e = *s.store.Events().front();
        EXPECT_EQ(e.front.recurKind, kKindWeekly);
        EXPECT_EQ(OccurrenceOn(e, c.next), c.next);
        EXPECT_EQ(FindOccurrence(e, c.next + 86400, kLatestInstant, nullptr), c.later.back() > c.next);
        // Named exactly when the stored local time misses a later occurrence.
        bool misses = false;
        for (Instant t : c.later) misses = misses || OccurrenceOn(e, t) != t;
        EXPECT_EQ(plan.report.zoneFollowers, misses ? std::vector<std::string>{e.title} : std::vector<std::string>{});
    }
}

// Rules the calendar cannot store keep the occurrence its months show; the
// yearly ones written as monthly in one month are stored exactly.
TEST(IcalImportSeries, OneOccurrenceIsOneTheMonthsShow) {
    InteropStore s(Local(2026, 6, 15, 12));
    const struct {
        const char* uid;
        const char* lines;
        Instant start;  // the occurrence kept; 0: stored as a series
    } cases[] = {
        {"the31st", "DTSTART:20250131T090000\r\nRRULE:FREQ=MONTHLY\r\n", Local(2026, 7, 31, 9)},
        {"friday13", "DTSTART:20150213T180000\r\nRRULE:FREQ=MONTHLY;BYDAY=FR;BYMONTHDAY=13\r\n",
         Local(2026, 11, 13, 18)},
        {"election", "DTSTART;VALUE=DATE:19961105\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=TU;BYMONTHDAY=2,3,4,5,6,7,8\r\n",
         Local(2026, 11, 3)},
        {"rdate", "DTSTART:20240210T090000\r\nRRULE:FREQ=YEARLY\r\nRDATE:20260901T090000\r\n", Local(2026, 9, 1, 9)},
        {"startexcluded",
         "DTSTART:20260601T090000\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=1,15\r\nEXDATE:20260601T090000\r\n",
         Local(2026, 6, 15, 9)},
        {"ended", "DTSTART:20251201T090000\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=1,15;COUNT=4\r\n", Local(2026, 1, 15, 9)},
        {"firstshown", "DTSTART:20260201T090000\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=1,15\r\n", Local(2026, 2, 1, 9)},
        {"firstsunday", "DTSTART:20200405T100000\r\nRRULE:FREQ=MONTHLY;BYMONTH=4;BYDAY=1SU\r\n", 0},
        {"lastsunday", "DTSTART:20200329T100000\r\nRRULE:FREQ=MONTHLY;BYMONTH=3;BYDAY=-1SU\r\n", 0},
    };
    std::string file;
    for (const auto& c : cases) file += Event(c.uid, c.lines);
    const ImportPlan plan = s.Import(Vcalendar(file));
    EXPECT_EQ(plan.report.skipped, (std::map<std::string, int>{}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uid);
        const ScheduleItem* e = s.ByTitle(c.uid);
        ASSERT_NE(e, nullptr);
        if (c.start != 0) {
            EXPECT_EQ(e->front.recurKind, kKindNone);
            EXPECT_EQ(static_cast<Instant>(e->front.startDate) + e->front.startTime, c.start);
        } else {
            EXPECT_EQ(e->front.recurKind, kKindYearlyNth);
        }
    }
    EXPECT_EQ(OccurrenceOn(*s.ByTitle("firstsunday"), Local(2026, 4, 5)), Local(2026, 4, 5, 10));
    EXPECT_EQ(OccurrenceOn(*s.ByTitle("lastsunday"), Local(2026, 3, 29)), Local(2026, 3, 29, 10));
    EXPECT_EQ(OccurrenceOn(*s.ByTitle("lastsunday"), Local(2026, 3, 22)), 0);
}

// A changed occurrence is an excluded date of its series plus an event of
// its own; a cancelled one only the excluded date; one that changes nothing
// the calendar keeps, nothing. The file again changes nothing more.
TEST(IcalImportSeries, ChangedOccurrencesLeaveTheSeriesAndComeAsTheirOwn) {
    InteropStore s(Local(2026, 6, 10, 12));
    const std::string file = Vcalendar(
        "BEGIN:VEVENT\r\nUID:weekly@x\r\nRECURRENCE-ID:20260615T100000\r\nSUMMARY:Moved\r\n"
        "DTSTART:20260616T140000\r\nDTEND:20260616T150000\r\nEND:VEVENT\r\n" +
        Event("weekly@x", "DTSTART:20260601T100000\r\nDTEND:20260601T110000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO\r\n") +
        "BEGIN:VEVENT\r\nUID:weekly@x\r\nRECURRENCE-ID:20260622T100000\r\nSTATUS:CANCELLED\r\n"
        "DTSTART:20260622T100000\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:weekly@x\r\nRECURRENCE-ID:20260629T100000\r\nDTSTART:20260629T100000\r\n"
        "DTEND:20260629T110000\r\nSUMMARY:weekly@x\r\nATTENDEE;PARTSTAT=ACCEPTED:mailto:a@example.com\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:weekly@x\r\nRECURRENCE-ID:20260706T100000\r\nDTSTART:20260706T120000\r\n"
        "DTEND:20260706T130000\r\nEND:VEVENT\r\n");
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const ImportPlan plan = s.Import(file);
        EXPECT_EQ(plan.report.imported, round == 0 ? 3 : 0);
        EXPECT_EQ(plan.report.updated, round == 0 ? 0 : 3);
        EXPECT_EQ(plan.report.SkippedCount(), 0);
        ASSERT_EQ(s.store.Count(), 3u);
    }
    const ScheduleItem* series = nullptr;
    std::vector<std::pair<Instant, std::string>> ones;
    for (const auto& e : s.store.Events()) {
        if (e->front.recurKind == kKindWeekly) series = e.get();
        else ones.emplace_back(static_cast<Instant>(e->front.startDate) + e->front.startTime, e->title);
    }
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(s.store.Exclusions(), (std::vector<Exclusion>{{MakeDateKey(2026, 6, 15), series->front.id},
                                                          {MakeDateKey(2026, 6, 22), series->front.id},
                                                          {MakeDateKey(2026, 7, 6), series->front.id}}));
    std::sort(ones.begin(), ones.end());
    // The series' title comes with a change that names none.
    EXPECT_EQ(ones, (std::vector<std::pair<Instant, std::string>>{{Local(2026, 6, 16, 14), "Moved"},
                                                                  {Local(2026, 7, 6, 12), "weekly@x"}}));
    const std::string exported = s.Export().text;
    EXPECT_NE(exported.find("EXDATE:20260615T100000,20260622T100000,20260706T100000"), std::string::npos) << exported;
}

// A moved occurrence the calendar does not keep (past the months shown, or
// no room) leaves its day to the series, and the report says so.
TEST(IcalImportSeries, AMovedOccurrenceNotKeptLeavesItsDayToTheSeries) {
    const std::string newYear =
        Event("newyear", "DTSTART;VALUE=DATE:20200101\r\nRRULE:FREQ=YEARLY\r\n") +
        "BEGIN:VEVENT\r\nUID:newyear\r\nRECURRENCE-ID;VALUE=DATE:20270101\r\nSUMMARY:New Year (observed)\r\n"
        "DTSTART;VALUE=DATE:20270104\r\nEND:VEVENT\r\n";
    const std::string weekly =
        Event("weekly", "DTSTART:20260601T100000\r\nRRULE:FREQ=WEEKLY\r\n") +
        "BEGIN:VEVENT\r\nUID:weekly\r\nRECURRENCE-ID:20260803T100000\r\nDTSTART:20260804T100000\r\nEND:VEVENT\r\n";
    const struct {
        const char* name;
        std::string file;
        std::size_t room;
        const char* skip;
    } cases[] = {
        {"past the months shown", newYear, kMaxEvents, r::kTooFarAhead},
        {"no room", weekly, 1, r::kNoRoom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InteropStore s(Local(2026, 6, 10, 12));
        for (std::uint32_t id = 1; id <= kMaxEvents - c.room; ++id) {
            auto item = std::make_unique<ScheduleItem>();
            item->front.id = id;
            item->front.startDate = static_cast<std::uint32_t>(Local(2026, 6, 5));
            item->front.endDate = static_cast<std::uint32_t>(Local(2026, 6, 5, 23, 59, 59));
            ASSERT_TRUE(s.store.SaveEvent(item, true, true));
        }
        const ImportPlan plan = s.Import(Vcalendar(c.file));
        EXPECT_EQ(plan.report.imported, 1);
        EXPECT_EQ(plan.report.skipped, (std::map<std::string, int>{{c.skip, 1}}));
        EXPECT_EQ(s.store.Exclusions(), std::vector<Exclusion>{});
        EXPECT_NE(plan.report.Text().find("\n1 moved occurrence was not kept: the series shows it on the usual day."),
                  std::string::npos)
            << plan.report.Text();
    }
}

// More new events than room: the nearest to today come in, the rest are
// counted; with no room at all the file is refused as before.
TEST(IcalImportSeries, ANearlyFullCalendarTakesTheNearestEvents) {
    InteropStore s(Local(2026, 3, 10, 12));
    for (std::uint32_t id = 1; id <= kMaxEvents - 2; ++id) {
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = id;
        item->front.startDate = static_cast<std::uint32_t>(Local(2026, 3, 5));
        item->front.endDate = static_cast<std::uint32_t>(Local(2026, 3, 5, 23, 59, 59));
        item->title = "Event " + std::to_string(id);
        ASSERT_TRUE(s.store.SaveEvent(item, true, true));
    }
    const ImportPlan plan = s.Import(Vcalendar(Event("far", "DTSTART:20260610T090000\r\n") +
                                               Event("yesterday", "DTSTART:20260309T090000\r\n") +
                                               Event("soon", "DTSTART:20260312T090000\r\n") +
                                               Event("weeks", "DTSTART:20260401T090000\r\n")));
    EXPECT_EQ(plan.error, "");
    EXPECT_EQ(plan.report.imported, 2);
    EXPECT_EQ(plan.report.skipped, (std::map<std::string, int>{{r::kNoRoom, 2}}));
    EXPECT_NE(s.ByTitle("yesterday"), nullptr);
    EXPECT_NE(s.ByTitle("soon"), nullptr);
    EXPECT_EQ(s.store.Count(), kMaxEvents);

    const ImportPlan full = s.Import(Vcalendar(Event("late", "DTSTART:20260312T100000\r\n")));
    EXPECT_TRUE(full.storeFull);
    EXPECT_EQ(full.error, "The file holds 1 new event, but the calendar has no room for more (it keeps at most 361). "
                          "Nothing was imported.");
}

// Only what is saved is counted: a repeat of an event in the file adds no
// note of its own.
TEST(IcalImportSeries, NotesCountWhatWasSaved) {
    InteropStore s(Local(2026, 6, 15, 12));
    const std::string twice = Event("twice", "DTSTART:20260701T090000\r\nRRULE:FREQ=HOURLY\r\n"
                                             "DESCRIPTION:" + std::string(201, 'x') + "\r\n");
    const ImportPlan plan = s.Import(Vcalendar(twice + twice));
    EXPECT_EQ(plan.report.Text(),
              "1 event imported, 1 skipped: 1 repeated in the file.\n"
              "1 recurring event kept as a single occurrence: 1 with a repeat rule the calendar cannot follow.\n"
              "1 title, note or file name was too long and shortened or left out.");
}

}  // namespace
