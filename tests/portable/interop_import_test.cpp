#include <gtest/gtest.h>

#include <string>

#include "core/occurrence.h"
#include "interop/ics_reader.h"
#include "portable/interop_fixture.h"
#include "store/registry_paths.h"

namespace {

namespace r = import_reason;

LocalFields LocalOf(Instant t) {
    LocalFields f;
    EXPECT_TRUE(BreakDownLocal(t, f));
    return f;
}

Instant Midnight(Instant t) {
    const LocalFields f = LocalOf(t);
    return Local(f.year, f.month, f.day);
}

// Written after RFC 5545's own examples, in the shape a desktop program with
// meetings emits: a zone described by VTIMEZONE, times in it, folded lines.
const std::string kZonedMeeting = Vcalendar(
    "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:20070311T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
    "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nTZNAME:EDT\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nDTSTART:20071104T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
    "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nTZNAME:EST\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
    "BEGIN:VEVENT\r\nUID:19970901T130000Z-123401@example.com\r\nDTSTAMP:20260101T000000Z\r\n"
    "DTSTART;TZID=America/New_York:20260310T090000\r\nDTEND;TZID=America/New_York:20260310T100000\r\n"
    "SUMMARY:Project review\r\nDESCRIPTION:Agenda: budget\\, staffing\\; travel\\nRoom 4 \r\n"
    " \xE2\x80\x93 bring caf\xC3\xA9 and \xED\x95\x9C\r\n"
    "RRULE:FREQ=WEEKLY;BYDAY=TU;COUNT=5\r\nEXDATE;TZID=America/New_York:20260317T090000\r\n"
    "X-MICROSOFT-CDO-BUSYSTATUS:BUSY\r\n"
    "BEGIN:VALARM\r\nTRIGGER;RELATED=START:-PT30M\r\nACTION:AUDIO\r\n"
    "ATTACH;FMTTYPE=audio/basic:file:///C:/Media/chime%20one.wav\r\nEND:VALARM\r\nEND:VEVENT\r\n");

TEST(IcalImport, ZonedWeeklyMeetingBecomesALocalSeries) {
    InteropStore s(Local(2026, 3, 1, 12));
    const ImportPlan plan = s.Import(kZonedMeeting);
    ASSERT_EQ(plan.error, "");
    EXPECT_EQ(plan.report.imported, 1);
    const ScheduleItem* e = s.ByTitle("Project review");
    ASSERT_NE(e, nullptr);
    // 09:00 in New York, daylight time, is 13:00 UTC; here it is what the local zone makes of it.
    const Instant first = UtcInstant(2026, 3, 10, 13);
    const LocalFields local = LocalOf(first);
    EXPECT_EQ(e->front.startDate, Midnight(first));
    EXPECT_EQ(e->front.startTime, local.hour * 3600 + local.minute * 60);
    EXPECT_EQ(e->front.recurKind, kKindWeekly);
    EXPECT_EQ(e->front.recurPattern, 1 << local.weekdayIndex);
    EXPECT_EQ(e->front.recurFlags, 0);
    // The fifth, four weeks on by the local wall clock (where the zones
    // change their clocks on other days, the instant may differ by the change).
    EXPECT_EQ(e->front.endDate, Local(local.year, local.month, local.day + 28, 23, 59, 59));
    EXPECT_EQ(s.store.Exclusions(), (std::vector<Exclusion>{{DateKeyOf(UtcInstant(2026, 3, 17, 13)), e->front.id}}));
    EXPECT_EQ(e->note, "Agenda: budget, staffing; travel\r\nRoom 4 \xE2\x80\x93 bring caf\xC3\xA9 and \xED\x95\x9C");
    EXPECT_EQ(e->remindMinutes, 30);
    EXPECT_EQ(e->actions, kActionPlaySound);
    EXPECT_EQ(e->soundfile, "C:\\Media\\chime one.wav");
    EXPECT_EQ(e->uid, "19970901T130000Z-123401@example.com");
    // New York changed its clocks before the first; where this zone changes
    // them before the last, the report says the times may be an hour off.
    Instant last = 0;
    FindOccurrence(*e, Midnight(UtcInstant(2026, 4, 7, 13)), kLatestInstant, &last);
    const std::string follows = last != UtcInstant(2026, 4, 7, 13)
                                    ? "\"Project review\" follows the clock changes of another time zone: around "
                                      "those days it may be an hour off.\n"
                                    : "";
    EXPECT_EQ(plan.report.Text(), "1 event imported." + (follows.empty() ? "" : "\n" + follows.substr(0, follows.size() - 1)));
    // The exclusions are stored at once, and the UID in the event's key.
    RegType type;
    std::string bytes;
    EXPECT_TRUE(s.registry.Peek(std::string(kUserKeyPath) + "\\Default_Id", "EventExcluded", type, bytes));
    EXPECT_TRUE(s.registry.Peek(std::string(kEventsKeyPath) + "\\1", "uid", type, bytes));
    EXPECT_EQ(bytes, e->uid + '\0');
}

// An invitation written by someone else asks for a program and a sound on
// another computer: nothing is switched on and no network path is kept.
TEST(IcalImport, ForeignFilesNeverStartAProgramNorReachTheNetwork) {
    InteropStore s(Local(2026, 6, 15, 12));
    auto ev = [](const std::string& uid, const std::string& body) {
        return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTART:20260701T090000\r\nSUMMARY:" + uid + "\r\n" + body +
               "END:VEVENT\r\n";
    };
    auto alarm = [](const std::string& attach) {
        return "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:-PT5M\r\n" + attach + "END:VALARM\r\n";
    };
    const ImportPlan plan = s.Import(Vcalendar(
        ev("invitation", "X-ORV-LAUNCHFILE;X-ORV-LAUNCH=TRUE:C:\\\\windows\\\\notepad.exe\r\n" +
                             alarm("ATTACH:file://attacker.example/share/chime.wav\r\n")) +
        ev("share", "X-ORV-SOUNDFILE:\\\\\\\\host\\\\s\\\\a.wav\r\n"
                    "X-ORV-LAUNCHFILE;X-ORV-LAUNCH=TRUE:\\\\\\\\host\\\\s\\\\x.exe\r\n") +
        ev("web", alarm("ATTACH:http://attacker.example/chime.wav\r\n")) +
        ev("local", "X-ORV-LAUNCHFILE:C:\\\\notes.txt\r\n" + alarm("ATTACH:file:///C:/Media/bell.wav\r\n"))));
    ASSERT_EQ(plan.error, "");
    EXPECT_EQ(plan.report.imported, 4);
    for (const auto& e : s.store.Events()) {
        EXPECT_EQ(e->actions & kActionLaunchFile, 0) << e->title;
        EXPECT_FALSE(e->filesChosen) << e->title;
    }
    const ScheduleItem* invitation = s.ByTitle("invitation");
    EXPECT_EQ(invitation->launchfile, "C:\\windows\\notepad.exe");  // kept for the user to see
    EXPECT_EQ(invitation->soundfile, "");
    EXPECT_EQ(invitation->actions, kActionPlaySound);  // the default sound instead
    EXPECT_EQ(s.ByTitle("share")->soundfile, "");
    EXPECT_EQ(s.ByTitle("share")->launchfile, "");
    EXPECT_EQ(s.ByTitle("web")->soundfile, "");
    EXPECT_EQ(s.ByTitle("local")->soundfile, "C:\\Media\\bell.wav");
    EXPECT_EQ(s.ByTitle("local")->launchfile, "C:\\notes.txt");
    EXPECT_EQ(plan.report.Text(),
              "4 events imported.\n2 events asked to open a program at their reminders; that was left off: switch "
              "it on in the editor if you trust it.\n4 sound or program paths were left out: only files on this "
              "computer are kept, and only WAV files as sounds.");
    // Nothing of the file reaches the key that would let a path through later.
    RegType type;
    std::string bytes;
    EXPECT_TRUE(s.registry.Peek(std::string(kEventsKeyPath) + "\\1", "fileschosen", type, bytes));
    EXPECT_EQ(bytes, std::string(4, '\0'));
}

// The shapes a web calendar and a desktop program emit: UTC times, whole
// days, birthdays from long ago, X- properties of their own.
TEST(IcalImport, ReadsUtcTimesWholeDaysAndOldBirthdays) {
    InteropStore s(Local(2026, 6, 15, 12));
    const ImportPlan plan = s.Import(Vcalendar(
        "X-WR-CALNAME:Personal\r\nX-WR-TIMEZONE:Europe/Berlin\r\n"
        "BEGIN:VEVENT\r\nUID:a1@web\r\nDTSTART:20260706T120000Z\r\nDTEND:20260706T130000Z\r\n"
        "RRULE:FREQ=MONTHLY;BYDAY=1MO;UNTIL=20261231T235959Z\r\nSUMMARY:Team lunch\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:a2@web\r\nDTSTART;VALUE=DATE:20260704\r\nDTEND;VALUE=DATE:20260707\r\n"
        "SUMMARY:Long weekend\r\nTRANSP:TRANSPARENT\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:a3@web\r\nDTSTART;VALUE=DATE:19650412\r\nRRULE:FREQ=YEARLY\r\n"
        "SUMMARY:Ann's birthday\r\nEND:VEVENT\r\n"));
    ASSERT_EQ(plan.error, "");
    EXPECT_EQ(plan.report.imported, 3);

    const ScheduleItem* lunch = s.ByTitle("Team lunch");
    ASSERT_NE(lunch, nullptr);
    EXPECT_EQ(lunch->front.recurKind, kKindMonthlyNth);
    EXPECT_EQ(lunch->front.recurPattern, 0 << 4 | 1);
    EXPECT_EQ(lunch->front.startTime, LocalOf(UtcInstant(2026, 7, 6, 12)).hour * 3600 +
                                          LocalOf(UtcInstant(2026, 7, 6, 12)).minute * 60);
    EXPECT_EQ(lunch->front.endTime - lunch->front.startTime, 3600);

    const ScheduleItem* weekend = s.ByTitle("Long weekend");
    ASSERT_NE(weekend, nullptr);
    EXPECT_EQ(weekend->front.startDate, Local(2026, 7, 4));
    EXPECT_EQ(weekend->front.endDate, Local(2026, 7, 6, 23, 59, 59));
    EXPECT_EQ(weekend->front.startTime, 0);
    EXPECT_EQ(weekend->front.endTime, 86399);
    EXPECT_EQ(weekend->remindMinutes, 0);

    const ScheduleItem* birthday = s.ByTitle("Ann's birthday");
    ASSERT_NE(birthday, nullptr);
    EXPECT_EQ(birthday->front.recurKind, kKindYearlyDate);
    EXPECT_EQ(birthday->front.recurPattern, 4 << 8 | 12);
    EXPECT_TRUE(IsEndless(birthday->front));
    Instant next = 0;
    ASSERT_TRUE(FindOccurrence(*birthday, Local(2026, 6, 15), kLatestInstant, &next));
    EXPECT_EQ(next, Local(2027, 4, 12));
}

TEST(IcalImport, SkipsOrKeepsTheFirstOccurrenceAndSaysWhy) {
    InteropStore s(Local(2026, 6, 15, 12));
    auto ev = [](const std::string& uid, const std::string& start, const std::string& extra) {
        return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTART:" + start + "\r\nSUMMARY:" + uid + "\r\n" + extra +
               "END:VEVENT\r\n";
    };
    const ImportPlan plan = s.Import(Vcalendar(
        ev("cancelled", "20260701T090000", "STATUS:CANCELLED\r\n") +
        ev("moved", "20260701T090000", "RECURRENCE-ID:20260701T090000\r\n") +
        ev("old", "20250101T090000", "") + ev("ahead", "20270301T090000", "") + ev("nostart", "2026-07-01", "") +
        ev("twice", "20260701T090000", "") + ev("twice", "20260702T090000", "") +
        ev("hourly", "20260701T090000", "RRULE:FREQ=HOURLY;INTERVAL=4\r\n") +
        ev("the31st", "20260731T090000", "RRULE:FREQ=MONTHLY\r\n") +
        ev("extra", "20260701T090000", "RRULE:FREQ=DAILY\r\nRDATE:20260720T090000\r\n") +
        ev("lastday", "20260630T090000", "RRULE:FREQ=MONTHLY;BYMONTHDAY=-1;COUNT=3\r\n") +
        ev("weekend", "20260703T180000", "DTEND:20260705T180000\r\nRRULE:FREQ=WEEKLY\r\n") +
        "BEGIN:VEVENT\r\nUID:notitle\r\nDTSTART:20260701T090000\r\nSUMMARY: \r\nEND:VEVENT\r\n" + "BEGIN:VTODO\r\nUID:todo\r\nEND:VTODO\r\n"));
    ASSERT_EQ(plan.error, "");
    const ImportReport& report = plan.report;
    EXPECT_EQ(report.skipped, (std::map<std::string, int>{{r::kCancelled, 1},
                                                          {r::kOver, 1},
                                                          {r::kTooFarAhead, 1},
                                                          {r::kNoStart, 1},
                                                          {r::kDuplicate, 1}}));
    EXPECT_EQ(report.firstOnly, (std::map<std::string, int>{{r::kRule, 1}, {r::kMissingDay, 1}, {r::kExtraDates, 1}}));
    EXPECT_EQ(report.imported, 8);
    EXPECT_EQ(s.ByTitle("the31st")->front.recurKind, kKindNone);
    const ScheduleItem* last = s.ByTitle("lastday");
    EXPECT_EQ(last->front.recurPattern, 31);
    EXPECT_EQ(last->front.endDate, Local(2026, 8, 31, 23, 59, 59));
    EXPECT_NE(s.ByTitle("(No title)"), nullptr);
    EXPECT_EQ(report.Text(),
              "8 events imported, 5 skipped: 1 already over, 1 beyond the "
              "months the calendar shows, 1 cancelled, 1 repeated in the file, "
              "1 without a valid start.\n"
              "3 recurring events kept as a single occurrence: 1 with a repeat on a day some months or years lack, 1 "
              "with a repeat rule the calendar cannot follow, 1 with extra dates or rules.\n"
              "1 recurring event lasts several days: the calendar shows each occurrence on its first day only.\n"
              "1 to-do was left out: the calendar keeps events only.");
}

TEST(IcalImport, TheSameFileTwiceUpdatesInsteadOfAdding) {
    InteropStore s(Local(2026, 3, 1, 12));
    ASSERT_EQ(s.Import(kZonedMeeting).report.imported, 1);
    s.store.ToggleExclusion(1, 2026, 3, 24, kKindWeekly);
    const ImportPlan again = s.Import(kZonedMeeting);
    EXPECT_EQ(again.report.imported, 0);
    EXPECT_EQ(again.report.updated, 1);
    EXPECT_EQ(s.store.Count(), 1u);
    EXPECT_EQ(s.store.Exclusions().size(), 1u);  // the file's, not the one added since

    // An event of this calendar, exported and read back, is found by its UID
    // and keeps its key as it was: no "uid" value.
    auto own = std::make_unique<ScheduleItem>();
    own->front.id = 5;
    own->front.startDate = static_cast<std::int32_t>(Local(2026, 3, 5));
    own->front.endDate = static_cast<std::int32_t>(Local(2026, 3, 5, 23, 59, 59));
    own->title = "Dentist";
    ASSERT_TRUE(s.store.SaveEvent(own, true, true));
    const ImportPlan back = s.Import(s.Export().text);
    EXPECT_EQ(back.report.updated, 2);
    EXPECT_EQ(s.store.Count(), 2u);
    RegType type;
    std::string bytes;
    EXPECT_FALSE(s.registry.Peek(std::string(kEventsKeyPath) + "\\5", "uid", type, bytes));
}

// A file with lines no reader understands still brings its events; the
// report says how much was left out.
TEST(IcalImport, SaysHowManyLinesItCouldNotRead) {
    const std::string event =
        "BEGIN:VEVENT\r\nUID:u\r\nDTSTART:20260310T090000\r\nSUMMARY:Standup\r\nEND:VEVENT\r\n";
    const struct {
        std::string text;
        const char* report;
    } cases[] = {
        {Vcalendar(event), "1 event imported."},
        {Vcalendar(event) + "<!-- cached -->\r\n",
         "1 event imported.\n1 line could not be read and was skipped: line 10."},
        {Vcalendar("END:VTODO\r\n" + event + "BEGIN:VALARM\r\nEND:VALARM\r\n"),
         "1 event imported.\n3 lines could not be read and were skipped: lines 4, 10 and 11."},
        {Vcalendar(event) + "<html>\r\n<body>\r\n<p>\r\n</p>\r\n</body>\r\n",
         "1 event imported.\n5 lines could not be read and were skipped: lines 10, 11, 12 and 2 more."},
        // Neither glued onto the start nor its own property.
        {Vcalendar("BEGIN:VEVENT\r\nUID:u\r\nDTSTART:20260310T090000\r\nSUMMARY=Standup\r\nSUMMARY:Standup\r\n"
                   "END:VEVENT\r\n"),
         "1 event imported.\n1 line could not be read and was skipped: line 7."},
        // One broken byte costs one character, not the whole line's reading.
        {Vcalendar("BEGIN:VEVENT\r\nUID:u\r\nDTSTART:20260310T090000\r\nSUMMARY:Standup\r\n"
                   "DESCRIPTION:Caf\xC3\xA9 \xE9 au lait\r\nEND:VEVENT\r\n"),
         "1 event imported.\n1 byte of text that was not UTF-8 became \"?\"."},
    };
    for (const auto& c : cases) {
        InteropStore s(Local(2026, 3, 1, 12));
        const ImportPlan plan = s.Import(c.text);
        ASSERT_EQ(plan.error, "");
        EXPECT_EQ(plan.report.Text(), c.report);
        ASSERT_NE(s.ByTitle("Standup"), nullptr);
        EXPECT_NE(s.ByTitle("Standup")->front.startDate, 0u);
        if (c.text.find("DESCRIPTION") != std::string::npos) {
            EXPECT_EQ(s.ByTitle("Standup")->note, "Caf\xC3\xA9 ? au lait");
        }
    }
}

TEST(IcalImport, BadInputLeavesTheStoreUntouched) {
    InteropStore s(Local(2026, 3, 1, 12));
    for (std::uint32_t id = 1; id <= 360; ++id) {
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = id;
        item->front.startDate = static_cast<std::int32_t>(Local(2026, 3, 5));
        item->front.endDate = static_cast<std::int32_t>(Local(2026, 3, 5, 23, 59, 59));
        item->title = "Event " + std::to_string(id);
        ASSERT_TRUE(s.store.SaveEvent(item, true, true));
    }
    s.notifier.calls.clear();
    const std::string event = "BEGIN:VEVENT\r\nUID:x\r\nDTSTART:20260310T090000\r\nSUMMARY:x\r\nEND:VEVENT\r\n";
    std::string many;
    for (int i = 0; i < 100000; ++i) many += "BEGIN:VEVENT\r\nUID:" + std::to_string(i) + "\r\nEND:VEVENT\r\n";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"Name,Date\r\nLunch,2026-03-10\r\n", "This is not an iCalendar file."},
        {Vcalendar(event).substr(0, Vcalendar(event).find("SUMMARY") + 9),
         "No event in the file could be read. The file ends inside VEVENT: it is incomplete."},
        {std::string(50u << 20, 'x'), "The file is larger than 16 MB."},
        {Vcalendar(many), "The file holds more than 50000 components."},
        {Vcalendar("X-BIG:" + std::string(1u << 20, 'y') + "\r\n" + event), "Line 4 is longer than 256 KB."},
        {Vcalendar("BEGIN:VALARM\r\n" + event + "END:VALARM\r\n"),
         "No event in the file could be read. Line 4 puts VALARM inside VCALENDAR."},
    };
    for (const auto& c : cases) {
        const ImportPlan plan = s.Import(c.text);
        EXPECT_EQ(plan.error, c.message);
        EXPECT_FALSE(plan.storeFull);
        EXPECT_TRUE(plan.events.empty());
    }
    EXPECT_EQ(s.store.Count(), 360u);
    EXPECT_TRUE(s.notifier.calls.empty());
}

}  // namespace
