#include "ui/desktop_metrics.h"

#include "platform/win32/trace.h"
#include "ui/window_dpi.h"

bool GetIconTitleLogFont(LOGFONTW& logfont) {
    return ORV_CHECK(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(LOGFONTW), &logfont, 0) == 1);
}

bool GetIconTitleLogFont(LOGFONTW& logfont, int dpi) {
    const bool got = GetIconTitleLogFont(logfont);
    const int systemDpi = SystemDpi();
    if (dpi != systemDpi) logfont.lfHeight = MulDiv(logfont.lfHeight, dpi, systemDpi);
    return got;
}

bool CreateIconTitleFont(FontHandle& font) {
    LOGFONTW logfont = {};
    if (!GetIconTitleLogFont(logfont)) return false;
    font.Reset(CreateFontIndirectW(&logfont));
    return static_cast<bool>(font);
}
