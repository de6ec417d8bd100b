#include "calendar/month_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/calendar.h"
#include "platform/memory/cp1252_codec.h"
#include "portable/core_zone.h"

namespace {

struct Date {
    int y;
    int m;
    int d;
};

class FakeEvents final : public EventSource {
public:
    const EventList& Events() const override { return items; }
    const std::vector<Exclusion>& Exclusions() const override { return excluded; }

    ScheduleItem& Add(std::uint32_t id, std::uint8_t kind, Date start, Date end, const char* title = "Event") {
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = id;
        item->front.recurKind = kind;
        item->front.startDate = static_cast<std::int32_t>(Local(start.y, start.m, start.d));
        item->front.startTime = 9 * 3600;
        item->front.endDate = static_cast<std::int32_t>(Local(end.y, end.m, end.d, 23, 59, 59));
        item->front.endTime = 10 * 3600;
        item->title = title;
        items.push_back(std::move(item));
        return *items.back();
    }
    ScheduleItem& AddOnce(std::uint32_t id, Date start, Date end) { return Add(id, kKindNone, start, end); }
    ScheduleItem& AddEndless(std::uint32_t id, std::uint8_t kind, std::uint16_t pattern, std::uint8_t interval,
                             Date start) {
        ScheduleItem& item = Add(id, kind, start, start);
        item.front.recurFlags = 1;
        item.front.recurPattern = pattern;
        item.front.recurInterval = interval;
        return item;
    }
    void Remove(std::uint32_t id) {
        items.remove_if([id](const std::unique_ptr<ScheduleItem>& item) { return item->front.id == id; });
    }

    EventList items;
    std::vector<Exclusion> excluded;
};

// Days of the displayed month on which the event has a line.
std::vector<int> DaysOf(const MonthLayout& layout, std::uint32_t id) {
    std::vector<int> days;
    for (int d = 1; d <= layout.daysInMonth; ++d) {
        for (int k = 1; k <= MonthLayout::kMaxLines; ++k) {
            const MonthEvent* e = layout.slots[d][k].event;
            if (e != nullptr && e->item->front.id == id) {
                days.push_back(d);
                break;
            }
        }
    }
    return days;
}

int LineOn(const MonthLayout& layout, int day, std::uint32_t id) {
    for (int k = 1; k <= MonthLayout::kMaxLines; ++k) {
        const MonthEvent* e = layout.slots[day][k].event;
        if (e != nullptr && e->item->front.id == id) return k;
    }
    return 0;
}

const MonthEvent* RecordOf(const MonthLayout& layout, std::uint32_t id) {
    for (const MonthEvent& e : layout.monthEvents) {
        if (e.item->front.id == id) return &e;
    }
    return nullptr;
}

std::vector<int> Range(int first, int last, int step = 1) {
    std::vector<int> v;
    for (int d = first; d <= last; d += step) v.push_back(d);
    return v;
}

// Cells of 100 x 120 pixels; 17-pixel lines on an 18-pixel pitch.
constexpr int kCx = 7 * 100 + 12;
constexpr int kCy = 6 * 120 + 67;

int PointX(const MonthLayout& l, int day, int xIn) { return l.CellRect(day).x + xIn; }
int PointY(const MonthLayout& l, int day, int line, int yInLine = 8) { return l.LineRect(day, line).y + yInLine; }

TEST(MonthLayoutGeometry, FollowsTheClientSize) {
    FakeEvents events;
    MonthLayout layout(events);
    layout.SetClientSize(600, 500);
    EXPECT_EQ(layout.gridWidth, 588);
    EXPECT_EQ(layout.gridHeight, 451);
    EXPECT_EQ(layout.cellWidth, 84);
    EXPECT_EQ(layout.cellHeight, 72);
    EXPECT_EQ(layout.VisibleLines(), 3);  // (72 - 1) div 18

    ASSERT_TRUE(layout.SetupMonth(2026, 3));  // day 1 is a Sunday
    EXPECT_EQ(layout.firstWeekday, 0);
    EXPECT_EQ(layout.daysInMonth, 31);
    const LayoutRect cell = layout.CellRect(11);  // Wednesday of the second week
    EXPECT_EQ(cell.x, 6 + 3 * 84);
    EXPECT_EQ(cell.y, 61 + 72);
    const LayoutRect line = layout.LineRect(11, 2);
    EXPECT_EQ(line.y, cell.y + 2 * 18);
    EXPECT_EQ(line.height, 17);

    layout.SetClientSize(kCx, 6 * 1000 + 67);
    EXPECT_EQ(layout.VisibleLines(), 20);
    layout.SetClientSize(kCx, 6 * 18 + 67);
    EXPECT_EQ(layout.VisibleLines(), 0);  // 17 div 18: no line fits
}

TEST(MonthLayoutGeometry, ThirtyOneDaysFromSaturdayUseTheSixthRow) {
    FakeEvents events;
    MonthLayout layout(events);
    layout.SetClientSize(kCx, kCy);
    ASSERT_TRUE(layout.SetupMonth(2026, 8));
    EXPECT_EQ(layout.firstWeekday, 6);
    EXPECT_EQ(layout.DayRow(31), 5);
    EXPECT_EQ(layout.DayColumn(31), 1);
    EXPECT_EQ(layout.DayFromPoint(6 + 150, 61 + 5 * 120 + 10), 31);
    EXPECT_EQ(layout.DayFromPoint(6 + 250, 61 + 5 * 120 + 10), 0);  // after the last day
    EXPECT_EQ(layout.DayFromPoint(6 + 550, 61 + 10), 0);            // before day 1
    EXPECT_EQ(layout.DayFromPoint(6 + 650, 61 + 10), 1);
}

TEST(MonthLayoutHitTest, DayFromPointEdges) {
    FakeEvents events;
    MonthLayout layout(events);
    layout.SetClientSize(kCx, kCy);
    ASSERT_TRUE(layout.SetupMonth(2026, 3));
    EXPECT_EQ(layout.DayFromPoint(3, 70), 1);      // left margin truncates toward column 0
    EXPECT_EQ(layout.DayFromPoint(-94, 70), 0);    // a whole cell to the left
    EXPECT_EQ(layout.DayFromPoint(105, 70), 1);
    EXPECT_EQ(layout.DayFromPoint(106, 70), 2);
    EXPECT_EQ(layout.DayFromPoint(706, 70), 0);    // right of column 6
    EXPECT_EQ(layout.DayFromPoint(50, 60), 0);     // weekday header
    EXPECT_EQ(layout.DayFromPoint(50, 61), 1);
    EXPECT_EQ(layout.DayFromPoint(50, 61 + 6 * 120), 0);  // below row 5

    layout.SetClientSize(12, 67);  // no room for a single pixel per cell
    EXPECT_EQ(layout.DayFromPoint(3, 70), 0);
    EXPECT_EQ(layout.SlotFromPoint(3, 70), nullptr);
    EXPECT_FALSE(layout.SelectAt(3, 70));
}

TEST(MonthLayoutHitTest, SlotFromPointHonoursCapsGapsAndLineLimit) {
    FakeEvents events;
    events.AddOnce(1, {2026, 3, 3}, {2026, 3, 5});                     // Tuesday..Thursday
    events.AddEndless(2, kKindDaily, 0, 1, {2026, 3, 10}).front.recurKind = 45;  // any daily kind
    MonthLayout layout(events);
    layout.SetClientSize(kCx, kCy);
    ASSERT_TRUE(layout.SetupMonth(2026, 3));

    const DaySlot* s = layout.SlotFromPoint(PointX(layout, 3, 6), PointY(layout, 3, 1));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->event->item->front.id, 1u);
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 3, 5), PointY(layout, 3, 1)), nullptr);  // start cap
    EXPECT_NE(layout.SlotFromPoint(PointX(layout, 4, 0), PointY(layout, 4, 1)), nullptr);  // no cap mid-bar
    EXPECT_NE(layout.SlotFromPoint(PointX(layout, 4, 99), PointY(layout, 4, 1)), nullptr);
    EXPECT_NE(layout.SlotFromPoint(PointX(layout, 5, 94), PointY(layout, 5, 1)), nullptr);
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 5, 95), PointY(layout, 5, 1)), nullptr);  // end cap
    EXPECT_NE(layout.SlotFromPoint(PointX(layout, 3, 50), PointY(layout, 3, 1, 16)), nullptr);
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 3, 50), PointY(layout, 3, 1, 17)), nullptr);  // gap row
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 3, 50), PointY(layout, 3, 0)), nullptr);      // day number
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 3, 50), PointY(layout, 3, 2)), nullptr);      // empty line

    // A recurring box has both caps on every day.
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 12, 5), PointY(layout, 12, 1)), nullptr);
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 12, 95), PointY(layout, 12, 1)), nullptr);
    EXPECT_NE(layout.SlotFromPoint(PointX(layout, 12, 50), PointY(layout, 12, 1)), nullptr);

    // A tall cell has room below line 20: those rows are no line, not the next day's lines.
    layout.SetClientSize(kCx, 6 * 500 + 67);
    const int y = layout.CellRect(9).y + 22 * 18 + 5;  // would be line 22 of day 9
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 9, 50), y), nullptr);
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 9, 50), layout.CellRect(9).y + 21 * 18 + 5), nullptr);

    layout.SetClientSize(kCx, 6 * 18 + 67);  // no line fits a cell
    EXPECT_EQ(layout.SlotFromPoint(PointX(layout, 12, 50), layout.CellRect(12).y + 20), nullptr);
}

// At every scale the grid's measures grow with the DPI, and the same days and
// event lines answer at the same relative places of a window of the same
// relative size.
TEST(MonthLayoutScaled, SameHitsAtTheSameRelativePlaces) {
    FakeEvents events;
    events.AddOnce(1, {2026, 3, 3}, {2026, 3, 5});                // a bar, Tuesday..Thursday
    events.AddEndless(2, kKindDaily, 0, 2, {2026, 3, 10});        // boxes every other day
    const struct {
        int dpi;
        int margin, gridTop, daysTop, capInset, edge, minWidth, lineHeight;
    } cases[] = {
        {96, 6, 43, 61, 3, 5, 320, 17},
        {120, 8, 54, 76, 4, 6, 400, 21},
        {144, 9, 65, 92, 5, 8, 480, 26},
        {192, 12, 86, 122, 6, 10, 640, 34},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const MonthMetrics m(c.dpi);
        EXPECT_EQ(m.margin, c.margin);
        EXPECT_EQ(m.gridTop, c.gridTop);
        EXPECT_EQ(m.daysTop, c.daysTop);
        EXPECT_EQ(m.capInset, c.capInset);
        EXPECT_EQ(m.edge, c.edge);
        EXPECT_EQ(m.minWidth, c.minWidth);
        EXPECT_EQ(m.defaultLineHeight, c.lineHeight);

        MonthLayout layout(events);
        layout.SetMetrics(m);
        layout.lineHeight = m.defaultLineHeight;
        const DpiScale s = m.scale;
        layout.SetClientSize(s(kCx), s(kCy));
        ASSERT_TRUE(layout.SetupMonth(2026, 3));
        EXPECT_NEAR(layout.cellWidth, s(100), 1);
        EXPECT_NEAR(layout.cellHeight, s(120), 1);
        EXPECT_EQ(layout.CellRect(1).x, m.margin);
        EXPECT_EQ(layout.CellRect(1).y, m.daysTop);

        // Each day at a few places of its cell, and nothing above the grid.
        for (int d = 1; d <= layout.daysInMonth; ++d) {
            const LayoutRect cell = layout.CellRect(d);
            for (const auto& [fx, fy] : {std::pair{0.05, 0.05}, {0.5, 0.5}, {0.95, 0.95}}) {
                const int x = cell.x + static_cast<int>(fx * cell.width);
                const int y = cell.y + static_cast<int>(fy * cell.height);
                ASSERT_EQ(layout.DayFromPoint(x, y), d) << fx << "," << fy;
            }
        }
        EXPECT_EQ(layout.DayFromPoint(s(300), m.daysTop - 1), 0);

        // The middle of line 1 holds the bar on its days and the box on the
        // box's days; the row of the day number holds none.
        const auto idAt = [&](int day, double fx) -> std::uint32_t {
            const LayoutRect line = layout.LineRect(day, 1);
            const DaySlot* slot = layout.SlotFromPoint(line.x + static_cast<int>(fx * line.width),
                                                       line.y + line.height / 2);
            return slot != nullptr ? slot->event->item->front.id : 0;
        };
        for (int d = 1; d <= layout.daysInMonth; ++d) {
            const std::uint32_t expected = d >= 3 && d <= 5 ? 1u : d >= 10 && (d - 10) % 2 == 0 ? 2u : 0u;
            ASSERT_EQ(idAt(d, 0.5), expected) << "day " << d;
            ASSERT_EQ(idAt(d, 0.2), expected) << "day " << d;
            ASSERT_EQ(idAt(d, 0.8), expected) << "day " << d;
        }
        const LayoutRect numberRow = layout.CellRect(4);
        EXPECT_EQ(layout.SlotFromPoint(numberRow.x + numberRow.width / 2, numberRow.y + 2), nullptr);

        // The caps as drawn: a box and a bar's start begin 1 + capInset from
        // the column line, and their cap line and the pixel inside it hit nothing.
        const LayoutRect box = layout.LineRect(12, 1);
        const int y = box.y + box.height / 2;
        const int first = 1 + m.capInset;
        const int last = box.width - 1 - m.capInset;  // a box's right edge line
        EXPECT_EQ(layout.SlotFromPoint(box.x + first + 1, y), nullptr);
        EXPECT_NE(layout.SlotFromPoint(box.x + first + 2, y), nullptr);
        EXPECT_EQ(layout.SlotFromPoint(box.x + last - 1, y), nullptr);
        EXPECT_NE(layout.SlotFromPoint(box.x + last - 2, y), nullptr);
        // The gap under a line stays one pixel.
        EXPECT_EQ(layout.SlotFromPoint(box.x + box.width / 2, box.y + box.height), nullptr);
        EXPECT_NE(layout.SlotFromPoint(box.x + box.width / 2, box.y + box.height - 1), nullptr);
    }
}

TEST(MonthLayoutSelection, SelectAtReportsOnlyChanges) {
    FakeEvents events;
    events.AddOnce(1, {2026, 3, 3}, {2026, 3, 5});
    events.AddEndless(2, kKindDaily, 0, 1, {2026, 3, 1});
    events.excluded.push_back({MakeDateKey(2026, 3, 4), 2});
    MonthLayout layout(events);
    layout.SetClientSize(kCx, kCy);
    ASSERT_TRUE(layout.SetupMonth(2026, 3));

    EXPECT_FALSE(layout.SelectAt(50, 30));  // nothing selected, nothing to clear
    EXPECT_TRUE(layout.SelectAt(PointX(layout, 4, 50), PointY(layout, 4, 1)));
    EXPECT_EQ(layout.selectedDay, 4);
    ASSERT_NE(layout.selectedEvent, nullptr);
    EXPECT_EQ(layout.selectedEvent, RecordOf(layout, 1));
    EXPECT_EQ(layout.selectedId, 1u);
    EXPECT_FALSE(layout.selectedExcluded);
    EXPECT_FALSE(layout.SelectAt(PointX(layout, 4, 60), PointY(layout, 4, 1, 3)));  // same line again

    EXPECT_TRUE(layout.SelectAt(PointX(layout, 4, 50), PointY(layout, 4, 2)));  // the excluded box
    EXPECT_EQ(layout.selectedId, 2u);
    EXPECT_TRUE(layout.selectedExcluded);

    EXPECT_TRUE(layout.SelectAt(PointX(layout, 4, 50), PointY(layout, 4, 5)));  // empty part of the day
    EXPECT_EQ(layout.selectedDay, 4);
    EXPECT_EQ(layout.selectedEvent, nullptr);
    EXPECT_EQ(layout.selectedId, 0u);
    EXPECT_FALSE(layout.SelectAt(PointX(layout, 4, 50), PointY(layout, 4, 6)));

    // The same event on another day is another selection: the day changes.
    EXPECT_TRUE(layout.SelectAt(PointX(layout, 3, 50), PointY(layout, 3, 1)));
    EXPECT_TRUE(layout.SelectAt(PointX(layout, 5, 50), PointY(layout, 5, 1)));
    EXPECT_EQ(layout.selectedDay, 5);

    EXPECT_TRUE(layout.SelectAt(PointX(layout, 5, 50), 60));  // above the grid clears everything
    EXPECT_EQ(layout.selectedDay, 0);
    EXPECT_EQ(layout.selectedEvent, nullptr);
    EXPECT_EQ(layout.selectedId, 0u);
    EXPECT_FALSE(layout.SelectAt(PointX(layout, 5, 50), 60));
}

TEST(MonthLayoutSelection, SelectEventByIdSurvivesARebuildButNotADeletion) {
    FakeEvents events;
    events.AddOnce(1, {2026, 3, 3}, {2026, 3, 5});
    events.AddEndless(2, kKindWeekly, 0x7F, 1, {2026, 2, 1});
    MonthLayout layout(events);
    layout.SetClientSize(kCx, kCy);
    ASSERT_TRUE(layout.SetupMonth(2026, 3));

    EXPECT_FALSE(layout.SelectEventById(2));  // no day selected
    layout.selectedDay = 4;
    ASSERT_TRUE(layout.SelectEventById(2));
    EXPECT_EQ(layout.selectedEvent, RecordOf(layout, 2));
    EXPECT_FALSE(layout.SelectEventById(99));
    EXPECT_EQ(layout.selectedId, 2u);  // a failed look-up leaves the selection

    // The store changes: event 1 goes, so event 2 moves up to line 1.
    events.Remove(1);
    layout.LayoutMonth(true);
    EXPECT_EQ(layout.selectedDay, 4);
    EXPECT_EQ(layout.selectedId, 2u);
    ASSERT_NE(layout.selectedEvent, nullptr);
    EXPECT_EQ(layout.selectedEvent, RecordOf(layout, 2));
    EXPECT_EQ(layout.selectedEvent->line, 1);

    events.Remove(2);
    layout.LayoutMonth(true);
    EXPECT_EQ(layout.selectedDay, 4);
    EXPECT_EQ(layout.selectedEvent, nullptr);
    EXPECT_EQ(layout.selectedId, 0u);
    EXPECT_TRUE(layout.monthEvents.empty());

    // A month change clears the day as well.
    events.AddOnce(3, {2026, 4, 4}, {2026, 4, 4});
    ASSERT_TRUE(layout.SetupMonth(2026, 4));
    EXPECT_EQ(layout.selectedDay, 0);
}

TEST(MonthLayoutPlacement, BarAcrossTwoMonthsCapsOnlyInsideEach) {
    FakeEvents events;
    events.AddOnce(7, {2026, 1, 28}, {2026, 2, 3}).title = "A";
    MonthLayout layout(events);
    ASSERT_TRUE(layout.SetupMonth(2026, 1));
    EXPECT_EQ(DaysOf(layout, 7), Range(28, 31));
    EXPECT_TRUE(layout.slots[28][1].startsHere);
    for (int d = 29; d <= 31; ++d) EXPECT_FALSE(layout.slots[d][1].startsHere) << d;
    for (int d = 28; d <= 31; ++d) EXPECT_FALSE(layout.slots[d][1].endsHere) << d;
    ASSERT_EQ(layout.monthEvents.size(), 1u);
    const MonthEvent& record = layout.monthEvents.front();
    EXPECT_EQ(record.line, 1);
    EXPECT_EQ(record.barColor, MakeRgb(0xFE, 0xFF, 0xFF));
    EXPECT_EQ(record.textColor, 0u);
    EXPECT_EQ(layout.lastLine[28], 1);
    EXPECT_EQ(layout.lastLine[27], 0);

    ASSERT_TRUE(layout.SetupMonth(2026, 2));
    EXPECT_EQ(DaysOf(layout, 7), Range(1, 3));
    for (int d = 1; d <= 3; ++d) EXPECT_FALSE(layout.slots[d][1].startsHere) << d;
    EXPECT_FALSE(layout.slots[1][1].endsHere);
    EXPECT_TRUE(layout.slots[3][1].endsHere);

    ASSERT_TRUE(layout.SetupMonth(2026, 3));
    EXPECT_TRUE(layout.monthEvents.empty());
}

TEST(MonthLayoutPlacement, OverlappingBarsTakeTheLowestLineFreeOnAllTheirDays) {
    FakeEvents events;
    events.AddOnce(1, {2026, 3, 5}, {2026, 3, 7});
    events.AddOnce(2, {2026, 3, 3}, {2026, 3, 10});
    events.AddOnce(3, {2026, 3, 8}, {2026, 3, 8});
    MonthLayout layout(events);
    ASSERT_TRUE(layout.SetupMonth(2026, 3));
    for (int d : Range(5, 7)) EXPECT_EQ(LineOn(layout, d, 1), 1) << d;
    for (int d : Range(3, 10)) EXPECT_EQ(LineOn(layout, d, 2), 2) << d;  // even where line 1 is free
    EXPECT_EQ(LineOn(layout, 8, 3), 1);
    EXPECT_EQ(layout.lastLine[4], 2);
    EXPECT_EQ(layout.lastLine[11], 0);
}

TEST(MonthLayoutPlacement, ExclusionsMarkTheirOccurrences) {
    FakeEvents events;
    events.AddOnce(1, {2026, 2, 27}, {2026, 3, 3});
    events.AddEndless(2, kKindDaily, 0, 1, {2026, 3, 1});
    events.excluded.push_back({MakeDateKey(2026, 3, 1), 1});  // a bar is keyed by its first shown day
    events.excluded.push_back({MakeDateKey(2026, 3, 2), 2});
    // The same day of another month, and another event's day, exclude nothing here.
    events.AddEndless(66, kKindDaily, 0, 1, {2026, 3, 1});
    events.excluded.push_back({MakeDateKey(2026, 4, 3), 2});
    events.excluded.push_back({MakeDateKey(2025, 3, 3), 66});
    MonthLayout layout(events);
    ASSERT_TRUE(layout.SetupMonth(2026, 3));
    for (int d : Range(1, 3)) EXPECT_TRUE(layout.slots[d][1].excluded) << d;
    EXPECT_FALSE(layout.slots[1][2].excluded);
    EXPECT_TRUE(layout.slots[2][2].excluded);
    EXPECT_FALSE(layout.slots[3][2].excluded);
    for (int d : Range(1, 4)) EXPECT_FALSE(layout.slots[d][3].excluded) << d;
}

// The rule's days are the engine's; the layout clips them to the event's
// own days in the month and puts a closed box on each.
TEST(MonthLayoutPlacement, RecurringEventsHaveABoxOnEachOfTheirDaysInTheMonth) {
    FakeEvents events;
    events.AddEndless(1, kKindDaily, 0, 3, {2026, 1, 30});               // counted from its start in January
    events.Add(2, kKindDaily, {2026, 2, 10}, {2026, 2, 13});             // from the 10th to the 13th
    events.AddEndless(3, kKindMonthlyNth, 4 << 4 | 5, 1, {2026, 1, 1});  // last Friday
    events.AddEndless(4, kKindYearlyDate, 3 << 8 | 10, 1, {2026, 1, 5}); // not in February
    events.AddEndless(5, kKindMonthlyDay, 20, 1, {2026, 2, 21});         // starts after its day
    MonthLayout layout(events);
    ASSERT_TRUE(layout.SetupMonth(2026, 2));
    EXPECT_EQ(DaysOf(layout, 1), Range(2, 28, 3));
    EXPECT_EQ(DaysOf(layout, 2), Range(10, 13));
    EXPECT_EQ(DaysOf(layout, 3), std::vector<int>{27});
    EXPECT_EQ(RecordOf(layout, 4), nullptr);
    EXPECT_EQ(RecordOf(layout, 5), nullptr);
    for (int d : Range(10, 13)) {
        const DaySlot& slot = layout.slots[d][LineOn(layout, d, 2)];
        EXPECT_TRUE(slot.startsHere && slot.endsHere) << d;
    }
    EXPECT_EQ(layout.monthEvents.size(), 3u);
}

TEST(MonthLayoutPlacement, TwentyLinesPerDayAtMost) {
    FakeEvents events;
    for (std::uint32_t id = 1; id <= 20; ++id) events.AddOnce(id, {2026, 3, 10}, {2026, 3, 10});
    events.AddEndless(21, kKindDaily, 0, 1, {2026, 3, 9});   // dropped on the 10th only
    events.AddOnce(22, {2026, 3, 9}, {2026, 3, 11});         // no line free on all its days
    MonthLayout layout(events);
    ASSERT_TRUE(layout.SetupMonth(2026, 3));
    EXPECT_EQ(layout.lastLine[10], 20);
    EXPECT_EQ(LineOn(layout, 10, 20), 20);
    std::vector<int> daily = Range(9, 31);
    daily.erase(daily.begin() + 1);
    EXPECT_EQ(DaysOf(layout, 21), daily);
    EXPECT_EQ(RecordOf(layout, 21)->line, 1);
    EXPECT_TRUE(DaysOf(layout, 22).empty());
    EXPECT_EQ(RecordOf(layout, 22), nullptr);
    EXPECT_EQ(layout.monthEvents.size(), 21u);

    // Emptied again, the day takes the bar, and no line keeps an old event.
    for (std::uint32_t id = 1; id <= 20; ++id) events.Remove(id);
    layout.LayoutMonth(false);
    EXPECT_EQ(DaysOf(layout, 22), Range(9, 11));
    EXPECT_EQ(layout.lastLine[10], 2);
    for (int k = 3; k <= MonthLayout::kMaxLines; ++k) EXPECT_EQ(layout.slots[10][k].event, nullptr) << k;
}

TEST(MonthLayoutPlacement, UnshownKindsAndOddStoredValues) {
    FakeEvents events;
    events.AddOnce(1, {2026, 3, 3}, {2026, 3, 3}).front.recurKind = 0;
    events.AddEndless(2, 150, 3 << 8 | 4, 1, {2026, 3, 1});
    events.AddEndless(3, 255, 3 << 8 | 4, 1, {2026, 3, 1});
    events.AddEndless(6, kKindMonthlyDay, 0, 1, {2026, 3, 1});           // names no day: no record
    events.AddOnce(11, {2026, 3, 20}, {2026, 3, 18});                    // ends before it starts
    ScheduleItem& negative = events.AddEndless(12, kKindDaily, 0, 1, {2026, 3, 1});
    negative.front.startDate = -86400;
    // A stored bit 0 means nothing to a non-recurring event.
    events.AddOnce(13, {2026, 2, 1}, {2026, 2, 2}).front.recurFlags = 1;
    events.AddOnce(14, {2026, 3, 25}, {2026, 3, 25}).front.recurKind = 29;
    MonthLayout layout(events);
    ASSERT_TRUE(layout.SetupMonth(2026, 3));
    ASSERT_EQ(layout.monthEvents.size(), 1u);
    EXPECT_EQ(DaysOf(layout, 14), std::vector<int>{25});
}

TEST(MonthLayoutMonths, TitleAbbreviatesOnlyNamesLongerThanFourCharacters) {
    const LocaleNames names = EnglishLocaleNames();
    EXPECT_EQ(MonthTitle(names, 2027, 1), "Jan 2027");
    EXPECT_EQ(MonthTitle(names, 2027, 6), "June 2027");
    EXPECT_EQ(MonthTitle(names, 2027, 5), "May 2027");
    EXPECT_EQ(MonthTitle(names, 2026, 9), "Sep 2026");
}

TEST(MonthLayoutMonths, EveryRebuildTakesTheDatesOfTheZoneInForceAndOfTheEditedEvent) {
    ScopedZone zone("UTC0");
    FakeEvents events;
    // Ends at 20:00 UTC on May 31, which is 01:30 on June 1 in India.
    events.AddOnce(1, {2026, 5, 30}, {2026, 5, 30}).front.endDate = static_cast<std::int32_t>(UtcInstant(2026, 5, 31, 20));
    // Starts at 20:00 UTC on June 9, June 10 in India.
    ScheduleItem& daily = events.AddEndless(2, kKindDaily, 0, 1, {2026, 6, 9});
    daily.front.startDate = static_cast<std::uint32_t>(UtcInstant(2026, 6, 9, 20));
    MonthLayout layout(events);
    ASSERT_TRUE(layout.SetupMonth(2026, 6));
    EXPECT_TRUE(DaysOf(layout, 1).empty());
    EXPECT_EQ(DaysOf(layout, 2), Range(9, 30));
    ScopedZone::Switch("IST-5:30");
    layout.LayoutMonth(false);
    EXPECT_EQ(DaysOf(layout, 1), std::vector<int>{1});
    EXPECT_EQ(DaysOf(layout, 2), Range(10, 30));
    daily.front.startDate = static_cast<std::uint32_t>(MakeLocalTime(2026, 6, 20, 0, 0, 0));  // edited in place
    daily.front.recurInterval = 5;
    layout.LayoutMonth(false);
    EXPECT_EQ(DaysOf(layout, 2), Range(20, 30, 5));
}

TEST(MonthLayoutMonths, RefusesMonthsTheRuntimeCannotConvert) {
    FakeEvents events;
    events.AddEndless(1, kKindDaily, 0, 1, {2026, 3, 1});
    MonthLayout layout(events);
    EXPECT_TRUE(layout.SetupMonth(1970, 2));
    EXPECT_TRUE(layout.SetupMonth(3000, 11));
    // January 1970 begins before the epoch wherever local time is ahead of UTC.
    const bool ahead = OffsetAt(86400) > 0;
    EXPECT_EQ(layout.SetupMonth(1970, 1), !ahead);

    ASSERT_TRUE(layout.SetupMonth(2026, 3));
    layout.selectedDay = 5;
    EXPECT_FALSE(layout.SetupMonth(1969, 12));
    EXPECT_FALSE(layout.SetupMonth(3000, 12));  // its next month is out of range
    EXPECT_FALSE(layout.SetupMonth(3001, 1));
    EXPECT_FALSE(layout.SetupMonth(2026, 0));
    EXPECT_FALSE(layout.SetupMonth(2026, 13));
    EXPECT_EQ(layout.year, 2026);
    EXPECT_EQ(layout.month, 3);
    EXPECT_EQ(layout.selectedDay, 5);
    EXPECT_EQ(DaysOf(layout, 1).size(), 31u);

    // Before any month is set up there is nothing to show or hit.
    MonthLayout empty(events);
    empty.SetClientSize(kCx, kCy);
    empty.LayoutMonth(false);
    EXPECT_TRUE(empty.monthEvents.empty());
    EXPECT_EQ(empty.DayFromPoint(50, 70), 0);
}

}  // namespace

namespace {

// Titles the code page holds keep the colour older versions gave them from
// their code-page bytes; others take their UTF-8 bytes, so two titles in
// another script do not share one colour.
TEST(EventTitleColor, KeepsCodePageColoursAndSpreadsOtherScripts) {
    const Cp1252Codec codePage;
    const struct {
        const char* title;
        Rgb color;
    } cases[] = {
        {"Dentist", TitleColor("Dentist")},
        {"Caf\xC3\xA9 \xE2\x82\xAC", TitleColor("Caf\xE9 \x80")},  // what an older version stored
        {"\xD0\x92\xD1\x81\xD1\x82\xD1\x80\xD0\xB5\xD1\x87\xD0\xB0", TitleColor("\xD0\x92\xD1\x81\xD1\x82\xD1\x80")},
        {"\xE4\xBC\x9A\xE8\xAE\xAE", TitleColor("\xE4\xBC\x9A\xE8\xAE\xAE")},
        {"Zo\xC3\xAB \xF0\x9F\x99\x82", TitleColor("Zo\xC3\xAB \xF0\x9F")},  // one emoji: not the code page's
    };
    for (const auto& c : cases) EXPECT_EQ(EventTitleColor(c.title, &codePage), c.color) << c.title;
    // Before, both were "???????" and one grey.
    EXPECT_NE(EventTitleColor("\xD0\x92\xD1\x81\xD1\x82\xD1\x80\xD0\xB5\xD1\x87\xD0\xB0", &codePage),
              EventTitleColor("\xD0\x9E\xD1\x82\xD0\xBF\xD1\x83\xD1\x81\xD0\xBA", &codePage));
    EXPECT_EQ(EventTitleColor("Caf\xC3\xA9", nullptr), TitleColor("Caf\xC3\xA9"));
}

}  // namespace
