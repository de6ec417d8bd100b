#include "ui/property_page.h"

BEGIN_MESSAGE_TABLE(CPropertyPage, CDialog)
    ON_MESSAGE(WM_NOTIFY, &CPropertyPage::OnNotify)
END_MESSAGE_TABLE()

PROPSHEETPAGEW CPropertyPage::PageRecord() {
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pszTemplate = MAKEINTRESOURCEW(templateId_);
    page.pfnDlgProc = &CPropertyPage::StaticPageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

void CPropertyPage::SetModified(bool changed) {
    if (HWND sheet = Sheet()) SendMessageW(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(hwnd_), 0);
}

INT_PTR CALLBACK CPropertyPage::StaticPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The sheet hands the page its record; the object rides in the record.
    if (message == WM_INITDIALOG && FromHandle(hwnd) == nullptr) {
        lParam = reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam;
    }
    return StaticDialogProc(hwnd, message, wParam, lParam);
}

LRESULT CPropertyPage::OnNotify(WPARAM, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != Sheet()) return Default();  // the page's own controls
    switch (header->code) {
        case PSN_KILLACTIVE:
            return OnKillActive() ? FALSE : TRUE;
        case PSN_APPLY:
            // The sheet says TRUE for its OK, FALSE for Apply.
            return OnApply(reinterpret_cast<const PSHNOTIFY*>(lParam)->lParam != FALSE) ? PSNRET_NOERROR
                                                                                      : PSNRET_INVALID_NOCHANGEPAGE;
        default:
            return Default();
    }
}
