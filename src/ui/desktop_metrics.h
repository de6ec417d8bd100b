#pragma once
#include <windows.h>

#include "ui/gdi.h"

// The system's icon-title font, which every window of the program writes in.
bool GetIconTitleLogFont(LOGFONTA& logfont);
// The same for a window at dpi: the system gives it for its own DPI.
bool GetIconTitleLogFont(LOGFONTA& logfont, int dpi);
bool CreateIconTitleFont(FontHandle& font);
