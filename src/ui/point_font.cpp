#include "ui/point_font.h"

#include <cstdlib>

#include "ui/gdi.h"

LONG PointFontHeight(HDC dc, int tenthsOfPoint) {
    if (dc == nullptr) {
        WindowDc screen(nullptr);
        return PointFontHeight(screen, tenthsOfPoint);
    }
    // Through the mapping mode: a device context may not map one unit to one pixel.
    POINT height = {0, MulDiv(GetDeviceCaps(dc, LOGPIXELSY), tenthsOfPoint, 720)};
    POINT origin = {0, 0};
    DPtoLP(dc, &height, 1);
    DPtoLP(dc, &origin, 1);
    return -std::abs(height.y - origin.y);
}
