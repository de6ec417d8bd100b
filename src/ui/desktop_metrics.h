#pragma once
#include <windows.h>

#include "ui/gdi.h"

// The system's icon-title font, which every window of the program writes in.
bool GetIconTitleLogFont(LOGFONTW& logfont);
// The same for a window at dpi: the system gives it for its own DPI.
bool GetIconTitleLogFont(LOGFONTW& logfont, int dpi);
bool CreateIconTitleFont(FontHandle& font);
