#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "bench/event_mix.h"

#include "core/occurrence.h"
#include "interop/ics_reader.h"
#include "portable/interop_fixture.h"

namespace {

struct Rule {
    std::uint8_t kind;
    std::uint16_t pattern;
    std::uint8_t interval;
};

std::unique_ptr<ScheduleItem> Recurring(int y, int m, int d, Rule rule, int endY = 0, int endM = 0, int endD = 0) {
    auto item = std::make_unique<ScheduleItem>();
    ScheduleFront& f = item->front;
    f.startDate = static_cast<std::int32_t>(Local(y, m, d));
    f.startTime = 9 * 3600;
    f.endTime = 10 * 3600 + 1800;
    f.recurKind = rule.kind;
    f.recurPattern = rule.pattern;
    f.recurInterval = rule.interval;
    if (endY == 0) f.recurFlags = 1;
    f.endDate = static_cast<std::int32_t>(endY ? Local(endY, endM, endD, 23, 59, 59) : Local(y, m, d, 23, 59, 59));
    return item;
}

LocalFields LocalOf(Instant t) {
    LocalFields f;
    EXPECT_TRUE(BreakDownLocal(t, f));
    return f;
}

std::string Value(const IcsComponent& c, const char* name) {
    const IcsProperty* p = c.Find(name);
    return p ? p->value : "(none)";
}

TEST(IcalExport, WritesEveryKindAsARuleThatOtherReadersExpandAlike) {
    InteropStore s(Local(2026, 1, 10, 12));
    const struct {
        const char* title;
        std::unique_ptr<ScheduleItem> item;
        const char* dtstart;
        const char* rrule;
        const char* start;  // X-ORV-START
    } cases[] = {
        {"daily until", Recurring(2026, 1, 5, {30, 0, 2}, 2026, 2, 1), "20260105T090000",
         "FREQ=DAILY;INTERVAL=2;UNTIL=20260201T235959", "(none)"},
        {"weekly from a tuesday", Recurring(2026, 1, 6, {60, 0x0A, 2}), "20260107T090000",
         "FREQ=WEEKLY;BYDAY=MO,WE;WKST=TU;INTERVAL=2", "20260106"},
        {"29th from the 13th", Recurring(2026, 1, 13, {90, 29, 1}), "20260129T090000",
         "FREQ=MONTHLY;BYMONTHDAY=28,29;BYSETPOS=-1", "20260113"},
        {"30th", Recurring(2026, 2, 1, {90, 30, 1}), "20260228T090000", "FREQ=MONTHLY;BYMONTHDAY=28,29,30;BYSETPOS=-1",
         "20260201"},
        {"31st every 2 months", Recurring(2026, 1, 31, {90, 31, 2}), "20260131T090000",
         "FREQ=MONTHLY;BYMONTHDAY=-1;INTERVAL=2", "(none)"},
        {"second tuesday", Recurring(2026, 1, 1, {91, 1 << 4 | 2, 3}), "20260113T090000",
         "FREQ=MONTHLY;BYDAY=2TU;INTERVAL=3", "20260101"},
        {"last friday", Recurring(2026, 1, 1, {91, 4 << 4 | 5, 1}), "20260130T090000", "FREQ=MONTHLY;BYDAY=-1FR",
         "20260101"},
        {"29 february", Recurring(2026, 1, 31, {120, 2 << 8 | 29, 1}), "20260228T090000",
         "FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=28,29;BYSETPOS=-1", "20260131"},
        {"31 april", Recurring(2026, 1, 1, {120, 4 << 8 | 31, 1}), "20260430T090000",
         "FREQ=YEARLY;BYMONTH=4;BYMONTHDAY=-1", "20260101"},
        {"second sunday of may", Recurring(2026, 5, 10, {121, 5 << 8 | 1 << 4 | 0, 2}), "20260510T090000",
         "FREQ=YEARLY;BYMONTH=5;BYDAY=2SU;INTERVAL=2", "(none)"},
    };
    std::uint32_t id = 1;
    for (const auto& c : cases) {
        auto item = Recurring(2026, 1, 1, {30, 0, 1});
        *item = *c.item;
        item->front.id = id++;
        item->title = c.title;
        ASSERT_TRUE(s.store.SaveEvent(item, true, true));
    }
    const ExportResult out = s.Export();
    EXPECT_EQ(out.exported, static_cast<int>(std::size(cases)));
    const IcsReadResult read = ReadIcs(out.text);
    ASSERT_TRUE(read.Ok()) << read.error;
    for (const IcsComponent& event : read.calendars.at(0).components) {
        const std::string title = Value(event, "SUMMARY");
        for (const auto& c : cases) {
            if (title != c.title) continue;
            EXPECT_EQ(Value(event, "DTSTART"), c.dtstart) << title;
            EXPECT_EQ(Value(event, "RRULE"), c.rrule) << title;
            EXPECT_EQ(Value(event, "X-ORV-START"), c.start) << title;
            EXPECT_EQ(Value(event, "DTEND").substr(8), "T103000") << title;
        }
    }
}

TEST(IcalExport, WritesUidExclusionsReminderAndFilesAndLeavesOutEventsWithoutOccurrence) {
    InteropStore s(Local(2026, 3, 1, 12));
    auto weekly = Recurring(2026, 3, 2, {60, 0x02, 1}, 2026, 6, 30);
    weekly->front.id = 7;
    weekly->title = "Stand-up, daily; really";
    weekly->note = "Room 4\r\nBring notes";
    weekly->actions = kActionPlaySound | kActionLaunchFile;
    weekly->remindMinutes = 15;
    weekly->soundfile = "C:\\Media\\ding dong.wav";
    weekly->launchfile = "C:\\Tools\\agenda.exe";
    ASSERT_TRUE(s.store.SaveEvent(weekly, true, true));
    s.store.ToggleExclusion(7, 2026, 3, 16, 60);
    s.store.ToggleExclusion(7, 2026, 2, 23, 60);  // before the first occurrence: not written

    auto gone = Recurring(2026, 3, 21, {90, 20, 1}, 2026, 4, 10);  // the 20th falls after its end
    gone->front.id = 8;
    gone->title = "never";
    ASSERT_TRUE(s.store.SaveEvent(gone, true, true));
    auto excluded = Recurring(2026, 3, 5, {1, 0, 1}, 2026, 3, 5);
    excluded->front.id = 9;
    excluded->title = "excluded one-off";
    ASSERT_TRUE(s.store.SaveEvent(excluded, true, true));
    s.store.ToggleExclusion(9, 2026, 3, 5, 1);

    const ExportResult out = s.Export();
    EXPECT_EQ(out.exported, 1);
    EXPECT_EQ(out.leftOut, 2);
    const IcsReadResult read = ReadIcs(out.text);
    ASSERT_TRUE(read.Ok()) << read.error;
    const IcsComponent& calendar = read.calendars.at(0);
    EXPECT_EQ(Value(calendar, "PRODID"), kIcsProductId);
    const IcsComponent& event = calendar.components.at(0);
    EXPECT_EQ(Value(event, "UID"), "7-0123456789abcdef@orvcalendar");
    EXPECT_EQ(Value(event, "SUMMARY"), "Stand-up\\, daily\\; really");
    EXPECT_EQ(Value(event, "DESCRIPTION"), "Room 4\\nBring notes");
    EXPECT_EQ(Value(event, "EXDATE"), "20260316T090000");
    EXPECT_EQ(Value(event, "RRULE"), "FREQ=WEEKLY;BYDAY=MO;WKST=MO;UNTIL=20260630T235959");
    EXPECT_EQ(Value(event, "X-ORV-SOUNDFILE"), "C:\\\\Media\\\\ding dong.wav");
    EXPECT_EQ(*event.Find("X-ORV-LAUNCHFILE")->Param("X-ORV-LAUNCH"), "TRUE");
    const std::string stamp = Value(event, "DTSTAMP");  // a UTC time
    EXPECT_EQ(stamp.size(), 16u);
    EXPECT_EQ(stamp.back(), 'Z');
    const IcsComponent& alarm = event.components.at(0);
    EXPECT_EQ(Value(alarm, "TRIGGER"), "-PT15M");
    EXPECT_EQ(Value(alarm, "ACTION"), "AUDIO");
    EXPECT_EQ(Value(alarm, "ATTACH"), "file:///C:/Media/ding%20dong.wav");
}

}  // namespace


namespace {

// Export then import gives the same records, ids aside: the randomized mix
// of every kind, with exclusions, notes, files and reminders.
TEST(IcalRoundTrip, TheEventMixComesBackAsItWas) {
    InteropStore from(Local(2026, 6, 15, 12));
    EventList mix = MakeEventMix(300, 2026, 2, 8, 20260615);
    int n = 0;
    for (auto& event : mix) {
        event->note = n % 3 == 0 ? "Line one, two; three\r\nLine \\ four" : "";
        event->soundfile = "C:\\Media\\chime.wav";
        event->launchfile = n % 4 == 0 ? "C:\\Program Files\\Tool\\run.exe" : "";
        event->actions = static_cast<std::uint8_t>(n % 4);
        auto item = std::make_unique<ScheduleItem>(*event);
        ASSERT_TRUE(from.store.SaveEvent(item, true, true));
        ++n;
    }
    int excluded = 0;
    for (const auto& event : from.store.Events()) {
        Instant at = 0;
        const ScheduleFront& f = event->front;
        if (IsRecurring(f.recurKind) && event->front.id % 2 == 0 &&
            FindOccurrence(*event, Local(2026, 7, 1), IsEndless(f) ? INT32_MAX : f.endDate, &at)) {
            const LocalFields d = LocalOf(at);
            from.store.ToggleExclusion(f.id, d.year, d.month, d.day, f.recurKind);
            ++excluded;
        }
    }
    ASSERT_GT(excluded, 50);
    const ExportResult out = from.Export();

    InteropStore to(Local(2026, 6, 15, 12));
    const ImportPlan plan = to.Import(out.text);
    ASSERT_EQ(plan.error, "");
    EXPECT_EQ(plan.report.imported, out.exported);
    // A file, even the user's own, never switches a program on.
    int launching = 0;
    for (const auto& a : from.store.Events())
        if ((a->actions & kActionLaunchFile) != 0 && to.ByTitle(a->title) != nullptr) ++launching;
    ASSERT_GT(launching, 0);
    EXPECT_EQ(plan.report.Text(), std::to_string(out.exported) + " events imported.\n" + std::to_string(launching) +
                                      " events asked to open a program at their reminders; that was left off: "
                                      "switch it on in the editor if you trust it.");
    int compared = 0;
    for (const auto& a : from.store.Events()) {
        const ScheduleItem* b = to.ByTitle(a->title);
        const ScheduleFront& f = a->front;
        const bool occurs = FindOccurrence(*a, f.startDate, IsEndless(f) ? INT32_MAX : f.endDate, nullptr);
        ASSERT_EQ(b != nullptr, occurs) << a->title;
        if (b == nullptr) continue;
        ScheduleFront expected = f;
        expected.id = b->front.id;
        // Read by no one: the end date of an endless rule, the interval of a one-off event.
        if (IsEndless(f)) expected.endDate = b->front.endDate;
        if (!IsRecurring(f.recurKind)) expected.recurInterval = b->front.recurInterval;
        EXPECT_EQ(b->front, expected) << a->title;
        EXPECT_EQ(b->note, a->note);
        EXPECT_EQ(b->soundfile, a->soundfile);
        EXPECT_EQ(b->launchfile, a->launchfile);
        EXPECT_EQ(b->actions, a->actions & ~kActionLaunchFile) << a->title;
        EXPECT_EQ(b->remindMinutes, a->remindMinutes) << a->title;
        std::vector<DateKey> was, is;
        for (const Exclusion& e : from.store.Exclusions())
            if (e.eventId == f.id) was.push_back(e.date);
        for (const Exclusion& e : to.store.Exclusions())
            if (e.eventId == b->front.id) is.push_back(e.date);
        EXPECT_EQ(is, was) << a->title;
        ++compared;
    }
    EXPECT_GT(compared, 250);
}

}  // namespace

namespace {

// Titles and notes in any script come in, are stored and go out again byte
// for byte; nothing is turned into a code page on the way.
TEST(IcalRoundTrip, TextInFourScriptsComesBackByteForByte) {
    const std::string texts[][2] = {
        {"\xD0\x92\xD1\x81\xD1\x82\xD1\x80\xD0\xB5\xD1\x87\xD0\xB0 \xD1\x81 \xD0\xB2\xD1\x80\xD0\xB0\xD1\x87\xD0\xBE\xD0\xBC",
         "Zimmer 3 \xE2\x80\x93 \xC3\x84rztehaus \xF0\x9F\x99\x82"},                    // Встреча с врачом
        {"\xE4\xBC\x9A\xE8\xAE\xAE Zo\xC3\xAB", "\xE4\xBC\x9A\xE8\xAE\xAE\xE5\xAE\xA4"},  // 会议 Zoë
        {"\xCE\xA3\xCF\x8D\xCE\xBD\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82 \xF0\x9F\x93\x85", "\xCE\xB1\xCE\xB2"},
    };
    std::string body;
    int day = 1;
    for (const auto& t : texts) {
        body += "BEGIN:VEVENT\r\nUID:script-" + std::to_string(day) + "@example.com\r\nDTSTAMP:20260101T000000Z\r\n"
                "DTSTART:2026070" + std::to_string(day) + "T090000\r\nSUMMARY:" + t[0] + "\r\nDESCRIPTION:" + t[1] +
                "\r\nEND:VEVENT\r\n";
        ++day;
    }
    InteropStore s(Local(2026, 6, 15, 12));
    const ImportPlan plan = s.Import(Vcalendar(body));
    EXPECT_EQ(plan.report.Text(), "3 events imported.");
    // Stored, and read back by another load as they came.
    EventStore reloaded{s.registry, s.clock, s.schedule, s.notifier};
    reloaded.LoadEvents();
    for (const auto& t : texts) {
        const auto e = std::find_if(reloaded.Events().begin(), reloaded.Events().end(),
                                    [&](const auto& event) { return event->title == t[0]; });
        ASSERT_NE(e, reloaded.Events().end()) << t[0];
        EXPECT_EQ((*e)->note, t[1]);
    }
    const ExportResult out = s.Export();
    const IcsReadResult read = ReadIcs(out.text);
    ASSERT_TRUE(read.Ok());
    std::vector<std::pair<std::string, std::string>> exported;
    for (const IcsComponent& c : read.calendars.at(0).components)
        if (c.name == "VEVENT") exported.push_back({Value(c, "SUMMARY"), Value(c, "DESCRIPTION")});
    ASSERT_EQ(exported.size(), 3u);
    for (const auto& t : texts)
        EXPECT_NE(std::find(exported.begin(), exported.end(), std::make_pair(t[0], t[1])), exported.end()) << t[0];
    // And a second round changes nothing.
    InteropStore again(Local(2026, 6, 15, 12));
    again.Import(out.text);
    EXPECT_EQ(again.Export().text, out.text);
}

}  // namespace
