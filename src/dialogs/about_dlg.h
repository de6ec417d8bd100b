#pragma once
#include <windows.h>

#include <functional>

#include "ui/dialog.h"

// What the About box needs: how to open the donation page.
struct AboutContext {
    std::function<void(const char* url)> openUrl;  // the shell's default browser when empty
};

// The About box: the product, its version, the ideas for later versions and
// a button that opens the donation page.
class CAboutDlg final : public CDialog {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CAboutDlg(AboutContext context = {});

private:
    void OnDonate();

    AboutContext context_;
};
