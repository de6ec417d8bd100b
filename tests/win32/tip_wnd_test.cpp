// The hover tip's window: its size from its lines, its place, the red notice
// and literal ampersands; what the lines say is tested with its model.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "calendar/tip_wnd.h"
#include "platform/memory/fixed_desktop.h"
#include "platform/win32/win32_text_format.h"
#include "portable/core_zone.h"
#include "portable/store_fakes.h"
#include "support/dib_canvas.h"
#include "platform/win32/wide_text.h"

namespace {

class TipWndTest : public testing::Test {
protected:
    SettableClock clock{Local(2026, 3, 20, 12)};
    FixedDesktop desktop{{0, 0, 1024, 768}};
    Win32TextFormat format;
    TipContext context;
    CTipWnd* tip = nullptr;

    void SetUp() override {
        context = {&clock, &desktop, &format, &EnglishLocaleNames(), std::nullopt, false, DpiScale{}};
        LOGFONTW font = {};
        if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0)) context.font = font;
    }
    void TearDown() override {
        if (tip != nullptr) DestroyWindow(tip->Hwnd());
    }

    static ScheduleItem Item(const std::string& title, int lastDay) {
        ScheduleItem item;
        item.title = title;
        item.front.startDate = static_cast<std::int32_t>(Local(2026, 3, 2));
        item.front.endDate = static_cast<std::int32_t>(Local(2026, 3, lastDay, 23, 59, 59));
        item.front.startTime = 9 * 3600;
        item.front.endTime = 10 * 3600 + 30 * 60 + 15;
        item.front.recurKind = kKindDaily;
        return item;
    }
    CTipWnd* Open(const ScheduleItem& item, POINT cursor) {
        if (tip != nullptr) DestroyWindow(tip->Hwnd());
        tip = CTipWnd::OpenNew(context, item, cursor);
        EXPECT_NE(tip, nullptr);
        return tip;
    }
    RECT Rect() const {
        RECT r;
        GetWindowRect(tip->Hwnd(), &r);
        return r;
    }
    int LineHeight() const { return tip->TextExtent().bottom / (tip->Lines()[4].empty() ? 4 : 5); }
};

TEST_F(TipWndTest, SizedToItsLiteralLinesBelowTheCursorWithoutTakingActivation) {
    HWND foreground = GetForegroundWindow();
    const std::string title(50, '&');  // wider than any other line, and shown as it is
    Open(Item(title, 31), {100, 100});
    const RECT r = Rect();
    {
        WindowDc dc(tip->Hwnd());
        FontHandle font(CreateFontIndirectW(&*context.font));
        SelectObject(dc, font);
        SIZE literal = {};
        GetTextExtentPoint32A(dc, title.c_str(), static_cast<int>(title.size()), &literal);
        EXPECT_EQ(tip->TextExtent().right, literal.cx);
    }
    EXPECT_EQ(tip->Lines()[3], "Time: 9:00:00 AM ~ 10:30:15 AM");  // with seconds
    EXPECT_EQ(tip->Lines()[4], "");
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 117);
    EXPECT_EQ(r.right - r.left, tip->TextExtent().right + 15);
    EXPECT_EQ(r.bottom - r.top, tip->TextExtent().bottom + 11);
    EXPECT_TRUE(IsWindowVisible(tip->Hwnd()));
    EXPECT_NE(GetWindowLongA(tip->Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetForegroundWindow(), foreground);
    const int fourLines = r.bottom - r.top;
    Open(Item("Standup", 31), {1010, 760});  // pushed back into the work area
    EXPECT_EQ(std::make_pair(Rect().right, Rect().bottom), std::make_pair(1024L, 768L));

    // An event with no occurrence left is one line taller, in red.
    Open(Item("Standup", 19), {100, 100});
    EXPECT_EQ(tip->Lines()[4], "This is a past event.");
    const RECT past = Rect();
    EXPECT_EQ(past.bottom - past.top, fourLines + LineHeight());
    RECT client;
    GetClientRect(tip->Hwnd(), &client);
    DibCanvas canvas(client.right, client.bottom, RGB(0, 0, 255));
    SendMessageA(tip->Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_TRUE(canvas.SaveBmp(ScreensDirectory() + "\\tip_past.bmp"));
    const auto redRows = [&](int top, int bottom) {
        int rows = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < client.right; ++x) {
                if (canvas.At(x, y) == RGB(255, 0, 0)) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    };
    const int fifthLine = 6 + 4 * LineHeight();
    EXPECT_EQ(redRows(0, fifthLine), 0);
    EXPECT_GT(redRows(fifthLine, client.bottom), 3);
    EXPECT_EQ(canvas.At(1, 1), GetSysColor(COLOR_INFOBK));
}

// Two monitors side by side: the tip stays on the one the cursor is on. At
// the calendar's 150 % its gap, margins and border room grow with it.
// A title in other scripts is measured and drawn as its characters, not as
// its UTF-8 bytes; a picture to look at.
TEST_F(TipWndTest, TitlesInOtherScriptsAreMeasuredAsTheirCharacters) {
    const std::string title = "\xD0\x92\xD1\x81\xD1\x82\xD1\x80\xD0\xB5\xD1\x87\xD0\xB0 \xE4\xBC\x9A\xE8\xAE\xAE "
                              "\xCE\xA3\xCF\x8D\xCE\xBD\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82 with a tail long enough to be the widest line of this tip";
    Open(Item(title, 31), {100, 100});
    EXPECT_EQ(tip->Lines()[0], title);
    {
        WindowDc dc(tip->Hwnd());
        FontHandle font(CreateFontIndirectW(&*context.font));
        SelectObject(dc, font);
        const std::wstring wide = Wide(title);
        SIZE literal = {};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &literal);
        EXPECT_EQ(tip->TextExtent().right, literal.cx);
    }
    RECT client;
    GetClientRect(tip->Hwnd(), &client);
    DibCanvas canvas(client.right, client.bottom, RGB(0, 0, 255));
    SendMessageW(tip->Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_TRUE(canvas.SaveBmp(ScreensDirectory() + "\\tip_scripts.bmp"));
}

TEST_F(TipWndTest, OnTheCursorsMonitorAtTheCalendarsScale) {
    const FixedDesktop two(std::vector<Monitor>{{{0, 0, 1024, 768}, {0, 0, 1024, 738}},
                                                {{1024, 0, 2048, 768}, {1024, 0, 2048, 768}}});
    context.desktop = &two;
    Open(Item("Standup", 31), {2040, 760});
    EXPECT_EQ(std::make_pair(Rect().right, Rect().bottom), std::make_pair(2048L, 768L));
    Open(Item("Standup", 31), {1010, 700});
    EXPECT_EQ(std::make_pair(Rect().right, Rect().bottom), std::make_pair(1024L, 738L));
    Open(Item("Standup", 31), {1030, 100});  // left-aligned with the cursor, not pushed onto the primary
    EXPECT_EQ(Rect().left, 1030);

    context.scale = DpiScale{144};
    Open(Item("Standup", 31), {100, 100});
    const RECT r = Rect();
    EXPECT_EQ(r.top, 100 + 26);
    EXPECT_EQ(r.right - r.left, tip->TextExtent().right + 23);
    EXPECT_EQ(r.bottom - r.top, tip->TextExtent().bottom + 17);
}

}  // namespace
