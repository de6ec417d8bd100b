#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "ui/dialog.h"

// The donation page the build was given (ORV_DONATE_URL); empty when none.
const char* BuildDonateUrl();

// What the About box needs.
struct AboutContext {
    std::function<void(const char* url)> openUrl;  // the shell's default browser when empty
    std::string donateUrl = BuildDonateUrl();      // empty: no donate button
    HWND anchor = nullptr;                         // the calendar window when it is open
};

// The About box: the product, its version, the ideas for later versions and,
// when the build names a donation page, a button that opens it.
class CAboutDlg final : public CDialog {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CAboutDlg(AboutContext context = {});

protected:
    BOOL OnInitDialog() override;

private:
    void OnDonate();

    AboutContext context_;
};
