#include "dialogs/about_dlg.h"

#include <shellapi.h>

#include <utility>

#include "core/product.h"
#include "dialogs/about_ids.h"
#include "platform/win32/trace.h"

BEGIN_MESSAGE_TABLE(CAboutDlg, CDialog)
    ON_BN_CLICKED(IDC_ABOUT_DONATE, &CAboutDlg::OnDonate)
END_MESSAGE_TABLE()

CAboutDlg::CAboutDlg(AboutContext context) : CDialog(IDD_ABOUTBOX), context_(std::move(context)) {}

void CAboutDlg::OnDonate() {
    if (context_.openUrl) {
        context_.openUrl(kDonateUrl);
        return;
    }
    // No browser or no network is not the user's to hear about; the box stays open.
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, nullptr, kDonateUrl, nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) TraceFailure("ShellExecuteA(donation page)", __FILE__, __LINE__, static_cast<unsigned long>(result));
}
