#include <gtest/gtest.h>

#include <string>

#include "interop/ics_reader.h"
#include "interop/ics_text.h"
#include "interop/ics_values.h"
#include "interop/ics_writer.h"
#include "platform/memory/cp1252_codec.h"

namespace {

std::string Calendar(const std::string& body) { return "BEGIN:VCALENDAR\r\n" + body + "END:VCALENDAR\r\n"; }

TEST(IcsText, EscapesAndUnescapesText) {
    EXPECT_EQ(EscapeText("a,b;c\\d\r\ne\nf\rg"), "a\\,b\\;c\\\\d\\ne\\nf\\ng");
    EXPECT_EQ(UnescapeText("a\\,b\\;c\\\\d\\ne\\Nf\\x"), "a,b;c\\d\ne\nfx");
}

TEST(IcsText, ChecksUtf8Strictly) {
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x85"));
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(IcsText, FoldsAt75OctetsWithoutSplittingCharactersAndReadsBack) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "\xE2\x82\xAC";  // 3 octets each
    IcsWriter w;
    w.Begin("VCALENDAR");
    w.Text("SUMMARY", text);
    w.End("VCALENDAR");
    const std::string& out = w.Result();
    std::size_t start = 0;
    for (std::size_t end; (end = out.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = out.substr(start, end - start);
        EXPECT_LE(line.size(), 75u);
        EXPECT_TRUE(IsValidUtf8(line.substr(line[0] == ' ' ? 1 : 0)));
    }
    const IcsReadResult read = ReadIcs(out);
    ASSERT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(read.calendars.at(0).Find("SUMMARY")->value, text);
}

TEST(IcsText, QuotesParameterValuesThatHoldSeparators) {
    IcsWriter w;
    w.Property("ATTENDEE", "mailto:a@b.c", {{"CN", "Doe, \"Jo\": x"}, {"ROLE", "CHAIR"}});
    EXPECT_EQ(w.Result(), "ATTENDEE;CN=\"Doe, 'Jo': x\";ROLE=CHAIR:mailto:a@b.c\r\n");
}

TEST(IcsReader, ReadsParametersQuotedValuesAndUnfoldsLines) {
    const IcsReadResult read = ReadIcs(Calendar(
        "BEGIN:VEVENT\nsummary;LANGUAGE=en;X-LIST=a,\"b;c:d\",e:Lunch: at\r\n  noon\r\n\tsharp\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nEND:VALARM\r\nEND:VEVENT\r\n"));
    ASSERT_TRUE(read.Ok()) << read.error;
    const IcsComponent& event = read.calendars.at(0).components.at(0);
    const IcsProperty* p = event.Find("SUMMARY");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->value, "Lunch: at noonsharp");
    EXPECT_EQ(*p->Param("LANGUAGE"), "en");
    EXPECT_EQ(p->params.at(1).values, (std::vector<std::string>{"a", "b;c:d", "e"}));
    EXPECT_EQ(p->line, 3u);
    EXPECT_EQ(event.components.at(0).name, "VALARM");
}

TEST(IcsReader, RefusesWhatIsNotACalendarOrPassesALimit) {
    IcsLimits small;
    small.maxBytes = 4096;
    small.maxLineBytes = 100;
    small.maxComponents = 3;
    small.maxDepth = 3;
    const std::string event = "BEGIN:VEVENT\r\nEND:VEVENT\r\n";
    const std::string noEvent = "No event in the file could be read. ";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "This is not an iCalendar file."},
        {"<html><body>calendar</body></html>", "This is not an iCalendar file."},
        {"BEGIN:VCARD\r\nFN:Jo\r\nEND:VCARD\r\n", "This is not an iCalendar file."},
        {"BEGIN:VEVENT\r\nDTSTART:20260310T090000\r\nEND:VEVENT\r\n", "This is not an iCalendar file."},
        {Calendar("BEGIN:X-A\r\nBEGIN:X-A\r\nBEGIN:X-A\r\n"), "Line 4 nests components too deeply."},
        {Calendar("BEGIN:VALARM\r\nBEGIN:X-A\r\nBEGIN:X-A\r\n"), "Line 4 nests components too deeply."},
        {Calendar(event + event + event), "The file holds more than 3 components."},
        {Calendar("SUMMARY:" + std::string(120, 'x') + "\r\n"), "Line 2 is longer than 0 KB."},
        {Calendar("DESCRIPTION:" + std::string(60, 'x') + "\r\n" + std::string(60, 'y') + "\r\n"),
         "Line 3 is longer than 0 KB."},
        {Calendar(std::string(5000, ' ')), "The file is larger than 0 MB."},
        // Problems and no event: the first problem says why.
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:cut", noEvent + "The file ends inside VEVENT: it is incomplete."},
        {Calendar("END:VEVENT\r\n"), noEvent + "Line 2 ends VEVENT, which was not begun."},
        {Calendar("no colon here\r\n"), noEvent + "Line 2 is not an iCalendar content line."},
        {Calendar("BEGIN:VALARM\r\n" + event + "END:VALARM\r\n"), noEvent + "Line 2 puts VALARM inside VCALENDAR."},
        {Calendar("") + "SUMMARY:after\r\n", noEvent + "Line 3 stands outside the calendar."},
    };
    for (const auto& c : cases) {
        const IcsReadResult read = ReadIcs(c.text, small);
        EXPECT_EQ(read.error, c.message) << c.text.substr(0, 60);
        EXPECT_TRUE(read.calendars.empty());
    }
}

// Files as other programs really write them: what cannot be read is left
// out and counted, the rest comes in.
TEST(IcsReader, ReadsPastWhatItCannotRead) {
    const std::string event = "BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:Lunch\r\nEND:VEVENT\r\n";
    const std::string fold(75 - 12, 'x');  // "DESCRIPTION:" and these fill a fold's 75 octets
    const struct {
        const char* what;
        std::string text;
        std::size_t skipped;
        std::size_t events;
        const char* property;  // in the last event
        std::string value;     // as it stands in the file, still escaped
    } cases[] = {
        {"a semicolon escaped in an unquoted parameter",
         Calendar("BEGIN:VEVENT\r\nX-APPLE-STRUCTURED-LOCATION;VALUE=URI;X-ADDRESS=Hauptstra\xC3\x9F" "e 1-5\\; 4041 "
                  "Linz;X-TITLE=Office:geo:48.3,14.3\r\nEND:VEVENT\r\n"),
         0, 1, "X-APPLE-STRUCTURED-LOCATION", "geo:48.3,14.3"},
        {"a parameter without a value or with a blank in its name",
         Calendar("BEGIN:VEVENT\r\nX-APPLE-STRUCTURED-LOCATION;X-APPLE-RADIUS;X-APPLE MAP=1;X-TITLE=\"Office\"x:geo:1,2"
                  "\r\nEND:VEVENT\r\n"),
         0, 1, "X-APPLE-STRUCTURED-LOCATION", "geo:1,2"},
        {"a fold that lost its space",
         Calendar("BEGIN:VEVENT\r\nDESCRIPTION:" + fold + "\r\nmore text\r\nEND:VEVENT\r\n"), 0, 1, "DESCRIPTION",
         fold + "more text"},
        {"line breaks written as they are; a line shaped as a property is one",
         Calendar("BEGIN:VEVENT\r\nDESCRIPTION:Agenda\r\n1. Budget\r\nTime: 10:00\r\nNote;x=y:bring it\r\n"
                  "LOCATION:Room 4\r\nEND:VEVENT\r\n"),
         0, 1, "DESCRIPTION", "Agenda\\n1. Budget"},
        {"an unknown property after a title",
         Calendar("BEGIN:VEVENT\r\nSUMMARY:Lunch\r\nCLASSIFICATION:PUBLIC\r\nEND:VEVENT\r\n"), 0, 1, "SUMMARY",
         "Lunch"},
        {"a line that is no property after a start",
         Calendar("BEGIN:VEVENT\r\nDTSTART:20260310T090000\r\nSUMMARY=testevent\r\nEND:VEVENT\r\n"), 1, 1,
         "DTSTART", "20260310T090000"},
        {"a line that is no property after a UID of a fold's length",
         Calendar("BEGIN:VEVENT\r\nUID:" + std::string(71, 'u') + "\r\nmore text\r\nEND:VEVENT\r\n"), 1, 1, "UID",
         std::string(71, 'u')},
        {"a line after the calendar's end", Calendar(event) + "<!-- served from cache -->\r\n", 1, 1, "SUMMARY",
         "Lunch"},
        {"lines before the calendar", "HTTP/1.1 200 OK\r\nContent-Type: text/calendar\r\n\r\n" + Calendar(event), 2,
         1, "SUMMARY", "Lunch"},
        {"Windows-1252 text", Calendar("BEGIN:VEVENT\r\nSUMMARY:Caf\xE9 M\xFCller \x80 5\r\nEND:VEVENT\r\n"), 0, 1,
         "SUMMARY", "Caf\xC3\xA9 M\xC3\xBCller \xE2\x82\xAC 5"},
        {"UTF-8 with a broken byte",
         Calendar("BEGIN:VEVENT\r\nSUMMARY:\xE4\xBC\x9A\xE8\xAD\xB0\xE8\xAD \xE5\xAE\xA4\r\nEND:VEVENT\r\n"), 0, 1,
         "SUMMARY", "\xE4\xBC\x9A\xE8\xAD\xB0?? \xE5\xAE\xA4"},
        {"a VERSION without a value", "BEGIN:VCALENDAR\r\nVERSION\r\n" + event + "END:VCALENDAR\r\n", 1, 1, "UID",
         "a"},
        {"blank lines", Calendar("\r\n" + event + "  \r\n\r\n" + event), 0, 2, "SUMMARY", "Lunch"},
        {"an END of what was not begun", Calendar(event + "END:VEVENT\r\nEND:VALARM\r\n"), 2, 1, "UID", "a"},
        {"an END left out before the next event",
         Calendar("BEGIN:VEVENT\r\nUID:first\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n" + event), 0, 2, "UID", "a"},
        {"an END left out before the calendar's end", Calendar("BEGIN:VEVENT\r\nUID:b\r\n"), 0, 1, "UID", "b"},
        {"a component where it cannot stand",
         Calendar("BEGIN:VALARM\r\nACTION:DISPLAY\r\nBEGIN:X-A\r\nEND:X-A\r\nEND:VALARM\r\n" + event), 5, 1, "UID",
         "a"},
        {"a file cut inside its second event", "BEGIN:VCALENDAR\r\n" + event + "BEGIN:VEVENT\r\nUID:c\r\nSUMM",
         3, 1, "UID", "a"},
        {"no END:VCALENDAR", "BEGIN:VCALENDAR\r\n" + event, 0, 1, "SUMMARY", "Lunch"},
    };
    for (const auto& c : cases) {
        const IcsReadResult read = ReadIcs(c.text);
        ASSERT_TRUE(read.Ok()) << c.what << ": " << read.error;
        EXPECT_EQ(read.skippedLines, c.skipped) << c.what;
        std::vector<const IcsComponent*> events;
        for (const IcsComponent& calendar : read.calendars)
            for (const IcsComponent& component : calendar.components)
                if (component.name == "VEVENT") events.push_back(&component);
        ASSERT_EQ(events.size(), c.events) << c.what;
        const IcsProperty* p = events.back()->Find(c.property);
        ASSERT_NE(p, nullptr) << c.what;
        EXPECT_EQ(p->value, c.value) << c.what;
    }
}

// What the parameters of those lines keep.
TEST(IcsReader, KeepsTheParametersItCanRead) {
    const IcsReadResult read = ReadIcs(
        Calendar("BEGIN:VEVENT\r\nX-LOC;X-APPLE-RADIUS;X-ADDRESS=1-5\\; Linz\\, AT;X-TITLE=\"A\"b;X-RADIUS=70:geo:1,2\r\n"
                 "END:VEVENT\r\n"));
    ASSERT_TRUE(read.Ok()) << read.error;
    const IcsProperty* p = read.calendars.at(0).components.at(0).Find("X-LOC");
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->params.size(), 2u);
    EXPECT_EQ(*p->Param("X-ADDRESS"), "1-5; Linz, AT");
    EXPECT_EQ(*p->Param("X-RADIUS"), "70");
    EXPECT_EQ(p->value, "geo:1,2");
}

TEST(IcsValues, ParsesTimesDurationsAndOffsets) {
    IcsTime t;
    ASSERT_TRUE(ParseIcsTime("20260310T090000Z", t));
    EXPECT_TRUE(t.utc);
    EXPECT_EQ(t.seconds, 9 * 3600);
    ASSERT_TRUE(ParseIcsTime("20240229", t));
    EXPECT_TRUE(t.dateOnly);
    for (const char* bad : {"20250229", "20261310", "20260310T250000", "20260310T0900", "2026031", "20260310T090000X"})
        EXPECT_FALSE(ParseIcsTime(bad, t)) << bad;
    const struct {
        const char* text;
        long long seconds;
    } durations[] = {{"PT15M", 900}, {"-PT1H30M", -5400}, {"P1W", 604800}, {"-P1DT2H", -93600}, {"+PT0S", 0}};
    for (const auto& d : durations) {
        long long s = 1;
        EXPECT_TRUE(ParseIcsDuration(d.text, s)) << d.text;
        EXPECT_EQ(s, d.seconds) << d.text;
    }
    long long s = 0;
    for (const char* bad : {"P", "PT", "15M", "P1H", "PT1D", "P1DT"}) EXPECT_FALSE(ParseIcsDuration(bad, s)) << bad;
    EXPECT_EQ(FormatIcsDuration(-600), "-PT10M");
    EXPECT_EQ(FormatIcsDuration(0), "PT0M");
    int offset = 0;
    ASSERT_TRUE(ParseUtcOffset("-0430", offset));
    EXPECT_EQ(offset, -16200);
    EXPECT_FALSE(ParseUtcOffset("0100", offset));
}

TEST(IcsValues, ParsesRecurrenceRules) {
    IcsRecurRule rule;
    ASSERT_TRUE(ParseRecurRule("FREQ=MONTHLY;INTERVAL=2;BYDAY=-1FR,2TU;UNTIL=20261231T235959;WKST=SU;BYHOUR=9", rule));
    EXPECT_EQ(rule.freq, "MONTHLY");
    EXPECT_EQ(rule.interval, 2);
    EXPECT_EQ(rule.byDay, (std::vector<IcsByDay>{{-1, 5}, {2, 2}}));
    EXPECT_TRUE(rule.hasUntil);
    EXPECT_EQ(rule.weekStart, 0);
    EXPECT_EQ(rule.unsupported, std::vector<std::string>{"BYHOUR"});
    for (const char* bad : {"INTERVAL=2", "FREQ=DAILY;COUNT=3;UNTIL=20260101", "FREQ=DAILY;INTERVAL=0",
                            "FREQ=WEEKLY;BYDAY=XX", "FREQ=MONTHLY;BYMONTHDAY=32", "FREQ=YEARLY;BYMONTH=13"})
        EXPECT_FALSE(ParseRecurRule(bad, rule)) << bad;
}

TEST(Cp1252Codec, ConvertsBothWaysAndCountsWhatTheCodePageLacks) {
    const Cp1252Codec codec;
    EXPECT_EQ(codec.ToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    std::size_t replaced = 0;
    EXPECT_EQ(codec.FromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xED\x95\x9C \xF0\x9F\x93\x85", replaced), "caf\xE9 \x80 ? ?");
    EXPECT_EQ(replaced, 2u);
}

}  // namespace
