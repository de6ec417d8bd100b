#include "upcoming/due_event_wnd.h"

#include <windowsx.h>

#include <optional>
#include <string>

#include "ui/buffered_paint.h"
#include "ui/window_messages.h"
#include "upcoming/upcoming_ids.h"
#include "ui/desktop_metrics.h"
#include "ui/window_dpi.h"
#include "core/calendar.h"
#include "platform/win32/win32_date_format.h"
#include "platform/win32/trace.h"
#include "reminder/snooze_times.h"
#include "ui/close_button.h"
#include "ui/gdi.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr UINT kTextFlags = DT_SINGLELINE | DT_NOPREFIX;
constexpr UINT kMeasureFlags = DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE;
constexpr char kTitle[] = "Upcoming Events";
constexpr const char* kSnoozeTexts[kSnoozeChoices] = {"5 minutes", "10 minutes", "15 minutes", "30 minutes",
                                                      "1 hour",    "2 hours",    "Tomorrow"};

// A row's tick or clock button lives as long as its window: rebuilding the
// rows may destroy it from inside its own click.
class CTickButton final : public CCloseButton {
protected:
    void PostNcDestroy() override { delete this; }
};

// Measures in the window's font on a device context taken when first needed.
class WindowTextMetrics final : public DueTextMetrics {
public:
    WindowTextMetrics(HWND hwnd, HFONT font, std::optional<WindowDc>& dc) : hwnd_(hwnd), font_(font), dc_(dc) {}

    std::int32_t TextWidth(const std::string& text) override {
        if (!dc_) {
            dc_.emplace(hwnd_);
            if (font_ != nullptr) SelectObject(*dc_, font_);
        }
        RECT rc = {};
        DrawTextW(*dc_, Wide(text).c_str(), -1, &rc, kMeasureFlags);
        return rc.right - rc.left;
    }

    std::string FormatTime(Instant start) override { return FormatShortTime(start); }
    std::string FormatDate(Instant start) override { return FormatShortDate(start); }

private:
    HWND hwnd_;
    HFONT font_;
    std::optional<WindowDc>& dc_;
};

}  // namespace

BEGIN_MESSAGE_TABLE(CDueEventWnd, CWnd)
    ON_MESSAGE(WM_SCHEDULECHANGED, &CDueEventWnd::OnScheduleChanged)
    // Owner-drawn buttons also report double-clicks; only a click dismisses.
    ON_BN_CLICKED_RANGE(ID_DISMISS_FIRST, ID_DISMISS_LAST, &CDueEventWnd::OnDismissClicked)
    ON_BN_CLICKED_RANGE(ID_SNOOZE_FIRST, ID_SNOOZE_LAST, &CDueEventWnd::OnSnoozeClicked)
    ON_COMMAND_RANGE(ID_SNOOZE_5_MINUTES, ID_SNOOZE_TOMORROW, &CDueEventWnd::OnSnoozeChoice)
    ON_MESSAGE(WM_CONTEXTMENU, &CDueEventWnd::OnContextMenu)
    ON_MESSAGE(WM_LBUTTONDOWN, &CDueEventWnd::OnLButtonDown)
    ON_MESSAGE(WM_LBUTTONDBLCLK, &CDueEventWnd::OnLButtonDblClk)
    ON_MESSAGE(WM_RBUTTONUP, &CDueEventWnd::OnRButtonUp)
    ON_MESSAGE(WM_TIMER, &CDueEventWnd::OnTimer)
    ON_MESSAGE(WM_MOVE, &CDueEventWnd::OnMove)
    ON_MESSAGE(WM_PAINT, &CDueEventWnd::OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, &CDueEventWnd::OnPrintClient)
    ON_MESSAGE(WM_ERASEBKGND, &CDueEventWnd::OnEraseBkgnd)
    ON_MESSAGE(WM_DESTROY, &CDueEventWnd::OnDestroy)
    ON_MESSAGE(WM_DPICHANGED, &CDueEventWnd::OnDpiChanged)
    ON_MESSAGE(WM_GETOBJECT, &CDueEventWnd::OnGetObject)
END_MESSAGE_TABLE()

CDueEventWnd* CDueEventWnd::OpenNew(const DueEventContext& context, bool dropShadow) {
    WindowCreation creation;
    creation.wndClass.style = CS_DBLCLKS | (dropShadow ? CS_DROPSHADOW : 0);
    creation.wndClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    creation.wndClass.lpszClassName = kClassName;
    creation.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    creation.title = kTitle;
    creation.style = WS_POPUP | WS_CLIPCHILDREN | WS_BORDER;
    creation.rect = {-100, -100, -90, -90};
    auto* wnd = CreateSelfDeleting<CDueEventWnd>(creation, [&] { return new CDueEventWnd(context); });
    if (wnd != nullptr) wnd->Open();
    return wnd;
}

void CDueEventWnd::PostNcDestroy() { delete this; }

void CDueEventWnd::Open() {
    LoadPosition();
    BuildList();
    shown_ = true;
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void CDueEventWnd::LoadPosition() { anchor_.LoadPosition(*context_.registry, *context_.desktop); }

void CDueEventWnd::SavePosition() { anchor_.SavePosition(*context_.registry); }

void CDueEventWnd::BuildList() {
    const bool timerWasRunning = blinkTimer_;
    std::optional<WindowDc> dc;
    if (list_.emptyTextWidth == 0) {
        dc.emplace(hwnd_);
        LOGFONTW logfont = {};
        if (!font_) {
            // A DPI change makes its own font for the new scale.
            list_.scale = DpiScale{WindowDpi(hwnd_)};
            if (GetIconTitleLogFont(logfont, list_.scale.dpi)) font_.Reset(CreateFontIndirectW(&logfont));
        }
        if (font_) SelectObject(*dc, font_);
        RECT rc = {};
        DrawTextW(*dc, Wide(kNoUpcomingText).c_str(), -1, &rc, kMeasureFlags);
        list_.SetTextMetrics(rc.right - rc.left, rc.bottom - rc.top);
    }
    DestroyTickButtons();
    list_.maxHeight = anchor_.work.bottom - anchor_.work.top;
    {
        WindowTextMetrics metrics(hwnd_, font_, dc);
        list_.Build(*context_.pending, context_.clock->Now(), context_.prefs->UewHours, metrics);
    }
    dc.reset();  // restores its font before the window moves
    CreateTickButtons();

    const DueSize size = list_.ContentSize();
    if (list_.Resize(size)) {
        SetWindowPos(hwnd_, nullptr, anchor_.WindowLeft(size.width), anchor_.FittedTop(size.height), size.width,
                     size.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    if (list_.lastBlinkRow >= 0 && !timerWasRunning) {
        list_.blinkOn = true;
        ORV_CHECK(SetTimer(hwnd_, kBlinkTimerId, kBlinkShownMs, nullptr) != 0);
        blinkTimer_ = true;
    } else if (list_.lastBlinkRow < 0 && timerWasRunning) {
        KillTimer(hwnd_, kBlinkTimerId);
        blinkTimer_ = false;
    }
}

namespace {

CCloseButton* MakeRowButton(HWND parent, int glyph, const DueRect& r, UINT id) {
    auto* button = new CTickButton;
    button->glyph = glyph;
    button->faceColor = GetSysColor(COLOR_INFOBK);
    if (!button->Create(parent, RECT{r.left, r.top, r.right, r.bottom}, id, 0)) {
        delete button;  // no window: nothing will delete it
        return nullptr;
    }
    return button;
}

void DestroyButtons(std::array<CCloseButton*, kMaxDueRows>& buttons) {
    for (CCloseButton*& button : buttons) {
        if (button != nullptr) {
            CCloseButton* b = button;
            button = nullptr;
            b->DestroyWindow();  // the button deletes itself
        }
    }
}

}  // namespace

void CDueEventWnd::CreateTickButtons() {
    const int begun = list_.BegunRowCount();
    for (int i = 0; i < begun; ++i)
        buttons_[i] = MakeRowButton(hwnd_, CCloseButton::GlyphTick, list_.TickButtonRect(i), ID_DISMISS_FIRST + i);
    for (int i = 0; i <= list_.lastRow; ++i) {
        if (list_.HasSnoozeButton(i)) {
            snoozeButtons_[i] =
                MakeRowButton(hwnd_, CCloseButton::GlyphClock, list_.SnoozeButtonRect(i), ID_SNOOZE_FIRST + i);
        }
    }
}

void CDueEventWnd::DestroyTickButtons() {
    DestroyButtons(buttons_);
    DestroyButtons(snoozeButtons_);
}

HWND CDueEventWnd::TickButton(int row) const {
    if (row < 0 || row >= kMaxDueRows || buttons_[row] == nullptr) return nullptr;
    return buttons_[row]->Hwnd();
}

HWND CDueEventWnd::SnoozeButton(int row) const {
    if (row < 0 || row >= kMaxDueRows || snoozeButtons_[row] == nullptr) return nullptr;
    return snoozeButtons_[row]->Hwnd();
}

LRESULT CDueEventWnd::OnScheduleChanged(WPARAM code, LPARAM record) {
    switch (code) {
        case kUpcomingDeleted:
        case kUpcomingRefresh:
        case kUpcomingRebuild:
            if (code == kUpcomingDeleted && context_.eventExists) list_.ForgetDeletedEvents(context_.eventExists);
            BuildList();
            InvalidateRect(hwnd_, nullptr, FALSE);
            break;
        case kUpcomingBegun:
        case kUpcomingMissed:
            // The sender rebuilds right after; the record is freed on return.
            if (record != 0) {
                std::optional<WindowDc> dc;
                WindowTextMetrics metrics(hwnd_, font_, dc);
                auto& r = *reinterpret_cast<PendingReminder*>(record);
                if (code == kUpcomingBegun) {
                    list_.AppendNotification(r, metrics);
                } else {
                    list_.AppendMissed(r, metrics);
                }
            }
            break;
        default:
            break;
    }
    return 0;
}

void CDueEventWnd::OnDismissClicked(UINT id) { Dismiss(static_cast<int>(id - ID_DISMISS_FIRST)); }

void CDueEventWnd::Dismiss(int k) {
    if (!list_.RemoveNotification(k)) return;
    CloseIfEmpty();
}

void CDueEventWnd::OnSnoozeClicked(UINT id) { OpenSnoozeMenu(static_cast<int>(id - ID_SNOOZE_FIRST)); }

void CDueEventWnd::OpenSnoozeMenu(int row) {
    if (!list_.HasSnoozeButton(row)) return;
    const DueRow& r = list_.rows[row];
    snoozeTarget_ = {true, r.eventId, r.start};
    MenuHandle menu(CreatePopupMenu());
    if (!menu) return;
    for (int i = 0; i < kSnoozeChoices; ++i) AppendMenuW(menu, MF_STRING, ID_SNOOZE_5_MINUTES + i, Wide(kSnoozeTexts[i]).c_str());
    const DueRect b = list_.SnoozeButtonRect(row);
    POINT at = {b.left, b.bottom};
    ClientToScreen(hwnd_, &at);
    // As with the tray's menu: a click elsewhere must close it.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void CDueEventWnd::OnSnoozeChoice(UINT id) {
    if (!snoozeTarget_.set) return;
    const SnoozeTarget target = snoozeTarget_;
    snoozeTarget_ = {};
    Instant until = 0;
    if (!SnoozeUntil(context_.clock->Now(), static_cast<int>(id - ID_SNOOZE_5_MINUTES), until)) return;
    // Its notification leaves now, the snooze brings it back: also one that
    // began while the menu was open.
    std::int32_t k = 0;
    for (const DueRow& n : list_.notifications) {
        if (n.eventId == target.eventId && n.start == target.start) break;
        ++k;
    }
    list_.RemoveNotification(k);
    if (context_.snooze) context_.snooze(target.eventId, target.start, until);
    CloseIfEmpty();
}

// Shift+F10 or the menu key: the snooze menu of the first row that has one.
LRESULT CDueEventWnd::OnContextMenu(WPARAM, LPARAM lParam) {
    if (lParam != -1) return 0;
    for (int i = 0; i <= list_.lastRow; ++i) {
        if (list_.HasSnoozeButton(i)) {
            OpenSnoozeMenu(i);
            break;
        }
    }
    return 0;
}

void CDueEventWnd::CloseIfEmpty() {
    BuildList();
    if (list_.lastRow == -1 && context_.prefs->UewStartup == 0) {
        DestroyWindow();
    } else {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

LRESULT CDueEventWnd::OnLButtonDown(WPARAM, LPARAM) {
    // The system's move loop drags the window as if by its caption.
    PostMessageW(hwnd_, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    return 0;
}

LRESULT CDueEventWnd::OnLButtonDblClk(WPARAM, LPARAM lParam) {
    const DueHit hit = list_.HitTest(GET_Y_LPARAM(lParam));
    if (hit.open && context_.openCalendar) context_.openCalendar(hit.eventId, hit.start);
    return 0;
}

LRESULT CDueEventWnd::OnRButtonUp(WPARAM, LPARAM) {
    DestroyWindow();
    return 0;
}

LRESULT CDueEventWnd::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam != kBlinkTimerId) return Default();
    list_.blinkOn = !list_.blinkOn;
    const DueRect r = list_.BlinkRect();
    const RECT rc = {r.left, r.top, r.right, r.bottom};
    InvalidateRect(hwnd_, &rc, FALSE);
    ORV_CHECK(SetTimer(hwnd_, kBlinkTimerId, list_.blinkOn ? kBlinkShownMs : kBlinkHiddenMs, nullptr) != 0);
    return 0;
}

LRESULT CDueEventWnd::OnMove(WPARAM, LPARAM lParam) {
    if (!shown_) return 0;
    // The client origin lies inside the border; the anchor is the outer edge.
    RECT window;
    POINT client = {0, 0};
    GetWindowRect(hwnd_, &window);
    ClientToScreen(hwnd_, &client);
    anchor_.TrackMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), client.x - window.left, list_.winWidth,
                      list_.winHeight,
                      context_.desktop->WorkAreaOf({window.left, window.top, window.right, window.bottom}));
    return 0;
}

LRESULT CDueEventWnd::OnPaint(WPARAM, LPARAM) {
    PaintInvalidPart(hwnd_, [this](HDC dc, const RECT& clip) { return Paint(dc, clip); });
    return 0;
}

LRESULT CDueEventWnd::OnPrintClient(WPARAM wParam, LPARAM) {
    PrintClient(hwnd_, reinterpret_cast<HDC>(wParam), [this](HDC dc, const RECT& clip) { return Paint(dc, clip); });
    return 0;
}

bool CDueEventWnd::Paint(HDC dc, const RECT& clip) {
    // Nothing before the show step has laid the rows out.
    if (!shown_) return false;
    DcState state(dc);
    if (font_) SelectObject(dc, font_);
    const COLORREF back = GetSysColor(COLOR_INFOBK);
    BrushHandle brush(CreateSolidBrush(back));
    FillRect(dc, &clip, brush);
    SetTextColor(dc, GetSysColor(list_.lastRow >= 0 ? COLOR_INFOTEXT : COLOR_GRAYTEXT));
    SetBkColor(dc, back);
    for (const DueLine& line : list_.LinesToPaint(clip.top, clip.bottom)) {
        RECT rc = {line.rect.left, line.rect.top, line.rect.right, line.rect.bottom};
        DrawTextW(dc, Wide(line.text).c_str(), -1, &rc, kTextFlags);
    }
    return true;
}

LRESULT CDueEventWnd::OnDestroy(WPARAM, LPARAM) {
    KillTimer(hwnd_, kBlinkTimerId);
    blinkTimer_ = false;
    if (context_.frame != nullptr) SendMessageW(context_.frame, WM_CHILDCLOSED, CHILD_UPCOMING, 0);
    DestroyTickButtons();
    accessible_.Reset();
    Default();
    SavePosition();
    return 0;
}

// Dragged onto a monitor of another scale: the text is measured again in a
// font for it, and the window keeps its anchor at its new size.
LRESULT CDueEventWnd::OnDpiChanged(WPARAM wParam, LPARAM) {
    list_.scale = DpiScale{HIWORD(wParam)};
    LOGFONTW logfont = {};
    if (GetIconTitleLogFont(logfont, list_.scale.dpi)) font_.Reset(CreateFontIndirectW(&logfont));
    {
        std::optional<WindowDc> dc;
        WindowTextMetrics metrics(hwnd_, font_, dc);
        list_.Remeasure(*context_.pending, metrics);
    }
    BuildList();
    InvalidateRect(hwnd_, nullptr, FALSE);
    return 0;
}
