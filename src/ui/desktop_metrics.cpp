#include "ui/desktop_metrics.h"

#include "platform/win32/trace.h"
#include "ui/window_dpi.h"

bool GetIconTitleLogFont(LOGFONTA& logfont) {
    return ORV_CHECK(SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(LOGFONTA), &logfont, 0) == 1);
}

bool GetIconTitleLogFont(LOGFONTA& logfont, int dpi) {
    const bool got = GetIconTitleLogFont(logfont);
    const int systemDpi = SystemDpi();
    if (dpi != systemDpi) logfont.lfHeight = MulDiv(logfont.lfHeight, dpi, systemDpi);
    return got;
}

bool CreateIconTitleFont(FontHandle& font) {
    LOGFONTA logfont = {};
    if (!GetIconTitleLogFont(logfont)) return false;
    font.Reset(CreateFontIndirectA(&logfont));
    return static_cast<bool>(font);
}
