// The calendar window driven through its messages: creation, size and
// sizing edges, mouse selection, the keyboard taken before dispatch, the day
// and event menus, delete, exclude, showing an event, store changes, the
// Korean notice and the hand-over of its rectangle when it closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/editor_ids.h"
#include "calendar/calendar_ids.h"
#include "schedule_wnd_rig.h"
#include "support/modal_driver.h"
#include "support/refused_create.h"

namespace {

constexpr char kUserKey[] = "SOFTWARE\\OrvCalendar\\User\\Default_Id";

// Answers the message boxes of this thread with a chosen button and records
// their wide caption and text; `before` runs while the box is up, as if the
// user did something else first.
class BoxAnswerer {
public:
    struct Box {
        std::wstring caption;
        std::wstring text;
    };

    explicit BoxAnswerer(int button, std::function<void()> before = {}) : button_(button), before_(std::move(before)) {
        Current() = this;
        hook_ = SetWindowsHookExW(WH_CBT, &BoxAnswerer::CbtProc, nullptr, GetCurrentThreadId());
    }
    ~BoxAnswerer() {
        UnhookWindowsHookEx(hook_);
        Current() = nullptr;
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    const std::vector<Box>& Boxes() const { return boxes_; }

private:
    static BoxAnswerer*& Current() {
        thread_local BoxAnswerer* current = nullptr;
        return current;
    }

    static std::wstring TextOf(HWND hwnd) {
        wchar_t text[512] = {};
        GetWindowTextW(hwnd, text, 512);
        return text;
    }

    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
        BoxAnswerer* self = Current();
        if (self != nullptr && code == HCBT_ACTIVATE) {
            HWND box = reinterpret_cast<HWND>(wParam);
            wchar_t cls[16] = {};
            GetClassNameW(box, cls, 16);
            HWND text = GetDlgItem(box, 0xFFFF);
            if (lstrcmpW(cls, L"#32770") == 0 && text != nullptr && box != self->last_) {
                self->last_ = box;
                self->boxes_.push_back(Box{TextOf(box), TextOf(text)});
                if (self->before_) self->before_();
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(self->button_, BN_CLICKED), 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    int button_;
    std::function<void()> before_;
    HHOOK hook_ = nullptr;
    HWND last_ = nullptr;
    std::vector<Box> boxes_;
};

// Closes any popup menu shortly after it opens and counts how many did.
class MenuCloser {
public:
    MenuCloser() {
        Current() = this;
        timer_ = SetTimer(nullptr, 0, 30, &MenuCloser::Tick);
    }
    ~MenuCloser() {
        KillTimer(nullptr, timer_);
        Current() = nullptr;
    }
    MenuCloser(const MenuCloser&) = delete;
    MenuCloser& operator=(const MenuCloser&) = delete;
    int Shown() const { return shown_; }

private:
    static MenuCloser*& Current() {
        thread_local MenuCloser* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (Current() != nullptr && menu != nullptr && IsWindowVisible(menu)) {
            ++Current()->shown_;
            EndMenu();
        }
    }
    UINT_PTR timer_ = 0;
    int shown_ = 0;
};

std::string MenuText(HMENU menu, UINT position) {
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

std::string TimeText(int hour, int minute) {
    SYSTEMTIME st = {};
    st.wYear = 2026;
    st.wMonth = 8;
    st.wDay = 10;
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    char text[30] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, sizeof text);
    return text;
}

bool EventKeyExists(std::uint32_t id) {
    HKEY key = nullptr;
    const std::string path = std::string(kUserKey) + "\\sc\\" + std::to_string(id);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Size of the stored "EventExcluded" value, -1 when there is none.
long ExclusionBytes() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD size = 0;
    const LONG rc = RegQueryValueExA(key, "EventExcluded", nullptr, nullptr, nullptr, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? static_cast<long>(size) : -1;
}

// prefix and number; spelled out because GCC 12 warns falsely about "x" + std::string.
std::string Named(const char* prefix, int n) {
    std::string name(prefix);
    name += std::to_string(n);
    return name;
}

void ParkCursorOutside() { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, 1); }

// Sends a key the way the message loop delivers it: posted, then pumped
// through the pre-dispatch hook.
void Key(HWND target, UINT key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    CalendarRig::Pump();
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

TEST(ScheduleWnd, OpensAsACaptionlessPopupWithTodaySelectedAndFourButtons) {
    ParkCursorOutside();
    CalendarRig rig;
    const HWND hwnd = rig.Hwnd();
    char text[64] = {};
    GetClassNameA(hwnd, text, sizeof text);
    EXPECT_STREQ(text, "OrvCalendarSchedule");
    GetWindowTextA(hwnd, text, sizeof text);
    EXPECT_STREQ(text, "Orv Calendar");
    EXPECT_NE(GetClassLongPtrA(hwnd, GCL_STYLE) & CS_DBLCLKS, 0u);
    EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND), 0u);
    EXPECT_NE(GetClassLongPtrA(hwnd, GCLP_HICON), 0u);
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_SYSMENU | WS_CAPTION | WS_THICKFRAME), WS_POPUP | WS_SYSMENU);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.left, kDefaultCalendarRect.left);
    EXPECT_EQ(rc.top, kDefaultCalendarRect.top);
    EXPECT_EQ(rc.right, kDefaultCalendarRect.right);
    EXPECT_EQ(rc.bottom, kDefaultCalendarRect.bottom);

    LocalFields now;
    ASSERT_TRUE(BreakDownLocal(SystemClock().Now(), now));
    const MonthLayout& layout = rig.Layout();
    EXPECT_EQ(layout.year, now.year);
    EXPECT_EQ(layout.month, now.month);
    EXPECT_EQ(layout.todayDay, now.day);
    EXPECT_EQ(layout.selectedDay, now.day);
    EXPECT_EQ(layout.clientWidth, rc.right - rc.left);

    const int cx = layout.clientWidth;
    struct Expected {
        UINT id;
        int glyph;
        RECT rect;
    };
    for (const Expected& e : {Expected{ID_CLOSE_BUTTON, CCloseButton::GlyphCross, {cx - 17, 6, cx - 6, 17}},
                              Expected{ID_PREV_MONTH, CCloseButton::GlyphLeft, {28, 14, 42, 28}},
                              Expected{ID_NEXT_MONTH, CCloseButton::GlyphRight, {166, 14, 180, 28}},
                              Expected{ID_THIS_MONTH, CCloseButton::GlyphCaption, {193, 14, 253, 28}}}) {
        SCOPED_TRACE(e.id);
        const HWND button = rig.Wnd().Button(e.id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(GetParent(button), hwnd);
        EXPECT_EQ(static_cast<UINT>(GetDlgCtrlID(button)), e.id);
        EXPECT_NE(GetWindowLongPtrA(button, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
        const RECT r = ChildRect(hwnd, button);
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        EXPECT_EQ(r.bottom, e.rect.bottom);
        const auto* glyph = dynamic_cast<CCloseButton*>(CWnd::FromHandle(button));
        ASSERT_NE(glyph, nullptr);
        EXPECT_EQ(glyph->glyph, e.glyph);
    }
    GetWindowTextA(rig.Wnd().Button(ID_THIS_MONTH), text, sizeof text);
    EXPECT_STREQ(text, "This Month");
    SaveWindowScreenshot(hwnd, "opened");
}

TEST(ScheduleWnd, SizeRecomputesTheGridAndMovesTheCloseButton) {
    ParkCursorOutside();
    CalendarRig rig;
    MINMAXINFO info = {};
    SendMessageA(rig.Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 320);
    EXPECT_EQ(info.ptMinTrackSize.y, 200);

    rig.Render();
    EXPECT_FALSE(rig.Wnd().BackDirty());
    rig.Resize(600, 400);
    const MonthLayout& layout = rig.Layout();
    EXPECT_EQ(layout.clientWidth, 600);
    EXPECT_EQ(layout.gridWidth, 588);
    EXPECT_EQ(layout.gridHeight, 351);
    EXPECT_EQ(layout.cellWidth, 84);
    EXPECT_EQ(layout.cellHeight, 55);
    EXPECT_TRUE(rig.Wnd().BackDirty());
    const RECT close = ChildRect(rig.Hwnd(), rig.Wnd().Button(ID_CLOSE_BUTTON));
    EXPECT_EQ(close.left, 583);
    EXPECT_EQ(close.top, 6);
    EXPECT_EQ(close.right - close.left, 11);
    auto canvas = rig.Render();
    EXPECT_FALSE(rig.Wnd().BackDirty());
    EXPECT_EQ(canvas->At(599, 399), RGB(0, 0, 0));  // the cache was made at the new size

    // Minimising and an unchanged size leave everything as it is.
    SendMessageA(rig.Hwnd(), WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(160, 24));
    SendMessageA(rig.Hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(600, 400));
    EXPECT_EQ(layout.clientWidth, 600);
    EXPECT_EQ(layout.cellHeight, 55);
    EXPECT_FALSE(rig.Wnd().BackDirty());
}

// Moved onto a monitor at 150 %: the window takes the rectangle Windows
// suggests and draws everything at the new scale; back at 100 % it is as before.
TEST(ScheduleWnd, DpiChangeTakesTheSuggestedRectangleAndTheNewScale) {
    ParkCursorOutside();
    CalendarRig rig;
    const std::uint32_t id = rig.Add({"Scaled", 2026, 8, 12, 2026, 8, 12});
    rig.Show(id);
    const int lineHeight96 = rig.Layout().lineHeight;
    rig.Render();

    RECT suggested = {100, 50, 820, 616};
    SendMessageA(rig.Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT rc;
    GetWindowRect(rig.Hwnd(), &rc);
    EXPECT_TRUE(EqualRect(&rc, &suggested));
    const MonthLayout& layout = rig.Layout();
    EXPECT_EQ(layout.metrics.scale.dpi, 144);
    EXPECT_EQ(layout.cellWidth, (720 - 18) / 7);
    EXPECT_EQ(layout.cellHeight, (566 - 92 - 9) / 6);
    EXPECT_GE(layout.lineHeight * 2, lineHeight96 * 3 - 2);  // the font was made for 144 DPI
    MINMAXINFO info = {};
    SendMessageA(rig.Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 480);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);
    const RECT prev = ChildRect(rig.Hwnd(), rig.Wnd().Button(ID_PREV_MONTH));
    EXPECT_EQ(prev.left, 42);
    EXPECT_EQ(prev.bottom, 42);
    const RECT close = ChildRect(rig.Hwnd(), rig.Wnd().Button(ID_CLOSE_BUTTON));
    EXPECT_EQ(close.left, 720 - 26);
    EXPECT_EQ(close.right - close.left, 17);

    EXPECT_TRUE(rig.Wnd().BackDirty());
    auto canvas = rig.Render();
    EXPECT_FALSE(rig.Wnd().BackDirty());
    EXPECT_EQ(canvas->Width(), 720);
    EXPECT_EQ(canvas->At(719, 565), RGB(0, 0, 0));  // the border of a cache made at the new size
    // The bar lies on the line the layout gives, its outline at the line's top.
    const LayoutRect line = layout.LineRect(12, 1);
    EXPECT_EQ(canvas->At(line.x + line.width / 2, line.y), RGB(0, 0, 0));
    EXPECT_NE(canvas->At(line.x + line.width / 2, line.y + line.height / 2), RGB(0, 0, 0));
    EXPECT_EQ(canvas->At(line.x + line.width / 2, line.y + line.height - 1), RGB(0, 0, 0));
    const DaySlot* hit = layout.SlotFromPoint(line.x + line.width / 2, line.y + line.height / 2);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->event->item->front.id, id);

    RECT back = kDefaultCalendarRect;
    SendMessageA(rig.Hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(layout.metrics.daysTop, 61);
    EXPECT_EQ(layout.lineHeight, lineHeight96);
    EXPECT_EQ(ChildRect(rig.Hwnd(), rig.Wnd().Button(ID_PREV_MONTH)).left, 28);
}

TEST(ScheduleWnd, FivePixelEdgesSizeAndTheTopStripMoves) {
    CalendarRig rig;
    rig.Resize(600, 400);
    const HWND hwnd = rig.Hwnd();
    struct Case {
        int x;
        int y;
        int edge;
        LPCWSTR cursor;
    };
    for (const Case& c : {Case{0, 0, WMSZ_TOPLEFT, IDC_SIZENWSE}, Case{4, 399, WMSZ_BOTTOMLEFT, IDC_SIZENESW},
                          Case{4, 200, WMSZ_LEFT, IDC_SIZEWE}, Case{595, 4, WMSZ_TOPRIGHT, IDC_SIZENESW},
                          Case{599, 395, WMSZ_BOTTOMRIGHT, IDC_SIZENWSE}, Case{595, 200, WMSZ_RIGHT, IDC_SIZEWE},
                          Case{5, 4, WMSZ_TOP, IDC_SIZENS}, Case{300, 395, WMSZ_BOTTOM, IDC_SIZENS}}) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        POINT screen = {c.x, c.y};
        ClientToScreen(hwnd, &screen);
        SetCursorPos(screen.x, screen.y);
        EXPECT_EQ(SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  TRUE);
        EXPECT_EQ(rig.Wnd().SizeEdge(), c.edge);
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, c.cursor));

        // The button starts system sizing from that edge; a double-click there does nothing.
        SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        MSG msg;
        ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
        EXPECT_EQ(msg.wParam, static_cast<WPARAM>(SC_SIZE + c.edge));
        EXPECT_EQ(msg.lParam, 0);
    }

    // Inside the edges: no sizing; in the strip above the grid a click moves the window.
    POINT inside = {300, 20};
    ClientToScreen(hwnd, &inside);
    SetCursorPos(inside.x, inside.y);
    SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(rig.Wnd().SizeEdge(), 0);
    ParkCursorOutside();
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 42));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0xF012u);
    const int day = rig.Layout().selectedDay;
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 43));  // the grid: a selection
    EXPECT_FALSE(PeekMessageA(&msg, hwnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    EXPECT_EQ(rig.Layout().selectedDay, 0);  // the header row holds no day
    EXPECT_NE(day, 0);
}

class AugustRig : public testing::Test {
protected:
    void SetUp() override {
        ParkCursorOutside();
        rig_.Resize(771, 667);
    }
    int LineOf(int day, std::uint32_t id) const {
        for (int k = 1; k <= MonthLayout::kMaxLines; ++k) {
            const MonthEvent* e = rig_.Layout().slots[day][k].event;
            if (e != nullptr && e->item->front.id == id) return k;
        }
        return 0;
    }
    void Select(int day, std::uint32_t id) {
        const int k = LineOf(day, id);
        ASSERT_GT(k, 0);
        rig_.Click(rig_.LinePoint(day, k));
        ASSERT_EQ(rig_.Layout().selectedId, id);
        ASSERT_EQ(rig_.Layout().selectedDay, day);
    }
    // A day selected without an event line: its number row.
    void SelectDay(int day) {
        rig_.Click(rig_.LinePoint(day, 0));
        ASSERT_EQ(rig_.Layout().selectedDay, day);
        ASSERT_EQ(rig_.Layout().selectedEvent, nullptr);
    }
    CalendarRig rig_;
};

TEST_F(AugustRig, MouseSelectsTheDayAndLineUnderIt) {
    const std::uint32_t bar = rig_.Add({"Bar", 2026, 8, 10, 2026, 8, 12});
    rig_.Show(bar);
    const HWND hwnd = rig_.Hwnd();
    ASSERT_EQ(rig_.Layout().selectedId, bar);
    ASSERT_EQ(rig_.Layout().selectedDay, 10);

    // A line of another day of the same bar: the day changes, the event stays.
    ValidateRect(hwnd, nullptr);
    rig_.Click(rig_.LinePoint(11, LineOf(11, bar)));
    EXPECT_EQ(rig_.Layout().selectedDay, 11);
    EXPECT_EQ(rig_.Layout().selectedId, bar);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.top, 61);
    // The same spot again changes nothing and repaints nothing.
    ValidateRect(hwnd, nullptr);
    rig_.Click(rig_.LinePoint(11, LineOf(11, bar)));
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));

    // The empty part of a day: the day alone. Left of the start cap: no line.
    rig_.Click(rig_.LinePoint(11, 3));
    EXPECT_EQ(rig_.Layout().selectedDay, 11);
    EXPECT_EQ(rig_.Layout().selectedEvent, nullptr);
    rig_.Click(rig_.LinePoint(10, LineOf(10, bar), 3));
    EXPECT_EQ(rig_.Layout().selectedDay, 10);
    EXPECT_EQ(rig_.Layout().selectedEvent, nullptr);

    // The right button selects too; outside the days nothing stays selected.
    SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, CalendarRig::At(rig_.LinePoint(12, LineOf(12, bar))));
    EXPECT_EQ(rig_.Layout().selectedDay, 12);
    EXPECT_EQ(rig_.Layout().selectedId, bar);
    rig_.Click(POINT{300, 50});
    EXPECT_EQ(rig_.Layout().selectedDay, 0);
    EXPECT_EQ(rig_.Layout().selectedId, 0u);
}

TEST_F(AugustRig, KeysAreTakenBeforeDispatchEvenOnTheButtons) {
    const std::uint32_t bar = rig_.Add({"Bar", 2026, 8, 10, 2026, 8, 12});
    rig_.Show(bar);
    const HWND hwnd = rig_.Hwnd();
    const MonthLayout& layout = rig_.Layout();

    // Page Down sent to the previous-month button moves forward: the window took it.
    Key(rig_.Wnd().Button(ID_PREV_MONTH), VK_NEXT);
    EXPECT_EQ(layout.month, 9);
    EXPECT_EQ(layout.selectedDay, 0);
    MSG msg = {hwnd, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_TRUE(PreTranslate(msg));  // consumed though it means nothing
    msg.message = WM_CHAR;
    EXPECT_FALSE(PreTranslate(msg));
    msg.message = WM_KEYUP;
    EXPECT_FALSE(PreTranslate(msg));

    // Arrows with no day selected: Left and Up go to the last day, Right to 1, Down to 7.
    Key(hwnd, VK_LEFT);
    EXPECT_EQ(layout.selectedDay, 30);
    Key(hwnd, VK_NEXT);
    Key(hwnd, VK_UP);
    EXPECT_EQ(layout.selectedDay, 31);  // October
    Key(hwnd, VK_PRIOR);
    Key(hwnd, VK_RIGHT);
    EXPECT_EQ(layout.selectedDay, 1);
    Key(hwnd, VK_PRIOR);  // August
    Key(hwnd, VK_DOWN);
    EXPECT_EQ(layout.selectedDay, 7);

    // Wrapping within the month; an arrow drops the event line.
    Select(12, bar);
    for (int i = 0; i < 2; ++i) Key(hwnd, VK_DOWN);  // 19, 26
    EXPECT_EQ(layout.selectedEvent, nullptr);
    EXPECT_EQ(layout.selectedId, 0u);
    Key(hwnd, VK_RIGHT);
    EXPECT_EQ(layout.selectedDay, 27);
    Key(hwnd, VK_DOWN);
    EXPECT_EQ(layout.selectedDay, 1);
    Key(hwnd, VK_LEFT);
    EXPECT_EQ(layout.selectedDay, 31);
    Key(hwnd, VK_RIGHT);
    EXPECT_EQ(layout.selectedDay, 1);
    Key(hwnd, VK_RIGHT);
    Key(hwnd, VK_RIGHT);
    Key(hwnd, VK_UP);
    EXPECT_EQ(layout.selectedDay, 31);

    // Page Up from January goes to December of the year before.
    for (int i = 0; i < 5; ++i) Key(hwnd, VK_NEXT);
    ASSERT_EQ(layout.year, 2027);
    ASSERT_EQ(layout.month, 1);
    Key(hwnd, VK_PRIOR);
    EXPECT_EQ(layout.year, 2026);
    EXPECT_EQ(layout.month, 12);

    // Home shows the current month; pressed again it changes nothing, not even the selection.
    LocalFields now;
    ASSERT_TRUE(BreakDownLocal(SystemClock().Now(), now));
    Key(hwnd, VK_HOME);
    EXPECT_EQ(layout.year, now.year);
    EXPECT_EQ(layout.month, now.month);
    EXPECT_EQ(layout.todayDay, now.day);
    Key(hwnd, VK_LEFT);
    const int day = layout.selectedDay;
    ASSERT_NE(day, 0);
    Key(rig_.Wnd().Button(ID_THIS_MONTH), VK_HOME);
    EXPECT_EQ(layout.selectedDay, day);
}

// The months the runtime can convert bound the navigation; beyond them the
// keys do nothing.
TEST(ScheduleWnd, NavigationStopsAtTheMonthsTheRuntimeCanShow) {
    ParkCursorOutside();
    CalendarRig rig;
    const HWND hwnd = rig.Hwnd();
    const MonthLayout& layout = rig.Layout();
    const auto pressUntilStill = [&](UINT key) {
        for (int i = 0; i < 20000; ++i) {
            const int before = layout.year * 12 + layout.month;
            SendMessageA(hwnd, WM_KEYDOWN, key, 1);
            if (layout.year * 12 + layout.month == before) return;
        }
        ADD_FAILURE() << "no end";
    };
    pressUntilStill(VK_PRIOR);
    EXPECT_EQ(layout.year, 1970);
    EXPECT_LE(layout.month, 2);
    EXPECT_TRUE(CanRepresentMonth(layout.year, layout.month));
    EXPECT_FALSE(CanRepresentMonth(layout.year, layout.month - 1));
    pressUntilStill(VK_NEXT);
    EXPECT_EQ(layout.year, 3000);
    EXPECT_FALSE(CanRepresentMonth(layout.year, layout.month + 1));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(rig.Render()->At(0, 0), RGB(0, 0, 0));
    SendMessageA(hwnd, WM_KEYDOWN, VK_HOME, 1);
    LocalFields now;
    ASSERT_TRUE(BreakDownLocal(SystemClock().Now(), now));
    EXPECT_EQ(layout.year, now.year);
}

TEST_F(AugustRig, SpaceAndTheApplicationsKeyOpenTheDayMenu) {
    const std::uint32_t bar = rig_.Add({"Bar", 2026, 8, 10, 2026, 8, 12});
    rig_.Show(bar);
    const HWND hwnd = rig_.Hwnd();
    for (const UINT key : {VK_SPACE, VK_APPS}) {
        SCOPED_TRACE(key);
        Select(11, bar);
        MenuCloser closer;
        Key(hwnd, key);
        EXPECT_EQ(closer.Shown(), 1);
        EXPECT_EQ(rig_.Layout().selectedEvent, nullptr);
        EXPECT_EQ(rig_.Layout().selectedDay, 11);
        EXPECT_EQ(rig_.Wnd().MenuEventId(1), bar);  // the day menu was built
    }
    // No day, no menu.
    Key(hwnd, VK_NEXT);
    MenuCloser closer;
    Key(hwnd, VK_SPACE);
    EXPECT_EQ(closer.Shown(), 0);

    // The right button shows the menu of what it selected.
    Key(hwnd, VK_PRIOR);
    const POINT p = rig_.LinePoint(10, LineOf(10, bar));
    SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, CalendarRig::At(p));
    SendMessageA(hwnd, WM_RBUTTONUP, 0, CalendarRig::At(p));
    EXPECT_EQ(closer.Shown(), 1);
    EXPECT_EQ(rig_.Layout().selectedId, bar);
}

TEST_F(AugustRig, DayMenuListsContinuingBarsFirstThenOccurrencesByTime) {
    EventSpec ending{"Ending", 2026, 8, 9, 2026, 8, 10};
    ending.startTime = 6 * 3600;
    EventSpec early{"Early & late", 2026, 8, 10, 2026, 8, 10};  // "&" would mark a menu's key
    early.startTime = 7 * 3600 + 30 * 60;
    EventSpec skipped{"Skipped", 2026, 8, 1, 2026, 8, 31, kKindDaily};
    skipped.startTime = 8 * 3600;
    EventSpec morning{"Morning", 2026, 8, 1, 2026, 8, 31, kKindDaily};
    EventSpec along{"Long", 2026, 8, 8, 2026, 8, 12};
    along.startTime = 12 * 3600;
    const std::uint32_t endingId = rig_.Add(ending);
    const std::uint32_t earlyId = rig_.Add(early);
    const std::uint32_t skippedId = rig_.Add(skipped);
    const std::uint32_t morningId = rig_.Add(morning);
    const std::uint32_t longId = rig_.Add(along);
    rig_.Show(earlyId);
    Select(10, skippedId);
    SendMessageA(rig_.Hwnd(), WM_COMMAND, ID_EXCLUDE_OCCURRENCE, 0);

    // The event menu of the excluded occurrence: edit is the default, exclude is checked.
    ASSERT_TRUE(rig_.Layout().selectedExcluded);
    HMENU popup = nullptr;
    MenuHandle menu = rig_.Wnd().BuildContextMenu(popup);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuDefaultItem(popup, FALSE, 0), static_cast<UINT>(ID_EDIT_EVENT));
    EXPECT_TRUE(Checked(popup, ID_EXCLUDE_OCCURRENCE));
    EXPECT_EQ(MenuText(popup, 0), "View/Edit Event...\tEnter");
    Select(10, morningId);
    menu = rig_.Wnd().BuildContextMenu(popup);
    EXPECT_FALSE(Checked(popup, ID_EXCLUDE_OCCURRENCE));

    SelectDay(10);
    menu = rig_.Wnd().BuildContextMenu(popup);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuDefaultItem(popup, FALSE, 0), static_cast<UINT>(ID_NEW_EVENT));
    ASSERT_EQ(GetMenuItemCount(popup), 8);
    EXPECT_EQ(MenuText(popup, 0), "New Event...\tIns");
    const std::vector<std::pair<std::string, std::uint32_t>> expected = {
        {"Ending (/)", endingId},
        {"Long (~)", longId},
        {"Early && late (" + TimeText(7, 30) + ")", earlyId},
        {"- Skipped (" + TimeText(8, 0) + ")", skippedId},
        {"Morning (" + TimeText(9, 0) + ")", morningId},
    };
    for (UINT i = 1; i <= expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(MenuText(popup, i), expected[i - 1].first);
        EXPECT_EQ(rig_.Wnd().MenuEventId(static_cast<int>(i)), expected[i - 1].second);
        HMENU sub = GetSubMenu(popup, static_cast<int>(i));
        ASSERT_NE(sub, nullptr);
        const UINT base = ID_DAY_EVENT_BASE + 3 * i;
        EXPECT_EQ(GetMenuItemID(sub, 0), base);
        EXPECT_EQ(GetMenuItemID(sub, 1), base + 1);
        EXPECT_EQ(GetMenuItemID(sub, 3), base + 2);
        EXPECT_EQ(MenuText(sub, 0), "View/Edit...");
        EXPECT_EQ(MenuText(sub, 1), "Delete");
        EXPECT_EQ(MenuText(sub, 3), "Exclude This");
        EXPECT_EQ(Checked(sub, base + 2), expected[i - 1].second == skippedId);
    }
    EXPECT_EQ(GetMenuItemID(popup, 6), 0u);  // the separator
    EXPECT_EQ(MenuText(popup, 7), "Browse All...");
}

TEST_F(AugustRig, EveryEntryOfAFullDayActsOnItsOwnEvent) {
    std::vector<std::uint32_t> ids;
    for (int i = 0; i < 20; ++i) {
        EventSpec event{Named("Event ", i + 1), 2026, 8, 21, 2026, 8, 21};
        event.startTime = 8 * 3600 + i * 60;
        ids.push_back(rig_.Add(event));
    }
    rig_.Show(ids[0]);
    SelectDay(21);
    HMENU popup = nullptr;
    MenuHandle menu = rig_.Wnd().BuildContextMenu(popup);
    ASSERT_EQ(GetMenuItemCount(popup), 23);
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(rig_.Wnd().MenuEventId(i), ids[static_cast<std::size_t>(i - 1)]);
    const HWND hwnd = rig_.Hwnd();

    // The 15th: Exclude This.
    SendMessageA(hwnd, WM_COMMAND, ID_DAY_EVENT_BASE + 3 * 15 + 2, 0);
    EXPECT_TRUE(rig_.Store().IsExcluded(ids[14], MakeDateKey(2026, 8, 21), kKindNone));
    EXPECT_GT(ExclusionBytes(), 0);
    EXPECT_EQ(rig_.Layout().selectedId, ids[14]);
    // The 20th: View/Edit selects it and opens the editor on it.
    {
        std::string title;
        ModalDriver driver({{"View/Edit Event", [&title](HWND editor) {
                                 char text[64] = {};
                                 GetDlgItemTextA(editor, IDC_TITLE, text, sizeof text);
                                 title = text;
                                 ModalDriver::Click(editor, IDCANCEL);
                             }}});
        SendMessageA(hwnd, WM_COMMAND, ID_DAY_EVENT_LAST - 2, 0);
        EXPECT_EQ(title, "Event 20");
    }
    EXPECT_EQ(rig_.Layout().selectedId, ids[19]);
    // The 14th: Delete, confirmed.
    {
        BoxAnswerer answer(IDOK);
        SendMessageA(hwnd, WM_COMMAND, ID_DAY_EVENT_BASE + 3 * 14 + 1, 0);
        ASSERT_EQ(answer.Boxes().size(), 1u);
        EXPECT_EQ(answer.Boxes()[0].text, L"Delete the selected event?\n\"Event 14\"");
    }
    EXPECT_EQ(rig_.Store().FindEvent(ids[13]), nullptr);
    EXPECT_FALSE(EventKeyExists(ids[13]));
    EXPECT_EQ(rig_.Store().Count(), 19u);
    EXPECT_NE(rig_.Store().FindEvent(ids[14]), nullptr);
    // An entry whose event is gone does nothing.
    SendMessageA(hwnd, WM_COMMAND, ID_DAY_EVENT_BASE + 3 * 14 + 2, 0);
    EXPECT_EQ(rig_.Store().Exclusions().size(), 1u);
}

TEST_F(AugustRig, DeleteAsksAndDeletesOnlyWhatIsStillSelected) {
    const std::uint32_t dentist = rig_.Add({"Dentist", 2026, 8, 10, 2026, 8, 10});
    const std::uint32_t other = rig_.Add({"Other", 2026, 8, 10, 2026, 8, 10});
    rig_.Show(dentist);
    const HWND hwnd = rig_.Hwnd();
    {
        BoxAnswerer answer(IDCANCEL);
        Key(hwnd, VK_DELETE);
        ASSERT_EQ(answer.Boxes().size(), 1u);
        EXPECT_EQ(answer.Boxes()[0].caption, L"Delete");
        EXPECT_EQ(answer.Boxes()[0].text, L"Delete the selected event?\n\"Dentist\"");
    }
    EXPECT_NE(rig_.Store().FindEvent(dentist), nullptr);
    EXPECT_TRUE(EventKeyExists(dentist));

    // Another event deleted while the box is up: the selected one still goes.
    {
        BoxAnswerer answer(IDOK, [&] { rig_.Store().DeleteEvent(other, 0, true); });
        SendMessageA(hwnd, WM_COMMAND, ID_DELETE_EVENT, 0);
        EXPECT_EQ(answer.Boxes().size(), 1u);
    }
    EXPECT_EQ(rig_.Store().Count(), 0u);
    EXPECT_FALSE(EventKeyExists(dentist));
    EXPECT_EQ(rig_.Layout().selectedEvent, nullptr);
    EXPECT_EQ(rig_.Layout().selectedDay, 10);

    // The selected event deleted elsewhere while the box is up: nothing more happens.
    const std::uint32_t first = rig_.Add({"First", 2026, 8, 10, 2026, 8, 10});
    const std::uint32_t second = rig_.Add({"Second", 2026, 8, 10, 2026, 8, 10});
    Select(10, first);
    {
        BoxAnswerer answer(IDOK, [&] { rig_.Store().DeleteEvent(first, 0, true); });
        Key(hwnd, VK_DELETE);
        EXPECT_EQ(answer.Boxes().size(), 1u);
    }
    EXPECT_NE(rig_.Store().FindEvent(second), nullptr);
    EXPECT_EQ(rig_.Store().Count(), 1u);

    // Without an event line, no question is asked.
    SelectDay(10);
    BoxAnswerer answer(IDOK);
    Key(hwnd, VK_DELETE);
    SendMessageA(hwnd, WM_COMMAND, ID_EXCLUDE_OCCURRENCE, 0);
    EXPECT_TRUE(answer.Boxes().empty());
    EXPECT_EQ(rig_.Store().Count(), 1u);
    EXPECT_TRUE(rig_.Store().Exclusions().empty());
}

TEST_F(AugustRig, ExcludeTogglesTheSelectedOccurrence) {
    const std::uint32_t weekly = rig_.Add({"Weekly", 2026, 8, 1, 2026, 8, 31, kKindWeekly, 1 << 3});
    rig_.Show(weekly);
    Select(12, weekly);
    const HWND hwnd = rig_.Hwnd();
    EXPECT_EQ(ExclusionBytes(), -1);
    SendMessageA(hwnd, WM_COMMAND, ID_EXCLUDE_OCCURRENCE, 0);
    EXPECT_TRUE(rig_.Store().IsExcluded(weekly, MakeDateKey(2026, 8, 12), kKindWeekly));
    EXPECT_FALSE(rig_.Store().IsExcluded(weekly, MakeDateKey(2026, 8, 19), kKindWeekly));
    EXPECT_GT(ExclusionBytes(), 0);
    // The month was rebuilt with the event still selected, now excluded.
    EXPECT_EQ(rig_.Layout().selectedId, weekly);
    EXPECT_TRUE(rig_.Layout().selectedExcluded);
    EXPECT_TRUE(rig_.Layout().slots[12][LineOf(12, weekly)].excluded);

    // Chosen again on the excluded occurrence it includes it again.
    SendMessageA(hwnd, WM_COMMAND, ID_EXCLUDE_OCCURRENCE, 0);
    EXPECT_FALSE(rig_.Store().IsExcluded(weekly, MakeDateKey(2026, 8, 12), kKindWeekly));
    EXPECT_FALSE(rig_.Layout().selectedExcluded);
    EXPECT_EQ(ExclusionBytes(), -1);
}

TEST_F(AugustRig, NewEventIsRefusedOnceTheStoreIsFull) {
    const HWND hwnd = rig_.Hwnd();
    std::uint32_t last = 0;
    for (int i = 0; i < 360; ++i) last = rig_.Add({Named("E", i), 2026, 8, 1 + i % 28, 2026, 8, 1 + i % 28});
    rig_.Show(last);
    SelectDay(30);
    {
        // Room for one more: the editor opens, here to be cancelled.
        BoxAnswerer answer(IDOK);
        const auto cancel = [](HWND editor) { ModalDriver::Click(editor, IDCANCEL); };
        ModalDriver driver({{"New Event", cancel}, {"New Event", cancel}});
        Key(hwnd, VK_INSERT);
        SendMessageA(hwnd, WM_COMMAND, ID_NEW_EVENT, 0);
        EXPECT_TRUE(driver.Finished());
        EXPECT_TRUE(answer.Boxes().empty());
    }
    rig_.Add({"E360", 2026, 8, 29, 2026, 8, 29});
    ASSERT_EQ(rig_.Store().Count(), 361u);
    BoxAnswerer answer(IDOK);
    ModalDriver noEditor({}, 3000);  // an editor that opened would be ended, and this fail
    Key(hwnd, VK_INSERT);
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, CalendarRig::At(rig_.LinePoint(30, 2)));
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(300, 20));  // the strip: nothing
    ASSERT_EQ(answer.Boxes().size(), 2u);
    for (const auto& box : answer.Boxes()) {
        EXPECT_EQ(box.caption, L"Notice");
        EXPECT_EQ(box.text, L"Can't add more event.\nPlease delete some of the previous events.");
    }
    // No day selected: not even the refusal.
    Key(hwnd, VK_NEXT);
    Key(hwnd, VK_INSERT);
    EXPECT_EQ(answer.Boxes().size(), 2u);
    EXPECT_TRUE(noEditor.Finished());
}

TEST_F(AugustRig, ShowEventGoesToTheOccurrenceAtOrAfterTheGivenTime) {
    const std::uint32_t monthly = rig_.Add({"Rent", 2026, 6, 1, 2026, 12, 31, kKindMonthlyDay, 15});
    const std::uint32_t other = rig_.Add({"Other", 2026, 10, 15, 2026, 10, 15});
    const MonthLayout& layout = rig_.Layout();
    rig_.Wnd().ShowEvent(monthly, MakeLocalTime(2026, 9, 20, 0, 0, 0), false);
    EXPECT_EQ(layout.month, 10);
    EXPECT_EQ(layout.selectedDay, 15);
    EXPECT_EQ(layout.selectedId, monthly);
    // After the event's end: its first occurrence.
    rig_.Wnd().ShowEvent(monthly, MakeLocalTime(2027, 3, 1, 0, 0, 0), false);
    EXPECT_EQ(layout.month, 6);
    EXPECT_EQ(layout.selectedDay, 15);
    // An id not in the store changes nothing.
    rig_.Wnd().ShowEvent(9999, 0, false);
    EXPECT_EQ(layout.month, 6);
    EXPECT_EQ(layout.selectedId, monthly);

    rig_.Wnd().ShowEvent(other, 0, false);
    EXPECT_EQ(layout.year, 2026);
    EXPECT_EQ(layout.month, 10);
    EXPECT_EQ(layout.selectedId, other);
}

TEST_F(AugustRig, StoreChangesRebuildTheMonthAndKeepTheSelection) {
    const std::uint32_t bar = rig_.Add({"Bar", 2026, 8, 10, 2026, 8, 12});
    const std::uint32_t box = rig_.Add({"Box", 2026, 8, 1, 2026, 8, 31, kKindDaily});
    rig_.Show(bar);
    Select(11, box);
    // A changed copy replaces the item; the window re-selects it by id.
    auto copy = std::make_unique<ScheduleItem>(*rig_.Store().FindEvent(box));
    copy->title = "Renamed";
    ASSERT_TRUE(rig_.Store().SaveEvent(copy, true, false));
    ASSERT_NE(rig_.Layout().selectedEvent, nullptr);
    EXPECT_EQ(rig_.Layout().selectedEvent->item->title, "Renamed");
    EXPECT_EQ(rig_.Layout().selectedDay, 11);
    // Deleted elsewhere: the day stays selected, the line does not.
    rig_.Store().DeleteEvent(box, 0, true);
    EXPECT_EQ(rig_.Layout().selectedEvent, nullptr);
    EXPECT_EQ(rig_.Layout().selectedDay, 11);
    EXPECT_EQ(SendMessageA(rig_.Hwnd(), WM_SCHEDULECHANGED, 0, 0), 0);
}

TEST(ScheduleWnd, RegisterDeniedShowsTheKoreanNoticeWhateverTheCodePage) {
    ParkCursorOutside();
    CalendarRig rig;
    BoxAnswerer answer(IDOK);
    EXPECT_EQ(SendMessageA(rig.Hwnd(), WM_REGISTERDENIED, 1, 0), 0);
    EXPECT_TRUE(answer.Boxes().empty());
    EXPECT_EQ(SendMessageA(rig.Hwnd(), WM_REGISTERDENIED, 0, 1), 0);
    ASSERT_EQ(answer.Boxes().size(), 1u);
    EXPECT_EQ(answer.Boxes()[0].caption, L"\uC54C\uB9BC");
    EXPECT_EQ(answer.Boxes()[0].text, L"\uC77C\uC815 \uB4F1\uB85D \uAD8C\uD55C\uC774 \uC5C6\uC2B5\uB2C8\uB2E4.");
}

TEST(ScheduleWnd, HoverTimerRunsAfterAMoveAndStopsOnARightClick) {
    ParkCursorOutside();
    CalendarRig rig;
    const HWND hwnd = rig.Hwnd();
    // Killing a timer succeeds only while it runs; the probe stops it.
    const auto timerRunning = [hwnd] { return KillTimer(hwnd, CScheduleWnd::kHoverTimerId) != FALSE; };
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200));
    ASSERT_TRUE(timerRunning());
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(201, 200));
    SendMessageA(hwnd, WM_TIMER, CScheduleWnd::kHoverTimerId, 0);  // the handler stops it
    EXPECT_FALSE(timerRunning());
    // The same position again is not a move.
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(201, 200));
    EXPECT_FALSE(timerRunning());
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(202, 200));
    SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(202, 200));
    EXPECT_FALSE(timerRunning());
}

TEST(ScheduleWnd, ClosingHandsItsRectangleOverOnce) {
    ParkCursorOutside();
    CalendarRig rig;
    const HWND hwnd = rig.Hwnd();
    MoveWindow(hwnd, 100, 50, 600, 450, TRUE);
    SendMessageA(hwnd, WM_COMMAND, ID_CLOSE_BUTTON, reinterpret_cast<LPARAM>(rig.Wnd().Button(ID_CLOSE_BUTTON)));
    EXPECT_TRUE(IsWindow(hwnd));  // closed from the message loop, not inside the click
    EXPECT_FALSE(rig.closedRect.has_value());
    CalendarRig::Pump();
    EXPECT_FALSE(IsWindow(hwnd));
    ASSERT_TRUE(rig.closedRect.has_value());
    EXPECT_EQ(*rig.closedRect, (ScreenRect{100, 50, 700, 500}));
}

TEST(ScheduleWnd, AFailedCreationHandsNothingOver) {
    CalendarRig rig;  // for its context
    rig.closedRect.reset();
    RefusedCreateAsOnWindows windows;
    ASSERT_TRUE(windows.Active());
    // A clock the runtime cannot break down makes the creation step refuse.
    rig.Clock().Set(Instant{1} << 50);
    EXPECT_EQ(CScheduleWnd::CreateNew(rig.Context(), kDefaultCalendarRect, false), nullptr);
    EXPECT_FALSE(rig.closedRect.has_value());
}

// Left open past midnight, the window marks the new day within a minute,
// and This Month (Home) takes the date at once.
TEST(ScheduleWnd, LeftOpenPastMidnightMarksTheNewDay) {
    ParkCursorOutside();
    CalendarRig rig(MakeLocalTime(2026, 8, 30, 23, 59, 0));
    const MonthLayout& layout = rig.Layout();
    EXPECT_EQ(layout.todayDay, 30);
    rig.Clock().Set(MakeLocalTime(2026, 8, 31, 0, 1, 0));
    SendMessageA(rig.Hwnd(), WM_TIMER, CScheduleWnd::kDayTimerId, 0);
    EXPECT_EQ(layout.todayDay, 31);
    rig.Clock().Set(MakeLocalTime(2026, 8, 30, 9, 0, 0));  // the clock set back a day
    rig.Wnd().ThisMonth();
    EXPECT_EQ(layout.todayDay, 30);
    rig.Clock().Set(MakeLocalTime(2026, 9, 1, 0, 0, 30));
    rig.Wnd().ThisMonth();
    EXPECT_EQ(layout.month, 9);
    EXPECT_EQ(layout.todayMonth, 9);
    EXPECT_EQ(layout.todayDay, 1);
}

}  // namespace
