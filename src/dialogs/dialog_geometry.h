#pragma once
// Where a dialog opens, apart from the windows: over the window it belongs
// to, kept on the work area.
#include "platform/desktop.h"

// A window of width x height centred over anchor, then moved onto workArea.
// One larger than the work area keeps its top-left corner, with the caption,
// on it.
ScreenRect CenteredRect(int width, int height, const ScreenRect& anchor, const ScreenRect& workArea);
