#pragma once
// What a screen reader says for the calendar's six weeks of cells: the date
// each cell shows and, for a day of the displayed month, what is on it.
// Read from the month layout the window paints from.
#include <string>

#include "calendar/month_layout.h"
#include "core/locale_names.h"

// Dates and times as the user's locale writes them for speech.
class SpeechFormat {
public:
    virtual ~SpeechFormat() = default;
    virtual std::string LongDate(int year, int month, int day) const = 0;
    // A time of day without seconds.
    virtual std::string ShortTime(int hour, int minute) const = 0;
};

constexpr int kMonthCells = 42;  // six weeks

struct CellDate {
    int year = 0;
    int month = 0;
    int day = 0;
    int monthOffset = 0;  // -1 the previous month, 0 the displayed one, 1 the next
};

// The date of cell 0..41, row by row from the first week's Sunday.
CellDate CellDateAt(const MonthLayout& layout, int cell);
// The cell of a day of the displayed month.
inline int CellOfDay(const MonthLayout& layout, int day) { return layout.firstWeekday + day - 1; }

// The cell's rectangle in client pixels, and the cell under a client point
// (-1 for none): the grid's cells, whichever month their days belong to.
LayoutRect CellRectAt(const MonthLayout& layout, int cell);
int CellFromPoint(const MonthLayout& layout, int x, int y);

// The cell's long date.
std::string CellName(const MonthLayout& layout, int cell, const SpeechFormat& format);
// "Today. 2 events: Dentist, 9:00 AM; Standup, Every Mon, 10:00 AM, excluded on
// this day.", "No events.", or the month a day outside the displayed one is in.
std::string CellDescription(const MonthLayout& layout, int cell, const SpeechFormat& format,
                            const LocaleNames& names);
// One event line of a day: its title, rule, start time, and whether this
// occurrence is excluded.
std::string SlotSpeech(const DaySlot& slot, const SpeechFormat& format, const LocaleNames& names);
