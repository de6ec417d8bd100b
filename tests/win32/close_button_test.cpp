// The glyph button: its pixel lines, looks, caption, and its life as a child
// window (transparent release repaint, clicks reaching the parent).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/dib_canvas.h"
#include "ui/close_button.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kMagenta = RGB(255, 0, 255);  // what the button did not touch
constexpr COLORREF kFace = RGB(255, 255, 225);

using Pixels = std::set<std::pair<int, int>>;

void Draw(CCloseButton& button, DibCanvas& canvas, int width, int height, UINT state = 0) {
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button.Hwnd();
    item.hDC = canvas.Dc();
    item.rcItem = RECT{0, 0, width, height};
    button.DrawItem(item);
}

// Inside the frame and the silver line along its inside (x, y >= 2), every
// pixel is the line colour exactly when it is listed.
void ExpectGlyph(const DibCanvas& canvas, int width, int height, const Pixels& lines, COLORREF ink,
                 COLORREF background) {
    for (int y = 2; y < height - 1; ++y) {
        for (int x = 2; x < width - 1; ++x) {
            const bool onLine = lines.count({x, y}) != 0;
            EXPECT_EQ(canvas.At(x, y), onLine ? ink : background) << "(" << x << ", " << y << ")";
        }
    }
}

// The flat look of an unpressed w x h button at the origin: a black frame on
// the item rectangle over a silver frame one pixel right and down.
void ExpectFrame(const DibCanvas& canvas, int w, int h) {
    for (int i = 0; i < w; ++i) {
        EXPECT_EQ(canvas.At(i, 0), kBlack) << i;
        EXPECT_EQ(canvas.At(i, h - 1), kBlack) << i;
    }
    for (int i = 0; i < h; ++i) {
        EXPECT_EQ(canvas.At(0, i), kBlack) << i;
        EXPECT_EQ(canvas.At(w - 1, i), kBlack) << i;
    }
    for (int i = 1; i <= w; ++i) EXPECT_EQ(canvas.At(i, h), kSilver) << i;  // shadow below
    for (int i = 1; i <= h; ++i) EXPECT_EQ(canvas.At(w, i), kSilver) << i;  // shadow right
    EXPECT_EQ(canvas.At(1, h / 2), kSilver);  // the shadow frame's other sides, inside
    EXPECT_EQ(canvas.At(w / 2, 1), kSilver);
    EXPECT_EQ(canvas.At(w, 0), kMagenta);
    EXPECT_EQ(canvas.At(0, h), kMagenta);
    EXPECT_EQ(canvas.At(w + 1, h / 2), kMagenta);
    EXPECT_EQ(canvas.At(w / 2, h + 1), kMagenta);
}

TEST(CloseButton, TenByTenTickDrawsItsTwoLinesWithoutEndPoints) {
    CCloseButton button;
    button.glyph = CCloseButton::GlyphTick;
    button.faceColor = kFace;
    DibCanvas canvas(16, 16, kMagenta);
    Draw(button, canvas, 10, 10);

    // (3,4)-(3,7), then (3,7)-(8,2); (8,2) itself is not drawn.
    const Pixels tick = {{3, 4}, {3, 5}, {3, 6}, {3, 7}, {4, 6}, {5, 5}, {6, 4}, {7, 3}};
    ExpectGlyph(canvas, 10, 10, tick, kBlack, kFace);
    EXPECT_EQ(canvas.At(8, 2), kFace);
    ExpectFrame(canvas, 10, 10);
}

TEST(CloseButton, CrossDrawsBothDiagonals) {
    CCloseButton button;
    button.glyph = CCloseButton::GlyphCross;
    DibCanvas canvas(16, 16, kMagenta);
    Draw(button, canvas, 11, 11);  // the calendar window's close button

    Pixels cross;
    for (int i = 2; i <= 8; ++i) {
        cross.insert({i, i});       // (2,2) to (9,9)
        cross.insert({i, 10 - i});  // (2,8) to (9,1)
    }
    ExpectGlyph(canvas, 11, 11, cross, kBlack, kWhite);  // default face colour
    ExpectFrame(canvas, 11, 11);
}

// Line pixels of the triangles that any line rasteriser must set: the
// vertices, the vertical edge, and points where an edge crosses pixel centres.
TEST(CloseButton, TrianglesPointLeftAndRight) {
    struct Case {
        int glyph;
        Pixels on;
        Pixels off;
    };
    const Case cases[] = {
        // left: (3,7) to (9,3) to (9,10) to (3,7)
        {CCloseButton::GlyphLeft,
         {{3, 7}, {9, 3}, {9, 4}, {9, 5}, {9, 6}, {9, 7}, {9, 8}, {9, 9}, {9, 10}, {6, 5}, {5, 8}, {7, 9}},
         {{2, 7}, {10, 7}, {7, 7}, {8, 6}, {6, 7}, {3, 3}, {3, 10}, {10, 3}, {9, 2}, {9, 11}}},
        // right: (10,7) to (4,3) to (4,10) to (10,7)
        {CCloseButton::GlyphRight,
         {{10, 7}, {4, 3}, {4, 4}, {4, 5}, {4, 6}, {4, 7}, {4, 8}, {4, 9}, {4, 10}, {7, 5}, {6, 9}, {8, 8}},
         {{3, 7}, {11, 7}, {6, 7}, {5, 6}, {7, 7}, {10, 3}, {10, 10}, {3, 3}, {4, 2}, {4, 11}}},
        // any glyph not listed draws the right triangle
        {4, {{10, 7}, {4, 3}, {4, 10}, {7, 5}}, {{6, 7}, {3, 7}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.glyph);
        CCloseButton button;
        button.glyph = c.glyph;
        DibCanvas canvas(20, 20, kMagenta);
        Draw(button, canvas, 14, 14);
        for (const auto& [x, y] : c.on) EXPECT_EQ(canvas.At(x, y), kBlack) << "(" << x << ", " << y << ")";
        for (const auto& [x, y] : c.off) EXPECT_EQ(canvas.At(x, y), kWhite) << "(" << x << ", " << y << ")";
        ExpectFrame(canvas, 14, 14);
    }
}

TEST(CloseButton, TransparentButtonLeavesTheBackgroundUnfilled) {
    CCloseButton button;
    button.glyph = CCloseButton::GlyphTick;
    button.faceColor = kFace;
    button.transparent = true;
    DibCanvas canvas(16, 16, kMagenta);
    Draw(button, canvas, 10, 10);
    const Pixels tick = {{3, 4}, {3, 5}, {3, 6}, {3, 7}, {4, 6}, {5, 5}, {6, 4}, {7, 3}};
    ExpectGlyph(canvas, 10, 10, tick, kBlack, kMagenta);
    ExpectFrame(canvas, 10, 10);
}

TEST(CloseButton, PressedLookIsBlackWithWhiteLinesAndNoShadow) {
    CCloseButton button;
    button.glyph = CCloseButton::GlyphTick;
    button.faceColor = kFace;
    DibCanvas canvas(16, 16, kMagenta);
    Draw(button, canvas, 10, 10, ODS_SELECTED);

    const Pixels tick = {{3, 4}, {3, 5}, {3, 6}, {3, 7}, {4, 6}, {5, 5}, {6, 4}, {7, 3}};
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(canvas.At(x, y), tick.count({x, y}) ? kWhite : kBlack) << "(" << x << ", " << y << ")";
        }
    }
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(canvas.At(10, i), kMagenta) << i;
        EXPECT_EQ(canvas.At(i, 10), kMagenta) << i;
    }
}

TEST(CloseButton, DrawingLeavesTheDeviceContextAsItCame) {
    CCloseButton button;
    button.glyph = CCloseButton::GlyphCaption;
    button.caption = "This Month";
    DibCanvas canvas(64, 16, kWhite);
    HGDIOBJ pen = GetCurrentObject(canvas.Dc(), OBJ_PEN);
    HGDIOBJ font = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    const COLORREF text = SetTextColor(canvas.Dc(), RGB(1, 2, 3));
    Draw(button, canvas, 60, 14, ODS_SELECTED);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(canvas.Dc()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(canvas.Dc()), OPAQUE);
    SetTextColor(canvas.Dc(), text);
}

// Bounding box of the pixels of one colour inside (x0, y0)-(x1, y1).
RECT InkBox(const DibCanvas& canvas, COLORREF ink, int x0, int y0, int x1, int y1) {
    RECT box = {x1, y1, x0, y0};
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (canvas.At(x, y) != ink) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box;
}

TEST(CloseButton, CaptionIsCentredInEightPointArial) {
    CCloseButton button;
    button.glyph = CCloseButton::GlyphCaption;
    button.caption = "This Month";
    button.transparent = true;
    // Wider than the calendar's 60 pixels: the substitute for Arial on a
    // test machine may be wider than Arial, and centring is what is checked.
    DibCanvas canvas(110, 20, kMagenta);
    EXPECT_FALSE(button.font);
    Draw(button, canvas, 100, 16);
    ASSERT_TRUE(button.font);

    LOGFONTW lf = {};
    ASSERT_EQ(GetObjectW(button.font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfHeight, -MulDiv(GetDeviceCaps(canvas.Dc(), LOGPIXELSY), 80, 720));

    // Black text on the untouched background (transparent text background).
    const RECT box = InkBox(canvas, kBlack, 1, 1, 99, 15);
    ASSERT_LT(box.left, box.right) << "no caption drawn";
    EXPECT_GT(box.right - box.left, 30);  // ten characters, not one
    EXPECT_GT(box.left, 3);               // on one line, inside the frame
    EXPECT_NEAR((box.left + box.right) / 2.0, 50.0, 2.0);
    EXPECT_NEAR((box.top + box.bottom) / 2.0, 8.0, 2.0);
    EXPECT_EQ(canvas.At(box.left - 1, 8), kMagenta);
    ExpectFrame(canvas, 100, 16);

    // The same font object serves later draws; pressed text is white on black.
    HFONT first = button.font;
    canvas.Fill(kMagenta);
    Draw(button, canvas, 100, 16, ODS_SELECTED);
    EXPECT_EQ(button.font.Get(), first);
    const RECT pressedBox = InkBox(canvas, kWhite, 0, 0, 100, 16);
    EXPECT_EQ(pressedBox.left, box.left);
    EXPECT_EQ(pressedBox.right, box.right);
    EXPECT_EQ(canvas.At(box.left - 1, 8), kBlack);
}

// A parent window as the calendar window is to its buttons: it hands
// WM_DRAWITEM to the button object and paints its own background.
class CTestParent : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    std::vector<std::string> log;
    std::vector<std::pair<UINT, UINT>> commands;  // id, notification

    bool Create() {
        WNDCLASSW wc = {};
        wc.lpszClassName = L"OrvButtonTestParent";
        if (!RegisterWindowClass(wc)) return false;
        RECT rc = {100, 100, 400, 200};
        if (!CreateEx(0, wc.lpszClassName, "parent", WS_POPUP, rc, nullptr, 0)) return false;
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd_);
        log.clear();
        return true;
    }

private:
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM) {
        log.push_back("erase");
        RECT rc;
        GetClientRect(hwnd_, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        return 1;
    }
    LRESULT OnPaint(WPARAM, LPARAM) {
        PaintDc dc(hwnd_);  // sends WM_ERASEBKGND when erasing was asked for
        log.push_back("paint");
        return 0;
    }
    LRESULT OnCommand(WPARAM wParam, LPARAM) {
        commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return 0;
    }
};

BEGIN_MESSAGE_TABLE(CTestParent, CWnd)
    ON_MESSAGE(WM_ERASEBKGND, &CTestParent::OnEraseBkgnd)
    ON_MESSAGE(WM_PAINT, &CTestParent::OnPaint)
    ON_MESSAGE(WM_COMMAND, &CTestParent::OnCommand)
END_MESSAGE_TABLE()

TEST(CloseButton, CreatesAnOwnerDrawnChildThatTakesItsCaptionAndTransparency) {
    CTestParent parent;
    ASSERT_TRUE(parent.Create());
    CCloseButton opaque;
    opaque.glyph = CCloseButton::GlyphTick;
    ASSERT_TRUE(opaque.Create(parent, RECT{10, 10, 20, 20}, 8193, 0));
    CCloseButton thisMonth;
    thisMonth.glyph = CCloseButton::GlyphCaption;
    thisMonth.caption = "This Month";
    ASSERT_TRUE(thisMonth.Create(parent, RECT{193, 14, 253, 28}, 8197, WS_EX_TRANSPARENT));

    EXPECT_FALSE(opaque.transparent);
    EXPECT_TRUE(thisMonth.transparent);
    char text[32] = {};
    GetWindowTextA(thisMonth, text, sizeof text);
    EXPECT_STREQ(text, "This Month");
    GetClassNameA(thisMonth, text, sizeof text);
    EXPECT_STREQ(CharUpperA(text), "BUTTON");
    const LONG_PTR style = GetWindowLongPtrA(thisMonth, GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(GetDlgCtrlID(thisMonth), 8197);
    EXPECT_EQ(GetParent(thisMonth), parent.Hwnd());
    EXPECT_EQ(CWnd::FromHandle(thisMonth), &thisMonth);

    // The button never erases: its glyph is drawn over what is behind it.
    DibCanvas canvas(16, 16, kMagenta);
    EXPECT_EQ(SendMessageA(opaque, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 1);
    EXPECT_EQ(canvas.At(5, 5), kMagenta);
    parent.DestroyWindow();
}

TEST(CloseButton, ParentHandsItsDrawItemToTheButton) {
    CTestParent parent;
    ASSERT_TRUE(parent.Create());
    CCloseButton close;
    close.glyph = CCloseButton::GlyphCross;
    ASSERT_TRUE(close.Create(parent, RECT{10, 10, 21, 21}, 8194, WS_EX_TRANSPARENT));

    // The button control paints into a given DC through its parent's WM_DRAWITEM.
    DibCanvas canvas(11, 11, kMagenta);
    SendMessageA(close, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.At(0, 0), kBlack);
    EXPECT_EQ(canvas.At(5, 5), kBlack);  // where the diagonals cross
    EXPECT_EQ(canvas.At(2, 8), kBlack);
    EXPECT_EQ(canvas.At(5, 3), kMagenta);  // transparent: no face fill
    parent.DestroyWindow();
}

TEST(CloseButton, TransparentReleaseRepaintsTheParentUnderTheButton) {
    CTestParent parent;
    ASSERT_TRUE(parent.Create());
    CCloseButton next;
    next.glyph = CCloseButton::GlyphRight;
    ASSERT_TRUE(next.Create(parent, RECT{166, 14, 180, 28}, 8196, WS_EX_TRANSPARENT));
    UpdateWindow(parent);
    parent.log.clear();
    RECT pending;
    ASSERT_FALSE(GetUpdateRect(parent, &pending, FALSE));

    DibCanvas canvas(20, 20, kMagenta);
    Draw(next, canvas, 14, 14, ODS_SELECTED);
    EXPECT_EQ(next.pressed, 1);
    EXPECT_EQ(canvas.At(7, 7), kBlack);
    EXPECT_FALSE(GetUpdateRect(parent, &pending, FALSE));

    // Released: nothing drawn, the parent's area under the button invalidated.
    canvas.Fill(kMagenta);
    Draw(next, canvas, 14, 14, 0);
    EXPECT_EQ(next.pressed, 0);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) ASSERT_EQ(canvas.At(x, y), kMagenta) << "(" << x << ", " << y << ")";
    }
    ASSERT_TRUE(GetUpdateRect(parent, &pending, FALSE));
    EXPECT_LE(pending.left, 166);
    EXPECT_LE(pending.top, 14);
    EXPECT_GE(pending.right, 180);
    EXPECT_GE(pending.bottom, 28);
    UpdateWindow(parent);
    EXPECT_EQ(parent.log, (std::vector<std::string>{"erase", "paint"}));

    // The draw that follows the parent's repaint shows the normal look again.
    Draw(next, canvas, 14, 14, 0);
    ExpectFrame(canvas, 14, 14);
    EXPECT_EQ(canvas.At(7, 7), kMagenta);

    // An opaque button has no such repaint: it fills its own face.
    CCloseButton tick;
    tick.glyph = CCloseButton::GlyphTick;
    ASSERT_TRUE(tick.Create(parent, RECT{10, 10, 20, 20}, 8193, 0));
    UpdateWindow(parent);
    Draw(tick, canvas, 10, 10, ODS_SELECTED);
    Draw(tick, canvas, 10, 10, 0);
    EXPECT_EQ(tick.pressed, 0);
    EXPECT_FALSE(GetUpdateRect(parent, &pending, FALSE));
    EXPECT_EQ(canvas.At(5, 7), kWhite);
    parent.DestroyWindow();
}

TEST(CloseButton, PressAndReleaseThroughTheControlRepaintParent) {
    CTestParent parent;
    ASSERT_TRUE(parent.Create());
    CCloseButton prev;
    prev.glyph = CCloseButton::GlyphLeft;
    ASSERT_TRUE(prev.Create(parent, RECT{28, 14, 42, 28}, 8195, WS_EX_TRANSPARENT));
    UpdateWindow(parent);
    parent.log.clear();

    SendMessageA(prev, BM_SETSTATE, TRUE, 0);
    UpdateWindow(prev);
    EXPECT_EQ(prev.pressed, 1);
    SendMessageA(prev, BM_SETSTATE, FALSE, 0);
    UpdateWindow(prev);
    EXPECT_EQ(prev.pressed, 0);
    RECT pending;
    ASSERT_TRUE(GetUpdateRect(parent, &pending, FALSE));
    EXPECT_LE(pending.left, 28);
    EXPECT_GE(pending.right, 42);
    parent.DestroyWindow();
}

TEST(CloseButton, ClickSendsTheIdToTheParent) {
    CTestParent parent;
    ASSERT_TRUE(parent.Create());
    CCloseButton close;
    close.glyph = CCloseButton::GlyphCross;
    ASSERT_TRUE(close.Create(parent, RECT{10, 10, 21, 21}, 8194, WS_EX_TRANSPARENT));
    CCloseButton tick;
    tick.glyph = CCloseButton::GlyphTick;
    ASSERT_TRUE(tick.Create(parent, RECT{40, 10, 50, 20}, 8193 + 3, 0));

    SendMessageA(close, BM_CLICK, 0, 0);
    SendMessageA(tick, BM_CLICK, 0, 0);
    EXPECT_EQ(parent.commands, (std::vector<std::pair<UINT, UINT>>{{8194, BN_CLICKED}, {8196, BN_CLICKED}}));
    parent.DestroyWindow();
}

// Every glyph in both looks, enlarged, for a person to look at.
TEST(CloseButton, SavesAPictureOfTheGlyphs) {
    struct Sample {
        int glyph;
        int w, h;
        bool transparent;
    };
    const Sample samples[] = {
        {CCloseButton::GlyphCross, 11, 11, true}, {CCloseButton::GlyphLeft, 14, 14, true},
        {CCloseButton::GlyphRight, 14, 14, true}, {CCloseButton::GlyphCaption, 60, 14, true},
        {CCloseButton::GlyphTick, 10, 10, false},  {CCloseButton::GlyphClock, 10, 10, false},
    };
    constexpr COLORREF kWindow = RGB(205, 225, 245);  // a light calendar background
    DibCanvas canvas(170, 40, kWindow);
    int x = 4;
    for (const Sample& s : samples) {
        for (int look = 0; look < 2; ++look) {
            CCloseButton button;
            button.glyph = s.glyph;
            button.caption = "This Month";
            button.faceColor = RGB(255, 255, 225);
            button.transparent = s.transparent;
            button.pressed = look;  // no release in between
            SetViewportOrgEx(canvas.Dc(), x, 4 + look * 18, nullptr);
            Draw(button, canvas, s.w, s.h, look ? ODS_SELECTED : 0);
        }
        x += s.w + 6;
    }
    SetViewportOrgEx(canvas.Dc(), 0, 0, nullptr);
    EXPECT_EQ(canvas.At(4, 4), kBlack);
    EXPECT_TRUE(canvas.SaveBmp(ScreensDirectory() + "\\close_button_glyphs.bmp"));
}

}  // namespace
