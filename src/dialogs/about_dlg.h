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

// The About command. With a box already open (open, the caller's guard, is
// set while one shows) it only brings that one forward and returns 0: a
// second modal box would leave the first below it, deaf to Enter.
INT_PTR ShowAbout(AboutContext context, HWND owner, CAboutDlg*& open);
