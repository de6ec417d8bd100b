#include "dialogs/about_dlg.h"

#include <shellapi.h>

#include <utility>

#include "dialogs/about_ids.h"
#include "dialogs/dialog_placement.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

// Set by the build from its cache variable of the same name.
#ifndef ORV_DONATE_URL
#define ORV_DONATE_URL ""
#endif

const char* BuildDonateUrl() { return ORV_DONATE_URL; }

BEGIN_MESSAGE_TABLE(CAboutDlg, CDialog)
    ON_BN_CLICKED(IDC_ABOUT_DONATE, &CAboutDlg::OnDonate)
END_MESSAGE_TABLE()

CAboutDlg::CAboutDlg(AboutContext context) : CDialog(IDD_ABOUTBOX), context_(std::move(context)) {}

BOOL CAboutDlg::OnInitDialog() {
    // A button that leads nowhere is worse than none.
    if (context_.donateUrl.empty()) ShowWindow(GetDlgItem(hwnd_, IDC_ABOUT_DONATE), SW_HIDE);
    CenterDialog(hwnd_, context_.anchor);
    // On Close: Enter must not open a web page.
    SetFocus(GetDlgItem(hwnd_, IDOK));
    return FALSE;
}

void CAboutDlg::OnDonate() {
    if (context_.donateUrl.empty()) return;
    if (context_.openUrl) {
        context_.openUrl(context_.donateUrl.c_str());
        return;
    }
    // No browser or no network is not the user's to hear about; the box stays open.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, Wide(context_.donateUrl).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) TraceFailure("ShellExecuteW(donation page)", __FILE__, __LINE__, static_cast<unsigned long>(result));
}

INT_PTR ShowAbout(AboutContext context, HWND owner, CAboutDlg*& open) {
    if (open != nullptr) {
        if (HWND shown = open->Hwnd()) SetForegroundWindow(shown);
        return 0;
    }
    CAboutDlg dlg(std::move(context));
    open = &dlg;
    const INT_PTR result = dlg.DoModal(owner);
    open = nullptr;
    return result;
}
