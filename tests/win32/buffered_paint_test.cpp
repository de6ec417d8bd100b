// Painting through an off-screen bitmap shows what painting straight into
// the target does, inside the clip and the client area only.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/dib_canvas.h"
#include "ui/buffered_paint.h"
#include "ui/gdi.h"

namespace {

constexpr int kClientWidth = 40;
constexpr int kClientHeight = 30;
constexpr COLORREF kUntouched = RGB(1, 2, 3);

// Covers the clip with a background, then draws across the whole client
// area as the windows do.
bool DrawPicture(HDC dc, const RECT& clip) {
    BrushHandle back(CreateSolidBrush(RGB(200, 220, 240)));
    FillRect(dc, &clip, back);
    BrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
    SelectScope brush(dc, red);
    Ellipse(dc, 5, 4, 30, 26);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, kClientWidth, kClientHeight);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 2, 10, "Ag", 2);
    return true;
}

class PopupWindow {
public:
    PopupWindow()
        : hwnd_(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, kClientWidth, kClientHeight, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr)) {}
    ~PopupWindow() { DestroyWindow(hwnd_); }
    PopupWindow(const PopupWindow&) = delete;
    PopupWindow& operator=(const PopupWindow&) = delete;
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

TEST(BufferedPaintTest, SamePixelsAsDirectPaintingInsideTheClipOnly) {
    PopupWindow window;
    ASSERT_NE(window.Get(), nullptr);
    DibCanvas direct(kClientWidth + 10, kClientHeight + 10, kUntouched);
    const RECT client = {0, 0, kClientWidth, kClientHeight};
    DrawPicture(direct.Dc(), client);

    constexpr RECT kClips[] = {
        {0, 0, kClientWidth, kClientHeight},  // all of it
        {7, 3, 22, 19},                       // inside
        {-5, -5, 12, 9},                      // over the top-left corner
        {30, 20, 60, 60},                     // past the client's bottom-right
        {10, 10, 10, 20},                     // empty
        {kClientWidth, 0, 50, 10},            // beside the client area
    };
    for (const RECT& clip : kClips) {
        SCOPED_TRACE(testing::Message() << clip.left << "," << clip.top << "," << clip.right << "," << clip.bottom);
        DibCanvas buffered(kClientWidth + 10, kClientHeight + 10, kUntouched);
        PaintBuffered(window.Get(), buffered.Dc(), clip, DrawPicture);
        RECT painted;
        if (!IntersectRect(&painted, &clip, &client)) SetRectEmpty(&painted);
        int differing = 0;
        for (int y = 0; y < buffered.Height(); ++y) {
            for (int x = 0; x < buffered.Width(); ++x) {
                const POINT pt = {x, y};
                const COLORREF expected = PtInRect(&painted, pt) ? direct.At(x, y) : kUntouched;
                if (buffered.At(x, y) != expected) ++differing;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST(BufferedPaintTest, NothingDrawnLeavesTheTargetAsItWas) {
    PopupWindow window;
    ASSERT_NE(window.Get(), nullptr);
    DibCanvas canvas(kClientWidth, kClientHeight, kUntouched);
    const RECT client = {0, 0, kClientWidth, kClientHeight};
    PaintBuffered(window.Get(), canvas.Dc(), client, [](HDC, const RECT&) { return false; });
    for (const POINT& pt : {POINT{0, 0}, POINT{kClientWidth / 2, kClientHeight / 2}, POINT{kClientWidth - 1, 0}}) {
        EXPECT_EQ(canvas.At(pt.x, pt.y), kUntouched) << pt.x << "," << pt.y;
    }
}

TEST(BufferedPaintTest, PrintClientPaintsTheWholeClientArea) {
    PopupWindow window;
    ASSERT_NE(window.Get(), nullptr);
    DibCanvas printed(kClientWidth + 10, kClientHeight + 10, kUntouched);
    RECT seen = {};
    PrintClient(window.Get(), printed.Dc(), [&](HDC dc, const RECT& clip) {
        seen = clip;
        return DrawPicture(dc, clip);
    });
    EXPECT_EQ(seen.left, 0);
    EXPECT_EQ(seen.top, 0);
    EXPECT_EQ(seen.right, kClientWidth);
    EXPECT_EQ(seen.bottom, kClientHeight);
    EXPECT_EQ(printed.At(kClientWidth - 1, 0), RGB(200, 220, 240));
    EXPECT_EQ(printed.At(kClientWidth, 0), kUntouched);
}

}  // namespace
