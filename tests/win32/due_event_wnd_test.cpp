// The upcoming-events window created in-process: its look in each state,
// size and place, the anchor it remembers, blinking, notifications with tick
// buttons, the mouse, its closing, and what a screen reader finds in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/window_messages.h"
#include "upcoming/upcoming_ids.h"
#include "ui/desktop_metrics.h"
#include "core/calendar.h"
#include "platform/win32/win32_desktop.h"
#include "store/registry_paths.h"
#include "support/dib_canvas.h"
#include "support/pending_records.h"
#include "upcoming/due_event_wnd.h"
#include "win32/ole_session.h"
#include "win32/scratch_hive.h"
#include "platform/win32/com_ptr.h"
#include "ui/accessible_iid.h"

namespace {

struct FakeClock final : Clock {
    Instant now = 0;
    Instant Now() const override { return now; }
};

// Stands in for the main frame: records what the window tells it.
class CFrameRecorder : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    std::vector<WPARAM> closed;
    bool Create() {
        WNDCLASSW wc = {};
        wc.lpszClassName = L"OrvDueTestFrame";
        if (!RegisterWindowClass(wc)) return false;
        return CreateEx(0, wc.lpszClassName, "frame", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0);
    }

private:
    LRESULT OnChildClosed(WPARAM w, LPARAM) {
        closed.push_back(w);
        return 0;
    }
};

BEGIN_MESSAGE_TABLE(CFrameRecorder, CWnd)
    ON_MESSAGE(WM_CHILDCLOSED, &CFrameRecorder::OnChildClosed)
END_MESSAGE_TABLE()

Instant At(int h, int m) { return MakeLocalTime(2025, 6, 10, h, m, 0); }

// The user's time text, as the window is to write it.
std::string TimeText(int h, int m) {
    SYSTEMTIME st = {};
    st.wYear = 2025;
    st.wMonth = 6;
    st.wDay = 10;
    st.wDayOfWeek = 2;
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(m);
    char text[30] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, sizeof text);
    return text;
}

// Width and height of a line in the icon-title font, measured apart from the window.
SIZE Measure(const std::string& text) {
    FontHandle font;
    EXPECT_TRUE(CreateIconTitleFont(font));
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    RECT rc = {};
    DrawTextA(screen, text.c_str(), -1, &rc, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

RECT WindowRect(HWND hwnd) {
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    return rc;
}

struct Rig {
    ScratchHive hive;  // first: it outlives the window, which saves on closing
    FakeClock clock;
    Win32Desktop desktop;
    Preferences prefs;
    PendingRecords records;
    ReminderScheduler::PendingList& pending = records.list;
    CFrameRecorder frame;
    std::vector<std::pair<std::uint32_t, Instant>> calendarOpened;
    struct Snoozed {
        std::uint32_t eventId;
        Instant start, until;
        bool operator==(const Snoozed&) const = default;
    };
    std::vector<Snoozed> snoozed;
    HWND hwnd = nullptr;

    Rig() {
        EXPECT_TRUE(frame.Create());
        clock.now = At(11, 0);
    }
    ~Rig() {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        frame.DestroyWindow();
    }

    PendingReminder& Add(std::uint32_t id, const std::string& title, Instant start, bool fired = false) {
        return records.Add(id, title, start, fired);
    }

    CDueEventWnd* Open() {
        DueEventContext context;
        context.pending = &pending;
        context.prefs = &prefs;
        context.registry = &hive.registry();
        context.desktop = &desktop;
        context.clock = &clock;
        context.frame = frame;
        context.openCalendar = [this](std::uint32_t id, Instant start) { calendarOpened.emplace_back(id, start); };
        context.snooze = [this](std::uint32_t id, Instant start, Instant until) {
            snoozed.push_back({id, start, until});
        };
        CDueEventWnd* wnd = CDueEventWnd::OpenNew(context, false);
        hwnd = wnd != nullptr ? wnd->Hwnd() : nullptr;
        return wnd;
    }
    CDueEventWnd* Wnd() const { return static_cast<CDueEventWnd*>(CWnd::FromHandle(hwnd)); }
    LRESULT Changed(WPARAM code, PendingReminder* record = nullptr) {
        return SendMessageA(hwnd, WM_SCHEDULECHANGED, code, reinterpret_cast<LPARAM>(record));
    }
    // The first pending reminder begins as the scheduler tells it: code 4
    // with the record, which it then frees, then code 2. Code 4's answer.
    LRESULT BeginFirst() {
        std::unique_ptr<PendingReminder> begun = std::move(pending.front());
        pending.pop_front();
        const LRESULT answer = Changed(4, begun.get());
        begun.reset();
        Changed(2);
        return answer;
    }

    void StoreCoord(std::int32_t x, std::int32_t y) {
        const std::int32_t v[2] = {x, y};
        const RegKey key = OpenUserKey(hive.registry(), RegAccess::Write);
        ASSERT_TRUE(key.WriteBinary("DueEventCoord", v, sizeof v));
    }
    // The stored anchor, or an empty list when none is stored.
    std::vector<std::int32_t> StoredCoord() {
        const RegKey key = OpenUserKey(hive.registry(), RegAccess::Read);
        std::string bytes;
        if (!key.ReadBinary("DueEventCoord", 64, bytes) || bytes.size() != 8) return {};
        std::int32_t v[2];
        std::memcpy(v, bytes.data(), 8);
        return {v[0], v[1]};
    }
};

// The client area as the window and its tick buttons draw it.
std::unique_ptr<DibCanvas> Render(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    auto canvas = std::make_unique<DibCanvas>(client.right, client.bottom, RGB(255, 0, 255));
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->Dc()), PRF_CLIENT);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rc = WindowRect(child);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rc), 2);
        DibCanvas button(rc.right - rc.left, rc.bottom - rc.top, RGB(255, 0, 255));
        SendMessageA(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(button.Dc()), PRF_CLIENT);
        BitBlt(canvas->Dc(), rc.left, rc.top, button.Width(), button.Height(), button.Dc(), 0, 0, SRCCOPY);
    }
    return canvas;
}

// The window as it stands on the screen, border included, for a person to look at.
void SaveScreenshot(HWND hwnd, const std::string& name) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    GdiFlush();
    const RECT rc = WindowRect(hwnd);
    DibCanvas canvas(rc.right - rc.left, rc.bottom - rc.top, RGB(255, 0, 255));
    // Only the part on the screen can be read back.
    const RECT screenRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT visible;
    if (IntersectRect(&visible, &rc, &screenRect)) {
        HDC screen = GetDC(nullptr);
        BitBlt(canvas.Dc(), visible.left - rc.left, visible.top - rc.top, visible.right - visible.left,
               visible.bottom - visible.top, screen, visible.left, visible.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    EXPECT_TRUE(canvas.SaveBmp(ScreensDirectory() + "\\due_event_" + name + ".bmp"));
}

bool IsDark(COLORREF c) { return GetRValue(c) < 0x50 && GetGValue(c) < 0x50 && GetBValue(c) < 0x50; }

struct Ink {
    int pixels = 0;  // pixels that are not the tooltip background
    int dark = 0;    // of them, near black
};

Ink InkIn(const DibCanvas& canvas, int x0, int y0, int x1, int y1) {
    const COLORREF back = GetSysColor(COLOR_INFOBK);
    Ink ink;
    for (int y = y0; y < y1 && y < canvas.Height(); ++y) {
        for (int x = x0; x < x1 && x < canvas.Width(); ++x) {
            const COLORREF c = canvas.At(x, y);
            if (c == back) continue;
            ++ink.pixels;
            if (IsDark(c)) ++ink.dark;
        }
    }
    return ink;
}

// Client y range of row r.
int RowTop(const CDueEventWnd& w, int r) { return 2 + r * w.List().rowHeight; }

TEST(DueEventWnd, EmptyWindowShowsOneGreyLineAtTheBottomRight) {
    Rig rig;
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    const HWND hwnd = rig.hwnd;

    char text[64] = {};
    GetClassNameA(hwnd, text, sizeof text);
    EXPECT_STREQ(text, "OrvCalendarDueEvent");
    GetWindowTextA(hwnd, text, sizeof text);
    EXPECT_STREQ(text, "Upcoming Events");
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & (WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_CAPTION),
              static_cast<LONG_PTR>(WS_POPUP | WS_CLIPCHILDREN | WS_BORDER));
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
              static_cast<LONG_PTR>(WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    EXPECT_TRUE(GetClassLongPtrA(hwnd, GCL_STYLE) & CS_DBLCLKS);
    EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(0));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_NE(GetActiveWindow(), hwnd);  // shown without taking the focus
    EXPECT_EQ(GetParent(hwnd), nullptr);

    // "(No upcoming event.)" measured in the icon-title font, plus 22 by 4.
    const SIZE line = Measure("(No upcoming event.)");
    EXPECT_EQ(wnd->List().emptyTextWidth, line.cx);
    EXPECT_EQ(wnd->List().rowHeight, line.cy + 2);
    const RECT rc = WindowRect(hwnd);
    EXPECT_EQ(rc.right - rc.left, line.cx + 22);
    EXPECT_EQ(rc.bottom - rc.top, line.cy + 2 + 4);
    // First opening: the bottom-right corner 10 pixels left of the work area's right edge.
    const ScreenRect work = rig.desktop.WorkArea();
    EXPECT_EQ(rc.right, work.right - 10);
    EXPECT_EQ(rc.bottom, work.bottom);
    EXPECT_FALSE(wnd->BlinkTimerRunning());

    // Grey text, no black.
    auto canvas = Render(hwnd);
    const Ink ink = InkIn(*canvas, 0, 0, canvas->Width(), canvas->Height());
    EXPECT_GT(ink.pixels, 40);
    EXPECT_EQ(ink.dark, 0);
    bool grey = false;
    for (int y = 0; y < canvas->Height(); ++y)
        for (int x = 0; x < canvas->Width(); ++x) grey = grey || canvas->At(x, y) == GetSysColor(COLOR_GRAYTEXT);
    EXPECT_TRUE(grey);
    EXPECT_EQ(InkIn(*canvas, 0, 0, 3, canvas->Height()).pixels, 0);  // text starts at x = 3
    EXPECT_EQ(InkIn(*canvas, 0, 0, canvas->Width(), 2).pixels, 0);   // and y = 2
    SaveScreenshot(hwnd, "empty");

    // A double-click on the line opens the calendar window as it is.
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 1));  // the margin: nothing
    EXPECT_EQ(rig.calendarOpened, (std::vector<std::pair<std::uint32_t, Instant>>{{0u, 0}}));

    // A right click closes it: the frame is told and the corner is stored.
    EXPECT_TRUE(rig.StoredCoord().empty());
    SendMessageA(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(10, 5));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(rig.frame.closed, std::vector<WPARAM>{CHILD_UPCOMING});
    EXPECT_EQ(rig.StoredCoord(), (std::vector<std::int32_t>{work.right - 10, work.bottom}));
}

TEST(DueEventWnd, ListsWhatStartsWithinTheSpanSteadily) {
    Rig rig;
    PendingReminder& call = rig.Add(7, "Call", At(14, 30));
    PendingReminder& gym = rig.Add(9, "Gym", At(15, 30));
    PendingReminder& reminded = rig.Add(10, "Reminded beyond the span", At(16, 0), true);
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);

    const std::string expected = "Call (" + TimeText(14, 30) + ")";
    EXPECT_EQ(wnd->List().lastRow, 1);  // the reminded one below, blinking
    EXPECT_EQ(wnd->List().rows[0].text, expected);
    EXPECT_EQ(call.text, expected);  // the record's caches are filled
    EXPECT_EQ(call.textWidth, Measure(expected).cx);
    EXPECT_TRUE(gym.text.empty());
    EXPECT_TRUE(wnd->BlinkTimerRunning());
    EXPECT_EQ(WindowRect(rig.hwnd).right - WindowRect(rig.hwnd).left,
              std::max(call.textWidth, reminded.textWidth) + 22);

    auto canvas = Render(rig.hwnd);
    const Ink row = InkIn(*canvas, 3, RowTop(*wnd, 0), canvas->Width(), RowTop(*wnd, 1));
    EXPECT_GT(row.dark, 30);  // black text
    // A blink step would not hide it: it is not blinking.
    SendMessageA(rig.hwnd, WM_TIMER, 0, 0);
    canvas = Render(rig.hwnd);
    EXPECT_GT(InkIn(*canvas, 3, RowTop(*wnd, 0), canvas->Width(), RowTop(*wnd, 1)).dark, 30);
    SendMessageA(rig.hwnd, WM_TIMER, 0, 0);
    SaveScreenshot(rig.hwnd, "upcoming");

    // Double-clicks open the calendar at the occurrence; below the rows nothing.
    SendMessageA(rig.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, RowTop(*wnd, 0) + 1));
    SendMessageA(rig.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, RowTop(*wnd, 2) + 1));
    EXPECT_EQ(rig.calendarOpened, (std::vector<std::pair<std::uint32_t, Instant>>{{7u, At(14, 30)}}));

    // An hour later the walk reaches the next two; code 2 rebuilds.
    rig.clock.now = At(12, 0);
    EXPECT_EQ(rig.Changed(2), 0);
    ASSERT_EQ(wnd->List().lastRow, 2);
    EXPECT_EQ(wnd->List().rows[1].text, "Gym (" + TimeText(15, 30) + ")");
    EXPECT_EQ(wnd->List().rows[2].kind, kDueReminded);
    EXPECT_TRUE(wnd->BlinkTimerRunning());
    // Deleted events go at codes 1 and 3 too; other codes leave the rows.
    rig.pending.pop_front();
    rig.Changed(0);
    rig.Changed(5);
    EXPECT_EQ(wnd->List().lastRow, 2);
    rig.Changed(1);
    EXPECT_EQ(wnd->List().lastRow, 1);
    EXPECT_EQ(wnd->List().rows[0].eventId, 9u);
    rig.pending.clear();
    rig.Changed(3);
    EXPECT_EQ(wnd->List().lastRow, -1);
    EXPECT_FALSE(wnd->BlinkTimerRunning());
}

TEST(DueEventWnd, RemindedRowBlinksBeyondTheSpan) {
    Rig rig;
    rig.Add(1, "Coffee", At(11, 30));
    rig.Add(2, "Concert", At(20, 0), true);
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    ASSERT_EQ(wnd->List().lastRow, 1);
    EXPECT_EQ(wnd->List().lastBlinkRow, 1);
    EXPECT_TRUE(wnd->BlinkTimerRunning());
    EXPECT_TRUE(wnd->List().blinkOn);

    auto on = Render(rig.hwnd);
    EXPECT_GT(InkIn(*on, 3, RowTop(*wnd, 1), on->Width(), RowTop(*wnd, 2)).dark, 30);
    SaveScreenshot(rig.hwnd, "blink_on");

    // The blink step hides the reminded row and touches only the text area
    // down to the last blinking row.
    UpdateWindow(rig.hwnd);
    ValidateRect(rig.hwnd, nullptr);
    SendMessageA(rig.hwnd, WM_TIMER, 0, 0);
    EXPECT_FALSE(wnd->List().blinkOn);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(rig.hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 3);
    EXPECT_EQ(update.top, 2);
    EXPECT_EQ(update.right, wnd->List().winWidth - 19);
    EXPECT_EQ(update.bottom, RowTop(*wnd, 2));
    auto off = Render(rig.hwnd);
    // The row's text goes; its clock button stays.
    const int textEnd = 3 + wnd->List().rows[1].textWidth;
    EXPECT_EQ(InkIn(*off, 0, RowTop(*wnd, 1), textEnd + 1, off->Height()).pixels, 0);
    EXPECT_GT(InkIn(*off, textEnd + 4, RowTop(*wnd, 1), off->Width(), off->Height()).dark, 10);
    EXPECT_GT(InkIn(*off, 3, RowTop(*wnd, 0), off->Width(), RowTop(*wnd, 1)).dark, 30);  // steady row stays
    SaveScreenshot(rig.hwnd, "blink_off");
    SendMessageA(rig.hwnd, WM_TIMER, 0, 0);
    EXPECT_TRUE(wnd->List().blinkOn);

    // Left to its timer, the row is hidden for shorter spells than it is
    // shown (a loaded machine delays both alike).
    const DWORD begin = GetTickCount();
    DWORD phaseStart = begin;
    bool phase = wnd->List().blinkOn;
    DWORD shown = 0, hidden = 0;
    int shownSpells = 0, hiddenSpells = 0, flips = 0;
    while (GetTickCount() - begin < 4000 && (shownSpells < 2 || hiddenSpells < 2)) {
        MSG msg;
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        DispatchMessageA(&msg);
        if (wnd->List().blinkOn == phase) continue;
        const DWORD now = GetTickCount();
        if (flips++ > 0) {  // the first spell began before the loop
            (phase ? shown : hidden) += now - phaseStart;
            ++(phase ? shownSpells : hiddenSpells);
        }
        phase = wnd->List().blinkOn;
        phaseStart = now;
    }
    ASSERT_GE(shownSpells, 1);
    ASSERT_GE(hiddenSpells, 1);
    EXPECT_LT(hidden / hiddenSpells, shown / shownSpells);

    // Once nothing blinks, the timer stops.
    rig.pending.back()->fired = false;
    rig.Changed(2);
    EXPECT_EQ(wnd->List().lastBlinkRow, -1);
    EXPECT_FALSE(wnd->BlinkTimerRunning());
}

TEST(DueEventWnd, BegunOccurrenceBecomesANotificationWithATick) {
    for (const std::int32_t startup : {0, 1}) {
        SCOPED_TRACE(startup);
        Rig rig;
        rig.prefs.UewStartup = startup;
        rig.clock.now = At(10, 55);
        rig.Add(4, "Standup", At(11, 0), true);
        CDueEventWnd* wnd = rig.Open();
        ASSERT_NE(wnd, nullptr);
        const LONG emptyWidth = wnd->List().emptyTextWidth + 22;

        rig.clock.now = At(11, 0);
        EXPECT_EQ(rig.BeginFirst(), 0);

        ASSERT_EQ(wnd->List().lastRow, 0);
        EXPECT_EQ(wnd->List().rows[0].kind, kDueBegun);
        EXPECT_EQ(wnd->List().notifications.size(), 1u);
        EXPECT_TRUE(wnd->BlinkTimerRunning());
        const HWND tick = wnd->TickButton(0);
        ASSERT_NE(tick, nullptr);
        EXPECT_EQ(GetDlgCtrlID(tick), ID_DISMISS_FIRST);
        EXPECT_EQ(GetParent(tick), rig.hwnd);
        EXPECT_EQ(GetWindowLongPtrA(tick, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        RECT rc = WindowRect(tick);
        MapWindowPoints(nullptr, rig.hwnd, reinterpret_cast<POINT*>(&rc), 2);
        const int w = wnd->List().rows[0].textWidth;
        const int h = wnd->List().rowHeight;
        EXPECT_EQ(rc.left, w + 7);
        EXPECT_EQ(rc.top, 3);
        EXPECT_EQ(rc.right, w + 17);
        EXPECT_EQ(rc.bottom, 13);

        // The tick: a black frame on the tooltip colour, its lines, row text beside it.
        auto canvas = Render(rig.hwnd);
        EXPECT_EQ(canvas->At(w + 7, 3), RGB(0, 0, 0));
        EXPECT_EQ(canvas->At(w + 10, 3 + 5), RGB(0, 0, 0));  // (3, 5) on the tick's stem
        EXPECT_EQ(canvas->At(w + 12, 3 + 2), GetSysColor(COLOR_INFOBK));
        EXPECT_GT(InkIn(*canvas, 3, 2, w + 3, 2 + h).dark, 30);
        SaveScreenshot(rig.hwnd, startup ? "notification" : "notification_startup_off");

        // The tick's button survives a blink step: it is not in the blink area.
        SendMessageA(rig.hwnd, WM_TIMER, 0, 0);
        canvas = Render(rig.hwnd);
        EXPECT_EQ(InkIn(*canvas, 3, 2, w + 3, 2 + h).pixels, 0);
        EXPECT_EQ(canvas->At(w + 7, 3), RGB(0, 0, 0));
        SendMessageA(rig.hwnd, WM_TIMER, 0, 0);

        // A double-click report of the button, or a tick with no
        // notification behind it, dismisses nothing.
        SendMessageA(rig.hwnd, WM_COMMAND, MAKEWPARAM(ID_DISMISS_FIRST, BN_DOUBLECLICKED),
                     reinterpret_cast<LPARAM>(tick));
        SendMessageA(rig.hwnd, WM_COMMAND, MAKEWPARAM(ID_DISMISS_FIRST + 1, BN_CLICKED), 0);
        EXPECT_EQ(wnd->List().notifications.size(), 1u);
        EXPECT_TRUE(IsWindow(rig.hwnd));

        // Clicking the tick dismisses: the window closes when nothing is
        // left unless it opens at start-up.
        SendMessageA(tick, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(tick, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
        EXPECT_FALSE(IsWindow(tick));
        if (startup == 0) {
            EXPECT_FALSE(IsWindow(rig.hwnd));
            EXPECT_EQ(rig.frame.closed, std::vector<WPARAM>{CHILD_UPCOMING});
        } else {
            ASSERT_TRUE(IsWindow(rig.hwnd));
            EXPECT_EQ(wnd->List().lastRow, -1);
            EXPECT_EQ(wnd->TickButton(0), nullptr);
            EXPECT_FALSE(wnd->BlinkTimerRunning());
            EXPECT_EQ(WindowRect(rig.hwnd).right - WindowRect(rig.hwnd).left, emptyWidth);
            EXPECT_TRUE(rig.frame.closed.empty());
        }
    }
}

// Dragged onto a monitor at 150 %: the rows are measured again in a font for
// it, the tick button grows, and the window keeps its anchored corner.
TEST(DueEventWnd, DpiChangeMeasuresAgainAndKeepsTheAnchor) {
    Rig rig;
    rig.clock.now = At(10, 55);
    rig.Add(4, "Standup", At(11, 0), true);
    rig.Add(5, "Call", At(12, 0));
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    rig.clock.now = At(11, 0);
    rig.BeginFirst();
    const RECT before = WindowRect(rig.hwnd);
    const int textWidth = wnd->List().rows[0].textWidth;
    const int callWidth = wnd->List().rows[1].textWidth;
    const int rowHeight = wnd->List().rowHeight;

    RECT suggested = before;
    SendMessageA(rig.hwnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(wnd->List().scale.dpi, 144);
    EXPECT_GE(wnd->List().rows[0].textWidth * 2, textWidth * 3 - 4);  // the notification, measured again
    EXPECT_GE(wnd->List().rows[1].textWidth * 2, callWidth * 3 - 4);   // the record, measured again
    EXPECT_GE(wnd->List().rowHeight * 2, rowHeight * 3 - 4);
    RECT tick = WindowRect(wnd->TickButton(0));
    EXPECT_EQ(tick.right - tick.left, 15);
    const RECT after = WindowRect(rig.hwnd);
    EXPECT_EQ(after.right, before.right);  // the default anchor: the bottom-right corner
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_GT(after.right - after.left, (before.right - before.left) * 4 / 3);
}

// The snooze menu as it pops up: its items, then closed without a choice.
std::vector<std::pair<UINT, std::string>> menuSeen;
void CALLBACK ReadAndEndMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND popup = FindWindowA("#32768", nullptr);
    auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
        char text[32] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        menuSeen.emplace_back(GetMenuItemID(menu, i), text);
    }
    EndMenu();
}

TEST(DueEventWnd, SnoozeButtonsOpenTheMenuWhoseChoicePutsTheRowOff) {
    Rig rig;
    rig.clock.now = At(10, 55);
    rig.Add(4, "Standup", At(11, 0), true);
    rig.Add(5, "Call", At(11, 20), true);
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    rig.clock.now = At(11, 0);
    rig.BeginFirst();

    // Row 0 begun: tick, then clock; row 1 reminded: the clock in the tick's place.
    ASSERT_EQ(wnd->List().lastRow, 1);
    for (int row = 0; row < 2; ++row) {
        const HWND clock = wnd->SnoozeButton(row);
        ASSERT_NE(clock, nullptr) << row;
        EXPECT_EQ(GetDlgCtrlID(clock), ID_SNOOZE_FIRST + row);
        RECT rc = WindowRect(clock);
        MapWindowPoints(nullptr, rig.hwnd, reinterpret_cast<POINT*>(&rc), 2);
        const int w = wnd->List().rows[row].textWidth;
        const int left = w + (row == 0 ? 19 : 7);
        EXPECT_EQ(rc.left, left) << row;
        EXPECT_EQ(rc.right - rc.left, 10);
        // The face's top and the hand from the middle up, in black.
        auto canvas = Render(rig.hwnd);
        EXPECT_EQ(canvas->At(left + 5, rc.top + 2), RGB(0, 0, 0)) << row;
        EXPECT_EQ(canvas->At(left + 5, rc.top + 4), RGB(0, 0, 0)) << row;
    }
    EXPECT_EQ(wnd->TickButton(1), nullptr);
    const RECT whole = WindowRect(rig.hwnd);
    EXPECT_EQ(whole.right - whole.left, wnd->List().rows[0].textWidth + 34);
    SaveScreenshot(rig.hwnd, "snooze_buttons");

    // A choice with no menu opened before does nothing.
    SendMessageA(rig.hwnd, WM_COMMAND, ID_SNOOZE_5_MINUTES, 0);
    EXPECT_TRUE(rig.snoozed.empty());

    // The begun row's clock: seven choices; then "10 minutes".
    menuSeen.clear();
    SetTimer(nullptr, 0, 100, ReadAndEndMenu);
    SendMessageA(rig.hwnd, WM_COMMAND, MAKEWPARAM(ID_SNOOZE_FIRST, BN_CLICKED),
                 reinterpret_cast<LPARAM>(wnd->SnoozeButton(0)));
    EXPECT_EQ(menuSeen, (std::vector<std::pair<UINT, std::string>>{{ID_SNOOZE_5_MINUTES, "5 minutes"},
                                                                   {ID_SNOOZE_10_MINUTES, "10 minutes"},
                                                                   {ID_SNOOZE_15_MINUTES, "15 minutes"},
                                                                   {ID_SNOOZE_30_MINUTES, "30 minutes"},
                                                                   {ID_SNOOZE_1_HOUR, "1 hour"},
                                                                   {ID_SNOOZE_2_HOURS, "2 hours"},
                                                                   {ID_SNOOZE_TOMORROW, "Tomorrow"}}));
    Pump();
    SendMessageA(rig.hwnd, WM_COMMAND, ID_SNOOZE_10_MINUTES, 0);
    EXPECT_EQ(rig.snoozed, (std::vector<Rig::Snoozed>{{4, At(11, 0), At(11, 10)}}));
    EXPECT_TRUE(wnd->List().notifications.empty());  // the notification left at once
    EXPECT_EQ(wnd->List().rows[0].eventId, 5u);

    // The keyboard's context menu: the first row with a clock, here the reminded one.
    SetTimer(nullptr, 0, 100, ReadAndEndMenu);
    SendMessageA(rig.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(rig.hwnd), -1);
    Pump();
    // It began while the menu was open: its new notification goes too.
    rig.BeginFirst();
    ASSERT_EQ(wnd->List().notifications.size(), 1u);
    SendMessageA(rig.hwnd, WM_COMMAND, ID_SNOOZE_TOMORROW, 0);
    ASSERT_EQ(rig.snoozed.size(), 2u);
    EXPECT_EQ(rig.snoozed[1], (Rig::Snoozed{5, At(11, 20), MakeLocalTime(2025, 6, 11, 11, 0, 0)}));
    EXPECT_FALSE(IsWindow(rig.hwnd));  // nothing left: it closes as after the last tick
}

// An occurrence begun while the program was away: a steady row with its
// date and a tick, no clock; the tick dismisses it like a begun one.
TEST(DueEventWnd, MissedRowIsSteadyWithATickAndItsDate) {
    Rig rig;
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    PendingRecords away;
    PendingReminder& record = away.Add(3, "Standup", MakeLocalTime(2025, 6, 7, 9, 30, 0), true);
    rig.Changed(kUpcomingMissed, &record);
    rig.Changed(kUpcomingRefresh);
    ASSERT_EQ(wnd->List().lastRow, 0);
    EXPECT_EQ(wnd->List().rows[0].kind, kDueMissed);
    const std::string& text = wnd->List().rows[0].text;
    EXPECT_EQ(text.rfind("Standup (", 0), 0u);
    EXPECT_NE(text.find(TimeText(9, 30) + ", missed)"), std::string::npos);
    EXPECT_NE(text.find("2025"), std::string::npos);  // the short date
    EXPECT_NE(wnd->TickButton(0), nullptr);
    EXPECT_EQ(wnd->SnoozeButton(0), nullptr);
    EXPECT_FALSE(wnd->BlinkTimerRunning());
    SaveScreenshot(rig.hwnd, "missed");
    SendMessageA(rig.hwnd, WM_COMMAND, MAKEWPARAM(ID_DISMISS_FIRST, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(rig.hwnd));
}

TEST(DueEventWnd, StoredAnchorIsClampedIntoTheWorkArea) {
    Rig rig;
    rig.StoreCoord(-50, 99999);
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    const ScreenRect work = rig.desktop.WorkArea();
    EXPECT_EQ(wnd->Anchor().anchorX, 0);
    EXPECT_EQ(wnd->Anchor().anchorY, work.bottom);
    EXPECT_FALSE(wnd->Anchor().anchorRight);
    EXPECT_TRUE(wnd->Anchor().anchorBottom);
    const RECT rc = WindowRect(rig.hwnd);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.bottom, work.bottom);
    SaveScreenshot(rig.hwnd, "bottom_left");

    // Growing keeps the left and bottom edges.
    rig.Add(3, "A title long enough to widen the window", At(12, 0));
    rig.Changed(2);
    const RECT grown = WindowRect(rig.hwnd);
    EXPECT_EQ(grown.left, 0);
    EXPECT_EQ(grown.bottom, work.bottom);
    EXPECT_GT(grown.right, rc.right);
    DestroyWindow(rig.hwnd);
    EXPECT_EQ(rig.StoredCoord(), (std::vector<std::int32_t>{0, work.bottom}));
}

TEST(DueEventWnd, WindowDraggedToTheRightHalfGrowsLeftwards) {
    Rig rig;
    rig.StoreCoord(40, 60);  // top left: anchored left and top
    rig.Add(1, "Short", At(12, 0));
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    RECT rc = WindowRect(rig.hwnd);
    EXPECT_EQ(rc.left, 40);
    EXPECT_EQ(rc.top, 60);
    const int width = rc.right - rc.left;

    // Moved as the drag would: more room on the left than on the right.
    SetWindowPos(rig.hwnd, nullptr, 800, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(wnd->Anchor().anchorRight);
    EXPECT_EQ(wnd->Anchor().anchorX, 800 + width);
    EXPECT_FALSE(wnd->Anchor().anchorBottom);
    EXPECT_EQ(wnd->Anchor().anchorY, 200);

    rig.Add(2, "A much wider row than the first one", At(12, 30));
    rig.Changed(2);
    RECT grown = WindowRect(rig.hwnd);
    EXPECT_EQ(grown.right, 800 + width);
    EXPECT_LT(grown.left, 800);
    EXPECT_EQ(grown.top, 200);
    EXPECT_EQ(wnd->Anchor().anchorX, 800 + width);  // the move it caused keeps the anchor
    SaveScreenshot(rig.hwnd, "grown_leftwards");

    // Its next opening uses the stored right edge.
    DestroyWindow(rig.hwnd);
    EXPECT_EQ(rig.StoredCoord(), (std::vector<std::int32_t>{800 + width, 200}));
    rig.pending.pop_back();
    wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    rc = WindowRect(rig.hwnd);
    EXPECT_EQ(rc.right, 800 + width);
    EXPECT_EQ(rc.top, 200);

    // Anchored left and top, the window comes back exactly where it was
    // left, not one border width inside.
    SetWindowPos(rig.hwnd, nullptr, 100, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(rig.hwnd);
    EXPECT_EQ(rig.StoredCoord(), (std::vector<std::int32_t>{100, 300}));
    wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(WindowRect(rig.hwnd).left, 100);
    EXPECT_EQ(WindowRect(rig.hwnd).top, 300);
}

// More rows than the work area holds: the window stays inside it, its last
// line counting the rows left out, and only the shown rows have buttons.
TEST(DueEventWnd, StaysInsideTheWorkAreaAndCountsTheRowsLeftOut) {
    Rig rig;
    for (int i = 0; i < 65; ++i) rig.Add(100 + i, "Item " + std::to_string(i), At(11, 10) + i * 60);
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    const ScreenRect work = rig.desktop.WorkArea();
    const int rowHeight = wnd->List().rowHeight;
    const int shown = std::min(60, (work.bottom - work.top - 4) / rowHeight) - 1;
    ASSERT_LT(shown, 64);
    EXPECT_EQ(wnd->List().lastRow, shown - 1);
    EXPECT_EQ(wnd->List().moreCount, 65 - shown);
    const RECT rc = WindowRect(rig.hwnd);
    EXPECT_EQ(rc.bottom - rc.top, (shown + 1) * rowHeight + 4);
    EXPECT_GE(rc.top, work.top);
    EXPECT_LE(rc.bottom, work.bottom);
    EXPECT_TRUE(rig.pending.back()->text.empty());
    SaveScreenshot(rig.hwnd, "rows_left_out");

    // 65 begun occurrences: the shown rows have ticks from 8193 on; the rest wait.
    for (auto& record : rig.pending) {
        if (record->text.empty()) record->text = "waiting";
        rig.Changed(4, record.get());
    }
    rig.pending.clear();
    rig.Changed(2);
    EXPECT_EQ(wnd->List().notifications.size(), 65u);
    EXPECT_EQ(wnd->List().lastRow, shown - 1);
    for (int i = 0; i < shown; ++i) {
        ASSERT_NE(wnd->TickButton(i), nullptr) << i;
        EXPECT_EQ(GetDlgCtrlID(wnd->TickButton(i)), ID_DISMISS_FIRST + i);
    }
    int children = 0;
    for (HWND c = GetWindow(rig.hwnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, 2 * shown);  // a tick and a snooze button each

    // Dismissing the last shown one brings the next in its place.
    SendMessageA(rig.hwnd, WM_COMMAND, MAKEWPARAM(ID_DISMISS_FIRST + shown - 1, BN_CLICKED), 0);
    EXPECT_EQ(wnd->List().notifications.size(), 64u);
    EXPECT_EQ(wnd->List().rows[shown - 1].eventId, static_cast<std::uint32_t>(100 + shown));
    EXPECT_EQ(wnd->List().moreCount, 64 - shown);
    SaveScreenshot(rig.hwnd, "notifications_left_out");
}

TEST(DueEventWnd, LeftButtonStartsTheSystemDrag) {
    Rig rig;
    ASSERT_NE(rig.Open(), nullptr);
    Pump();
    SendMessageA(rig.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, rig.hwnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(0xF012));
}

TEST(DueEventWnd, AReaderFindsTheRowsAndTheirButtons) {
    OleSession ole;
    Rig rig;
    rig.clock.now = At(10, 55);
    rig.Add(4, "Standup", At(11, 0), true);
    rig.Add(5, "Call", At(11, 20), true);
    CDueEventWnd* wnd = rig.Open();
    ASSERT_NE(wnd, nullptr);
    rig.clock.now = At(11, 0);
    rig.BeginFirst();
    ComPtr<IAccessible> acc;
    ASSERT_EQ(AccessibleObjectFromWindow(rig.hwnd, static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid, acc.OutVoid()),
              S_OK);

    auto child = [](long id) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = id;
        return v;
    };
    auto name = [&](long id) {
        BSTR text = nullptr;
        std::wstring s;
        if (SUCCEEDED(acc->get_accName(child(id), &text)) && text != nullptr) s = text;
        SysFreeString(text);
        return s;
    };
    auto role = [&](long id) {
        VARIANT v;
        VariantInit(&v);
        return SUCCEEDED(acc->get_accRole(child(id), &v)) ? v.lVal : -1;
    };
    auto wide = [](const std::string& s) { return std::wstring(s.begin(), s.end()); };

    // The begun row has a tick and a clock, the reminded one a clock.
    long count = 0;
    ASSERT_EQ(acc->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 5);
    EXPECT_EQ(role(CHILDID_SELF), ROLE_SYSTEM_LIST);
    const struct {
        long role;
        std::wstring name;
    } expected[] = {
        {ROLE_SYSTEM_LISTITEM, L"Standup, " + wide(TimeText(11, 0)) + L", begun"},
        {ROLE_SYSTEM_LISTITEM, L"Call, " + wide(TimeText(11, 20)) + L", begins in 20 minutes"},
        {ROLE_SYSTEM_PUSHBUTTON, L"Dismiss Standup"},
        {ROLE_SYSTEM_PUSHBUTTON, L"Snooze Standup"},
        {ROLE_SYSTEM_PUSHBUTTON, L"Snooze Call"},
    };
    for (long id = 1; id <= count; ++id) {
        EXPECT_EQ(role(id), expected[id - 1].role) << id;
        EXPECT_EQ(name(id), expected[id - 1].name) << id;
    }
    // A button is where it is drawn and is found there.
    long x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(acc->accLocation(&x, &y, &w, &h, child(5)), S_OK);
    const RECT clock = WindowRect(wnd->SnoozeButton(1));
    EXPECT_EQ(x, clock.left);
    EXPECT_EQ(y, clock.top);
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(acc->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
    EXPECT_EQ(hit.lVal, 5);

    // Pressing the tick through the reader dismisses its row.
    ASSERT_EQ(acc->accDoDefaultAction(child(3)), S_OK);
    Pump();
    ASSERT_EQ(acc->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(name(1), L"Call, " + wide(TimeText(11, 20)) + L", begins in 20 minutes");
    EXPECT_EQ(name(2), L"Snooze Call");

    // Closed, the window's object answers no more.
    DestroyWindow(rig.hwnd);
    EXPECT_EQ(acc->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

}  // namespace
