#pragma once
// The calendar window's model of the displayed month: which event occupies
// which numbered line of which day, the grid geometry, and the hit tests that
// turn a client point into a day and an event line. Portable: the window
// paints from it and feeds it mouse positions.
#include <cstdint>
#include <string>
#include <vector>

#include "core/locale_names.h"
#include "core/recurrence_days.h"
#include "core/schedule_item.h"
#include "core/time_types.h"
#include "platform/dpi_scale.h"
#include "platform/text_codec.h"
#include "store/store_links.h"

// One event's presence in the displayed month.
struct MonthEvent {
    const ScheduleItem* item = nullptr;  // valid until the store changes; a rebuild always follows
    int line = 0;                        // lowest line used on any day, 1..20
    Rgb barColor = 0;
    Rgb textColor = 0;
};

// One line of one day.
struct DaySlot {
    MonthEvent* event = nullptr;
    bool startsHere = false;
    bool endsHere = false;
    bool excluded = false;
};

// A rectangle as left, top, width, height in client pixels.
struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The calendar window's measures in pixels at its DPI, written for 96 DPI
// (the values in the comments). One-pixel lines stay one pixel at every
// scale: the grid and its border, the gap under an event line, and the
// column line's pixel before a bar.
struct MonthMetrics {
    explicit MonthMetrics(int dpi = DpiScale::kBaseDpi);

    DpiScale scale;
    int margin;             // 6: the grid frame from the left, right and bottom edges
    int gridTop;            // 43: the grid frame's top; the strip above it moves the window
    int headerTop;          // 45: the weekday names
    int daysTop;            // 61: the first pixel row of the day cells
    int capInset;           // 3: a bar's cap from the cell's edge; a box sits as far in
    int numberInset;        // 4: a day number from its cell's corner
    int plusOffset;         // 16: the overflow mark right of the day number
    int textLeft;           // 3: an event title inside its bar or box
    int textTop;            // 2
    int textRightGap;       // 5
    int textBottomGap;      // 3
    int edge;               // 5: the sizing border inside the client area
    int minWidth;           // 320: the smallest window
    int minHeight;          // 200
    int defaultLineHeight;  // 17: an event line when no text can be measured
    int lineHeightPad;      // 4: an event line is the text's height plus this
};

// An event's colour from its UTF-8 title: from the bytes of the system's
// code page when the page holds the title, as older versions kept it (no
// event changes colour); else from the UTF-8 bytes, so that titles in other
// scripts differ. Without a code page, from the UTF-8 bytes.
Rgb EventTitleColor(std::string_view title, const TextCodec* codePage);

class MonthLayout {
public:
    static constexpr int kMaxLines = 20;
    static constexpr int kDaysTableSize = 32;  // indexed by day 1..31; day 0 unused

    explicit MonthLayout(const EventSource& source, const TextCodec* codePage = nullptr)
        : source_(source), codePage_(codePage) {}
    MonthLayout(const MonthLayout&) = delete;
    MonthLayout& operator=(const MonthLayout&) = delete;

    // Shows (year, month): weekday of day 1, length, no day selected, a fresh
    // layout. False, with nothing changed, for a month the local-time
    // conversion cannot represent (CanRepresentMonth), so its
    // invalid-argument error never escapes into a window procedure.
    bool SetupMonth(int year, int month);

    // Rebuilds monthEvents, slots and lastLine from the store. With
    // keepSelection the selected event is selected again on the same day if
    // it still has a line there.
    void LayoutMonth(bool keepSelection);
    // Frees every record and empties the slots that referred to them.
    void ClearMonthEvents();

    // Geometry of the grid for a client area of cx by cy pixels, at the
    // metrics' DPI.
    void SetClientSize(int cx, int cy);
    // New measures (the window moved to a monitor of another scale); the
    // caller sets the client size and line height again.
    void SetMetrics(const MonthMetrics& m) { metrics = m; }
    // Column 0..6 and row 0..5 of a day of the displayed month.
    int DayColumn(int day) const { return (firstWeekday + day - 1) % 7; }
    int DayRow(int day) const { return (firstWeekday + day - 1) / 7; }
    LayoutRect CellRect(int day) const;
    // Line k (1..20) of a day's cell; a one-pixel gap follows it.
    LayoutRect LineRect(int day, int line) const;
    // Event lines that fit one cell, 0..20.
    int VisibleLines() const;

    // Day 1..daysInMonth under the point, or 0 when none.
    int DayFromPoint(int x, int y) const;
    // The event line under the point, or null.
    const DaySlot* SlotFromPoint(int x, int y) const;
    // Selects the day and event line under the point; true when the selection changed.
    bool SelectAt(int x, int y);
    // On selectedDay, selects the first line whose event has this id.
    bool SelectEventById(std::uint32_t id);
    // Selects a day of the month and no event line.
    void SelectDay(int day);
    // Moves the selected day by delta, from the last day to the first and back.
    void MoveSelectedDay(int delta);
    // Keeps the day, drops the event line; true when one was selected.
    bool ClearEventSelection();
    // True when the date differs from the one marked as today.
    bool SetToday(int year, int month, int day);

    int year = 0;
    int month = 0;
    int firstWeekday = 0;  // weekday index of day 1, 0 = Sunday
    int daysInMonth = 0;   // 0 until a month is set up
    int todayYear = 0;
    int todayMonth = 0;
    int todayDay = 0;
    int selectedDay = 0;
    const MonthEvent* selectedEvent = nullptr;
    std::uint32_t selectedId = 0;
    bool selectedExcluded = false;
    // In the order placed. Room for every event is reserved before placing,
    // so the slots' addresses stay put, and a rebuild allocates nothing.
    std::vector<MonthEvent> monthEvents;
    DaySlot slots[kDaysTableSize][kMaxLines + 1] = {};
    int lastLine[kDaysTableSize] = {};

    int clientWidth = 0;
    int clientHeight = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int gridWidth = 0;
    int gridHeight = 0;
    MonthMetrics metrics;
    int lineHeight = metrics.defaultLineHeight;

private:
    struct Span;
    // An event's local start date and rule as a rebuild read them. Most
    // rebuilds (a hover's selection, an edit of one event, a month change)
    // find most events unchanged, and reading dates is most of the cost.
    struct KnownStart {
        bool known = false;
        ScheduleFront front;  // what they were read from
        std::uint64_t zone = 0;
        bool dated = false;
        long long days = 0;
        RecurrenceDays rule{0, 0, 1, 1970, 1, 1};
    };
    const KnownStart& StartOf(std::size_t index, const ScheduleItem& item);
    // The month's first and the next month's first instants, read again
    // only when the month or the zone changes.
    bool MonthBounds(Instant& start, Instant& next);

    // The exclusions read once a rebuild rather than once a placed day: a
    // repeating event asks the few of this month, a one-off event whether
    // it has any at all.
    void GatherExclusions();
    // Bit d set when the event's occurrence on day d is excluded.
    std::uint32_t ExcludedDays(const ScheduleFront& f) const;

    void PlaceEvent(const ScheduleItem& item, const Span& span);
    // The lowest line, 1..20, whose bit is clear in taken; 0 when none is.
    static int FreeLine(std::uint32_t taken);

    const EventSource& source_;
    const TextCodec* codePage_;
    // Bit k - 1 set when line k of the day holds an event: the free lines
    // without a walk down the slots.
    std::uint32_t takenLines_[kDaysTableSize] = {};
    // Bit d set when every line of day d is taken: a busy month's later
    // events are passed over without a look at their days.
    std::uint32_t fullDays_ = 0;
    void Take(int day, int line);
    std::vector<KnownStart> knownStarts_;  // by position in the store
    std::vector<std::pair<std::uint32_t, int>> monthExclusions_;  // event id, day of the month
    std::uint64_t monthIdBits_ = 0;  // bit id % 64 of each of them: most events need no look
    std::vector<std::uint32_t> excludedIds_;  // sorted
    struct KnownBounds {
        int year = 0;
        int month = 0;
        std::uint64_t zone = 0;
        Instant start = 0;
        Instant next = 0;
    } knownBounds_;
};

// The title above the grid: "June 2027", but "Jan 2027" where the month's
// name is longer than four characters.
std::string MonthTitle(const LocaleNames& names, int year, int month);
