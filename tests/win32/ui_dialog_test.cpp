// The dialog base: a modal dialog over a resource template whose number
// field is checked by data exchange, driven from inside its own modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/message_box_catcher.h"
#include "ui/dialog.h"
#include "win32/test_resources.h"

namespace {

constexpr UINT WM_NEXT_STEP = WM_APP + 10;
constexpr UINT_PTR kWatchdogTimer = 77;

// What the user does in one step: type into the field, press a button.
struct Step {
    std::string typed;
    int button;  // IDOK or IDCANCEL
};

// What the dialog looked like when the step's button press had been handled.
struct After {
    bool open;          // still shown: the dialog did not end
    int value;          // the member bound to the field
    std::size_t boxes;  // message boxes seen so far
    bool fieldFocused;
};

class CNumberDlg : public CDialog {
    DECLARE_MESSAGE_TABLE()
public:
    CNumberDlg(int initial, std::vector<Step> steps)
        : CDialog(IDD_TEST_NUMBER), value(initial), steps_(std::move(steps)) {}

    int value;
    std::string shownAtStart;
    int savingExchanges = 0;
    std::vector<After> after;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        char text[32] = {};
        GetDlgItemTextA(hwnd_, IDC_TEST_NUMBER, text, sizeof text);
        shownAtStart = text;
        // A test that goes wrong ends rather than hanging the run.
        SetTimer(hwnd_, kWatchdogTimer, 20000, nullptr);
        PostMessageA(hwnd_, WM_NEXT_STEP, 0, 0);
        return TRUE;
    }

    void DoDataExchange(DataExchange& dx) override {
        if (dx.Saving()) ++savingExchanges;
        dx.Text(IDC_TEST_NUMBER, value);
        dx.MinMaxInt(IDC_TEST_NUMBER, value, 1, 999);
    }

private:
    LRESULT OnNextStep(WPARAM, LPARAM) {
        const Step step = steps_[next_++];
        SetDlgItemTextA(hwnd_, IDC_TEST_NUMBER, step.typed.c_str());
        HWND button = GetDlgItem(hwnd_, step.button);
        SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(step.button, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        after.push_back(After{IsWindowVisible(hwnd_) != FALSE, value, catcher_ ? catcher_->Boxes().size() : 0,
                              GetFocus() == GetDlgItem(hwnd_, IDC_TEST_NUMBER)});
        if (next_ < steps_.size()) PostMessageA(hwnd_, WM_NEXT_STEP, 0, 0);
        return 0;
    }
    LRESULT OnTimer(WPARAM id, LPARAM) {
        if (id == kWatchdogTimer) EndDialog(IDABORT);
        return 0;
    }

public:
    const MessageBoxCatcher* catcher_ = nullptr;

private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
};

BEGIN_MESSAGE_TABLE(CNumberDlg, CDialog)
    ON_MESSAGE(WM_NEXT_STEP, &CNumberDlg::OnNextStep)
    ON_MESSAGE(WM_TIMER, &CNumberDlg::OnTimer)
END_MESSAGE_TABLE()

std::vector<std::string> Texts(const MessageBoxCatcher& catcher) {
    std::vector<std::string> texts;
    for (const auto& box : catcher.Boxes()) texts.push_back(box.text);
    return texts;
}

TEST(DialogBase, RefusesNonNumbersAndOutOfRangeValuesAndStaysOpen) {
    MessageBoxCatcher catcher;
    ASSERT_TRUE(catcher.Installed());
    CNumberDlg dlg(7, {{"abc", IDOK}, {"1000", IDOK}, {"42", IDOK}});
    dlg.catcher_ = &catcher;

    EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_EQ(dlg.shownAtStart, "7");
    EXPECT_EQ(Texts(catcher), (std::vector<std::string>{"Please enter an integer.",
                                                         "Please enter an integer between 1 and 999."}));
    for (const auto& box : catcher.Boxes()) EXPECT_EQ(box.caption, "OrvCalendar");
    ASSERT_EQ(dlg.after.size(), 3u);  // DoModal returned only after the last step

    EXPECT_TRUE(dlg.after[0].open);
    EXPECT_EQ(dlg.after[0].value, 7);  // not a number: the member keeps its value
    EXPECT_EQ(dlg.after[0].boxes, 1u);
    EXPECT_TRUE(dlg.after[0].fieldFocused);

    EXPECT_TRUE(dlg.after[1].open);
    EXPECT_EQ(dlg.after[1].boxes, 2u);
    EXPECT_TRUE(dlg.after[1].fieldFocused);

    EXPECT_FALSE(dlg.after[2].open);
    EXPECT_EQ(dlg.after[2].boxes, 2u);
    EXPECT_EQ(dlg.value, 42);
}

TEST(DialogBase, ChecksTheEdgesOfTheRange) {
    // Each refused entry in turn, then the lowest accepted value.
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"", "Please enter an integer."},
        {"12x", "Please enter an integer."},
        {"4.5", "Please enter an integer."},
        {"99999999999", "Please enter an integer."},  // beyond int
        {"0", "Please enter an integer between 1 and 999."},
        {"-3", "Please enter an integer between 1 and 999."},
    };
    std::vector<Step> steps;
    std::vector<std::string> expected;
    for (const auto& [typed, box] : refused) {
        steps.push_back({typed, IDOK});
        expected.push_back(box);
    }
    steps.push_back({"1", IDOK});

    MessageBoxCatcher catcher;
    CNumberDlg dlg(7, steps);
    dlg.catcher_ = &catcher;
    EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_EQ(Texts(catcher), expected);
    ASSERT_EQ(dlg.after.size(), steps.size());
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) EXPECT_TRUE(dlg.after[i].open) << steps[i].typed;
    EXPECT_EQ(dlg.value, 1);

    // The highest accepted value.
    CNumberDlg top(7, {{"999", IDOK}});
    top.catcher_ = &catcher;
    EXPECT_EQ(top.DoModal(nullptr), IDOK);
    EXPECT_EQ(top.value, 999);
    EXPECT_EQ(catcher.Boxes().size(), expected.size());
}

TEST(DialogBase, CancelEndsWithoutExchange) {
    // Even input that would fail the checks: Cancel never looks at it.
    MessageBoxCatcher catcher;
    CNumberDlg dlg(7, {{"abc", IDCANCEL}});
    dlg.catcher_ = &catcher;
    EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dlg.value, 7);
    EXPECT_EQ(dlg.savingExchanges, 0);
    EXPECT_TRUE(catcher.Boxes().empty());
}

}  // namespace
