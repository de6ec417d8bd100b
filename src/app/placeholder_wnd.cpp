#include "app/placeholder_wnd.h"

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "ui/gdi.h"

namespace {

constexpr char kCalendarClass[] = "OrvCalendarSchedule";
constexpr char kUpcomingClass[] = "OrvCalendarDueEvent";

bool RegisterClassFor(const char* name, bool dropShadow, bool withIcon) {
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS | (dropShadow ? CS_DROPSHADOW : 0);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    if (withIcon) wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAY));
    wc.lpszClassName = name;
    return CWnd::RegisterWindowClass(wc);
}

}  // namespace

BEGIN_MESSAGE_TABLE(CPlaceholderWnd, CWnd)
    ON_MESSAGE(WM_PAINT, &CPlaceholderWnd::OnPaint)
    ON_MESSAGE(WM_DESTROY, &CPlaceholderWnd::OnDestroy)
    ON_MESSAGE(WM_RBUTTONUP, &CPlaceholderWnd::OnRButtonUp)
END_MESSAGE_TABLE()

bool CPlaceholderWnd::CreateCalendar(HWND frame, const RECT& rect, bool dropShadow) {
    frame_ = frame;
    if (!RegisterClassFor(kCalendarClass, dropShadow, true)) return false;
    return CreateEx(0, kCalendarClass, "Orv Calendar", WS_POPUP | WS_SYSMENU, rect, nullptr, 0);
}

bool CPlaceholderWnd::CreateUpcoming(HWND frame, bool dropShadow, const ScreenRect& workArea) {
    frame_ = frame;
    if (!RegisterClassFor(kUpcomingClass, dropShadow, false)) return false;
    const RECT initial = {-100, -100, -90, -90};
    if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kUpcomingClass, "Upcoming Events",
                  WS_POPUP | WS_CLIPCHILDREN | WS_BORDER, initial, nullptr, 0)) {
        return false;
    }
    // Its first place: the bottom-right corner of the work area.
    constexpr int kWidth = 200;
    constexpr int kHeight = 40;
    SetWindowPos(hwnd_, nullptr, workArea.right - 10 - kWidth, workArea.bottom - kHeight, kWidth, kHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    return true;
}

LRESULT CPlaceholderWnd::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(hwnd_);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const COLORREF fill = childCode_ == CHILD_UPCOMING ? GetSysColor(COLOR_INFOBK)
                          : theMainFrame != nullptr    ? theMainFrame->Prefs().BkgColor
                                                       : RGB(255, 255, 255);
    BrushHandle brush(CreateSolidBrush(fill));
    FillRect(dc, &rc, brush);
    return 0;
}

LRESULT CPlaceholderWnd::OnRButtonUp(WPARAM, LPARAM) {
    if (childCode_ == CHILD_UPCOMING) DestroyWindow();  // a right-click closes it
    return 0;
}

LRESULT CPlaceholderWnd::OnDestroy(WPARAM, LPARAM) {
    if (childCode_ == CHILD_CALENDAR && theMainFrame != nullptr) {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        if (GetWindowPlacement(hwnd_, &placement)) {
            const RECT& r = placement.rcNormalPosition;
            theMainFrame->Prefs().ScheRect = ScreenRect{r.left, r.top, r.right, r.bottom};
        }
    }
    if (frame_ != nullptr) SendMessageA(frame_, WM_CHILDCLOSED, childCode_, 0);
    return 0;
}
