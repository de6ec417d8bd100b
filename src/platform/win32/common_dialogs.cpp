#include "platform/win32/common_dialogs.h"

#include "platform/win32/late_bound.h"
#include "platform/win32/trace.h"

namespace {

template <typename Parameters>
bool Show(const char* entry, Parameters& parameters) {
    const auto dialog = LateBound<BOOL(WINAPI*)(Parameters*)>("comdlg32.dll", entry);
    if (!ORV_CHECK(dialog != nullptr)) return false;
    if (dialog(&parameters) != FALSE) return true;
    // Zero: the user cancelled; anything else is the dialog's own failure.
    const auto errorOf = LateBound<DWORD(WINAPI*)()>("comdlg32.dll", "CommDlgExtendedError");
    if (const DWORD error = errorOf != nullptr ? errorOf() : 0; error != 0) TraceFailure(entry, __FILE__, __LINE__, error);
    return false;
}

}  // namespace

bool ShowOpenFileDialog(OPENFILENAMEW& ofn) { return Show("GetOpenFileNameW", ofn); }

bool ShowSaveFileDialog(OPENFILENAMEW& ofn) { return Show("GetSaveFileNameW", ofn); }

bool ShowColorDialog(CHOOSECOLORW& chooser) { return Show("ChooseColorW", chooser); }
