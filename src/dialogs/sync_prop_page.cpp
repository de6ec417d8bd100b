#include "dialogs/sync_prop_page.h"

#include <commctrl.h>

#include <cstdint>

#include "dialogs/preferences_ids.h"
#include "dialogs/prop_sheet.h"
#include "dialogs/write_failure.h"
#include "sync/sync_settings.h"
#include "ui/control_text.h"
#include "platform/win32/wide_text.h"

namespace {

// Well within what the credential store keeps.
constexpr WPARAM kMaxPasswordLength = 256;

}  // namespace

BEGIN_MESSAGE_TABLE(CSyncPropPage, CPropertyPage)
    ON_CONTROL(EN_CHANGE, IDC_SYNC_URL, &CSyncPropPage::OnUrlChange)
    ON_CONTROL(EN_CHANGE, IDC_SYNC_USER, &CSyncPropPage::OnChange)
    ON_CONTROL(EN_CHANGE, IDC_SYNC_PASSWORD, &CSyncPropPage::OnChange)
    ON_CONTROL(EN_CHANGE, IDC_SYNC_MINUTES, &CSyncPropPage::OnChange)
    ON_BN_CLICKED(IDC_SYNC_NOW, &CSyncPropPage::OnSyncNow)
END_MESSAGE_TABLE()

CSyncPropPage::CSyncPropPage(const PrefSheetContext& context) : CPropertyPage(IDD_PROP_SYNC), context_(context) {}

void CSyncPropPage::ShowStatus(const std::string& text) {
    status_ = text;
    statusGiven_ = true;
    if (hwnd_ != nullptr) SetDlgItemTextW(hwnd_, IDC_SYNC_STATUS, Wide(status_).c_str());
}

BOOL CSyncPropPage::OnInitDialog() {
    const SyncSettings stored = LoadSyncSettings(*context_.registry);
    values.url = stored.SyncUrl;
    values.user = stored.SyncUser;
    values.minutes = static_cast<int>(stored.SyncMinutes);
    std::string credentialUser;
    if (!context_.credentials->Read(kSyncCredentialTarget, credentialUser, values.password)) values.password.clear();
    if (!statusGiven_ && context_.syncStatus) status_ = context_.syncStatus();
    loading_ = true;
    CPropertyPage::OnInitDialog();
    SendDlgItemMessageW(hwnd_, IDC_SYNC_URL, EM_LIMITTEXT, kMaxSyncUrlLength, 0);
    SendDlgItemMessageW(hwnd_, IDC_SYNC_USER, EM_LIMITTEXT, kMaxSyncUserLength, 0);
    SendDlgItemMessageW(hwnd_, IDC_SYNC_PASSWORD, EM_LIMITTEXT, kMaxPasswordLength, 0);
    SendDlgItemMessageW(hwnd_, IDC_SYNC_MINUTES_SPIN, UDM_SETRANGE32, 0, kMaxSyncMinutes);
    SetDlgItemTextW(hwnd_, IDC_SYNC_STATUS, Wide(status_).c_str());
    EnableSyncNow();
    loading_ = false;
    return TRUE;
}

void CSyncPropPage::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_SYNC_URL, values.url);
    if (dx.Saving()) values.url = TrimmedSyncUrl(values.url);
    dx.Refuse(IDC_SYNC_URL, SyncUrlProblem(values.url));
    dx.Text(IDC_SYNC_USER, values.user);
    dx.Text(IDC_SYNC_PASSWORD, values.password);
    dx.Text(IDC_SYNC_MINUTES, values.minutes);
    dx.MinMaxInt(IDC_SYNC_MINUTES, values.minutes, 0, static_cast<int>(kMaxSyncMinutes));
}

bool CSyncPropPage::OnApply(bool) { return !flags.modified || Store(); }

bool CSyncPropPage::Store() {
    SyncSettings settings;
    settings.SyncUrl = values.url;
    settings.SyncUser = values.user;
    settings.SyncMinutes = static_cast<std::uint32_t>(values.minutes);
    const bool saved = SaveSyncSettings(*context_.registry, settings);
    CredentialStore& credentials = *context_.credentials;
    const bool kept = values.password.empty()
                          ? credentials.Remove(kSyncCredentialTarget)
                          : credentials.Write(kSyncCredentialTarget, values.user, values.password);
    // The frame follows what the registry holds, even when the password failed.
    if (saved) {
        flags.applied = true;
        if (context_.syncSettingsChanged) context_.syncSettingsChanged();
    }
    if (saved && kept) {
        flags.modified = false;
        return true;
    }
    // Still modified: the next Apply or OK tries again, Cancel gives up.
    ShowWriteFailure(hwnd_, saved ? kPasswordNotSavedText : kNotSavedText);
    return false;
}

void CSyncPropPage::OnChange() {
    if (loading_) return;
    flags.modified = true;
    SetModified(true);
}

void CSyncPropPage::OnUrlChange() {
    OnChange();
    EnableSyncNow();
}

void CSyncPropPage::EnableSyncNow() {
    EnableWindow(GetDlgItem(hwnd_, IDC_SYNC_NOW), !TrimmedSyncUrl(ControlText(hwnd_, IDC_SYNC_URL)).empty());
}

void CSyncPropPage::OnSyncNow() {
    // What the page shows is tried, not stored: Cancel leaves the stored account as it was.
    if (!UpdateData(true)) return;
    ShowStatus(kSyncingText);
    if (context_.syncNow) context_.syncNow(values.url, values.user, values.password);
}
