#pragma once
// What the upcoming-events window shows and where it stands, without the
// drawing: the rows built from the notifications and the pending list, the
// window's size, the places of its tick buttons, what a paint or a
// double-click touches, and the remembered anchor point.
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "core/time_types.h"
#include "platform/desktop.h"
#include "platform/dpi_scale.h"
#include "platform/registry.h"
#include "reminder/reminder_scheduler.h"

// Row kinds; reminded and begun rows blink. Begun and missed rows are
// notifications with a tick.
constexpr std::uint8_t kDueEnd = 0;
constexpr std::uint8_t kDueUpcoming = 2;
constexpr std::uint8_t kDueReminded = 3;
constexpr std::uint8_t kDueBegun = 4;
constexpr std::uint8_t kDueMissed = 5;  // began while the program was away

constexpr int kMaxDueRows = 60;
constexpr char kNoUpcomingText[] = "(No upcoming event.)";
// Registry value of the anchor: two little-endian signed 32-bit numbers.
constexpr char kDueEventCoordValue[] = "DueEventCoord";

struct DueRow {
    std::uint8_t kind = kDueEnd;
    std::string text;  // "title (start time)"
    std::uint32_t eventId = 0;
    Instant start = 0;
    std::int32_t textWidth = 0;
};

// A rectangle in the window's client coordinates; right and bottom excluded.
struct DueRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const DueRect&) const = default;
};

struct DueSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const DueSize&) const = default;
};

// One line of text to draw.
struct DueLine {
    std::string_view text;
    DueRect rect;
};

// What a double-click asks for: the calendar at an occurrence, or (0, 0).
struct DueHit {
    bool open = false;
    std::uint32_t eventId = 0;
    Instant start = 0;
};

// The window's text services: measuring in its font, the locale's time.
class DueTextMetrics {
public:
    virtual ~DueTextMetrics() = default;
    // Pixel width of one line of text.
    virtual std::int32_t TextWidth(const std::string& text) = 0;
    // The start time as the user's locale writes it, without seconds.
    virtual std::string FormatTime(Instant start) = 0;
    // The start date in the locale's short form.
    virtual std::string FormatDate(Instant start) = 0;
};

// The list: notifications first, then the pending records.
class DueList {
public:
    // Rows 0..lastRow are shown; the row after them has kind end.
    std::vector<DueRow> rows = std::vector<DueRow>(1);
    std::list<DueRow> notifications;  // begun occurrences, oldest first
    std::int32_t emptyTextWidth = 0;  // 0: text metrics not measured yet
    std::int32_t rowHeight = 0;
    std::int32_t lastRow = -1;
    std::int32_t lastBlinkRow = -1;
    std::int32_t winWidth = 0;  // the window's size, border included
    std::int32_t winHeight = 0;
    bool blinkOn = true;
    DpiScale scale;  // the window's; the margins and the tick button are given at 96 DPI
    // The tallest the window may be (its monitor's work area); 0: no limit.
    std::int32_t maxHeight = 0;
    // Rows left out for want of room, told in a last line of their own.
    std::int32_t moreCount = 0;
    std::string moreText;
    std::int32_t moreWidth = 0;

    // From the first build's measurement of the empty-list text.
    void SetTextMetrics(std::int32_t emptyWidth, std::int32_t textHeight) {
        emptyTextWidth = emptyWidth;
        rowHeight = textHeight + scale(2);
    }

    // Rebuilds the rows. Fills the records' text and width caches where they
    // are empty. A record not yet reminded that starts after now + uewHours
    // hours is left out; one reminded is listed wherever it starts. Rows
    // beyond sixty, or beyond what maxHeight holds, make way for a line
    // that says how many more there are.
    void Build(ReminderScheduler::PendingList& pending, Instant now, std::int32_t uewHours,
               DueTextMetrics& metrics);

    // A begun occurrence becomes a notification, also one never listed (the
    // window was open while the machine slept through its reminder).
    void AppendNotification(PendingReminder& record, DueTextMetrics& metrics);
    // One that began while the program was away: "title (date time, missed)".
    void AppendMissed(const PendingReminder& record, DueTextMetrics& metrics);
    // Removes the k-th notification; false when there is none.
    bool RemoveNotification(std::int32_t k);
    // A font for another scale: the records' widths are measured again at
    // the next build, the notifications' now, the empty-list text at the
    // next first build.
    void Remeasure(ReminderScheduler::PendingList& pending, DueTextMetrics& metrics);
    // Drops the notifications of events that are gone: a row left behind
    // would open whatever event later takes the id.
    void ForgetDeletedEvents(const std::function<bool(std::uint32_t eventId)>& exists);

    // The size the rows ask for, border included.
    DueSize ContentSize() const;
    // Stores a new size; false when it is the current one.
    bool Resize(DueSize size);

    // Notification rows, begun or missed, at the top of the list; each has a tick button.
    std::int32_t BegunRowCount() const;
    // The tick button of row i: 10 x 10 pixels, 4 pixels right of its text.
    DueRect TickButtonRect(std::int32_t i) const;
    // Rows whose reminder fired or whose occurrence began have a snooze
    // button: beside the tick of a begun row, in the tick's place otherwise.
    bool HasSnoozeButton(std::int32_t i) const;
    DueRect SnoozeButtonRect(std::int32_t i) const;
    // Where the blinking rows are drawn.
    DueRect BlinkRect() const;
    // The lines a paint of the clip rows [clipTop, clipBottom) draws, in the
    // current blink phase.
    std::vector<DueLine> LinesToPaint(std::int32_t clipTop, std::int32_t clipBottom) const;
    // A double-click at client y.
    DueHit HitTest(std::int32_t y) const;
};

// The remembered point the window grows away from.
class DueAnchor {
public:
    std::int32_t anchorX = 0;
    std::int32_t anchorY = 0;
    bool anchorRight = true;   // anchorX is the window's right edge, else its left
    bool anchorBottom = true;  // anchorY is its bottom edge, else its top
    ScreenRect work;  // the work area of the monitor the window is on

    // The stored point clamped into the work area of its monitor (the
    // nearest one when it lies on none), or the bottom-right default of the
    // primary monitor when none is stored or it cannot be read.
    void LoadPosition(Registry& registry, const Desktop& desktop);
    // Failures are silent; the flags are derived again at the next load.
    void SavePosition(Registry& registry) const;

    void SetDefault(const ScreenRect& workArea);
    void SetStored(std::int32_t x, std::int32_t y, const ScreenRect& workArea);

    // The window moved: (x, y) is its client origin, border the width of its
    // frame, workArea that of the monitor it is now on. The anchor goes to
    // the side with less free space.
    void TrackMove(std::int32_t x, std::int32_t y, std::int32_t border, std::int32_t winWidth, std::int32_t winHeight,
                   const ScreenRect& workArea);

    // Top-left corner of a window of that size.
    std::int32_t WindowLeft(std::int32_t width) const { return anchorRight ? anchorX - width : anchorX; }
    std::int32_t WindowTop(std::int32_t height) const { return anchorBottom ? anchorY - height : anchorY; }
    // The same, kept inside the work area as far as the height allows.
    std::int32_t FittedTop(std::int32_t height) const;
};
