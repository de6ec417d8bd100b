#pragma once
#include <windows.h>
#include <commdlg.h>

// The common dialogs, with their library loaded only when one opens: linked
// in, it costs every start about 5 MB of working set under Wine for dialogs
// most runs never show.
bool ShowOpenFileDialog(OPENFILENAMEA& ofn);
bool ShowSaveFileDialog(OPENFILENAMEA& ofn);
bool ShowColorDialog(CHOOSECOLORA& chooser);
