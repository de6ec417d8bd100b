#include "upcoming/due_list_model.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "store/registry_paths.h"

namespace {

// Text starts 3 pixels in and the first row 2 pixels down; a row's tick
// button sits 4 pixels right of its text, 1 pixel below the row's top.
constexpr std::int32_t kTextLeft = 3;
constexpr std::int32_t kTextTop = 2;
constexpr std::int32_t kExtraWidth = 22;
constexpr std::int32_t kExtraHeight = 4;
constexpr std::int32_t kBegunExtraWidth = kExtraWidth + 12;

bool Blinks(std::uint8_t kind) { return kind == kDueReminded || kind == kDueBegun; }

std::int32_t ReadInt32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return static_cast<std::int32_t>(v);
}

void WriteInt32(unsigned char* out, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::int32_t Clamp(std::int32_t v, std::int32_t min, std::int32_t max) {
    if (v < min) v = min;
    if (v > max) v = max;
    return v;
}

// A record's row, its text and width made and cached when not yet.
void FillRow(PendingReminder& record, DueTextMetrics& metrics, DueRow& row) {
    row.eventId = record.item != nullptr ? record.item->front.id : 0;
    row.start = record.start;
    if (record.text.empty()) {
        const std::string title = record.item != nullptr ? record.item->title : std::string();
        record.text = title + " (" + metrics.FormatTime(record.start) + ")";
    }
    row.text = record.text;
    if (record.textWidth == 0) record.textWidth = metrics.TextWidth(record.text);
    row.textWidth = record.textWidth;
}

}  // namespace

void DueList::Build(ReminderScheduler::PendingList& pending, Instant now, std::int32_t uewHours,
                    DueTextMetrics& metrics) {
    rows.clear();
    lastRow = -1;
    lastBlinkRow = -1;
    moreCount = 0;
    const Instant limit = now + static_cast<Instant>(uewHours) * 3600;
    // Lines the window has room for, the one saying how many more included.
    std::int32_t lines = kMaxDueRows;
    if (maxHeight > 0 && rowHeight > 0) {
        lines = std::clamp((maxHeight - scale(kExtraHeight)) / rowHeight, 2, kMaxDueRows);
    }
    std::int32_t listed = 0;
    const auto room = [&] { return static_cast<std::int32_t>(rows.size()) < lines; };

    for (const DueRow& n : notifications) {
        ++listed;
        if (room()) rows.push_back(n);
    }

    for (const auto& record : pending) {
        DueRow row;
        if (record->fired && !record->snoozed) {
            row.kind = kDueReminded;
        } else if (record->start > limit) {
            continue;  // a later record may start further ahead and have fired already (or been put off)
        } else {
            row.kind = kDueUpcoming;
        }
        ++listed;
        if (!room()) continue;  // counted, but neither formatted nor measured
        FillRow(*record, metrics, row);
        rows.push_back(std::move(row));
    }

    if (listed > static_cast<std::int32_t>(rows.size())) {
        rows.pop_back();  // its line tells how many more there are: two at least
        moreCount = listed - static_cast<std::int32_t>(rows.size());
        moreText = "(" + std::to_string(moreCount) + " more events.)";
        moreWidth = metrics.TextWidth(moreText);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (Blinks(rows[i].kind)) lastBlinkRow = static_cast<std::int32_t>(i);
    }
    lastRow = static_cast<std::int32_t>(rows.size()) - 1;
    rows.emplace_back();  // kind end
}

void DueList::AppendNotification(PendingReminder& record, DueTextMetrics& metrics) {
    DueRow row;
    row.kind = kDueBegun;
    FillRow(record, metrics, row);
    notifications.push_back(std::move(row));
}

void DueList::AppendMissed(const PendingReminder& record, DueTextMetrics& metrics) {
    DueRow row;
    row.kind = kDueMissed;
    row.eventId = record.item != nullptr ? record.item->front.id : 0;
    row.start = record.start;
    const std::string title = record.item != nullptr ? record.item->title : std::string();
    row.text = title + " (" + metrics.FormatDate(record.start) + " " + metrics.FormatTime(record.start) + ", missed)";
    row.textWidth = metrics.TextWidth(row.text);
    notifications.push_back(std::move(row));
}

bool DueList::RemoveNotification(std::int32_t k) {
    if (k < 0 || k >= static_cast<std::int32_t>(notifications.size())) return false;
    notifications.erase(std::next(notifications.begin(), k));
    return true;
}

void DueList::Remeasure(ReminderScheduler::PendingList& pending, DueTextMetrics& metrics) {
    emptyTextWidth = 0;
    for (const auto& record : pending) record->textWidth = 0;
    for (DueRow& n : notifications) n.textWidth = metrics.TextWidth(n.text);
}

void DueList::ForgetDeletedEvents(const std::function<bool(std::uint32_t eventId)>& exists) {
    std::erase_if(notifications, [&exists](const DueRow& row) { return !exists(row.eventId); });
}

DueSize DueList::ContentSize() const {
    DueSize size;
    if (lastRow < 0) {
        size = {emptyTextWidth + scale(kExtraWidth), rowHeight};
    } else {
        std::int32_t width = 0;
        for (std::int32_t i = 0; i <= lastRow; ++i) {
            // A begun row's snooze button stands right of its tick.
            const std::int32_t buttons = scale(rows[i].kind == kDueBegun ? kBegunExtraWidth : kExtraWidth);
            width = std::max(width, rows[i].textWidth + buttons);
        }
        if (moreCount > 0) width = std::max(width, moreWidth + scale(kExtraWidth));
        size = {width, (lastRow + 1 + (moreCount > 0 ? 1 : 0)) * rowHeight};
    }
    size.height += scale(kExtraHeight);
    return size;
}

bool DueList::Resize(DueSize size) {
    if (size.width == winWidth && size.height == winHeight) return false;
    winWidth = size.width;
    winHeight = size.height;
    return true;
}

std::int32_t DueList::BegunRowCount() const {
    std::int32_t n = 0;
    while (n <= lastRow && (rows[n].kind == kDueBegun || rows[n].kind == kDueMissed)) ++n;
    return n;
}

DueRect DueList::TickButtonRect(std::int32_t i) const {
    const std::int32_t w = rows[i].textWidth;
    return {w + scale(7), i * rowHeight + scale(3), w + scale(17), i * rowHeight + scale(13)};
}

bool DueList::HasSnoozeButton(std::int32_t i) const {
    return i >= 0 && i <= lastRow && Blinks(rows[i].kind);
}

DueRect DueList::SnoozeButtonRect(std::int32_t i) const {
    DueRect r = TickButtonRect(i);
    if (rows[i].kind == kDueBegun) {
        r.left += scale(12);
        r.right += scale(12);
    }
    return r;
}

DueRect DueList::BlinkRect() const {
    const std::int32_t left = scale(kTextLeft);
    const std::int32_t top = scale(kTextTop);
    return {left, top, winWidth - scale(19), (lastBlinkRow + 1) * rowHeight + top};
}

std::vector<DueLine> DueList::LinesToPaint(std::int32_t clipTop, std::int32_t clipBottom) const {
    std::vector<DueLine> lines;
    if (rowHeight <= 0) return lines;
    // Every row the clip box touches, a partly covered first one included.
    const std::int32_t textLeft = scale(kTextLeft);
    const std::int32_t textTop = scale(kTextTop);
    const std::int32_t top = std::max(clipTop, textTop);
    for (std::int32_t r = (top - textTop) / rowHeight; r * rowHeight + textTop < clipBottom; ++r) {
        if (r > lastRow) {
            if (r == 0 && moreCount == 0) {
                lines.push_back({kNoUpcomingText, {textLeft, textTop, winWidth, rowHeight + textTop}});
            } else if (r == lastRow + 1 && moreCount > 0) {
                const DueRect rect{textLeft, r * rowHeight + textTop, winWidth, (r + 1) * rowHeight + textTop};
                lines.push_back({moreText, rect});
            }
            break;
        }
        const DueRow& row = rows[r];
        if (row.kind < kDueUpcoming || (Blinks(row.kind) && !blinkOn)) continue;
        lines.push_back({row.text, {textLeft, r * rowHeight + textTop, winWidth, (r + 1) * rowHeight + textTop}});
    }
    return lines;
}

DueHit DueList::HitTest(std::int32_t y) const {
    const std::int32_t top = scale(kTextTop);
    if (y < top || rowHeight <= 0) return {};
    const std::int32_t r = (y - top) / rowHeight;
    if (r <= lastRow) {
        const DueRow& row = rows[r];
        if (row.kind >= kDueUpcoming && row.kind <= kDueMissed) return {true, row.eventId, row.start};
        return {};
    }
    if (r == 0 && lastRow == -1) return {true, 0, 0};
    return {};
}

std::int32_t DueAnchor::FittedTop(std::int32_t height) const {
    // A window taller than the work area keeps its top, with the first rows, on it.
    return std::max(work.top, std::min(WindowTop(height), work.bottom - height));
}

void DueAnchor::SetDefault(const ScreenRect& workArea) {
    work = workArea;
    anchorX = work.right - 10;
    anchorY = work.bottom;
    anchorRight = true;
    anchorBottom = true;
}

void DueAnchor::SetStored(std::int32_t x, std::int32_t y, const ScreenRect& workArea) {
    work = workArea;
    anchorX = Clamp(x, work.left, work.right);
    anchorY = Clamp(y, work.top, work.bottom);
    anchorRight = anchorX - work.left >= (work.right - work.left) / 2;
    anchorBottom = anchorY - work.top >= (work.bottom - work.top) / 2;
}

void DueAnchor::LoadPosition(Registry& registry, const Desktop& desktop) {
    const RegKey key = OpenUserKey(registry, RegAccess::Read);
    std::string bytes;
    // A value of another length is not a position this program wrote.
    if (key && key.ReadBinary(kDueEventCoordValue, 8, bytes) && bytes.size() == 8) {
        const std::int32_t x = ReadInt32(bytes, 0);
        const std::int32_t y = ReadInt32(bytes, 4);
        SetStored(x, y, desktop.WorkAreaAt(x, y));
    } else {
        SetDefault(desktop.WorkArea());
    }
}

void DueAnchor::SavePosition(Registry& registry) const {
    const RegKey key = OpenUserKey(registry, RegAccess::Write);
    if (!key) return;
    unsigned char bytes[8];
    WriteInt32(bytes, anchorX);
    WriteInt32(bytes + 4, anchorY);
    key.WriteBinary(kDueEventCoordValue, bytes, sizeof bytes);
}

void DueAnchor::TrackMove(std::int32_t x, std::int32_t y, std::int32_t border, std::int32_t winWidth,
                          std::int32_t winHeight, const ScreenRect& workArea) {
    // Anchored right, the point is the window's outer right edge; anchored
    // left, its outer left edge, so that placing the window at the anchor
    // puts it back where it was.
    work = workArea;
    anchorRight = x - work.left > work.right - winWidth - x;
    anchorX = anchorRight ? x + winWidth - border : x - border;
    anchorBottom = y - work.top > work.bottom - winHeight - y;
    anchorY = anchorBottom ? y + winHeight - border : y - border;
}
