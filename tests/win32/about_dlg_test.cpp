// The About box: its texts and icon, the donate button opening the build's
// address or left out without one, and Close.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/about_dlg.h"
#include "dialogs/about_ids.h"
#include "support/dialog_script.h"

namespace {

BOOL CALLBACK CollectStatic(HWND child, LPARAM lParam) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    char text[128] = {};
    GetWindowTextA(child, text, sizeof text);
    auto* texts = reinterpret_cast<std::vector<std::string>*>(lParam);
    const bool icon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    if ((std::string(cls) == "Static" && !icon) || std::string(cls) == "Button") texts->push_back(text);
    return TRUE;
}

TEST(AboutDlg, ShowsItsTextsAndOpensTheDonationPageStayingOpen) {
    std::vector<std::string> opened;
    AboutContext context;
    context.openUrl = [&](const char* url) { opened.push_back(url); };
    context.donateUrl = "https://pay.test/orv";
    CAboutDlg dlg(context);
    std::vector<std::string> texts;
    std::string caption;
    bool hasIcon = false;
    bool openAfterDonate = false;
    DialogScript script({[&] {
                             char text[64] = {};
                             GetWindowTextA(dlg.Hwnd(), text, sizeof text);
                             caption = text;
                             EnumChildWindows(dlg.Hwnd(), &CollectStatic, reinterpret_cast<LPARAM>(&texts));
                             for (HWND c = GetWindow(dlg.Hwnd(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                                 if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                                     SendMessageA(c, STM_GETICON, 0, 0) != 0) {
                                     hasIcon = true;
                                 }
                             }
                             ClickButton(dlg.Hwnd(), IDC_ABOUT_DONATE);
                         },
                         [&] {
                             openAfterDonate = IsWindowVisible(dlg.Hwnd()) != FALSE;
                             SaveScreenShot(dlg.Hwnd(), "about");
                             ClickButton(dlg.Hwnd(), IDOK);
                         }});
    EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_EQ(caption, "About Orv Pell Calendar");
    const std::vector<std::string> expected = {
        "Orv Pell Calendar v1.1",
        "Freeware. No warranty of any kind.",
        "Ideas for the next versions",
        "1. More properties for events.",
        "2. Customizable public holidays and events.",
        "3. Sticky notes with timer.",
        "4. Built-in macro support.",
        "&Donate to Author",
        "&Close",
    };
    EXPECT_EQ(texts, expected);
    EXPECT_TRUE(hasIcon);
    EXPECT_EQ(opened, std::vector<std::string>{"https://pay.test/orv"});
    EXPECT_TRUE(openAfterDonate);
}

TEST(AboutDlg, WithoutADonationPageTheButtonIsLeftOut) {
    std::vector<std::string> opened;
    AboutContext context;
    context.openUrl = [&](const char* url) { opened.push_back(url); };
    context.donateUrl.clear();
    CAboutDlg dlg(context);
    bool donateShown = true;
    DialogScript script({[&] {
        donateShown = IsWindowVisible(GetDlgItem(dlg.Hwnd(), IDC_ABOUT_DONATE)) != FALSE;
        SaveScreenShot(dlg.Hwnd(), "about_without_donation");
        ClickButton(dlg.Hwnd(), IDC_ABOUT_DONATE);  // as a stray message would
        ClickButton(dlg.Hwnd(), IDOK);
    }});
    EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_FALSE(donateShown);
    EXPECT_TRUE(opened.empty());
}

// A second About while one is open brings that one forward; the box left
// open still takes Enter.
TEST(AboutDlg, ASecondAboutBringsTheOpenBoxForwardInsteadOfStackingAnother) {
    AboutContext context;
    context.openUrl = [](const char*) {};
    CAboutDlg* open = nullptr;
    HWND first = nullptr;
    INT_PTR second = -1;
    int boxes = 0;
    DialogScript script({[&] {
                             first = open != nullptr ? open->Hwnd() : nullptr;
                             second = ShowAbout(context, nullptr, open);
                             for (HWND w = FindWindowA("#32770", "About Orv Pell Calendar"); w != nullptr;
                                  w = FindWindowExA(nullptr, w, "#32770", "About Orv Pell Calendar")) {
                                 ++boxes;
                             }
                             PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
                             PostMessageA(GetFocus(), WM_KEYUP, VK_RETURN, 0);
                         }});
    EXPECT_EQ(ShowAbout(context, nullptr, open), IDOK);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(open, nullptr);
}

}  // namespace
