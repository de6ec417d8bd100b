// The upcoming-events window's rows, size, tick buttons, paint and click
// geometry, and its anchor point, with a fake text measurer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory/faulty_registry.h"
#include "platform/memory/fixed_desktop.h"
#include "platform/memory/memory_registry.h"
#include "portable/core_zone.h"
#include "store/registry_paths.h"
#include "support/monitor_layouts.h"
#include "support/pending_records.h"
#include "upcoming/due_list_model.h"

namespace {

// Every character 6 pixels wide; times as "HH:MM".
struct FakeMetrics final : DueTextMetrics {
    std::int32_t TextWidth(const std::string& text) override {
        measured.push_back(text);
        return static_cast<std::int32_t>(text.size()) * 6;
    }
    std::string FormatTime(Instant start) override {
        ++formatted;
        LocalFields f;
        if (!BreakDownLocal(start, f)) return "?";
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02d:%02d", f.hour, f.minute);
        return buf;
    }
    std::string FormatDate(Instant start) override {
        LocalFields f;
        if (!BreakDownLocal(start, f)) return "?";
        return std::to_string(f.month) + "/" + std::to_string(f.day);
    }
    std::vector<std::string> measured;
    int formatted = 0;
};

constexpr std::int32_t kTextHeight = 13;
constexpr std::int32_t kRowHeight = kTextHeight + 2;
constexpr std::int32_t kEmptyWidth = 112;

Instant At(int h, int m) { return Local(2025, 6, 10, h, m); }

using Pending = PendingRecords;

struct Rig {
    Pending pending;
    FakeMetrics metrics;
    DueList list;
    Rig() { list.SetTextMetrics(kEmptyWidth, kTextHeight); }
    void Build(Instant now, std::int32_t hours = 4) {
        list.Build(pending.list, now, hours, metrics);
        list.Resize(list.ContentSize());
    }
    std::vector<std::uint8_t> Kinds() const {
        std::vector<std::uint8_t> kinds;
        for (const DueRow& r : list.rows) kinds.push_back(r.kind);
        return kinds;
    }
};

std::int32_t Width(const std::string& text) { return static_cast<std::int32_t>(text.size()) * 6; }

TEST(DueListTest, NothingPendingShowsOneGreyLineThatOpensTheCalendar) {
    Rig r;
    r.Build(At(11, 0));
    EXPECT_EQ(r.list.lastRow, -1);
    EXPECT_EQ(r.list.lastBlinkRow, -1);
    EXPECT_EQ(r.Kinds(), std::vector<std::uint8_t>{kDueEnd});
    EXPECT_EQ(r.list.winWidth, kEmptyWidth + 22);
    EXPECT_EQ(r.list.winHeight, kRowHeight + 4);

    const auto lines = r.list.LinesToPaint(0, r.list.winHeight);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "(No upcoming event.)");
    EXPECT_EQ(lines[0].rect, (DueRect{3, 2, kEmptyWidth + 22, kRowHeight + 2}));

    const DueHit line = r.list.HitTest(2);
    EXPECT_TRUE(line.open);
    EXPECT_EQ(line.eventId, 0u);
    EXPECT_EQ(line.start, 0);
    EXPECT_FALSE(r.list.HitTest(1).open);                   // the top margin
    EXPECT_FALSE(r.list.HitTest(kRowHeight + 2).open);      // below the line
    EXPECT_TRUE(r.list.HitTest(kRowHeight + 1).open);
}

// At 150 % the margins, the tick button and the room beside the text grow
// with the scale; the row height follows the font, plus its scaled gap. A
// font for another scale measures every row again.
TEST(DueListTest, MeasuresFollowTheWindowsScale) {
    Rig r;
    r.list.scale = DpiScale{144};
    r.list.SetTextMetrics(kEmptyWidth, 20);
    const std::int32_t rowHeight = 20 + 3;
    PendingReminder& begun = r.pending.Add(4, "Standup", At(11, 0), true);
    r.list.AppendNotification(begun, r.metrics);
    r.pending.list.pop_front();
    r.pending.Add(5, "Call", At(12, 0));
    r.Build(At(11, 0));
    const std::int32_t w = Width("Standup (11:00)");
    EXPECT_EQ(r.list.TickButtonRect(0), (DueRect{w + 11, 5, w + 26, 20}));  // 15 x 15
    EXPECT_EQ(r.list.TickButtonRect(1).top, rowHeight + 5);
    EXPECT_EQ(r.list.winWidth, w + 51);  // the tick and the snooze clock of a begun row
    EXPECT_EQ(r.list.winHeight, 2 * rowHeight + 6);
    const auto lines = r.list.LinesToPaint(0, r.list.winHeight);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rect, (DueRect{5, rowHeight + 3, r.list.winWidth, 2 * rowHeight + 3}));
    EXPECT_FALSE(r.list.HitTest(2).open);
    EXPECT_EQ(r.list.HitTest(3 + rowHeight).eventId, 5u);

    // Twice as wide a font: the notification now, the record at the next build.
    struct Wider final : DueTextMetrics {
        std::int32_t TextWidth(const std::string& text) override { return 2 * Width(text); }
        std::string FormatTime(Instant) override { return "?"; }
        std::string FormatDate(Instant) override { return "?"; }
    } wider;
    r.list.Remeasure(r.pending.list, wider);
    EXPECT_EQ(r.list.emptyTextWidth, 0);
    EXPECT_EQ(r.list.notifications.front().textWidth, 2 * w);
    r.list.SetTextMetrics(2 * kEmptyWidth, 40);
    r.list.Build(r.pending.list, At(11, 0), 4, wider);
    EXPECT_EQ(r.list.rows[1].textWidth, 2 * Width("Call (12:00)"));
}

// Records not yet reminded end at the span; a reminded one after them is
// listed all the same (its reminder has gone off: the window opened for it).
TEST(DueListTest, UpcomingRowsEndAtTheSpanButRemindedOnesAfterItAreListed) {
    Rig r;
    r.pending.Add(7, "Call", At(14, 30));
    r.pending.Add(8, "Exactly at the limit", At(15, 0));
    r.pending.Add(9, "Gym", At(15, 30));
    r.pending.Add(10, "Reminded after the span", At(16, 0), true);
    r.Build(At(11, 0));

    EXPECT_EQ(r.Kinds(), (std::vector<std::uint8_t>{kDueUpcoming, kDueUpcoming, kDueReminded, kDueEnd}));
    EXPECT_EQ(r.list.lastRow, 2);
    EXPECT_EQ(r.list.lastBlinkRow, 2);
    EXPECT_EQ(r.list.rows[0].text, "Call (14:30)");
    EXPECT_EQ(r.list.rows[0].eventId, 7u);
    EXPECT_EQ(r.list.rows[0].start, At(14, 30));
    EXPECT_EQ(r.list.rows[0].textWidth, Width("Call (14:30)"));
    EXPECT_EQ(r.list.rows[2].eventId, 10u);
    // A record left out keeps empty caches: nothing was done for it.
    EXPECT_TRUE((*std::next(r.pending.list.begin(), 2))->text.empty());

    const std::int32_t widest = Width("Reminded after the span (16:00)");
    EXPECT_EQ(r.list.winWidth, widest + 22);
    EXPECT_EQ(r.list.winHeight, 3 * kRowHeight + 4);

    // With a span of two hours only the reminded one is near enough.
    r.Build(At(11, 0), 2);
    EXPECT_EQ(r.list.lastRow, 0);
    EXPECT_EQ(r.list.rows[0].eventId, 10u);
}

TEST(DueListTest, RemindedRowsBlinkEvenBeyondTheSpan) {
    Rig r;
    r.pending.Add(1, "Soon", At(11, 30));
    r.pending.Add(2, "Evening", At(20, 0), true);
    r.pending.Add(3, "Later", At(21, 0));
    r.Build(At(11, 0));
    EXPECT_EQ(r.Kinds(), (std::vector<std::uint8_t>{kDueUpcoming, kDueReminded, kDueEnd}));
    EXPECT_EQ(r.list.lastBlinkRow, 1);
    EXPECT_EQ(r.list.BlinkRect(), (DueRect{3, 2, r.list.winWidth - 19, 2 * kRowHeight + 2}));

    // Steady rows stay in both phases; blinking ones only while it is on.
    r.list.blinkOn = false;
    auto lines = r.list.LinesToPaint(0, r.list.winHeight);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "Soon (11:30)");
    r.list.blinkOn = true;
    lines = r.list.LinesToPaint(0, r.list.winHeight);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].text, "Evening (20:00)");
    EXPECT_EQ(lines[1].rect, (DueRect{3, kRowHeight + 2, r.list.winWidth, 2 * kRowHeight + 2}));
}

TEST(DueListTest, CachesAreFilledOnceAndKeptAcrossBuilds) {
    Rig r;
    PendingReminder& a = r.pending.Add(1, "A", At(12, 0));
    PendingReminder& b = r.pending.Add(2, "B & C", At(13, 5));
    r.Build(At(11, 0));
    EXPECT_EQ(a.text, "A (12:00)");
    EXPECT_EQ(b.text, "B & C (13:05)");
    EXPECT_EQ(b.textWidth, Width("B & C (13:05)"));
    EXPECT_EQ(r.metrics.formatted, 2);
    EXPECT_EQ(r.metrics.measured.size(), 2u);

    r.Build(At(11, 1));
    r.Build(At(11, 2));
    EXPECT_EQ(r.metrics.formatted, 2);
    EXPECT_EQ(r.metrics.measured.size(), 2u);

    // A cached text is used as it is; a missing width is measured from it.
    b.text = "kept";
    b.textWidth = 0;
    r.Build(At(11, 3));
    EXPECT_EQ(r.list.rows[1].text, "kept");
    EXPECT_EQ(r.list.rows[1].textWidth, Width("kept"));
    EXPECT_EQ(r.metrics.formatted, 2);
}

TEST(DueListTest, BegunOccurrencesComeFirstWithTickButtons) {
    Rig r;
    PendingReminder& begun = r.pending.Add(4, "Standup", At(11, 0), true);
    r.pending.Add(5, "Lunch", At(12, 30));
    r.Build(At(10, 55));
    ASSERT_EQ(r.list.lastBlinkRow, 0);

    // The scheduler hands the begun record over and then frees it.
    r.list.AppendNotification(begun, r.metrics);
    r.pending.list.pop_front();
    r.Build(At(11, 0));
    EXPECT_EQ(r.Kinds(), (std::vector<std::uint8_t>{kDueBegun, kDueUpcoming, kDueEnd}));
    EXPECT_EQ(r.list.rows[0].text, "Standup (11:00)");
    EXPECT_EQ(r.list.rows[0].eventId, 4u);
    EXPECT_EQ(r.list.rows[0].start, At(11, 0));
    EXPECT_EQ(r.list.lastBlinkRow, 0);
    EXPECT_EQ(r.list.BegunRowCount(), 1);
    const std::int32_t w = Width("Standup (11:00)");
    EXPECT_EQ(r.list.TickButtonRect(0), (DueRect{w + 7, 3, w + 17, 13}));

    // A second one goes below the first, oldest first.
    PendingReminder& lunch = *r.pending.list.front();
    r.list.AppendNotification(lunch, r.metrics);
    r.pending.list.pop_front();
    r.Build(At(12, 30));
    EXPECT_EQ(r.Kinds(), (std::vector<std::uint8_t>{kDueBegun, kDueBegun, kDueEnd}));
    EXPECT_EQ(r.list.BegunRowCount(), 2);
    const std::int32_t w2 = Width("Lunch (12:30)");
    EXPECT_EQ(r.list.TickButtonRect(1), (DueRect{w2 + 7, kRowHeight + 3, w2 + 17, kRowHeight + 13}));
    EXPECT_EQ(r.list.winWidth, w + 34);  // the wider text: its tick and snooze button fit in 34 pixels

    // Dismissing the first leaves the second on top; out of range is nothing.
    EXPECT_FALSE(r.list.RemoveNotification(2));
    EXPECT_FALSE(r.list.RemoveNotification(-1));
    ASSERT_TRUE(r.list.RemoveNotification(0));
    r.Build(At(12, 31));
    EXPECT_EQ(r.list.rows[0].text, "Lunch (12:30)");
    ASSERT_TRUE(r.list.RemoveNotification(0));
    r.Build(At(12, 31));
    EXPECT_EQ(r.list.lastRow, -1);
    EXPECT_EQ(r.list.lastBlinkRow, -1);
}

// Reminded and begun rows have a snooze button; a snoozed record is listed
// steadily, as one not yet reminded, until its snooze ends.
TEST(DueListTest, SnoozeButtonsAndSnoozedRows) {
    Rig r;
    PendingReminder& begun = r.pending.Add(4, "Standup", At(11, 0), true);
    r.list.AppendNotification(begun, r.metrics);
    r.pending.list.pop_front();
    r.pending.Add(5, "Call", At(11, 20), true);
    r.pending.Add(6, "Lunch", At(12, 30));
    PendingReminder& late = r.pending.Add(7, "Concert", At(20, 0), true);
    r.Build(At(11, 5));
    EXPECT_EQ(r.Kinds(), (std::vector<std::uint8_t>{kDueBegun, kDueReminded, kDueUpcoming, kDueReminded, kDueEnd}));
    const std::vector<bool> buttons = {r.list.HasSnoozeButton(0), r.list.HasSnoozeButton(1),
                                       r.list.HasSnoozeButton(2), r.list.HasSnoozeButton(3),
                                       r.list.HasSnoozeButton(4)};
    EXPECT_EQ(buttons, (std::vector<bool>{true, true, false, true, false}));
    const std::int32_t w0 = Width("Standup (11:00)"), w1 = Width("Call (11:20)");
    EXPECT_EQ(r.list.SnoozeButtonRect(0), (DueRect{w0 + 19, 3, w0 + 29, 13}));  // right of the tick
    EXPECT_EQ(r.list.SnoozeButtonRect(1), (DueRect{w1 + 7, kRowHeight + 3, w1 + 17, kRowHeight + 13}));
    EXPECT_EQ(r.list.winWidth, std::max(w0 + 34, Width("Concert (20:00)") + 22));

    // Put off, the reminded row beyond the span leaves; the one within it steadies.
    late.snoozed = true;
    r.pending.list.front()->snoozed = true;
    r.Build(At(11, 5));
    EXPECT_EQ(r.Kinds(), (std::vector<std::uint8_t>{kDueBegun, kDueUpcoming, kDueUpcoming, kDueEnd}));
    EXPECT_EQ(r.list.lastBlinkRow, 0);
    EXPECT_FALSE(r.list.HasSnoozeButton(1));
}

// Missed rows come with the notifications, steady, with a tick and no clock.
TEST(DueListTest, MissedRowsAreSteadyNotificationsWithTheirDate) {
    Rig r;
    PendingReminder& away = r.pending.Add(3, "Standup", Local(2025, 6, 7, 9, 30), true);
    r.list.AppendMissed(away, r.metrics);
    r.pending.list.clear();
    r.pending.Add(5, "Lunch", At(12, 30));
    r.Build(At(11, 0));
    EXPECT_EQ(r.Kinds(), (std::vector<std::uint8_t>{kDueMissed, kDueUpcoming, kDueEnd}));
    EXPECT_EQ(r.list.rows[0].text, "Standup (6/7 09:30, missed)");
    EXPECT_EQ(r.list.lastBlinkRow, -1);
    EXPECT_EQ(r.list.BegunRowCount(), 1);
    EXPECT_FALSE(r.list.HasSnoozeButton(0));
    EXPECT_TRUE(r.list.HitTest(2).open);
    r.list.blinkOn = false;
    EXPECT_EQ(r.list.LinesToPaint(0, r.list.winHeight).size(), 2u);
}

// Slept through while the window was open: never listed, it still comes
// as a notification with its tick, as it would with the window closed.
TEST(DueListTest, ANeverListedOccurrenceStillNotifies) {
    Rig r;
    PendingReminder& unseen = r.pending.Add(4, "Unseen", At(11, 0));
    r.list.AppendNotification(unseen, r.metrics);
    r.pending.list.clear();
    r.Build(At(14, 0));
    EXPECT_EQ(r.Kinds(), (std::vector<std::uint8_t>{kDueBegun, kDueEnd}));
    EXPECT_EQ(r.list.rows[0].text, "Unseen (11:00)");
    EXPECT_EQ(r.list.rows[0].textWidth, Width("Unseen (11:00)"));
}

// A deleted event's notification goes with it: its id may come back on a new event.
TEST(DueListTest, NotificationsOfDeletedEventsAreForgotten) {
    Rig r;
    r.list.AppendNotification(r.pending.Add(4, "Standup", At(11, 0)), r.metrics);
    r.list.AppendNotification(r.pending.Add(5, "Lunch", At(12, 30)), r.metrics);
    r.list.ForgetDeletedEvents([](std::uint32_t id) { return id != 4; });
    r.pending.list.clear();
    r.Build(At(13, 0));
    EXPECT_EQ(r.Kinds(), (std::vector<std::uint8_t>{kDueBegun, kDueEnd}));
    EXPECT_EQ(r.list.rows[0].eventId, 5u);
}

// Sixty lines at most; rows beyond them are not dropped without a word: the
// last line says how many more there are.
TEST(DueListTest, AtMostSixtyLinesAreShownTheLastSayingHowManyMore) {
    Rig r;
    for (int i = 0; i < 70; ++i) r.pending.Add(100 + i, "Item " + std::to_string(i), At(11, 10) + i * 60);
    r.Build(At(11, 0));
    EXPECT_EQ(r.list.lastRow, 58);
    ASSERT_EQ(r.list.rows.size(), 60u);
    EXPECT_EQ(r.list.rows[58].eventId, 158u);
    EXPECT_EQ(r.list.rows[59].kind, kDueEnd);
    EXPECT_EQ(r.list.moreCount, 11);
    EXPECT_EQ(r.list.winHeight, 60 * kRowHeight + 4);
    const auto last = r.list.LinesToPaint(59 * kRowHeight + 2, 60 * kRowHeight + 2);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].text, "(11 more events.)");
    EXPECT_FALSE(r.list.HitTest(59 * kRowHeight + 5).open);
    // Records past the room are not even formatted.
    EXPECT_EQ(r.metrics.formatted, 60);

    // Notifications beyond the room wait for earlier ones to go.
    for (auto it = r.pending.list.begin(); it != r.pending.list.end(); ++it) {
        if ((*it)->text.empty()) (*it)->text = "late";
        r.list.AppendNotification(**it, r.metrics);
    }
    r.pending.list.clear();
    r.Build(At(12, 30));
    EXPECT_EQ(r.list.lastRow, 58);
    EXPECT_EQ(r.list.lastBlinkRow, 58);
    EXPECT_EQ(r.list.BegunRowCount(), 59);
    EXPECT_EQ(r.list.moreCount, 11);
    EXPECT_EQ(r.list.notifications.size(), 70u);
    for (int k = 0; k < 10; ++k) ASSERT_TRUE(r.list.RemoveNotification(0));
    r.Build(At(12, 30));
    EXPECT_EQ(r.list.lastRow, 59);
    EXPECT_EQ(r.list.moreCount, 0);
    EXPECT_EQ(r.list.rows[59].text, "late");
    EXPECT_EQ(r.list.rows[0].eventId, 110u);
}

// The window stays inside its monitor's work area: as many lines as fit in
// its height, the last one counting the rest, and a top on the work area
// whichever way it is anchored.
TEST(DueListTest, TheWindowFitsItsWorkAreaAndCountsTheRowsLeftOut) {
    struct Row {
        int records;
        std::int32_t workHeight;
        std::int32_t shownRows;
        std::int32_t more;
    } rows[] = {
        {66, 768, 49, 17},  // (768 - 4) / 15 = 50 lines
        {50, 768, 50, 0},
        {51, 768, 49, 2},
        {66, 2000, 59, 7},  // sixty lines at most
        {5, 40, 1, 4},      // two lines at least
    };
    for (const Row& row : rows) {
        Rig r;
        r.list.maxHeight = row.workHeight;
        for (int i = 0; i < row.records; ++i) r.pending.Add(100 + i, "Item " + std::to_string(i), At(11, 10) + i);
        r.Build(At(11, 0));
        EXPECT_EQ(r.list.lastRow + 1, row.shownRows) << row.records << " in " << row.workHeight;
        EXPECT_EQ(r.list.moreCount, row.more) << row.records << " in " << row.workHeight;
        if (row.workHeight >= 2 * kRowHeight + 4) {
            EXPECT_LE(r.list.winHeight, row.workHeight) << row.records << " in " << row.workHeight;
        }
        if (r.list.moreCount > 0) {
            EXPECT_EQ(r.list.moreWidth, Width(r.list.moreText));
        }
    }

    struct Place {
        std::int32_t anchorY;
        bool bottom;
        std::int32_t height;
        std::int32_t top;
    } places[] = {
        {768, true, 754, 14},
        {768, true, 900, 0},    // taller than the work area: its top, and the first rows, stay on it
        {100, false, 754, 14},  // anchored at its top, moved up to stay above the work area's bottom
        {100, false, 300, 100},
        {300, true, 754, 0},
    };
    for (const Place& p : places) {
        DueAnchor anchor;
        anchor.work = {0, 0, 1024, 768};
        anchor.anchorY = p.anchorY;
        anchor.anchorBottom = p.bottom;
        EXPECT_EQ(anchor.FittedTop(p.height), p.top) << p.anchorY << " " << p.height;
    }
}

TEST(DueListTest, PaintTouchesOnlyTheRowsInTheClipBox) {
    Rig r;
    for (int i = 0; i < 5; ++i) r.pending.Add(i + 1, "Row " + std::to_string(i), At(12, i));
    r.Build(At(11, 0));
    const auto texts = [&](std::int32_t top, std::int32_t bottom) {
        std::vector<std::string> out;
        for (const DueLine& l : r.list.LinesToPaint(top, bottom)) out.emplace_back(l.text);
        return out;
    };
    EXPECT_EQ(texts(0, 2), std::vector<std::string>{});
    EXPECT_EQ(texts(2, 3), std::vector<std::string>{"Row 0 (12:00)"});
    // A clip box starting inside a row still repaints that row.
    const std::int32_t row1 = kRowHeight + 2;
    EXPECT_EQ(texts(row1 + 5, row1 + kRowHeight + 1), (std::vector<std::string>{"Row 1 (12:01)", "Row 2 (12:02)"}));
    EXPECT_EQ(texts(row1, row1 + kRowHeight), std::vector<std::string>{"Row 1 (12:01)"});
    // Below the last row: nothing, and no empty-list line.
    EXPECT_EQ(texts(5 * kRowHeight + 2, 9 * kRowHeight), std::vector<std::string>{});
    EXPECT_EQ(texts(0, 1000).size(), 5u);
}

TEST(DueListTest, DoubleClickHitsTheRowUnderIt) {
    Rig r;
    r.pending.Add(21, "First", At(12, 0));
    r.pending.Add(22, "Second", At(13, 0), true);
    r.Build(At(11, 0));
    const DueHit first = r.list.HitTest(2 + kRowHeight - 1);
    EXPECT_TRUE(first.open);
    EXPECT_EQ(first.eventId, 21u);
    EXPECT_EQ(first.start, At(12, 0));
    const DueHit second = r.list.HitTest(2 + kRowHeight);
    EXPECT_TRUE(second.open);
    EXPECT_EQ(second.eventId, 22u);
    EXPECT_EQ(second.start, At(13, 0));
    EXPECT_FALSE(r.list.HitTest(2 + 2 * kRowHeight).open);  // the border strip below the rows
    EXPECT_FALSE(r.list.HitTest(0).open);
}

// The anchor point.

const ScreenRect kWork{0, 0, 1024, 738};

struct AnchorRig {
    MemoryRegistry registry;
    void Store(const std::string& bytes) {
        const RegKey key = OpenUserKey(registry, RegAccess::Write);
        ASSERT_TRUE(key.WriteBinary(kDueEventCoordValue, bytes.data(), bytes.size()));
    }
    std::string Stored() {
        RegType type{};
        std::string bytes;
        if (!registry.Peek(std::string(kUserKeyPath) + "\\" + std::string(kUserId), kDueEventCoordValue, type, bytes))
            return "absent";
        EXPECT_EQ(type, RegType::Binary);
        return bytes;
    }
};

std::string Coord(std::int32_t x, std::int32_t y) {
    std::string bytes(8, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>(static_cast<std::uint32_t>(x) >> (8 * i));
        bytes[4 + i] = static_cast<char>(static_cast<std::uint32_t>(y) >> (8 * i));
    }
    return bytes;
}

TEST(DueAnchorTest, FirstOpeningSitsAtTheBottomRightOfTheWorkArea) {
    AnchorRig r;
    DueAnchor a;
    a.LoadPosition(r.registry, FixedDesktop(kWork));
    EXPECT_EQ(a.work, kWork);
    EXPECT_EQ(a.anchorX, 1014);
    EXPECT_EQ(a.anchorY, 738);
    EXPECT_TRUE(a.anchorRight);
    EXPECT_TRUE(a.anchorBottom);
    EXPECT_EQ(a.WindowLeft(134), 1014 - 134);
    EXPECT_EQ(a.WindowTop(19), 738 - 19);
    EXPECT_EQ(r.Stored(), "absent");  // loading writes nothing
    EXPECT_EQ(r.registry.OpenHandleCount(), 0u);
}

TEST(DueAnchorTest, StoredPointIsClampedIntoTheWorkArea) {
    struct Case {
        std::int32_t x, y;
        std::int32_t ax, ay;
        bool right, bottom;
    };
    const Case cases[] = {
        {-50, 99999, 0, 738, false, true},
        {99999, -1, 1024, 0, true, false},
        {512, 369, 512, 369, true, true},  // the halves belong to the right and bottom
        {511, 368, 511, 368, false, false},
        {300, 700, 300, 700, false, true},
        {INT32_MIN, INT32_MAX, 0, 738, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        AnchorRig r;
        r.Store(Coord(c.x, c.y));
        DueAnchor a;
        a.LoadPosition(r.registry, FixedDesktop(kWork));
        EXPECT_EQ(a.anchorX, c.ax);
        EXPECT_EQ(a.anchorY, c.ay);
        EXPECT_EQ(a.anchorRight, c.right);
        EXPECT_EQ(a.anchorBottom, c.bottom);
    }
}

TEST(DueAnchorTest, UnreadableValuesGiveTheDefault) {
    for (const std::string& bytes : {std::string(4, '\x01'), Coord(5, 5) + "xxxx", std::string()}) {
        SCOPED_TRACE(bytes.size());
        AnchorRig r;
        r.Store(bytes);
        DueAnchor a;
        a.LoadPosition(r.registry, FixedDesktop(kWork));
        EXPECT_EQ(a.anchorX, 1014);
        EXPECT_EQ(a.anchorY, 738);
        EXPECT_TRUE(a.anchorRight && a.anchorBottom);
    }
    AnchorRig r;
    r.Store(Coord(5, 5));
    FaultyRegistry faulty(r.registry);
    faulty.FailNth(RegOp::Open, 1);
    DueAnchor a;
    a.LoadPosition(faulty, FixedDesktop(kWork));
    EXPECT_EQ(a.anchorX, 1014);
}

TEST(DueAnchorTest, SavedPointRoundTripsAndFailuresKeepTheOldOne) {
    AnchorRig r;
    DueAnchor a;
    a.anchorX = -7;  // a window dragged off the left edge
    a.anchorY = 400;
    a.SavePosition(r.registry);
    EXPECT_EQ(r.Stored(), Coord(-7, 400));
    EXPECT_EQ(r.Stored(), std::string("\xF9\xFF\xFF\xFF\x90\x01\x00\x00", 8));
    DueAnchor b;
    b.LoadPosition(r.registry, FixedDesktop(kWork));
    EXPECT_EQ(b.anchorX, 0);
    EXPECT_EQ(b.anchorY, 400);
    EXPECT_FALSE(b.anchorRight);
    EXPECT_TRUE(b.anchorBottom);

    FaultyRegistry faulty(r.registry);
    faulty.FailName(RegOp::Write, kDueEventCoordValue);
    a.anchorX = 9;
    a.SavePosition(faulty);
    EXPECT_EQ(r.Stored(), Coord(-7, 400));
    faulty.Heal();
    faulty.FailNth(RegOp::Open, 1);
    a.SavePosition(faulty);
    EXPECT_EQ(r.Stored(), Coord(-7, 400));
    EXPECT_EQ(r.registry.OpenHandleCount(), 0u);
}

TEST(DueAnchorTest, LivesOnItsOwnMonitor) {
    struct Case {
        const char* name;
        const FixedDesktop& desktop;
        std::int32_t x, y;
        std::int32_t ax, ay;
        bool right, bottom;
    } cases[] = {
        {"second monitor, right half", kSideBySide, 3000, 900, 3000, 900, true, true},
        {"second monitor, left half", kSideBySide, 2000, 100, 2000, 100, false, false},
        {"negative, on the left monitor", kPrimaryOnTheRight, -2500, -300, -2500, -300, false, false},
        {"beyond the left monitor", kPrimaryOnTheRight, -9000, 2000, -2560, 1040, false, true},
        {"under the taskbar on the left", kTaskbarLeft, 1930, 500, 1980, 500, false, false},
        {"monitor gone", kSingle, 3000, 900, 1024, 738, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnchorRig r;
        r.Store(Coord(c.x, c.y));
        DueAnchor a;
        a.LoadPosition(r.registry, c.desktop);
        EXPECT_EQ(a.anchorX, c.ax);
        EXPECT_EQ(a.anchorY, c.ay);
        EXPECT_EQ(a.anchorRight, c.right);
        EXPECT_EQ(a.anchorBottom, c.bottom);
    }
    // A fresh registry: the bottom-right corner of the primary's work area.
    AnchorRig fresh;
    DueAnchor a;
    a.LoadPosition(fresh.registry, kPrimaryOnTheRight);
    EXPECT_EQ(a.anchorX, 1910);
    EXPECT_EQ(a.anchorY, 1040);

    // Dragged onto the left monitor near its left edge: it grows rightwards there.
    a.TrackMove(-2500, 900, 1, 200, 40, kPrimaryOnTheRight.WorkAreaAt(-2500, 900));
    EXPECT_FALSE(a.anchorRight);
    EXPECT_EQ(a.anchorX, -2501);
    EXPECT_TRUE(a.anchorBottom);
    EXPECT_EQ(a.WindowLeft(300), -2501);
}

TEST(DueAnchorTest, MovingPicksTheSideWithLessFreeSpace) {
    DueAnchor a;
    a.SetDefault(kWork);
    // (x, y) is the client origin, one pixel inside the window's border.
    a.TrackMove(701, 101, 1, 200, 40, kWork);
    EXPECT_TRUE(a.anchorRight);
    EXPECT_EQ(a.anchorX, 900);  // the outer right edge
    EXPECT_FALSE(a.anchorBottom);
    EXPECT_EQ(a.anchorY, 100);  // the outer top edge
    EXPECT_EQ(a.WindowLeft(200), 700);
    EXPECT_EQ(a.WindowTop(40), 100);

    a.TrackMove(101, 601, 1, 200, 40, kWork);
    EXPECT_FALSE(a.anchorRight);
    EXPECT_EQ(a.anchorX, 100);
    EXPECT_TRUE(a.anchorBottom);
    EXPECT_EQ(a.anchorY, 640);

    // Equal space on both sides anchors left and top.
    a.TrackMove(412, 349, 1, 200, 40, kWork);
    EXPECT_FALSE(a.anchorRight);
    EXPECT_FALSE(a.anchorBottom);

    // Placing a window at its anchor and moving it there again changes
    // nothing, on either side.
    for (std::int32_t x : {0, 50, 411, 413, 800, 990}) {
        SCOPED_TRACE(x);
        a.TrackMove(x + 1, 11, 1, 200, 40, kWork);
        const DueAnchor before = a;
        a.TrackMove(a.WindowLeft(200) + 1, a.WindowTop(40) + 1, 1, 200, 40, kWork);
        EXPECT_EQ(a.anchorX, before.anchorX);
        EXPECT_EQ(a.anchorRight, before.anchorRight);
        EXPECT_EQ(a.anchorY, before.anchorY);
    }
}

}  // namespace
