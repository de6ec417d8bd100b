#include "ui/close_button.h"

#include <initializer_list>

#include "platform/dpi_scale.h"
#include "ui/point_font.h"
#include "ui/window_dpi.h"
#include "platform/win32/wide_text.h"

namespace {

// Every button of the process draws with the same four objects, made on first
// use and kept until the process ends, so a window full of buttons does not
// create and delete GDI objects on every paint.
struct DrawingTools {
    PenHandle blackPen{CreatePen(PS_SOLID, 1, RGB(0, 0, 0))};
    PenHandle whitePen{CreatePen(PS_SOLID, 1, RGB(255, 255, 255))};
    BrushHandle blackBrush{CreateSolidBrush(RGB(0, 0, 0))};
    BrushHandle silverBrush{CreateSolidBrush(RGB(192, 192, 192))};
};

const DrawingTools& Tools() {
    static const DrawingTools tools;
    return tools;
}

void Line(HDC dc, std::initializer_list<POINT> points) {
    const POINT* p = points.begin();
    MoveToEx(dc, p->x, p->y, nullptr);
    for (++p; p != points.end(); ++p) LineTo(dc, p->x, p->y);
}

// 8-point Arial at the window's resolution.
HFONT CreateCaptionFont(HDC dc, int dpi) {
    LOGFONTW lf = {};
    const int dcDpi = GetDeviceCaps(dc, LOGPIXELSY);
    lf.lfHeight = PointFontHeight(dc, 80);
    if (dcDpi > 0 && dcDpi != dpi) lf.lfHeight = MulDiv(lf.lfHeight, dpi, dcDpi);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"Arial", LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

}  // namespace

BEGIN_MESSAGE_TABLE(CCloseButton, CWnd)
    ON_MESSAGE(WM_ERASEBKGND, &CCloseButton::OnEraseBkgnd)
END_MESSAGE_TABLE()

bool CCloseButton::Create(HWND parent, const RECT& rect, UINT id, DWORD exStyle) {
    HWND hwnd = CreateWindowExW(exStyle, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) return false;
    if (!SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    SetWindowTextW(hwnd, Wide(caption).c_str());
    transparent = (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    return true;
}

void CCloseButton::DrawItem(const DRAWITEMSTRUCT& item) {
    const int isPressed = (item.itemState & ODS_SELECTED) != 0 ? 1 : 0;
    if (transparent && isPressed != pressed) {
        pressed = isPressed;
        if (pressed == 0) {
            // Just released: the pressed look covered the parent's background,
            // so let the parent paint it again; the button follows.
            HWND parent = GetParent(hwnd_);
            RECT rc;
            GetWindowRect(hwnd_, &rc);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
            InvalidateRect(parent, &rc, TRUE);
            return;
        }
    }

    HDC dc = item.hDC;
    DcState state(dc);  // the DC belongs to the system: leave it as it came
    const DrawingTools& tools = Tools();
    if (isPressed != 0) {
        FillRect(dc, &item.rcItem, tools.blackBrush);
        SelectObject(dc, tools.whitePen);
        SetTextColor(dc, RGB(255, 255, 255));
    } else {
        RECT shadow;
        CopyRect(&shadow, &item.rcItem);
        OffsetRect(&shadow, 1, 1);
        if (!transparent) {
            BrushHandle face(CreateSolidBrush(faceColor));
            FillRect(dc, &shadow, face);
        }
        FrameRect(dc, &shadow, tools.silverBrush);
        FrameRect(dc, &item.rcItem, tools.blackBrush);
        SelectObject(dc, tools.blackPen);
        SetTextColor(dc, RGB(0, 0, 0));
    }
    DrawGlyph(dc, item.rcItem);
}

void CCloseButton::DrawGlyph(HDC dc, const RECT& rc) {
    const int dpi = WindowDpi(hwnd_);
    const DpiScale s{dpi};  // the glyphs' insets are given at 96 DPI
    const LONG l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    const LONG m = (b - t) / 2;
    switch (glyph) {
        case GlyphCross:
            Line(dc, {{l + s(2), t + s(2)}, {r - s(2), b - s(2)}});
            Line(dc, {{l + s(2), b - s(3)}, {r - s(2), t + s(1)}});
            break;
        case GlyphLeft:
            Line(dc, {{l + s(3), m}, {r - s(5), t + s(3)}, {r - s(5), b - s(4)}, {l + s(3), m}});
            break;
        case GlyphCaption: {
            if (!font) font.Reset(CreateCaptionFont(dc, dpi));
            SelectScope selected(dc, font);
            SetBkMode(dc, TRANSPARENT);
            RECT text = rc;
            DrawTextW(dc, Wide(caption).c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            break;
        }
        case GlyphTick:
            Line(dc, {{l + s(3), t + s(4)}, {l + s(3), b - s(3)}, {r - s(2), t + s(2)}});
            break;
        case GlyphClock: {
            // A face and two hands; the same start and end point draw the whole round.
            const LONG cx = l + (r - l) / 2;
            const LONG cy = t + m;
            Arc(dc, l + s(2), t + s(2), r - s(1), b - s(1), cx, t + s(2), cx, t + s(2));
            Line(dc, {{cx, t + s(3)}, {cx, cy}, {r - s(3), cy}});
            break;
        }
        default:
            Line(dc, {{r - s(4), m}, {l + s(4), t + s(3)}, {l + s(4), b - s(4)}, {r - s(4), m}});
            break;
    }
}
