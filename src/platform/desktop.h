#pragma once
#include <cstdint>
#include <vector>

#include "platform/dpi_scale.h"

struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// One display: all of it, the part not covered by the taskbar, and its scale.
struct Monitor {
    ScreenRect area;
    ScreenRect workArea;
    int dpi = DpiScale::kBaseDpi;
};

// The screen as the program sees it: one or more monitors anywhere on the
// virtual screen, negative coordinates included.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The primary monitor first; never empty.
    virtual std::vector<Monitor> Monitors() const = 0;

    // The primary monitor's work area and DPI.
    ScreenRect WorkArea() const;
    int PrimaryDpi() const;
    // The work area of the monitor holding the point, else of the nearest one.
    ScreenRect WorkAreaAt(std::int32_t x, std::int32_t y) const;
    // The work area of the monitor the rectangle overlaps most, else of the
    // nearest one.
    ScreenRect WorkAreaOf(const ScreenRect& rect) const;
    // The DPI of the monitor the rectangle overlaps most, else of the nearest one.
    int DpiOf(const ScreenRect& rect) const;
    // Whether any part of the rectangle shows on some monitor.
    bool OnAnyMonitor(const ScreenRect& rect) const;
};

// Keeps a window rectangle reachable: one that shows on a monitor keeps at
// least 50 pixels of its top inside that monitor's work area; one on no
// monitor (undocked, resolution lowered) goes whole onto the nearest
// monitor's work area, shrunk only where it does not fit.
void KeepOnDesktop(ScreenRect& rect, const Desktop& desktop);
// The 50-pixel rule against one work area.
void ClampToWorkArea(ScreenRect& rect, const ScreenRect& workArea);
