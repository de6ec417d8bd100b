// Each dialog opens centred over the calendar window when that shows, and in
// the middle of the work area when it does not.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/about_dlg.h"
#include "dialogs/prop_sheet.h"
#include "dialogs/sche_browser_dlg.h"
#include "dialogs/sche_repeat_dlg.h"
#include "support/dialog_script.h"
#include "win32/editor_rig.h"

namespace {

// Stands for the calendar window: a plain popup where the test puts it.
class CalendarStandIn {
public:
    CalendarStandIn() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvTestPlacementCalendar";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, "calendar", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                                nullptr);
    }
    ~CalendarStandIn() { DestroyWindow(hwnd_); }
    HWND Hwnd() const { return hwnd_; }
    void Show(const RECT& rc, bool shown) {
        SetWindowPos(hwnd_, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }

private:
    HWND hwnd_ = nullptr;
};

POINT Middle(const RECT& rc) { return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

class DialogPlacementTest : public EditorRig {
protected:
    // Opens one dialog over the stand-in and returns where it showed.
    using Opener = std::function<void(HWND anchor, std::function<void(HWND)> whereItIs)>;

    RECT Placed(const Opener& open, HWND anchor) {
        RECT placed = {};
        open(anchor, [&](HWND d) {
            GetWindowRect(d, &placed);
            if (IsWindowVisible(d)) PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        });
        return placed;
    }

    CalendarStandIn calendar;
};

TEST_F(DialogPlacementTest, EachDialogOpensOverTheCalendarOrInTheMiddleOfTheWorkArea) {
    const auto modal = [](const char* caption, const std::function<void()>& run) {
        return [caption, run](std::function<void(HWND)> where) {
            ModalDriver driver({{caption, [&](HWND d) { where(d); }}});
            run();
            EXPECT_TRUE(driver.Finished()) << caption;
        };
    };
    Preferences prefs;
    const std::vector<std::pair<std::string, Opener>> dialogs = {
        {"editor",
         [&](HWND anchor, std::function<void(HWND)> where) {
             CScheduleDlg dlg(Context());
             modal("New Event", [&] { dlg.DoModal(anchor); })(where);
         }},
        {"recurrence",
         [&](HWND anchor, std::function<void(HWND)> where) {
             CScheRepeatDlg dlg(EnglishLocaleNames());
             dlg.values = {{2026, 7, 8}, {2026, 7, 8}, 0, kKindNone, 0, 1};
             modal("Event Recurrence", [&] { dlg.DoModal(anchor); })(where);
         }},
        {"browser",
         [&](HWND anchor, std::function<void(HWND)> where) {
             ScheBrowserContext context;
             context.store = &store;
             CScheBrowserDlg dlg(context);
             modal("Event Browser", [&] { dlg.Run(anchor); })(where);
         }},
        {"about",
         [&](HWND anchor, std::function<void(HWND)> where) {
             AboutContext context;
             context.anchor = anchor;
             CAboutDlg dlg(context);
             modal("About Orv Pell Calendar", [&] { dlg.DoModal(nullptr); })(where);
         }},
        {"preferences",
         [&](HWND anchor, std::function<void(HWND)> where) {
             CPropSheet* open = nullptr;
             PrefSheetContext context;
             context.prefs = &prefs;
             context.openSheet = &open;
             context.anchor = anchor;
             DialogScript script({[&] { where(open->Hwnd()); }});
             ShowPreferences(context);
         }},
    };
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT calendarAt = {150, 120, 750, 600};
    for (const auto& [name, open] : dialogs) {
        SCOPED_TRACE(name);
        calendar.Show(calendarAt, true);
        const RECT over = Placed(open, calendar.Hwnd());
        calendar.Show(calendarAt, false);
        const RECT alone = Placed(open, calendar.Hwnd());
        EXPECT_NEAR(Middle(over).x, Middle(calendarAt).x, 1);
        EXPECT_NEAR(Middle(over).y, Middle(calendarAt).y, 1);
        EXPECT_NEAR(Middle(alone).x, Middle(work).x, 1);
        EXPECT_NEAR(Middle(alone).y, Middle(work).y, 1);
    }
}

}  // namespace
