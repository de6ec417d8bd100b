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

TEST(IcsReader, RefusesBadInputWithAClearMessage) {
    IcsLimits small;
    small.maxBytes = 4096;
    small.maxLineBytes = 100;
    small.maxComponents = 3;
    small.maxDepth = 3;
    const std::string event = "BEGIN:VEVENT\r\nEND:VEVENT\r\n";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"", "This is not an iCalendar file."},
        {"<html><body>calendar</body></html>", "This is not an iCalendar file."},
        {"BEGIN:VCARD\r\nEND:VCARD\r\n", "This is not an iCalendar file."},
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:cut", "The file ends inside VEVENT: it is incomplete."},
        {Calendar("END:VEVENT\r\n"), "Line 2 ends VEVENT inside VCALENDAR."},
        {Calendar("BEGIN:VEVENT\r\n" + event + "END:VEVENT\r\n"), "Line 3 puts VEVENT inside VEVENT."},
        {Calendar("BEGIN:X-A\r\nBEGIN:X-A\r\nBEGIN:X-A\r\n"), "Line 4 nests components too deeply."},
        {Calendar(event + event + event), "The file holds more than 3 components."},
        {Calendar("SUMMARY:" + std::string(120, 'x') + "\r\n"), "Line 2 is longer than 0 KB."},
        {Calendar("SUMMARY:\xC3\x28\r\n"), "Line 2 is not valid UTF-8 text."},
        {Calendar("no colon here\r\n"), "Line 2 is not an iCalendar content line."},
        {Calendar("") + "SUMMARY:after\r\n", "Line 3 stands outside the calendar."},
        {Calendar(std::string(5000, ' ')), "The file is larger than 0 MB."},
    };
    for (const auto& c : cases) {
        const IcsReadResult read = ReadIcs(c.text, small);
        EXPECT_EQ(read.error, c.message) << c.text.substr(0, 60);
        EXPECT_TRUE(read.calendars.empty());
    }
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
