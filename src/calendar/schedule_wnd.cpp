// The calendar window's life: creation, fonts, background, timers, the
// paint entry points and the end. Its other jobs live in the schedule_*.cpp
// files named for them.
#include "calendar/schedule_wnd.h"

#include <tuple>
#include <utility>

#include "calendar/calendar_ids.h"
#include "core/calendar.h"
#include "core/product.h"
#include "platform/win32/trace.h"
#include "ui/buffered_paint.h"
#include "ui/desktop_metrics.h"
#include "ui/window_dpi.h"
#include "wallpaper/wallpaper.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr int kSampleMeasureFlags = DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;  // 0xD20

// The notice is Korean whatever the user's code page, so it goes through the
// wide-character box: "you have no permission to register events", "notice".
constexpr wchar_t kRegisterDeniedText[] =
    L"\uC77C\uC815 \uB4F1\uB85D \uAD8C\uD55C\uC774 \uC5C6\uC2B5\uB2C8\uB2E4.";
constexpr wchar_t kRegisterDeniedCaption[] = L"\uC54C\uB9BC";

}  // namespace

BEGIN_MESSAGE_TABLE(CScheduleWnd, CWnd)
    ON_MESSAGE(WM_CREATE, &CScheduleWnd::OnCreate)
    ON_MESSAGE(WM_SIZE, &CScheduleWnd::OnSize)
    ON_MESSAGE(WM_GETMINMAXINFO, &CScheduleWnd::OnGetMinMaxInfo)
    ON_MESSAGE(WM_SETCURSOR, &CScheduleWnd::OnSetCursor)
    ON_MESSAGE(WM_LBUTTONDOWN, &CScheduleWnd::OnLButtonDown)
    ON_MESSAGE(WM_LBUTTONDBLCLK, &CScheduleWnd::OnLButtonDblClk)
    ON_MESSAGE(WM_RBUTTONDOWN, &CScheduleWnd::OnRButtonDown)
    ON_MESSAGE(WM_RBUTTONUP, &CScheduleWnd::OnRButtonUp)
    ON_MESSAGE(WM_MOUSEMOVE, &CScheduleWnd::OnMouseMove)
    ON_MESSAGE(WM_KEYDOWN, &CScheduleWnd::OnKeyDown)
    ON_MESSAGE(WM_TIMER, &CScheduleWnd::OnTimer)
    ON_MESSAGE(WM_PAINT, &CScheduleWnd::OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, &CScheduleWnd::OnPrintClient)
    ON_MESSAGE(WM_ERASEBKGND, &CScheduleWnd::OnEraseBkgnd)
    ON_MESSAGE(WM_DESTROY, &CScheduleWnd::OnDestroy)
    ON_MESSAGE(WM_SCHEDULECHANGED, &CScheduleWnd::OnScheduleChanged)
    ON_MESSAGE(WM_REGISTERDENIED, &CScheduleWnd::OnRegisterDenied)
    ON_MESSAGE(WM_DPICHANGED, &CScheduleWnd::OnDpiChanged)
    ON_MESSAGE(WM_GETOBJECT, &CScheduleWnd::OnGetObject)
    ON_COMMAND(ID_CLOSE_BUTTON, &CScheduleWnd::OnCloseButton)
    ON_COMMAND(ID_PREV_MONTH, &CScheduleWnd::PrevMonth)
    ON_COMMAND(ID_NEXT_MONTH, &CScheduleWnd::NextMonth)
    ON_COMMAND(ID_THIS_MONTH, &CScheduleWnd::ThisMonth)
    ON_COMMAND(ID_NEW_EVENT, &CScheduleWnd::NewEvent)
    ON_COMMAND(ID_BROWSE_ALL, &CScheduleWnd::BrowseAll)
    ON_COMMAND(ID_EDIT_EVENT, &CScheduleWnd::EditEvent)
    ON_COMMAND(ID_DELETE_EVENT, &CScheduleWnd::DeleteSelectedEvent)
    ON_COMMAND(ID_EXCLUDE_OCCURRENCE, &CScheduleWnd::ExcludeSelectedOccurrence)
    ON_COMMAND_RANGE(ID_DAY_EVENT_FIRST, ID_DAY_EVENT_LAST, &CScheduleWnd::OnDayEventCommand)
END_MESSAGE_TABLE()

CScheduleWnd* CScheduleWnd::CreateNew(const ScheduleWndContext& context, const RECT& rect, bool dropShadow) {
    if (context.store == nullptr || context.prefs == nullptr || context.clock == nullptr || context.names == nullptr) {
        return nullptr;
    }
    WindowCreation creation;
    creation.wndClass.style = CS_DBLCLKS | (dropShadow ? CS_DROPSHADOW : 0);
    creation.wndClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    creation.wndClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY));
    creation.wndClass.lpszClassName = kClassName;
    creation.title = kCalendarTitle;
    creation.style = WS_POPUP | WS_SYSMENU;
    creation.rect = rect;
    auto* wnd = CreateSelfDeleting<CScheduleWnd>(creation, [&] { return new CScheduleWnd(context); });
    if (wnd != nullptr) wnd->dropShadow_ = dropShadow;
    return wnd;
}

void CScheduleWnd::PostNcDestroy() { delete this; }

HWND CScheduleWnd::Button(UINT id) const {
    switch (id) {
        case ID_CLOSE_BUTTON:
            return closeButton_.Hwnd();
        case ID_PREV_MONTH:
            return prevButton_.Hwnd();
        case ID_NEXT_MONTH:
            return nextButton_.Hwnd();
        case ID_THIS_MONTH:
            return thisMonthButton_.Hwnd();
        default:
            return nullptr;
    }
}

bool CScheduleWnd::TakeToday() {
    LocalFields now;
    if (!BreakDownLocal(context_.clock->Now(), now)) return false;
    return layout_.SetToday(now.year, now.month, now.day);
}

LRESULT CScheduleWnd::OnCreate(WPARAM, LPARAM) {
    LocalFields now;
    if (!BreakDownLocal(context_.clock->Now(), now)) return -1;
    TakeToday();
    layout_.SetMetrics(MonthMetrics(WindowDpi(hwnd_)));
    CreateFonts();
    MeasureLineHeight();
    if (!layout_.SetupMonth(now.year, now.month)) return -1;
    layout_.SelectDay(now.day);  // the window opens with today selected
    backColor_ = context_.prefs->BkgColor;
    ReloadBackImage();
    todayColor_ = GetSysColor(COLOR_ACTIVECAPTION);
    if (Default() == -1) return -1;

    thisMonthButton_.caption = "This Month";
    for (const auto& [button, id, glyph] : {std::tuple{&closeButton_, ID_CLOSE_BUTTON, CCloseButton::GlyphCross},
                                            std::tuple{&prevButton_, ID_PREV_MONTH, CCloseButton::GlyphLeft},
                                            std::tuple{&nextButton_, ID_NEXT_MONTH, CCloseButton::GlyphRight},
                                            std::tuple{&thisMonthButton_, ID_THIS_MONTH, CCloseButton::GlyphCaption}}) {
        button->glyph = glyph;
        ORV_CHECK(button->Create(hwnd_, RECT{}, id, WS_EX_TRANSPARENT));
    }
    PlaceButtons();
    ORV_CHECK(SetTimer(hwnd_, kDayTimerId, kDayCheckMs, nullptr) != 0);
    created_ = true;
    return 0;
}

void CScheduleWnd::PlaceButtons() {
    const DpiScale s = layout_.metrics.scale;
    struct Place {
        const CCloseButton& button;
        RECT rect;  // at 96 DPI
    };
    // The close button keeps to the right edge: its place follows the size.
    const int closeLeft = layout_.clientWidth > 0 ? layout_.clientWidth - s(17) : s(10);
    const int closeTop = layout_.clientWidth > 0 ? s(6) : s(10);
    const Place places[] = {
        {prevButton_, {28, 14, 42, 28}},
        {nextButton_, {166, 14, 180, 28}},
        {thisMonthButton_, {193, 14, 253, 28}},
    };
    if (closeButton_.Hwnd() != nullptr) {
        SetWindowPos(closeButton_, nullptr, closeLeft, closeTop, s(11), s(11), SWP_NOACTIVATE | SWP_NOZORDER);
    }
    for (const Place& p : places) {
        if (p.button.Hwnd() == nullptr) continue;
        const RECT r = {s(p.rect.left), s(p.rect.top), s(p.rect.right), s(p.rect.bottom)};
        SetWindowPos(p.button, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOACTIVATE | SWP_NOZORDER);
    }
}

void CScheduleWnd::ApplyDpi(int dpi) {
    layout_.SetMetrics(MonthMetrics(dpi));
    CreateFonts();
    MeasureLineHeight();
    // The size is set again by the move to the suggested rectangle.
    layout_.SetClientSize(layout_.clientWidth, layout_.clientHeight);
    for (CCloseButton* button : {&closeButton_, &prevButton_, &nextButton_, &thisMonthButton_}) {
        button->font.Reset();  // made again for the new DPI at the next draw
    }
    PlaceButtons();
    ReloadBackImage();
}

// Moved onto a monitor of another scale, or the scale changed: everything is
// drawn again at the new DPI, in the rectangle Windows suggests.
LRESULT CScheduleWnd::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    CloseTip();
    ApplyDpi(HIWORD(wParam));
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, FALSE);
    return 0;
}

void CScheduleWnd::CreateFonts() {
    const int dpi = layout_.metrics.scale.dpi;
    LOGFONTW logfont = {};
    GetIconTitleLogFont(logfont, dpi);  // a failed query leaves the system's default font
    headerFont_.Reset(CreateFontIndirectW(&logfont));
    eventFont_.Reset(CreateFontIndirectW(&logfont));
    LOGFONTW bold = logfont;
    bold.lfWeight = 600;
    dayFont_.Reset(CreateFontIndirectW(&bold));
    LOGFONTW title = bold;
    title.lfHeight = -MulDiv(120, dpi, 720);  // 12 points at the window's resolution
    titleFont_.Reset(CreateFontIndirectW(&title));
}

void CScheduleWnd::MeasureLineHeight() {
    layout_.lineHeight = layout_.metrics.defaultLineHeight;
    WindowDc dc(hwnd_);
    if (dc.Get() == nullptr) return;
    DcState state(dc);
    SelectObject(dc, eventFont_);
    RECT rc = {};
    const int height = DrawTextW(dc, Wide(kAppTitle).c_str(), -1, &rc, kSampleMeasureFlags);
    if (height > 0) layout_.lineHeight = height + layout_.metrics.lineHeightPad;
}

LRESULT CScheduleWnd::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam == kDayTimerId) {
        if (TakeToday()) InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    }
    if (wParam == kHoverTimerId) ShowTip();
    return 0;
}

LRESULT CScheduleWnd::OnPaint(WPARAM, LPARAM) {
    if (!PaintInvalidPart(hwnd_, [this](HDC dc, const RECT& clip) { return Paint(dc, clip); })) return 0;
    if (context_.painted) std::exchange(context_.painted, nullptr)();
    return 0;
}

LRESULT CScheduleWnd::OnPrintClient(WPARAM wParam, LPARAM) {
    PrintClient(hwnd_, reinterpret_cast<HDC>(wParam), [this](HDC dc, const RECT& clip) { return Paint(dc, clip); });
    return 0;
}

LRESULT CScheduleWnd::OnDestroy(WPARAM, LPARAM) {
    StopHoverTimer();
    // A window whose creation failed was never shown: its rectangle is not the user's.
    if (created_) {
        created_ = false;
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        if (GetWindowPlacement(hwnd_, &placement) && context_.closed) {
            const RECT& r = placement.rcNormalPosition;
            context_.closed(ScreenRect{r.left, r.top, r.right, r.bottom});
        }
    }
    CloseTip();
    accessible_.Reset();
    return Default();
}

LRESULT CScheduleWnd::OnScheduleChanged(WPARAM, LPARAM) {
    layout_.LayoutMonth(true);
    InvalidateDays();
    return 0;
}

LRESULT CScheduleWnd::OnRegisterDenied(WPARAM, LPARAM lParam) {
    if (lParam != 0) MessageBoxW(hwnd_, kRegisterDeniedText, kRegisterDeniedCaption, MB_ICONEXCLAMATION | MB_OK);
    return 0;
}

void CScheduleWnd::OnCloseButton() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void CScheduleWnd::RefreshBackColor() { backColor_ = context_.prefs->BkgColor; }

void CScheduleWnd::ReloadBackImage() {
    const std::string& path = context_.prefs->BkgImgFile;
    const bool fit = context_.prefs->BkgImgFit != 0;
    if (path.empty()) {
        backImage_.Reset();
    } else if (GdipBitmap image = LoadScreenSizedWallpaper(path, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                                           GetSystemMetrics(SM_CYVIRTUALSCREEN), fit)) {
        // No window is larger than the screen: the rest of a photo need not stay in memory.
        backImage_ = std::move(image);
        backImageFit_ = fit;
    }  // a file that cannot be loaded leaves the earlier wallpaper on screen
    backDirty_ = true;
}

void CScheduleWnd::InvalidateDays() {
    if (hwnd_ == nullptr) return;
    RECT rc;
    GetClientRect(hwnd_, &rc);
    rc.top = layout_.metrics.daysTop;
    InvalidateRect(hwnd_, &rc, FALSE);
}
