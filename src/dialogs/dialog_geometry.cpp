#include "dialogs/dialog_geometry.h"

#include <algorithm>

namespace {

// The start of a span of the given length centred over [low, high), moved
// into [areaLow, areaHigh) and, when too long for it, onto its start.
int Place(int length, int low, int high, int areaLow, int areaHigh) {
    const int centred = low + (high - low - length) / 2;
    return std::max(areaLow, std::min(centred, areaHigh - length));
}

}  // namespace

ScreenRect CenteredRect(int width, int height, const ScreenRect& anchor, const ScreenRect& workArea) {
    ScreenRect rect;
    rect.left = Place(width, anchor.left, anchor.right, workArea.left, workArea.right);
    rect.top = Place(height, anchor.top, anchor.bottom, workArea.top, workArea.bottom);
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}
