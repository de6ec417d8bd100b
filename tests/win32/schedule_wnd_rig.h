#pragma once
// The calendar window with what the main frame hands it: a store over a
// scratch registry, default preferences, a settable clock, English names and
// GDI+ running; and helpers to store events, render the client area into a
// bitmap and pump the window's messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "calendar/schedule_wnd.h"
#include "core/calendar.h"
#include "core/locale_names.h"
#include "core/schedule_changes.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_text_format.h"
#include "portable/store_fakes.h"
#include "scratch_hive.h"
#include "support/dib_canvas.h"
#include "ui/window_messages.h"
#include "ui/gdiplus.h"
#include "ui/message_loop.h"

struct EventSpec {
    std::string title;
    int year = 2026;
    int month = 8;
    int day = 1;
    int lastYear = 2026;  // the last day of the range
    int lastMonth = 8;
    int lastDay = 1;
    std::uint8_t kind = kKindNone;
    std::uint16_t pattern = 0;
    std::uint8_t interval = 1;
    int startTime = 9 * 3600;
    bool endless = false;
};

// Where the main frame opens the calendar on a 1024 x 768 screen.
constexpr RECT kDefaultCalendarRect = {494, 368, 974, 745};

class CalendarRig final : private ReminderSchedule, private ScheduleNotifier {
public:
    explicit CalendarRig(Instant now = SystemClock().Now()) : clock_(now) {
        EXPECT_TRUE(gdiplus_.Started());
        store_.LoadEvents();
        wnd_ = CScheduleWnd::CreateNew(Context(), kDefaultCalendarRect, false);
        if (wnd_ == nullptr) {
            ADD_FAILURE() << "calendar window not created";
            return;
        }
        hwnd_ = wnd_->Hwnd();
        ShowWindow(wnd_->Hwnd(), SW_SHOWNORMAL);
        SetForegroundWindow(wnd_->Hwnd());
    }
    ~CalendarRig() {
        if (wnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    }
    CalendarRig(const CalendarRig&) = delete;
    CalendarRig& operator=(const CalendarRig&) = delete;

    ScheduleWndContext Context() {
        ScheduleWndContext context;
        context.store = &store_;
        context.prefs = &prefs_;
        context.clock = &clock_;
        context.names = &EnglishLocaleNames();
        context.closed = [this](const ScreenRect& rect) {
            EXPECT_FALSE(closedRect.has_value()) << "told twice";
            closedRect = rect;
        };
        context.registry = &hive_.registry();
        context.installPath = "C:\\Cal\\";
        context.desktop = &desktop_;
        context.format = &format_;
        return context;
    }

    EventStore& Store() { return store_; }
    Preferences& Prefs() { return prefs_; }
    SettableClock& Clock() { return clock_; }
    CScheduleWnd& Wnd() { return *wnd_; }
    HWND Hwnd() const { return hwnd_; }
    const MonthLayout& Layout() const { return wnd_->Layout(); }
    const std::string& HivePath() const { return hive_.Path(); }

    // The rectangle the window handed over when it went.
    std::optional<ScreenRect> closedRect;

    std::uint32_t Add(const EventSpec& event) {
        auto item = std::make_unique<ScheduleItem>();
        const std::uint32_t id = Store().NextEventId();
        item->front.id = id;
        item->front.startDate = static_cast<std::int32_t>(MakeLocalTime(event.year, event.month, event.day, 0, 0, 0));
        item->front.endDate = static_cast<std::int32_t>(
            EndOfDay(MakeLocalTime(event.lastYear, event.lastMonth, event.lastDay, 0, 0, 0)));
        item->front.startTime = event.startTime;
        item->front.endTime = event.startTime + 3600;
        item->front.recurKind = event.kind;
        item->front.recurPattern = event.pattern;
        item->front.recurInterval = event.interval;
        item->front.recurFlags = event.endless ? 1 : 0;
        item->title = event.title;
        EXPECT_TRUE(Store().SaveEvent(item, true, true)) << event.title;
        return id;
    }

    // Displays the month of the event and selects it on its first day there.
    void Show(std::uint32_t id) { wnd_->ShowEvent(id, 0, false); }

    // Client size (popup without a frame: the window size), the window
    // moved to the screen's corner so that all of it can be looked at.
    void Resize(int cx, int cy) { SetWindowPos(Hwnd(), nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE); }

    std::unique_ptr<DibCanvas> Render() {
        RECT rc;
        GetClientRect(Hwnd(), &rc);
        auto canvas = std::make_unique<DibCanvas>(rc.right, rc.bottom, RGB(255, 0, 255));
        SendMessageA(Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->Dc()), PRF_CLIENT);
        return canvas;
    }

    // Client point in the middle of line k of a day's cell, or of its
    // day-number row for k = 0.
    POINT LinePoint(int day, int k, int dx = -1) const {
        const LayoutRect r = Layout().LineRect(day, k);
        return POINT{r.x + (dx < 0 ? r.width / 2 : dx), r.y + r.height / 2};
    }

    static LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

    void Click(POINT p) { SendMessageA(Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(p)); }

    // Runs queued messages the way the program's loop does, keyboard hook included.
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (PreTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

private:
    // The reminders are not the calendar's business.
    void DropPending(const ScheduleItem&) override {}
    void ForgetFired(std::uint32_t) override {}
    void RescheduleEvent(const ScheduleItem&) override {}
    void StartSchedule() override {}
    // As the main frame tells the calendar, while it is open.
    void CalendarChanged() override {
        if (IsWindow(hwnd_)) SendMessageA(hwnd_, WM_SCHEDULECHANGED, kCalendarEventsChanged, 0);
    }
    void UpcomingEventsDeleted() override {}

    ScratchHive hive_;
    Win32Desktop desktop_;
    Win32TextFormat format_;
    GdiplusSession gdiplus_;
    SettableClock clock_;
    Preferences prefs_;
    EventStore store_{hive_.registry(), clock_, *this, *this};
    CScheduleWnd* wnd_ = nullptr;  // deletes itself with its window
    HWND hwnd_ = nullptr;
};

inline bool IsRedDominant(COLORREF c) { return GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90; }
inline bool IsDark(COLORREF c) { return GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80; }

inline int CountPixels(const DibCanvas& canvas, int x0, int y0, int x1, int y1, bool (*pred)(COLORREF)) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) n += pred(canvas.At(x, y)) ? 1 : 0;
    }
    return n;
}

inline int CountColor(const DibCanvas& canvas, int x0, int y0, int x1, int y1, COLORREF color) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) n += canvas.At(x, y) == color ? 1 : 0;
    }
    return n;
}

// The window as it stands on the screen, children included, after the
// paints it has pending (all of it first when redraw is set).
inline std::unique_ptr<DibCanvas> CaptureScreen(HWND hwnd, bool redraw) {
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (redraw) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (int i = 0; i < 5; ++i) {
        CalendarRig::Pump();
        Sleep(20);
    }
    GdiFlush();
    RECT rc;
    GetWindowRect(hwnd, &rc);
    auto canvas = std::make_unique<DibCanvas>(rc.right - rc.left, rc.bottom - rc.top, RGB(255, 0, 255));
    HDC screen = GetDC(nullptr);
    BitBlt(canvas->Dc(), 0, 0, canvas->Width(), canvas->Height(), screen, rc.left, rc.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return canvas;
}

// Saved for a person to look at.
inline void SaveWindowScreenshot(HWND hwnd, const std::string& name) {
    EXPECT_TRUE(CaptureScreen(hwnd, true)->SaveBmp(ScreensDirectory() + "\\calendar_" + name + ".bmp"));
}
