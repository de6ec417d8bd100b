#pragma once
#include <windows.h>

// The LOGFONT height of a font of tenthsOfPoint points at a device context's
// resolution (the screen's when dc is null), as a point-size font is made:
// negative, so it is the character height without the internal leading.
LONG PointFontHeight(HDC dc, int tenthsOfPoint);
