#include "calendar/schedule_wnd.h"

#include <windowsx.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "core/product.h"
#include "calendar/tip_wnd.h"
#include "dialogs/editor_commit.h"
#include "dialogs/sche_browser_dlg.h"
#include "wallpaper/wallpaper.h"
#include "dialogs/write_failure.h"
#include "platform/win32/win32_date_format.h"
#include "platform/win32/trace.h"
#include "calendar/calendar_ids.h"
#include "ui/desktop_metrics.h"

namespace {

constexpr int kSampleMeasureFlags = DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;  // 0xD20

// The notice is Korean whatever the user's code page, so it goes through the
// wide-character box: "you have no permission to register events", "notice".
constexpr wchar_t kRegisterDeniedText[] =
    L"\uC77C\uC815 \uB4F1\uB85D \uAD8C\uD55C\uC774 \uC5C6\uC2B5\uB2C8\uB2E4.";
constexpr wchar_t kRegisterDeniedCaption[] = L"\uC54C\uB9BC";

// The sizing edge under a client point: WMSZ_ codes, 0 inside.
// A title as a menu shows it: "&" as itself, not as the mark of a key, and
// a tab not as the start of the shortcut column.
std::string MenuLabel(const std::string& title) {
    std::string label;
    for (char c : title) {
        if (c == '&') label += '&';
        label += c == '\t' ? ' ' : c;
    }
    return label;
}

int EdgeAt(int x, int y, int cx, int cy) {
    const int e = CScheduleWnd::kEdge;
    const bool top = y < e;
    const bool bottom = y >= cy - e;
    if (x < e) return top ? WMSZ_TOPLEFT : bottom ? WMSZ_BOTTOMLEFT : WMSZ_LEFT;
    if (x >= cx - e) return top ? WMSZ_TOPRIGHT : bottom ? WMSZ_BOTTOMRIGHT : WMSZ_RIGHT;
    return top ? WMSZ_TOP : bottom ? WMSZ_BOTTOM : 0;
}

LPCSTR EdgeCursor(int edge) {
    switch (edge) {
        case WMSZ_LEFT:
        case WMSZ_RIGHT:
            return IDC_SIZEWE;
        case WMSZ_TOP:
        case WMSZ_BOTTOM:
            return IDC_SIZENS;
        case WMSZ_TOPLEFT:
        case WMSZ_BOTTOMRIGHT:
            return IDC_SIZENWSE;
        default:
            return IDC_SIZENESW;
    }
}

// A time of day as the user's locale writes it, without seconds.
std::string FormatTimeOfDay(int secondsAfterMidnight) {
    const int t = ((secondsAfterMidnight % 86400) + 86400) % 86400;
    SYSTEMTIME st = {};
    st.wYear = 2000;
    st.wMonth = 1;
    st.wDay = 1;
    st.wHour = static_cast<WORD>(t / 3600);
    st.wMinute = static_cast<WORD>(t / 60 % 60);
    st.wSecond = static_cast<WORD>(t % 60);
    char text[30] = {};
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, sizeof text) == 0) return {};
    return text;
}

// 12 points in the screen's resolution, as a point font is made.
LONG PointHeight(int tenthsOfPoint) {
    WindowDc screen(nullptr);
    POINT height = {0, MulDiv(GetDeviceCaps(screen, LOGPIXELSY), tenthsOfPoint, 720)};
    POINT origin = {0, 0};
    DPtoLP(screen, &height, 1);
    DPtoLP(screen, &origin, 1);
    return -std::abs(height.y - origin.y);
}

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
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS | (dropShadow ? CS_DROPSHADOW : 0);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAY));
    wc.lpszClassName = kClassName;
    if (!RegisterWindowClass(wc)) return nullptr;

    auto* wnd = new CScheduleWnd(context);
    // A window that fails during creation has already deleted its object.
    bool destroyed = false;
    wnd->destroyedFlag_ = &destroyed;
    const bool created =
        ORV_CHECK(wnd->CreateEx(0, kClassName, kCalendarTitle, WS_POPUP | WS_SYSMENU, rect, nullptr, 0));
    if (destroyed) return nullptr;
    wnd->destroyedFlag_ = nullptr;
    if (!created) {
        delete wnd;
        return nullptr;
    }
    wnd->dropShadow_ = dropShadow;
    return wnd;
}

void CScheduleWnd::PostNcDestroy() {
    if (destroyedFlag_ != nullptr) *destroyedFlag_ = true;
    delete this;
}

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
    if (layout_.todayYear == now.year && layout_.todayMonth == now.month && layout_.todayDay == now.day) return false;
    layout_.todayYear = now.year;
    layout_.todayMonth = now.month;
    layout_.todayDay = now.day;
    return true;
}

LRESULT CScheduleWnd::OnCreate(WPARAM, LPARAM) {
    LocalFields now;
    if (!BreakDownLocal(context_.clock->Now(), now)) return -1;
    TakeToday();
    CreateFonts();
    MeasureLineHeight();
    if (!layout_.SetupMonth(now.year, now.month)) return -1;
    layout_.selectedDay = now.day;  // the window opens with today selected
    backColor_ = context_.prefs->BkgColor;
    ReloadBackImage();
    todayColor_ = GetSysColor(COLOR_ACTIVECAPTION);
    if (Default() == -1) return -1;

    struct ButtonSpec {
        CCloseButton& button;
        UINT id;
        int glyph;
        RECT rect;
    };
    thisMonthButton_.caption = "This Month";
    const ButtonSpec buttons[] = {
        {closeButton_, ID_CLOSE_BUTTON, CCloseButton::GlyphCross, {10, 10, 21, 21}},
        {prevButton_, ID_PREV_MONTH, CCloseButton::GlyphLeft, {28, 14, 42, 28}},
        {nextButton_, ID_NEXT_MONTH, CCloseButton::GlyphRight, {166, 14, 180, 28}},
        {thisMonthButton_, ID_THIS_MONTH, CCloseButton::GlyphCaption, {193, 14, 253, 28}},
    };
    for (const ButtonSpec& b : buttons) {
        b.button.glyph = b.glyph;
        ORV_CHECK(b.button.Create(hwnd_, b.rect, b.id, WS_EX_TRANSPARENT));
    }
    ORV_CHECK(SetTimer(hwnd_, kDayTimerId, kDayCheckMs, nullptr) != 0);
    created_ = true;
    return 0;
}

void CScheduleWnd::CreateFonts() {
    LOGFONTA logfont = {};
    GetIconTitleLogFont(logfont);  // a failed query leaves the system's default font
    headerFont_.Reset(CreateFontIndirectA(&logfont));
    eventFont_.Reset(CreateFontIndirectA(&logfont));
    LOGFONTA bold = logfont;
    bold.lfWeight = 600;
    dayFont_.Reset(CreateFontIndirectA(&bold));
    LOGFONTA title = bold;
    title.lfHeight = PointHeight(120);
    titleFont_.Reset(CreateFontIndirectA(&title));
}

void CScheduleWnd::MeasureLineHeight() {
    layout_.lineHeight = MonthLayout::kDefaultLineHeight;
    WindowDc dc(hwnd_);
    if (dc.Get() == nullptr) return;
    SelectObject(dc, eventFont_);
    RECT rc = {};
    const int height = DrawTextA(dc, kAppTitle, -1, &rc, kSampleMeasureFlags);
    if (height > 0) layout_.lineHeight = height + 4;
}

LRESULT CScheduleWnd::OnSize(WPARAM wParam, LPARAM lParam) {
    if (wParam == SIZE_MINIMIZED) return 0;
    const int cx = LOWORD(lParam);
    const int cy = HIWORD(lParam);
    if (cx == layout_.clientWidth && cy == layout_.clientHeight) return 0;
    layout_.SetClientSize(cx, cy);
    if (closeButton_.Hwnd() != nullptr) {
        SetWindowPos(closeButton_, nullptr, cx - 17, 6, 0, 0,
                     SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    backDirty_ = true;
    InvalidateRect(hwnd_, nullptr, FALSE);
    return 0;
}

LRESULT CScheduleWnd::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = kMinWidth;
    info->ptMinTrackSize.y = kMinHeight;
    return 0;
}

LRESULT CScheduleWnd::OnSetCursor(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return Default();
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(hwnd_, &pt);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    sizeEdge_ = EdgeAt(pt.x, pt.y, rc.right, rc.bottom);
    if (sizeEdge_ == 0) return Default();
    SetCursor(LoadCursor(nullptr, EdgeCursor(sizeEdge_)));
    return TRUE;
}

LRESULT CScheduleWnd::OnLButtonDown(WPARAM, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (sizeEdge_ > 0) {
        PostMessageA(hwnd_, WM_SYSCOMMAND, SC_SIZE + sizeEdge_, 0);
    } else if (y < kTitleHeight) {
        PostMessageA(hwnd_, WM_SYSCOMMAND, SC_MOVE + 2, 0);  // move by dragging: the strip acts as a caption
    } else {
        SelectAt(x, y);
    }
    return 0;
}

LRESULT CScheduleWnd::OnLButtonDblClk(WPARAM, LPARAM lParam) {
    if (sizeEdge_ > 0 || GET_Y_LPARAM(lParam) < kTitleHeight) return 0;
    StopHoverTimer();
    CloseTip();
    // The button-down before it has already selected.
    if (layout_.selectedEvent != nullptr) {
        EditEvent();
    } else if (layout_.selectedDay > 0) {
        NewEvent();
    }
    return 0;
}

LRESULT CScheduleWnd::OnRButtonDown(WPARAM, LPARAM lParam) {
    Default();
    StopHoverTimer();
    CloseTip();
    SelectAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CScheduleWnd::OnRButtonUp(WPARAM, LPARAM lParam) {
    Default();
    ShowContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CScheduleWnd::OnMouseMove(WPARAM, LPARAM lParam) {
    Default();
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (x == lastMouseX_ && y == lastMouseY_) return 0;
    lastMouseX_ = x;
    lastMouseY_ = y;
    CloseTip();
    ORV_CHECK(SetTimer(hwnd_, kHoverTimerId, kHoverDelayMs, nullptr) != 0);
    return 0;
}

LRESULT CScheduleWnd::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam == kDayTimerId) {
        if (TakeToday()) InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    }
    if (wParam != kHoverTimerId) return 0;
    StopHoverTimer();
    if (tip_ != nullptr || GetForegroundWindow() != hwnd_) return 0;
    POINT pt;
    GetCursorPos(&pt);
    POINT client = pt;
    ScreenToClient(hwnd_, &client);
    const DaySlot* slot = layout_.SlotFromPoint(client.x, client.y);
    if (slot == nullptr || context_.desktop == nullptr || context_.format == nullptr) return 0;
    TipContext tip{context_.clock, context_.desktop, context_.format, context_.names, std::nullopt, dropShadow_};
    LOGFONTA font = {};
    if (GetIconTitleLogFont(font)) tip.font = font;
    if (CTipWnd* wnd = CTipWnd::OpenNew(tip, *slot->event->item, pt)) tip_ = wnd->Hwnd();
    return 0;
}

LRESULT CScheduleWnd::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(hwnd_);
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR) return 0;
    Paint(dc, clip);
    if (context_.painted) std::exchange(context_.painted, nullptr)();
    return 0;
}

LRESULT CScheduleWnd::OnPrintClient(WPARAM wParam, LPARAM) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    Paint(reinterpret_cast<HDC>(wParam), rc);
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

void CScheduleWnd::OnCloseButton() { PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

bool CScheduleWnd::PreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != hwnd_ && GetAncestor(msg.hwnd, GA_PARENT) != hwnd_) return false;
    // Every key pressed in the window or on its buttons is the window's,
    // handled through its own table so that it may safely close the window.
    Invoke(hwnd_, WM_KEYDOWN, msg.wParam, msg.lParam);
    return true;
}

LRESULT CScheduleWnd::OnKeyDown(WPARAM key, LPARAM) {
    switch (key) {
        case VK_RETURN:
            EditEvent();
            break;
        case VK_SPACE:
        case VK_APPS:
            // The keyboard always opens the day menu.
            if (layout_.selectedDay > 0) {
                if (layout_.selectedEvent != nullptr) {
                    layout_.selectedEvent = nullptr;
                    layout_.selectedId = 0;
                    InvalidateDays();
                }
                const int day = layout_.selectedDay;
                ShowContextMenu(layout_.DayColumn(day) * layout_.cellWidth + 18,
                                layout_.DayRow(day) * layout_.cellHeight + 75);
            }
            break;
        case VK_PRIOR:
            PrevMonth();
            break;
        case VK_NEXT:
            NextMonth();
            break;
        case VK_HOME:
            ThisMonth();
            break;
        case VK_LEFT:
            MoveSelectedDay(-1);
            break;
        case VK_UP:
            MoveSelectedDay(-7);
            break;
        case VK_RIGHT:
            MoveSelectedDay(1);
            break;
        case VK_DOWN:
            MoveSelectedDay(7);
            break;
        case VK_INSERT:
            NewEvent();
            break;
        case VK_DELETE:
            DeleteSelectedEvent();
            break;
        default:
            break;
    }
    return 0;
}

void CScheduleWnd::MoveSelectedDay(int delta) {
    int day = layout_.selectedDay + delta;
    if (day <= 0) day = layout_.daysInMonth;
    if (day > layout_.daysInMonth) day = 1;
    layout_.selectedDay = day;
    layout_.selectedEvent = nullptr;
    layout_.selectedId = 0;
    InvalidateDays();
}

void CScheduleWnd::SelectAt(int x, int y) {
    if (layout_.SelectAt(x, y)) InvalidateDays();
}

void CScheduleWnd::InvalidateDays() {
    if (hwnd_ == nullptr) return;
    RECT rc;
    GetClientRect(hwnd_, &rc);
    rc.top = MonthLayout::kDaysTop;
    InvalidateRect(hwnd_, &rc, FALSE);
}

void CScheduleWnd::StopHoverTimer() {
    if (hwnd_ != nullptr) KillTimer(hwnd_, kHoverTimerId);
}

void CScheduleWnd::CloseTip() {
    if (tip_ == nullptr) return;
    ::DestroyWindow(tip_);
    tip_ = nullptr;
}

MenuHandle CScheduleWnd::BuildContextMenu(HMENU& popup) {
    popup = nullptr;
    const int day = layout_.selectedDay;
    if (day <= 0 && layout_.selectedEvent == nullptr) return {};
    MenuHandle menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_POPUPS)));
    if (!menu) return menu;

    if (layout_.selectedEvent != nullptr) {
        popup = GetSubMenu(menu, POPUP_CALENDAR_EVENT);
        SetMenuDefaultItem(popup, ID_EDIT_EVENT, FALSE);
        CheckMenuItem(popup, ID_EXCLUDE_OCCURRENCE,
                      MF_BYCOMMAND | (layout_.selectedExcluded ? MF_CHECKED : MF_UNCHECKED));
        return menu;
    }

    popup = GetSubMenu(menu, POPUP_CALENDAR_DAY);
    SetMenuDefaultItem(popup, ID_NEW_EVENT, FALSE);
    menuEventIds_.fill(0);
    if (day >= MonthLayout::kDaysTableSize) return menu;

    // The day's events: bars that continue through the day first, then the
    // occurrences that begin on it by time of day; equal keys in line order.
    struct Entry {
        std::uint32_t id;
        int sortKey;
        std::string text;
        bool excluded;
    };
    std::vector<Entry> entries;
    for (int k = 1; k <= MonthLayout::kMaxLines; ++k) {
        const DaySlot& slot = layout_.slots[day][k];
        if (slot.event == nullptr) continue;
        const ScheduleItem& item = *slot.event->item;
        Entry entry{item.front.id, 0, MenuLabel(item.title), slot.excluded};
        if (slot.startsHere) {
            entry.text += " (" + FormatTimeOfDay(item.front.startTime) + ")";
            entry.sortKey = item.front.startTime;
        } else {
            entry.text += slot.endsHere ? " (/)" : " (~)";
        }
        if (entry.excluded) entry.text.insert(0, "- ");
        auto at = entries.begin();
        while (at != entries.end() && at->sortKey <= entry.sortKey) ++at;
        entries.insert(at, std::move(entry));
    }

    UINT position = 1;  // after "New Event..."
    for (const Entry& entry : entries) {
        const UINT i = position;
        const UINT base = ID_DAY_EVENT_BASE + 3 * i;
        MenuHandle sub(CreatePopupMenu());
        if (!sub) break;
        AppendMenuA(sub, MF_STRING, base, "View/Edit...");
        AppendMenuA(sub, MF_STRING, base + 1, "Delete");
        AppendMenuA(sub, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(sub, MF_STRING | (entry.excluded ? MF_CHECKED : MF_UNCHECKED), base + 2, "Exclude This");
        if (!InsertMenuA(popup, i, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub.Get()),
                         entry.text.c_str())) {
            break;
        }
        sub.Release();  // the day menu owns it now
        menuEventIds_[i] = entry.id;
        ++position;
    }
    return menu;
}

void CScheduleWnd::ShowContextMenu(int x, int y) {
    StopHoverTimer();
    CloseTip();
    HMENU popup = nullptr;
    const MenuHandle menu = BuildContextMenu(popup);
    if (!menu || popup == nullptr) return;
    POINT pt = {x, y};
    ClientToScreen(hwnd_, &pt);
    TrackPopupMenu(popup, 0, pt.x, pt.y, 0, hwnd_, nullptr);
}

void CScheduleWnd::OnDayEventCommand(UINT id) {
    const UINT i = (id - ID_DAY_EVENT_BASE) / 3;
    const UINT operation = (id - ID_DAY_EVENT_BASE) % 3;
    if (i < 1 || i > MonthLayout::kMaxLines) return;
    const std::uint32_t eventId = menuEventIds_[i];
    if (eventId == 0 || !layout_.SelectEventById(eventId)) return;
    InvalidateDays();
    switch (operation) {
        case 0:
            EditEvent();
            break;
        case 1:
            DeleteSelectedEvent();
            break;
        default:
            ExcludeSelectedOccurrence();
            break;
    }
}

ScheduleDlgContext CScheduleWnd::EditorContext() const {
    return {context_.registry, context_.clock, context_.names, context_.installPath, context_.editorShell};
}

// The editor runs a modal loop: the month may be rebuilt meanwhile, or the
// window destroyed with the editor (Exit, the end of the session), which then
// saves nothing. Only ids and values are carried across it.
void CScheduleWnd::NewEvent() {
    if (layout_.selectedDay <= 0) return;
    StopHoverTimer();
    CloseTip();
    RunNewEvent(hwnd_, EditorContext(), *context_.store, layout_.year, layout_.month, layout_.selectedDay);
}

void CScheduleWnd::EditEvent() {
    if (layout_.selectedEvent != nullptr) EditEvent(layout_.selectedEvent->item->front.id);
}

void CScheduleWnd::EditEvent(std::uint32_t eventId) {
    StopHoverTimer();
    CloseTip();
    RunEditEvent(hwnd_, EditorContext(), *context_.store, eventId);
}

void CScheduleWnd::BrowseAll() {
    ScheBrowserContext browser;
    browser.store = context_.store;
    browser.shortDate = &FormatShortDate;
    // Called once the browser has closed; this window outlives its own handler.
    browser.editEvent = [this](std::uint32_t eventId) {
        if (hwnd_ == nullptr) return;
        // The event it picked, even one the calendar cannot show (no occurrence).
        ShowEvent(eventId, context_.clock->Now(), false);
        if (hwnd_ != nullptr) EditEvent(eventId);
    };
    CScheBrowserDlg(std::move(browser)).Run(hwnd_);
}

void CScheduleWnd::DeleteSelectedEvent() {
    if (layout_.selectedEvent == nullptr) return;
    const std::uint32_t id = layout_.selectedEvent->item->front.id;
    const std::string text = "Delete the selected event?\n\"" + layout_.selectedEvent->item->title + "\"";
    if (MessageBoxA(hwnd_, text.c_str(), "Delete", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    // The box ran a message loop: the store may have changed and the month
    // been rebuilt, or the window closed. Only the event still selected goes.
    if (hwnd_ == nullptr) return;
    if (layout_.selectedEvent == nullptr || layout_.selectedEvent->item->front.id != id) return;
    if (!context_.store->DeleteEvent(id, 0, true)) ShowWriteFailure(hwnd_, kNotDeletedText);
}

void CScheduleWnd::ExcludeSelectedOccurrence() {
    if (layout_.selectedEvent == nullptr || layout_.selectedDay <= 0) return;
    if (!context_.store->ToggleExclusion(layout_.selectedId, layout_.year, layout_.month, layout_.selectedDay,
                                         layout_.selectedEvent->item->front.recurKind))
        ShowWriteFailure(hwnd_, kExclusionNotSavedText);
}

void CScheduleWnd::ShowEvent(std::uint32_t eventId, Instant from, bool openEditor) {
    const ScheduleItem* item = context_.store->FindEvent(eventId);
    if (item == nullptr) return;
    const ScheduleFront& f = item->front;
    const Instant last = IsEndless(f) ? kLatestInstant : static_cast<Instant>(f.endDate);
    Instant start = 0;
    if (!(from <= last && FindOccurrence(*item, from, last, &start)) &&
        !FindOccurrence(*item, f.startDate, last, &start)) {
        return;
    }
    LocalFields at;
    if (!BreakDownLocal(start, at)) return;
    if ((at.year != layout_.year || at.month != layout_.month) && !layout_.SetupMonth(at.year, at.month)) return;
    layout_.selectedDay = at.day;
    // Whatever was selected before must not stay selected beside the shown day.
    layout_.selectedEvent = nullptr;
    layout_.selectedId = 0;
    layout_.SelectEventById(eventId);
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (openEditor) EditEvent(eventId);
}

void CScheduleWnd::ShowMonth(int year, int month) {
    // Months the runtime cannot convert are out of reach; the display stays.
    if (!layout_.SetupMonth(year, month)) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void CScheduleWnd::PrevMonth() {
    if (layout_.month <= 1) {
        ShowMonth(layout_.year - 1, 12);
    } else {
        ShowMonth(layout_.year, layout_.month - 1);
    }
}

void CScheduleWnd::NextMonth() {
    if (layout_.month >= 12) {
        ShowMonth(layout_.year + 1, 1);
    } else {
        ShowMonth(layout_.year, layout_.month + 1);
    }
}

void CScheduleWnd::ThisMonth() {
    LocalFields now;
    if (!BreakDownLocal(context_.clock->Now(), now)) return;
    const bool dayMoved = TakeToday();
    if (layout_.year != now.year || layout_.month != now.month) {
        if (!layout_.SetupMonth(now.year, now.month)) return;
    } else if (!dayMoved) {
        return;
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

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
