#include "app/placeholder_wnd.h"

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "ui/gdi.h"

namespace {

constexpr char kCalendarClass[] = "OrvCalendarSchedule";

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
END_MESSAGE_TABLE()

bool CPlaceholderWnd::CreateCalendar(HWND frame, const RECT& rect, bool dropShadow) {
    frame_ = frame;
    if (!RegisterClassFor(kCalendarClass, dropShadow, true)) return false;
    return CreateEx(0, kCalendarClass, "Orv Calendar", WS_POPUP | WS_SYSMENU, rect, nullptr, 0);
}

LRESULT CPlaceholderWnd::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(hwnd_);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const COLORREF fill = theMainFrame != nullptr ? theMainFrame->Prefs().BkgColor : RGB(255, 255, 255);
    BrushHandle brush(CreateSolidBrush(fill));
    FillRect(dc, &rc, brush);
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
