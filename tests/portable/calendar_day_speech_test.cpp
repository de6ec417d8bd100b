#include <gtest/gtest.h>

#include <string>

#include "calendar/day_speech_model.h"
#include "portable/reminder_fakes.h"

namespace {

// Two locales' ways of writing a date and a time, with their own day names.
class EnglishUs final : public SpeechFormat {
public:
    std::string LongDate(int y, int m, int d) const override {
        const LocaleNames& n = EnglishLocaleNames();
        const int wd = WeekdayIndexOfDays(DaysFromCivil(y, m, d));
        return n.DayNames[wd] + ", " + n.MonthNames[m - 1] + " " + std::to_string(d) + ", " + std::to_string(y);
    }
    std::string ShortTime(int h, int m) const override {
        const std::string mm = (m < 10 ? "0" : "") + std::to_string(m);
        return std::to_string(h % 12 == 0 ? 12 : h % 12) + ":" + mm + (h < 12 ? " AM" : " PM");
    }
};

LocaleNames GermanNames() {
    return {{"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"},
            {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"},
            {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
            {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober",
             "November", "Dezember"}};
}

class German final : public SpeechFormat {
public:
    std::string LongDate(int y, int m, int d) const override {
        static const LocaleNames n = GermanNames();
        const int wd = WeekdayIndexOfDays(DaysFromCivil(y, m, d));
        return n.DayNames[wd] + ", " + std::to_string(d) + ". " + n.MonthNames[m - 1] + " " + std::to_string(y);
    }
    std::string ShortTime(int h, int m) const override {
        auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
        return two(h) + ":" + two(m);
    }
};

// December 2026, today the 9th: a dentist's visit that day, a stand-up every
// weekday excluded that day, and a trip over three days.
struct December {
    December() {
        Add(1, "Dentist", kKindNone, {2026, 12, 9}, {2026, 12, 9}, 9 * 3600);
        ScheduleItem& standup = Add(2, "Standup", kKindWeekly, {2026, 12, 1}, {2026, 12, 1}, 10 * 3600);
        standup.front.recurPattern = 0x3E;  // Monday to Friday
        standup.front.recurInterval = 1;
        standup.front.recurFlags = 1;  // endless
        events.excluded.push_back({MakeDateKey(2026, 12, 9), 2});
        Add(3, "Trip", kKindNone, {2026, 12, 19}, {2026, 12, 21}, 8 * 3600 + 30 * 60);
        layout.SetToday(2026, 12, 9);
        layout.SetupMonth(2026, 12);
        layout.SetClientSize(480, 377);
    }
    ScheduleItem& Add(std::uint32_t id, const char* title, std::uint8_t kind, Day first, Day last, int start) {
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = id;
        item->front.recurKind = kind;
        item->front.startDate = static_cast<std::int32_t>(first.At(0));
        item->front.endDate = static_cast<std::int32_t>(last.At(23, 59, 59));
        item->front.startTime = start;
        item->front.endTime = start + 3600;
        item->title = title;
        events.items.push_back(std::move(item));
        return *events.items.back();
    }
    int Cell(int day) const { return CellOfDay(layout, day); }

    FakeEvents events;
    MonthLayout layout{events};
};

TEST(DaySpeech, DescribesEachCellInTwoLocales) {
    December dec;
    const EnglishUs us;
    const German de;
    const LocaleNames german = GermanNames();
    struct Row {
        const SpeechFormat& format;
        const LocaleNames& names;
        int cell;
        const char* name;
        const char* description;
    };
    const Row rows[] = {
        {us, EnglishLocaleNames(), dec.Cell(9), "Wednesday, December 9, 2026",
         "Today. 2 events: Dentist, 9:00 AM; Standup, Every Mon Tue Wed Thu Fri, 10:00 AM, excluded on this day."},
        {de, german, dec.Cell(9), "Mittwoch, 9. Dezember 2026",
         "Today. 2 events: Dentist, 09:00; Standup, Every Mo Di Mi Do Fr, 10:00, excluded on this day."},
        {us, EnglishLocaleNames(), dec.Cell(10), "Thursday, December 10, 2026",
         "1 event: Standup, Every Mon Tue Wed Thu Fri, 10:00 AM."},
        // A trip's later days say it goes on rather than repeat its start.
        {us, EnglishLocaleNames(), dec.Cell(19), "Saturday, December 19, 2026", "1 event: Trip, 8:30 AM."},
        {de, german, dec.Cell(20), "Sonntag, 20. Dezember 2026", "1 event: Trip, continued."},
        {us, EnglishLocaleNames(), dec.Cell(13), "Sunday, December 13, 2026", "No events."},
        // The six weeks begin in November and end in January of the next year.
        {us, EnglishLocaleNames(), 0, "Sunday, November 29, 2026", "Previous month."},
        {de, german, kMonthCells - 1, "Samstag, 9. Januar 2027", "Next month."},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(CellName(dec.layout, r.cell, r.format), r.name) << r.cell;
        EXPECT_EQ(CellDescription(dec.layout, r.cell, r.format, r.names), r.description) << r.cell;
    }
}

TEST(DaySpeech, CellsFollowTheGridAcrossMonths) {
    December dec;
    // December 2026 begins on a Tuesday; February 2026 fills exactly four weeks.
    EXPECT_EQ(dec.Cell(1), 2);
    EXPECT_EQ(CellDateAt(dec.layout, 1).day, 30);
    EXPECT_EQ(CellDateAt(dec.layout, 1).monthOffset, -1);
    EXPECT_EQ(CellDateAt(dec.layout, dec.Cell(31)).monthOffset, 0);
    EXPECT_EQ(CellDateAt(dec.layout, dec.Cell(31) + 1).monthOffset, 1);
    ASSERT_TRUE(dec.layout.SetupMonth(2026, 2));
    EXPECT_EQ(CellDateAt(dec.layout, 28).year, 2026);
    EXPECT_EQ(CellDateAt(dec.layout, 28).month, 3);
    EXPECT_EQ(CellDateAt(dec.layout, 28).day, 1);
    // Leap day as the last day of a month.
    ASSERT_TRUE(dec.layout.SetupMonth(2028, 2));
    const CellDate leap = CellDateAt(dec.layout, CellOfDay(dec.layout, 29));
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
    EXPECT_EQ(CellDateAt(dec.layout, CellOfDay(dec.layout, 29) + 1).month, 3);
}

TEST(DaySpeech, PointsFindTheCellsTheyAreDrawnIn) {
    December dec;
    for (int cell : {0, 6, 8, 35, 41}) {
        const LayoutRect r = CellRectAt(dec.layout, cell);
        EXPECT_EQ(CellFromPoint(dec.layout, r.x, r.y), cell);
        EXPECT_EQ(CellFromPoint(dec.layout, r.x + r.width - 1, r.y + r.height - 1), cell);
    }
    // A day of the month is where the window draws it.
    const LayoutRect day = dec.layout.CellRect(9);
    const LayoutRect cell = CellRectAt(dec.layout, dec.Cell(9));
    EXPECT_EQ(day.x, cell.x);
    EXPECT_EQ(day.y, cell.y);
    const LayoutRect last = CellRectAt(dec.layout, kMonthCells - 1);
    EXPECT_EQ(CellFromPoint(dec.layout, last.x + last.width, last.y), -1);  // right of the grid
    EXPECT_EQ(CellFromPoint(dec.layout, last.x, last.y + last.height), -1);  // below it
    EXPECT_EQ(CellFromPoint(dec.layout, 2, 100), -1);                       // the left margin
    EXPECT_EQ(CellFromPoint(dec.layout, 100, dec.layout.metrics.daysTop - 1), -1);
}

}  // namespace
