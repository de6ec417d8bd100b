#pragma once
// Data exchange the dialogs share beyond the base's numbers and texts.
#include <windows.h>

#include "ui/dialog.h"
#include "ui/wnd.h"

// A check box and an int 0/1.
inline void ExchangeCheck(DataExchange& dx, HWND dialog, int controlId, int& value) {
    if (dx.Failed()) return;
    if (dx.Saving()) {
        value = IsDlgButtonChecked(dialog, controlId) == BST_CHECKED ? 1 : 0;
    } else {
        CheckDlgButton(dialog, controlId, value != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
}

// Binds a control of the template to its object the first time.
inline void ExchangeControl(HWND dialog, int controlId, CWnd& control) {
    if (control.Hwnd() == nullptr) control.SubclassWindow(GetDlgItem(dialog, controlId));
}
