#include "ui/desktop_metrics.h"

#include "platform/win32/trace.h"

bool GetIconTitleLogFont(LOGFONTA& logfont) {
    return ORV_CHECK(SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(LOGFONTA), &logfont, 0) == 1);
}

bool CreateIconTitleFont(FontHandle& font) {
    LOGFONTA logfont = {};
    if (!GetIconTitleLogFont(logfont)) return false;
    font.Reset(CreateFontIndirectA(&logfont));
    return static_cast<bool>(font);
}

void ClampToWorkArea(ScreenRect& rect, const ScreenRect& w) {
    const auto moveX = [&rect](int dx) {
        rect.left += dx;
        rect.right += dx;
    };
    const auto moveY = [&rect](int dy) {
        rect.top += dy;
        rect.bottom += dy;
    };
    if (w.right - rect.left < 50) moveX(w.right - 50 - rect.left);
    if (w.bottom - rect.top < 50) moveY(w.bottom - 50 - rect.top);
    if (rect.right < 50) moveX(50 - rect.right);
    if (rect.top < 0) moveY(-rect.top);
}
