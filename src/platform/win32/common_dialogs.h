#pragma once
#include <windows.h>
#include <commdlg.h>

// The common dialogs, with their library loaded only when one opens (see
// LateBound): linked in, it cost every start about 5 MB of working set
// under Wine.
bool ShowOpenFileDialog(OPENFILENAMEW& ofn);
bool ShowSaveFileDialog(OPENFILENAMEW& ofn);
bool ShowColorDialog(CHOOSECOLORW& chooser);
