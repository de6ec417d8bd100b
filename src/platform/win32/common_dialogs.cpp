#include "platform/win32/common_dialogs.h"

#include "platform/win32/trace.h"

namespace {

template <typename Parameters>
bool Show(const char* entry, Parameters& parameters) {
    // Loaded at the first dialog and kept: the shell's helpers that a file
    // dialog starts may outlive it.
    const HMODULE library = LoadLibraryA("comdlg32.dll");
    using Dialog = BOOL(WINAPI*)(Parameters*);
    const auto dialog =
        library != nullptr ? reinterpret_cast<Dialog>(reinterpret_cast<void*>(GetProcAddress(library, entry))) : nullptr;
    if (!ORV_CHECK(dialog != nullptr)) return false;
    if (dialog(&parameters) != FALSE) return true;
    // Zero: the user cancelled; anything else is the dialog's own failure.
    using ErrorOf = DWORD(WINAPI*)();
    const auto errorOf = reinterpret_cast<ErrorOf>(reinterpret_cast<void*>(GetProcAddress(library, "CommDlgExtendedError")));
    if (const DWORD error = errorOf != nullptr ? errorOf() : 0; error != 0) {
        TraceFailure(entry, __FILE__, __LINE__, error);
    }
    return false;
}

}  // namespace

bool ShowOpenFileDialog(OPENFILENAMEA& ofn) { return Show("GetOpenFileNameA", ofn); }

bool ShowSaveFileDialog(OPENFILENAMEA& ofn) { return Show("GetSaveFileNameA", ofn); }

bool ShowColorDialog(CHOOSECOLORA& chooser) { return Show("ChooseColorA", chooser); }
