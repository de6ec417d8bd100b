#pragma once
#include <windows.h>
#include <commctrl.h>

#include "ui/dialog.h"

// A page of a property sheet over a dialog template. The sheet asks the page
// to check its fields when the user leaves it or applies, then to apply.
class CPropertyPage : public CDialog {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CPropertyPage(UINT templateId) : CDialog(templateId), templateId_(templateId) {}

    // The record the sheet creates the page from; the object must outlive the sheet.
    PROPSHEETPAGEW PageRecord();
    // The sheet's window while the page exists.
    HWND Sheet() const { return hwnd_ != nullptr ? GetParent(hwnd_) : nullptr; }
    // Tells the sheet that the page has changes, which enables Apply.
    void SetModified(bool changed);

protected:
    // False keeps the user on the page: its fields did not pass their checks.
    virtual bool OnKillActive() { return UpdateData(true); }
    // The sheet's OK (closing) or Apply; false keeps the sheet open on this page.
    virtual bool OnApply(bool /*closing*/) { return true; }
    // The sheet's buttons end the sheet, never a page on its own.
    void OnOK() override {}
    void OnCancel() override {}

private:
    static INT_PTR CALLBACK StaticPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(WPARAM, LPARAM lParam);

    UINT templateId_;
};
