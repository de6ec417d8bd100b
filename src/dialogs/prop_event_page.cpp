#include "dialogs/prop_event_page.h"

#include <commctrl.h>

#include "dialogs/page_exchange.h"
#include "dialogs/preferences_ids.h"
#include "dialogs/prop_sheet.h"

BEGIN_MESSAGE_TABLE(CPropEventPage, CPropertyPage)
    ON_BN_CLICKED(IDC_EVT_STARTUP, &CPropEventPage::OnChange)
    ON_BN_CLICKED(IDC_EVT_NOTIFICATION, &CPropEventPage::OnChange)
    ON_BN_CLICKED(IDC_EVT_BEGINS, &CPropEventPage::OnChange)
    ON_BN_CLICKED(IDC_EVT_UPCOMING, &CPropEventPage::OnChange)
    ON_BN_CLICKED(IDC_EVT_SOON, &CPropEventPage::OnChange)
    ON_BN_CLICKED(IDC_EVT_TOAST, &CPropEventPage::OnChange)
    ON_CONTROL(EN_CHANGE, IDC_EVT_HOURS, &CPropEventPage::OnChange)
    ON_CONTROL(EN_CHANGE, IDC_EVT_SOON_HOURS, &CPropEventPage::OnChange)
END_MESSAGE_TABLE()

CPropEventPage::CPropEventPage(const PrefSheetContext& context) : CPropertyPage(IDD_PROP_EVENT), context_(context) {}

BOOL CPropEventPage::OnInitDialog() {
    values = EventFromPreferences(*context_.prefs);
    loading_ = true;
    CPropertyPage::OnInitDialog();
    SendDlgItemMessageW(hwnd_, IDC_EVT_HOURS_SPIN, UDM_SETRANGE32, 0, kMaxUewHours);
    SendDlgItemMessageW(hwnd_, IDC_EVT_SOON_SPIN, UDM_SETRANGE32, 0, kMaxUewHours);
    loading_ = false;
    return TRUE;
}

void CPropEventPage::DoDataExchange(DataExchange& dx) {
    ExchangeCheck(dx, hwnd_, IDC_EVT_STARTUP, values.startup);
    ExchangeCheck(dx, hwnd_, IDC_EVT_NOTIFICATION, values.notification);
    ExchangeCheck(dx, hwnd_, IDC_EVT_BEGINS, values.begins);
    dx.Text(IDC_EVT_HOURS, values.hours);
    dx.MinMaxInt(IDC_EVT_HOURS, values.hours, 0, kMaxUewHours);
    ExchangeCheck(dx, hwnd_, IDC_EVT_UPCOMING, values.upcoming);
    dx.Text(IDC_EVT_SOON_HOURS, values.soonHours);
    dx.MinMaxInt(IDC_EVT_SOON_HOURS, values.soonHours, 0, kMaxUewHours);
    ExchangeCheck(dx, hwnd_, IDC_EVT_SOON, values.soon);
    ExchangeCheck(dx, hwnd_, IDC_EVT_TOAST, values.toast);
}

bool CPropEventPage::OnApply(bool closing) {
    if (flags.modified) {
        ApplyEvent(values, *context_.prefs);
        loading_ = true;  // showing the raised hours is no change of the user's
        SetDlgItemInt(hwnd_, IDC_EVT_HOURS, static_cast<UINT>(values.hours), FALSE);
        loading_ = false;
        flags.modified = false;
        flags.applied = true;
        // The program may end before the sheet does; after OK the caller saves.
        if (!closing && context_.saveSettings) context_.saveSettings();
    }
    return true;
}

void CPropEventPage::OnChange() {
    if (loading_) return;
    flags.modified = true;
    SetModified(true);
}
