#include "calendar/tip_wnd.h"

#include <algorithm>

#include "ui/buffered_paint.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr UINT kMeasureFlags = DT_CALCRECT | DT_NOPREFIX;  // 0xC00
constexpr UINT kDrawFlags = DT_NOPREFIX;                   // 0x800: an ampersand shows as itself
constexpr COLORREF kPastColor = RGB(255, 0, 0);
// At 96 DPI.
constexpr int kTextLeft = 5;
constexpr int kTextTop = 6;
// The widest line plus 15 and the sum of the line steps plus 11, border included.
constexpr int kExtraWidth = 15;
constexpr int kExtraHeight = 11;

}  // namespace

BEGIN_MESSAGE_TABLE(CTipWnd, CWnd)
    ON_MESSAGE(WM_CREATE, &CTipWnd::OnCreate)
    ON_MESSAGE(WM_ERASEBKGND, &CTipWnd::OnEraseBkgnd)
    ON_MESSAGE(WM_PAINT, &CTipWnd::OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, &CTipWnd::OnPrintClient)
    ON_MESSAGE(WM_MOUSEACTIVATE, &CTipWnd::OnMouseActivate)
    ON_MESSAGE(WM_NCHITTEST, &CTipWnd::OnNcHitTest)
END_MESSAGE_TABLE()

CTipWnd* CTipWnd::OpenNew(const TipContext& context, const ScheduleItem& item, POINT cursor) {
    WindowCreation creation;
    creation.wndClass.style = context.dropShadow ? CS_DROPSHADOW : 0;
    creation.wndClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    creation.wndClass.lpszClassName = kClassName;
    creation.exStyle = WS_EX_TOOLWINDOW | WS_EX_NOPARENTNOTIFY;
    creation.title = "ScheTip";
    creation.style = WS_POPUP | WS_BORDER;
    const int gap = context.scale(kCursorGap);
    creation.rect = {cursor.x, cursor.y + gap, cursor.x, cursor.y + gap};
    return CreateSelfDeleting<CTipWnd>(creation, [&] {
        auto* tip = new CTipWnd(context, cursor);
        tip->item_ = std::make_unique<ScheduleItem>(item);
        return tip;
    });
}

void CTipWnd::PostNcDestroy() { delete this; }

LRESULT CTipWnd::OnCreate(WPARAM, LPARAM) {
    if (context_.font) font_.Reset(CreateFontIndirectW(&*context_.font));
    if (Default() == -1) return -1;
    lines_ = MakeTipLines(*item_, context_.clock->Now(), *context_.format, *context_.names);
    WindowDc dc(hwnd_);
    LayoutAndDraw(dc, true);
    return 0;
}

void CTipWnd::LayoutAndDraw(HDC dc, bool measure) {
    DcState state(dc);
    if (font_) SelectObject(dc, font_);
    SetBkColor(dc, GetSysColor(COLOR_INFOBK));
    if (measure) {
        for (const std::string& line : lines_) {
            if (line.empty()) break;
            RECT r = {0, 0, 0, 0};
            DrawTextW(dc, Wide(line).c_str(), -1, &r, kMeasureFlags);
            textExtent_.right = std::max(textExtent_.right, r.right - r.left);
            lineStep_ = r.bottom - r.top + 2;
            textExtent_.bottom += lineStep_;
        }
        RECT window;
        GetWindowRect(hwnd_, &window);
        const ScreenRect sized = {window.left, window.top,
                                  window.left + (textExtent_.right - textExtent_.left) + context_.scale(kExtraWidth),
                                  window.top + (textExtent_.bottom - textExtent_.top) + context_.scale(kExtraHeight)};
        const ScreenRect r = PlaceTip(sized, context_.desktop->WorkAreaAt(cursor_.x, cursor_.y));
        SetWindowPos(hwnd_, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
        return;
    }
    const int left = context_.scale(kTextLeft);
    const int top = context_.scale(kTextTop);
    RECT r = {left, top, textExtent_.right + left, textExtent_.bottom + top};
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    for (std::size_t i = 0; i < 4; ++i) {
        DrawTextW(dc, Wide(lines_[i]).c_str(), -1, &r, kDrawFlags);
        r.top += lineStep_;
    }
    if (!lines_[4].empty()) {
        SetTextColor(dc, kPastColor);
        DrawTextW(dc, Wide(lines_[4]).c_str(), -1, &r, kDrawFlags);
    }
}

LRESULT CTipWnd::OnEraseBkgnd(WPARAM wParam, LPARAM) {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    RECT clip;
    GetClipBox(dc, &clip);
    FillRect(dc, &clip, GetSysColorBrush(COLOR_INFOBK));
    return 1;
}

LRESULT CTipWnd::OnPaint(WPARAM, LPARAM) {
    PaintInvalidPart(hwnd_, [this](HDC dc, const RECT& clip) { return Draw(dc, clip); });
    return 0;
}

LRESULT CTipWnd::OnPrintClient(WPARAM wParam, LPARAM) {
    PrintClient(hwnd_, reinterpret_cast<HDC>(wParam), [this](HDC dc, const RECT& clip) { return Draw(dc, clip); });
    return 0;
}

bool CTipWnd::Draw(HDC dc, const RECT& clip) {
    FillRect(dc, &clip, GetSysColorBrush(COLOR_INFOBK));
    LayoutAndDraw(dc, false);
    return true;
}
