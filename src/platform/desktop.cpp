#include "platform/desktop.h"

#include <algorithm>
#include <cstdint>

namespace {

std::int64_t Overlap(const ScreenRect& a, const ScreenRect& b) {
    const std::int64_t w = std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
    const std::int64_t h = std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// How far apart two spans are along one axis; 0 when they touch or overlap.
std::int64_t Gap(std::int32_t low, std::int32_t high, std::int32_t areaLow, std::int32_t areaHigh) {
    if (high <= areaLow) return std::int64_t{areaLow} - high;
    if (low >= areaHigh) return std::int64_t{low} - areaHigh;
    return 0;
}

std::int64_t DistanceSquared(const ScreenRect& r, const ScreenRect& area) {
    const std::int64_t dx = Gap(r.left, r.right, area.left, area.right);
    const std::int64_t dy = Gap(r.top, r.bottom, area.top, area.bottom);
    return dx * dx + dy * dy;
}

// The monitor a rectangle belongs to: the most overlapped, else the nearest;
// ties go to the earlier one, the primary first.
const Monitor& Nearest(const std::vector<Monitor>& monitors, const ScreenRect& rect) {
    const Monitor* best = &monitors.front();
    std::int64_t bestOverlap = -1;
    for (const Monitor& m : monitors) {
        const std::int64_t o = Overlap(rect, m.area);
        if (o > bestOverlap) {
            best = &m;
            bestOverlap = o;
        }
    }
    if (bestOverlap > 0) return *best;
    std::int64_t bestDistance = INT64_MAX;
    for (const Monitor& m : monitors) {
        const std::int64_t d = DistanceSquared(rect, m.area);
        if (d < bestDistance) {
            best = &m;
            bestDistance = d;
        }
    }
    return *best;
}

// Moves a span onto [low, high), shortened to fit; a reversed one becomes empty.
void Fit(std::int32_t& start, std::int32_t& end, std::int32_t low, std::int32_t high) {
    const std::int64_t length = std::clamp<std::int64_t>(std::int64_t{end} - start, 0, std::int64_t{high} - low);
    start = static_cast<std::int32_t>(std::clamp<std::int64_t>(start, low, high - length));
    end = static_cast<std::int32_t>(start + length);
}

// A stored rectangle may hold any numbers: moved as 64-bit, kept in range.
void Move(std::int32_t& low, std::int32_t& high, std::int64_t by) {
    low = static_cast<std::int32_t>(std::clamp<std::int64_t>(low + by, INT32_MIN, INT32_MAX));
    high = static_cast<std::int32_t>(std::clamp<std::int64_t>(high + by, INT32_MIN, INT32_MAX));
}

}  // namespace

ScreenRect Desktop::WorkArea() const { return Monitors().front().workArea; }

int Desktop::PrimaryDpi() const { return Monitors().front().dpi; }

ScreenRect Desktop::WorkAreaAt(std::int32_t x, std::int32_t y) const {
    // A point is the one-pixel rectangle at it: inside one monitor it overlaps
    // only that one.
    const std::int32_t x1 = x < INT32_MAX ? x + 1 : x;
    const std::int32_t y1 = y < INT32_MAX ? y + 1 : y;
    return Nearest(Monitors(), {x, y, x1, y1}).workArea;
}

ScreenRect Desktop::WorkAreaOf(const ScreenRect& rect) const { return Nearest(Monitors(), rect).workArea; }

int Desktop::DpiOf(const ScreenRect& rect) const { return Nearest(Monitors(), rect).dpi; }

bool Desktop::OnAnyMonitor(const ScreenRect& rect) const {
    const std::vector<Monitor> monitors = Monitors();
    return std::any_of(monitors.begin(), monitors.end(), [&](const Monitor& m) { return Overlap(rect, m.area) > 0; });
}

void ClampToWorkArea(ScreenRect& rect, const ScreenRect& w) {
    using I = std::int64_t;
    if (I{w.right} - rect.left < 50) Move(rect.left, rect.right, I{w.right} - 50 - rect.left);
    if (I{w.bottom} - rect.top < 50) Move(rect.top, rect.bottom, I{w.bottom} - 50 - rect.top);
    if (I{rect.right} - w.left < 50) Move(rect.left, rect.right, I{w.left} + 50 - rect.right);
    if (rect.top < w.top) Move(rect.top, rect.bottom, I{w.top} - rect.top);
}

void KeepOnDesktop(ScreenRect& rect, const Desktop& desktop) {
    const ScreenRect work = desktop.WorkAreaOf(rect);
    if (desktop.OnAnyMonitor(rect)) {
        ClampToWorkArea(rect, work);
        return;
    }
    Fit(rect.left, rect.right, work.left, work.right);
    Fit(rect.top, rect.bottom, work.top, work.bottom);
}
