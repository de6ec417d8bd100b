// Lines as people type them and the events they make, on fixed days: a
// Friday, the 31st, 29 February and the day before Europe's clocks change.
// Every expectation is a local date and time, so each test zone gives the same.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/recurrence_text.h"
#include "portable/core_zone.h"
#include "quickadd/quick_add.h"
#include "quickadd/quick_add_preview.h"

namespace {

enum Day { kFriday, k31st, kLeapDay, kBeforeChange };

Instant NowOn(Day day) {
    switch (day) {
        case kFriday:
            return Local(2026, 12, 11, 10, 0);  // default time 10:30
        case k31st:
            return Local(2027, 3, 31, 18, 0);  // a Wednesday; default 18:30
        case kLeapDay:
            return Local(2028, 2, 29, 8, 0);  // a Tuesday; default 08:30
        case kBeforeChange:
            return Local(2027, 3, 27, 12, 0);  // a Saturday; default 12:30
    }
    return 0;
}

std::string DateText(Instant t) {
    LocalFields f;
    if (!BreakDownLocal(t, f)) return "?";
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    char text[32];
    std::snprintf(text, sizeof text, "%s %04d-%02d-%02d", days[f.weekdayIndex], f.year, f.month, f.day);
    return text;
}

// What the store would be given: title | first day and time | rule | last day | reminder.
std::string Made(const QuickAddResult& r) {
    if (!r.item) return "! " + r.reason;
    const ScheduleFront& f = r.item->front;
    std::string rule = "?";
    DescribeRecurrence(f.recurKind, f.recurPattern, f.recurInterval, rule, EnglishLocaleNames());
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d", f.startTime / 3600, f.startTime / 60 % 60);
    const std::string end = IsEndless(f) ? "endless" : DateText(f.endDate).substr(4);
    return r.item->title + " | " + DateText(f.startDate) + " " + time + " | " + rule + " | " + end + " | " +
           std::to_string(r.item->remindMinutes);
}

struct Line {
    Day day;
    const char* text;
    const char* made;
    DateOrder order = DateOrder::MonthDayYear;
};

const Line kLines[] = {
    // Dates and times on a Friday morning.
    {kFriday, "Dentist tomorrow 9:30", "Dentist | Sat 2026-12-12 09:30 | No Recurrence | 2026-12-12 | 10"},
    {kFriday, "Dentist", "Dentist | Fri 2026-12-11 10:30 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Call Ann Friday 4pm remind 30 min", "Call Ann | Fri 2026-12-11 16:00 | No Recurrence | 2026-12-11 | 30"},
    {kFriday, "Call Ann Friday 9am", "Call Ann | Fri 2026-12-18 09:00 | No Recurrence | 2026-12-18 | 10"},
    {kFriday, "Lunch next Friday at noon", "Lunch | Fri 2026-12-18 12:00 | No Recurrence | 2026-12-18 | 10"},
    {kFriday, "Review on Monday", "Review | Mon 2026-12-14 10:30 | No Recurrence | 2026-12-14 | 10"},
    {kFriday, "Pay rent 9:30", "Pay rent | Sat 2026-12-12 09:30 | No Recurrence | 2026-12-12 | 10"},
    {kFriday, "Gym 18:00", "Gym | Fri 2026-12-11 18:00 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Coffee 9.30", "Coffee | Sat 2026-12-12 09:30 | No Recurrence | 2026-12-12 | 10"},
    {kFriday, "Call at 4 pm", "Call | Fri 2026-12-11 16:00 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Lunch noon", "Lunch | Fri 2026-12-11 12:00 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Gig midnight", "Gig | Sat 2026-12-12 00:00 | No Recurrence | 2026-12-12 | 10"},
    {kFriday, "Flight 14 March 2027 6:45am", "Flight | Sun 2027-03-14 06:45 | No Recurrence | 2027-03-14 | 10"},
    {kFriday, "Meeting 14 March", "Meeting | Sun 2027-03-14 10:30 | No Recurrence | 2027-03-14 | 10"},
    {kFriday, "Meeting March 14, 2027", "Meeting | Sun 2027-03-14 10:30 | No Recurrence | 2027-03-14 | 10"},
    {kFriday, "Meeting 14th of March", "Meeting | Sun 2027-03-14 10:30 | No Recurrence | 2027-03-14 | 10"},
    {kFriday, "Party 3/14", "Party | Sun 2027-03-14 10:30 | No Recurrence | 2027-03-14 | 10"},
    {kFriday, "Party 14/3", "Party | Sun 2027-03-14 10:30 | No Recurrence | 2027-03-14 | 10", DateOrder::DayMonthYear},
    {kFriday, "Party 14/3", "Party 14/3 | Fri 2026-12-11 10:30 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Sale 25.12.", "Sale | Fri 2026-12-25 10:30 | No Recurrence | 2026-12-25 | 10", DateOrder::DayMonthYear},
    {kFriday, "Review 2026-12-20", "Review | Sun 2026-12-20 10:30 | No Recurrence | 2026-12-20 | 10"},
    {kFriday, "Exam 2027/1/8", "Exam | Fri 2027-01-08 10:30 | No Recurrence | 2027-01-08 | 10", DateOrder::YearMonthDay},
    {kFriday, "Meeting 9:30 tomorrow, room 4", "Meeting room 4 | Sat 2026-12-12 09:30 | No Recurrence | 2026-12-12 | 10"},
    {kFriday, "Dentist - tomorrow 9:30", "Dentist | Sat 2026-12-12 09:30 | No Recurrence | 2026-12-12 | 10"},
    {kFriday, "Dinner for 2 at 7pm", "Dinner for 2 | Fri 2026-12-11 19:00 | No Recurrence | 2026-12-11 | 10"},
    // Spans.
    {kFriday, "Trip 3\xE2\x80\x93" "7 January", "Trip | Sun 2027-01-03 10:30 | No Recurrence | 2027-01-07 | 10"},
    {kFriday, "Trip 3-7 Jan", "Trip | Sun 2027-01-03 10:30 | No Recurrence | 2027-01-07 | 10"},
    {kFriday, "Offsite from Monday to Wednesday", "Offsite | Mon 2026-12-14 10:30 | No Recurrence | 2026-12-16 | 10"},
    {kFriday, "Fair Dec 20 - Dec 22", "Fair | Sun 2026-12-20 10:30 | No Recurrence | 2026-12-22 | 10"},
    {kFriday, "Holiday tomorrow for 3 days", "Holiday | Sat 2026-12-12 10:30 | No Recurrence | 2026-12-14 | 10"},
    {kFriday, "Away until Wednesday", "Away | Fri 2026-12-11 10:30 | No Recurrence | 2026-12-16 | 10"},
    // Every rule the store holds.
    {kFriday, "Standup every weekday at 10", "Standup | Fri 2026-12-11 10:00 | Every Mon Tue Wed Thu Fri | endless | 10"},
    {kFriday, "Standup every weekday at 9", "Standup | Mon 2026-12-14 09:00 | Every Mon Tue Wed Thu Fri | endless | 10"},
    {kFriday, "Yoga every Monday and Thursday 7pm", "Yoga | Mon 2026-12-14 19:00 | Every Mon Thu | endless | 10"},
    {kFriday, "Choir every Mon, Wed, Fri", "Choir | Fri 2026-12-11 10:30 | Every Mon Wed Fri | endless | 10"},
    {kFriday, "Team sync every 2 weeks on Tuesday", "Team sync | Tue 2026-12-15 10:30 | Every 2 weeks Tue | endless | 10"},
    {kFriday, "Hike every weekend", "Hike | Sat 2026-12-12 10:30 | Every Sun Sat | endless | 10"},
    {kFriday, "Rent every month on the 15th", "Rent | Tue 2026-12-15 10:30 | Day 15 of every month | endless | 10"},
    {kFriday, "Payday on the 15th of every month", "Payday | Tue 2026-12-15 10:30 | Day 15 of every month | endless | 10"},
    {kFriday, "Book club on the last Friday of every month", "Book club | Fri 2026-12-25 10:30 | The last Friday of every month | endless | 10"},
    {kFriday, "Board every 3 months on the first Monday", "Board | Mon 2027-03-01 10:30 | The 1st Monday of every 3 months | endless | 10"},
    {kFriday, "Water plants every day", "Water plants | Fri 2026-12-11 10:30 | Everyday | endless | 10"},
    {kFriday, "Walk the dog every other day", "Walk the dog | Fri 2026-12-11 10:30 | Every 2 days | endless | 10"},
    {kFriday, "Pills every 3 days at 8:00", "Pills | Sat 2026-12-12 08:00 | Every 3 days | endless | 10"},
    {kFriday, "Mum's birthday 14 March every year", "Mum's birthday | Sun 2027-03-14 10:30 | March 14 of every year | endless | 10"},
    {kFriday, "Backup every year", "Backup | Fri 2026-12-11 10:30 | December 11 of every year | endless | 10"},
    {kFriday, "Mother's day the 2nd Sunday of May every year", "Mother's day | Sun 2027-05-09 10:30 | The 2nd Sunday of May of every year | endless | 10"},
    {kFriday, "Standup weekly on Monday", "Standup | Mon 2026-12-14 10:30 | Every Mon | endless | 10"},
    // Ends and reminders.
    {kFriday, "Gym every Monday until June", "Gym | Mon 2026-12-14 10:30 | Every Mon | 2027-06-30 | 10"},
    {kFriday, "Course every Tuesday for 10 weeks", "Course | Tue 2026-12-15 10:30 | Every Tue | 2027-02-22 | 10"},
    {kFriday, "Physio every Monday 10 times", "Physio | Mon 2026-12-14 10:30 | Every Mon | 2027-02-15 | 10"},
    {kFriday, "Sprint review every 2 weeks on Friday 3pm until March", "Sprint review | Fri 2026-12-11 15:00 | Every 2 weeks Fri | 2027-03-31 | 10"},
    {kFriday, "Call Ann Friday 4pm remind 1 hour before", "Call Ann | Fri 2026-12-11 16:00 | No Recurrence | 2026-12-11 | 60"},
    {kFriday, "Dentist tomorrow 9:30 reminder 15 minutes before", "Dentist | Sat 2026-12-12 09:30 | No Recurrence | 2026-12-12 | 15"},
    {kFriday, "Standup every weekday at 10 no reminder", "Standup | Fri 2026-12-11 10:00 | Every Mon Tue Wed Thu Fri | endless | 0"},
    // Words it does not understand stay in the title.
    {kFriday, "Meeting at", "Meeting at | Fri 2026-12-11 10:30 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Meeting at 25:00", "Meeting at 25:00 | Fri 2026-12-11 10:30 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Lecture every 2nd Tuesday", "Lecture every 2nd Tuesday | Fri 2026-12-11 10:30 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Remind me to call Bob", "Remind me to call Bob | Fri 2026-12-11 10:30 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Reading in the sun", "Reading in the sun | Fri 2026-12-11 10:30 | No Recurrence | 2026-12-11 | 10"},
    {kFriday, "Pasted\r\nline\tbreak tomorrow", "Pasted line break | Sat 2026-12-12 10:30 | No Recurrence | 2026-12-12 | 10"},
    {kFriday, "Team 3-7", "Team 3-7 | Fri 2026-12-11 10:30 | No Recurrence | 2026-12-11 | 10"},
    // Lines that make no event.
    {kFriday, "Walk every 0 days", "! Repeat every 1 to 200 days, weeks, months or years."},
    {kFriday, "Census every 201 years", "! Repeat every 1 to 200 days, weeks, months or years."},
    {kFriday, "Census every 200 years", "Census | Fri 2026-12-11 10:30 | December 11 of every 200 years | endless | 10"},
    {kFriday, "Walk every day 100000 times", "! Date is out of range."},
    {kFriday, "Nap tomorrow remind 999 min", "Nap | Sat 2026-12-12 10:30 | No Recurrence | 2026-12-12 | 999"},
    {kFriday, "Party 31 February", "! February has no day 31."},
    {kFriday, "every day at 9", "! Title cannot be empty."},
    {kFriday, "Trip 14 July", "! Date is out of range."},
    {kFriday, "Standup every weekday remind 1000 minutes", "! A reminder can come at most 999 minutes before."},
    {kFriday, "Call 3 times", "! Only a repeating event can end after a number of times."},
    {kFriday, "A title far longer than the fifty bytes an event holds tomorrow", "! Title cannot exceed 50 characters."},
    {kFriday, "Course every Monday until 1 December 2026", "! The end comes before the start."},
    // 29 February, a Tuesday morning.
    {kLeapDay, "Leap party 29 February", "Leap party | Tue 2028-02-29 08:30 | No Recurrence | 2028-02-29 | 10"},
    {kLeapDay, "Leap party every year", "Leap party | Tue 2028-02-29 08:30 | February 29 of every year | endless | 10"},
    {kLeapDay, "Report every month on the 31st", "Report | Tue 2028-02-29 08:30 | Day 31 of every month | endless | 10"},
    {kLeapDay, "Trip tomorrow for 1 month", "Trip | Wed 2028-03-01 08:30 | No Recurrence | 2028-03-31 | 10"},
    {kLeapDay, "Dinner Tuesday 7pm", "Dinner | Tue 2028-02-29 19:00 | No Recurrence | 2028-02-29 | 10"},
    {kLeapDay, "Dinner Tuesday 7am", "Dinner | Tue 2028-03-07 07:00 | No Recurrence | 2028-03-07 | 10"},
    {kLeapDay, "Standup every weekday at 10 for 2 weeks", "Standup | Tue 2028-02-29 10:00 | Every Mon Tue Wed Thu Fri | 2028-03-13 | 10"},
    {kLeapDay, "Review 29 February 2029", "! February has no day 29."},
    {kLeapDay, "Meeting 2/30", "! February has no day 30."},
    // The 31st, a Wednesday evening.
    {k31st, "Bills every month", "Bills | Wed 2027-03-31 18:30 | Day 31 of every month | endless | 10"},
    {k31st, "Pay every month on the 31st until June", "Pay | Wed 2027-03-31 18:30 | Day 31 of every month | 2027-06-30 | 10"},
    {k31st, "Course from 31 March for 1 month", "Course | Wed 2027-03-31 18:30 | No Recurrence | 2027-04-29 | 10"},
    {k31st, "Call 4/1", "Call | Thu 2027-04-01 18:30 | No Recurrence | 2027-04-01 | 10"},
    {k31st, "Standup every weekday at 9", "Standup | Thu 2027-04-01 09:00 | Every Mon Tue Wed Thu Fri | endless | 10"},
    {k31st, "Meeting 30 March", "! Date is out of range."},
    {k31st, "Essay due 31 April", "! April has no day 31."},
    // The Saturday before Europe's clocks go forward at 02:00.
    {kBeforeChange, "Early train tomorrow 2:30", "Early train | Sun 2027-03-28 02:30 | No Recurrence | 2027-03-28 | 10"},
    {kBeforeChange, "Night shift every day at 2:30", "Night shift | Sun 2027-03-28 02:30 | Everyday | endless | 10"},
    {kBeforeChange, "Clocks change Sunday", "Clocks change | Sun 2027-03-28 12:30 | No Recurrence | 2027-03-28 | 10"},
    {kBeforeChange, "Mass next Sunday", "Mass | Sun 2027-04-04 12:30 | No Recurrence | 2027-04-04 | 10"},
    {kBeforeChange, "Hike every weekend", "Hike | Sat 2027-03-27 12:30 | Every Sun Sat | endless | 10"},
};

TEST(QuickAdd, LinesMakeTheirEvents) {
    for (const Line& line : kLines) {
        const FixedClock clock(NowOn(line.day));
        EXPECT_EQ(Made(ParseQuickAdd(line.text, clock, line.order)), line.made) << line.text;
    }
}

// What the line leaves open is the editor's: the sound on, the end time the
// start time, no note; the id is the store's to give.
TEST(QuickAdd, TheRestIsTheEditorsNewEvent) {
    const FixedClock clock(NowOn(kFriday));
    const QuickAddResult r = ParseQuickAdd("Dentist tomorrow 9:30", clock, DateOrder::MonthDayYear);
    ASSERT_TRUE(r.item);
    EXPECT_EQ(r.item->actions, kActionPlaySound);
    EXPECT_EQ(r.item->front.endTime, r.item->front.startTime);
    EXPECT_EQ(r.item->front.id, 0u);
    EXPECT_TRUE(r.item->note.empty());
    const EditorFields editor = NewEventFields(clock, {2026, 12, 11});
    const QuickAddResult plain = ParseQuickAdd("Dentist", clock, DateOrder::MonthDayYear);
    EXPECT_EQ(plain.fields.startTime, editor.startTime);
    EXPECT_EQ(plain.fields.remindMinutes, editor.remindMinutes);
    EXPECT_EQ(plain.fields.soundCheck, editor.soundCheck);
    // A refused line still hands the editor what it understood.
    const QuickAddResult refused = ParseQuickAdd("Trip 14 July 9:15", clock, DateOrder::MonthDayYear);
    EXPECT_FALSE(refused.item);
    EXPECT_EQ(refused.fields.startTime, 9 * 3600 + 15 * 60);
    EXPECT_EQ(refused.fields.title, "Trip");
}

class EnglishFormat final : public TextFormat {
public:
    std::string LongDate(int, int, int) const override { return {}; }
    std::string TimeWithSeconds(int, int, int) const override { return {}; }
    std::string ShortTime(int h, int m) const override {
        char text[16];
        std::snprintf(text, sizeof text, "%d:%02d %s", h % 12 == 0 ? 12 : h % 12, m, h < 12 ? "AM" : "PM");
        return text;
    }
};

TEST(QuickAdd, PreviewInTheBrowsersWords) {
    const FixedClock clock(NowOn(kFriday));
    const EnglishFormat format;
    const struct {
        const char* line;
        const char* preview;
    } previews[] = {
        {"Dentist tomorrow 9:30 remind 15 min", "Dentist · Sat, Dec 12, 9:30 AM · reminder 15 min before"},
        {"Standup every weekday at 10", "Standup · every weekday from Dec 11 · 10:00 AM"},
        {"Lunch noon", "Lunch · Fri, Dec 11, 12:00 PM"},
        {"Trip 3-7 January", "Trip · Sun, Jan 3, 2027 ~ Thu, Jan 7, 2027, 10:30 AM"},
        {"Gym every Monday until June", "Gym · every Mon from Dec 14 until Jun 30, 2027 · 10:30 AM"},
        {"Pills every 3 days at 8:00", "Pills · every 3 days from Dec 12 · 8:00 AM"},
        {"Water plants every day", "Water plants · every day from Dec 11 · 10:30 AM"},
        {"Book club on the last Friday of every month", "Book club · the last Friday of every month from Dec 25 · 10:30 AM"},
        {"Mum's birthday 14 March every year", "Mum's birthday · March 14 of every year from Mar 14, 2027 · 10:30 AM"},
        {"Party 31 February", "February has no day 31."},
    };
    for (const auto& p : previews) {
        const QuickAddResult r = ParseQuickAdd(p.line, clock, DateOrder::MonthDayYear);
        EXPECT_EQ(QuickAddPreview(r, clock, format, EnglishLocaleNames()), p.preview) << p.line;
    }
}

}  // namespace
