#pragma once
#include <windows.h>

#include "platform/desktop.h"
#include "ui/gdi.h"

// The system's icon-title font, which every window of the program writes in.
bool GetIconTitleLogFont(LOGFONTA& logfont);
bool CreateIconTitleFont(FontHandle& font);

// Keeps a window rectangle reachable on the work area.
void ClampToWorkArea(ScreenRect& rect, const ScreenRect& workArea);
