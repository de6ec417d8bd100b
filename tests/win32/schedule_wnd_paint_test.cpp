// The calendar window's picture, rendered into a bitmap through
// WM_PRINTCLIENT: background, wash, grid, header, border, title colour, day
// numbers and marks, bars with their caps, boxes, selection, exclusion and
// the wallpaper in each fit mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "calendar/calendar_ids.h"
#include "schedule_wnd_rig.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(160, 160, 160);

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string Hex(COLORREF c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

// The line of an event on a day, 0 when it has none there.
int LineOf(const MonthLayout& layout, int day, std::uint32_t id) {
    for (int k = 1; k <= MonthLayout::kMaxLines; ++k) {
        const MonthEvent* e = layout.slots[day][k].event;
        if (e != nullptr && e->item->front.id == id) return k;
    }
    return 0;
}

COLORREF BarColorOf(const MonthLayout& layout, std::uint32_t id) {
    for (const MonthEvent& e : layout.monthEvents) {
        if (e.item->front.id == id) return e.barColor;
    }
    return kWhite;
}

TEST(ScheduleWndPaint, BackgroundWashGridHeaderAndBorder) {
    CalendarRig rig;
    Preferences& prefs = rig.Prefs();
    prefs.BkgColor = RGB(0, 0, 255);
    prefs.BkgImgFile.clear();
    for (const int alpha : {160, 0, 255}) {
        SCOPED_TRACE(alpha);
        prefs.BkgAlpha = static_cast<std::uint8_t>(alpha);
        rig.Wnd().RefreshBackColor();
        rig.Wnd().ReloadBackImage();
        auto canvas = rig.Render();
        const int cx = canvas->Width();
        const int cy = canvas->Height();

        // The border is opaque black all round.
        for (const POINT p : {POINT{0, 0}, POINT{cx - 1, 0}, POINT{0, cy - 1}, POINT{cx - 1, cy - 1},
                              POINT{cx / 2, 0}, POINT{0, cy / 2}, POINT{cx - 1, cy / 2}, POINT{cx / 2, cy - 1}}) {
            EXPECT_EQ(canvas->At(p.x, p.y), kBlack) << p.x << "," << p.y;
        }
        // Outside the wash's 6-pixel margin the colour is bare; inside it is
        // white at the preference's alpha.
        EXPECT_EQ(canvas->At(3, 20), RGB(0, 0, 255));
        EXPECT_EQ(canvas->At(cx - 4, cy / 2), RGB(0, 0, 255));
        const int w = alpha;  // white over blue at this alpha
        EXPECT_TRUE(Near(canvas->At(300, 20), RGB(w, w, 255), 2)) << Hex(canvas->At(300, 20));
        EXPECT_TRUE(Near(canvas->At(7, cy - 7), RGB(w, w, 255), 2)) << Hex(canvas->At(7, cy - 7));
        EXPECT_TRUE(Near(canvas->At(cx - 7, 20), RGB(w, w, 255), 2)) << Hex(canvas->At(cx - 7, 20));
        EXPECT_EQ(canvas->At(cx - 6, 20), RGB(0, 0, 255));
        EXPECT_EQ(canvas->At(300, 5), RGB(0, 0, 255));
    }

    // With the default wash: half-black grid lines over it, red Sunday name.
    prefs.BkgAlpha = 160;
    prefs.BkgColor = RGB(255, 255, 255);
    rig.Wnd().RefreshBackColor();
    rig.Wnd().ReloadBackImage();
    auto canvas = rig.Render();
    const MonthLayout& layout = rig.Layout();
    const int cw = layout.cellWidth;
    const int ch = layout.cellHeight;
    const COLORREF half = RGB(128, 128, 128);
    EXPECT_TRUE(Near(canvas->At(6, 100), half, 2)) << Hex(canvas->At(6, 100));      // grid frame
    EXPECT_TRUE(Near(canvas->At(100, 43), half, 2)) << Hex(canvas->At(100, 43));
    EXPECT_TRUE(Near(canvas->At(100, 61), half, 2)) << Hex(canvas->At(100, 61));     // under the header
    EXPECT_TRUE(Near(canvas->At(100, 61 + 3 * ch), half, 2));                         // between week rows
    EXPECT_TRUE(Near(canvas->At(6 + 3 * cw, 200), half, 2));                          // between columns
    EXPECT_EQ(canvas->At(6 + 3 * cw, 64), kWhite);  // column lines start at y = 67
    EXPECT_TRUE(Near(canvas->At(100, 33), half, 2)) << Hex(canvas->At(100, 33));     // under the title

    EXPECT_GT(CountPixels(*canvas, 6, 45, 6 + cw, 61, IsRedDominant), 3);
    EXPECT_EQ(CountPixels(*canvas, 6 + cw, 45, 6 + 7 * cw, 61, IsRedDominant), 0);
    EXPECT_GT(CountPixels(*canvas, 7 + cw, 45, 5 + 2 * cw, 61, IsDark), 3);
}

TEST(ScheduleWndPaint, CurrentMonthTitleAndTodayInTheActiveCaptionColour) {
    CalendarRig rig;
    const COLORREF today = rig.Wnd().TodayColor();
    EXPECT_EQ(today, GetSysColor(COLOR_ACTIVECAPTION));
    const auto isToday = [](COLORREF c) { return Near(c, GetSysColor(COLOR_ACTIVECAPTION), 40); };
    const MonthLayout& layout = rig.Layout();
    const int d = layout.todayDay;
    ASSERT_EQ(layout.selectedDay, d);  // opened with today selected

    auto canvas = rig.Render();
    int titleInk = 0;
    for (int y = 0; y < 33; ++y) {
        for (int x = 43; x < 166; ++x) titleInk += isToday(canvas->At(x, y)) ? 1 : 0;
    }
    EXPECT_GT(titleInk, 10);
    // Today's cell is tinted; its number is a box of the caption colour.
    const LayoutRect cell = layout.CellRect(d);
    const COLORREF tint = canvas->At(cell.x + cell.width - 4, cell.y + cell.height - 4);
    EXPECT_NE(tint, kWhite);
    EXPECT_GT(GetBValue(tint), GetRValue(tint)) << Hex(tint);
    int box = 0;
    for (int y = cell.y + 4; y < cell.y + 14; ++y) {
        for (int x = cell.x + 4; x < cell.x + 12; ++x) box += canvas->At(x, y) == today ? 1 : 0;
    }
    EXPECT_GT(box, 10);

    // Another month: black title, no tint anywhere, same day number plain.
    SendMessageA(rig.Hwnd(), WM_COMMAND, ID_NEXT_MONTH, 0);
    canvas = rig.Render();
    titleInk = 0;
    int dark = 0;
    for (int y = 0; y < 33; ++y) {
        for (int x = 43; x < 166; ++x) {
            titleInk += isToday(canvas->At(x, y)) ? 1 : 0;
            dark += IsDark(canvas->At(x, y)) ? 1 : 0;
        }
    }
    EXPECT_EQ(titleInk, 0);
    EXPECT_GT(dark, 10);
    for (int day = 1; day <= layout.daysInMonth; ++day) {
        const LayoutRect c = layout.CellRect(day);
        EXPECT_EQ(canvas->At(c.x + c.width - 4, c.y + c.height - 4), kWhite) << day;
    }
}

// One month with every kind of line: August 2026 begins on a Saturday and
// uses all six rows.
class MonthPicture : public testing::Test {
protected:
    void SetUp() override {
        rig_.Resize(771, 667);
        carry_ = rig_.Add({"Carry", 2026, 7, 28, 2026, 8, 3});
        trip_ = rig_.Add({"Trip", 2026, 8, 6, 2026, 8, 11});
        leave_ = rig_.Add({"Leave", 2026, 8, 28, 2026, 9, 2});
        daily_ = rig_.Add({"Daily stand-up of the whole team", 2026, 8, 10, 2026, 8, 14, kKindDaily});
        weekly_ = rig_.Add({"Weekly", 2026, 8, 1, 2026, 8, 31, kKindWeekly, 1 << 3});  // Wednesdays
        monthly_ = rig_.Add({"Monthly", 2026, 8, 1, 2026, 8, 31, kKindMonthlyDay, 20});
        for (int i = 1; i <= 6; ++i) rig_.Add({"Crowd " + std::to_string(i), 2026, 8, 21, 2026, 8, 21});
        rig_.Show(trip_);
        ASSERT_EQ(rig_.Layout().month, 8);
        ASSERT_EQ(rig_.Layout().firstWeekday, 6);
        ASSERT_EQ(rig_.Layout().cellWidth, 108);
        ASSERT_EQ(rig_.Layout().cellHeight, 100);
        ASSERT_GE(rig_.Layout().VisibleLines(), 4);
        ASSERT_LT(rig_.Layout().VisibleLines(), 6);

        // The Wednesday box of the 12th excluded, then the daily event selected.
        Select(12, weekly_);
        SendMessageA(rig_.Hwnd(), WM_COMMAND, ID_EXCLUDE_OCCURRENCE, 0);
        ASSERT_TRUE(rig_.Layout().selectedExcluded);
        Select(12, daily_);
        ASSERT_EQ(rig_.Layout().selectedId, daily_);
    }

    void Select(int day, std::uint32_t id) {
        const int k = LineOf(rig_.Layout(), day, id);
        ASSERT_GT(k, 0);
        rig_.Click(rig_.LinePoint(day, k));
        ASSERT_EQ(rig_.Layout().selectedId, id);
    }

    // Top of line k in a day's cell and the x of the cell's column line.
    int Top(int day, int k) const { return rig_.Layout().LineRect(day, k).y; }
    int ColumnLine(int day) const { return 6 + rig_.Layout().DayColumn(day) * rig_.Layout().cellWidth; }

    CalendarRig rig_;
    std::uint32_t carry_ = 0, trip_ = 0, leave_ = 0, daily_ = 0, weekly_ = 0, monthly_ = 0;
};

TEST_F(MonthPicture, BarsHaveCapsOnlyWhereTheyStartAndEnd) {
    const MonthLayout& layout = rig_.Layout();
    const int cw = layout.cellWidth;
    const int lh = layout.lineHeight;
    auto canvas = rig_.Render();

    // Carry began in July: day 1 has no start cap and carries the title.
    const COLORREF carry = BarColorOf(layout, carry_);
    int k = LineOf(layout, 1, carry_);
    int y = Top(1, k);
    EXPECT_EQ(canvas->At(ColumnLine(1) + 1, y + 1), carry);
    EXPECT_EQ(canvas->At(ColumnLine(1) + 1, y), kBlack);  // its top edge
    EXPECT_EQ(canvas->At(ColumnLine(1) + 1, y + lh - 1), kBlack);
    EXPECT_GT(CountPixels(*canvas, ColumnLine(1) + 4, y + 2, ColumnLine(1) + cw - 2, y + lh - 3, IsDark), 5);
    // Its second segment, Sunday 2 to Monday 3, has no title and an end cap.
    y = Top(2, k);
    EXPECT_EQ(canvas->At(7, y + lh / 2), carry);
    EXPECT_EQ(CountPixels(*canvas, 7, y + 1, ColumnLine(3) + cw - 4, y + lh - 1, IsDark), 0);
    const int end3 = ColumnLine(3) + cw - 3;  // where a box ends
    EXPECT_EQ(canvas->At(end3 - 1, y + lh / 2), kBlack);
    EXPECT_EQ(canvas->At(end3 - 2, y + lh / 2), carry);
    EXPECT_NE(canvas->At(end3, y + lh / 2), carry);
    EXPECT_NE(canvas->At(end3 + 2, y + lh / 2), carry);

    // Trip: start cap on Thursday 6 where a box would start, runs to the
    // Saturday column's end, goes on from Sunday 9's column line.
    const COLORREF trip = BarColorOf(layout, trip_);
    k = LineOf(layout, 6, trip_);
    y = Top(6, k);
    const int start6 = ColumnLine(6) + 4;
    EXPECT_NE(canvas->At(start6 - 1, y + lh / 2), trip);
    EXPECT_EQ(canvas->At(start6, y + lh / 2), kBlack);
    EXPECT_EQ(canvas->At(start6 + 1, y + 1), trip);
    EXPECT_EQ(canvas->At(ColumnLine(8) + cw - 1, y + 1), trip);
    EXPECT_EQ(canvas->At(7, Top(9, k) + 1), trip);

    // Leave ends in September: no end cap on the 31st, in the sixth row.
    ASSERT_EQ(layout.DayRow(31), 5);
    const COLORREF leave = BarColorOf(layout, leave_);
    k = LineOf(layout, 31, leave_);
    y = Top(31, k);
    EXPECT_EQ(canvas->At(ColumnLine(31) + cw - 1, y + lh / 2), leave);
    EXPECT_EQ(canvas->At(ColumnLine(31) + 1, y + lh / 2), leave);
    SaveWindowScreenshot(rig_.Hwnd(), "month");
}

TEST_F(MonthPicture, SelectedEventIsBlackWithAWhiteTitleOnEveryDay) {
    const MonthLayout& layout = rig_.Layout();
    const int lh = layout.lineHeight;
    const int w = layout.cellWidth - 7;
    auto canvas = rig_.Render();
    for (int day = 10; day <= 14; ++day) {
        SCOPED_TRACE(day);
        const int k = LineOf(layout, day, daily_);
        const int x = ColumnLine(day) + 4;
        const int y = Top(day, k);
        EXPECT_EQ(canvas->At(x + w / 2, y + 1), kBlack);
        EXPECT_EQ(canvas->At(x + w - 2, y + lh / 2), kBlack);
        EXPECT_GT(CountColor(*canvas, x + 2, y + 2, x + w - 4, y + lh - 2, kWhite), 5);
        EXPECT_NE(canvas->At(x - 1, y + lh / 2), kBlack);  // the box starts 4 pixels into the cell
        EXPECT_NE(canvas->At(x + w, y + lh / 2), kBlack);
    }
    // Every box shows the title cut as the first box's was.
    for (int day = 11; day <= 14; ++day) {
        const int k = LineOf(layout, day, daily_);
        int differing = 0;
        for (int dy = 0; dy < lh; ++dy) {
            for (int dx = 0; dx < w; ++dx) {
                differing += canvas->At(ColumnLine(day) + 4 + dx, Top(day, k) + dy) !=
                             canvas->At(ColumnLine(10) + 4 + dx, Top(10, LineOf(layout, 10, daily_)) + dy);
            }
        }
        EXPECT_EQ(differing, 0) << day;
    }
    // The selected day's number: white digits on a box of its own colour.
    const int x = ColumnLine(12) + 4;
    const int y = layout.CellRect(12).y + 4;
    EXPECT_GT(CountColor(*canvas, x, y, x + 14, y + 12, kBlack), 20);
    EXPECT_GT(CountColor(*canvas, x, y, x + 14, y + 12, kWhite), 5);
    // Another day's number is plain.
    const int x13 = ColumnLine(13) + 4;
    EXPECT_EQ(CountColor(*canvas, x13, y, x13 + 14, y + 12, kBlack) > 40, false);
}

TEST_F(MonthPicture, ExcludedOccurrenceIsHatchedInGreyEvenWhenSelected) {
    const MonthLayout& layout = rig_.Layout();
    const int lh = layout.lineHeight;
    const int w = layout.cellWidth - 7;
    const COLORREF weekly = BarColorOf(layout, weekly_);
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected);
        if (selected) Select(12, weekly_);
        auto canvas = rig_.Render();
        const int k = LineOf(layout, 12, weekly_);
        const int x = ColumnLine(12) + 4;
        const int y = Top(12, k);
        EXPECT_EQ(canvas->At(x, y + lh / 2), kGrey);
        EXPECT_EQ(canvas->At(x + w - 1, y + lh / 2), kGrey);
        EXPECT_EQ(canvas->At(x + w / 2, y), kGrey);
        const COLORREF fill = selected ? kBlack : weekly;
        // Hatch and fill alternate along the box's inside, right of the title's reach.
        EXPECT_GT(CountColor(*canvas, x + w / 2 + 10, y + 1, x + w - 1, y + lh - 1, kGrey), 10);
        EXPECT_GT(CountColor(*canvas, x + w / 2 + 10, y + 1, x + w - 1, y + lh - 1, fill), 10);
        EXPECT_EQ(CountColor(*canvas, x + 1, y + 1, x + w - 1, y + lh - 1, kWhite), 0);

        // The other Wednesdays are not excluded.
        const int k19 = LineOf(layout, 19, weekly_);
        const int y19 = Top(19, k19);
        const int x19 = ColumnLine(19) + 4;
        EXPECT_EQ(canvas->At(x19, y19 + lh / 2), kBlack);
        EXPECT_EQ(CountColor(*canvas, x19 + 1, y19 + 1, x19 + w - 1, y19 + lh - 1, kGrey), 0);
    }
    // Boxes of one event in one band are drawn once and copied: the
    // excluded day among them is still the only one hatched.
    Select(13, daily_);
    SendMessageA(rig_.Hwnd(), WM_COMMAND, ID_EXCLUDE_OCCURRENCE, 0);
    Select(12, weekly_);
    auto canvas = rig_.Render();
    for (const int day : {11, 13, 14}) {
        const int y = Top(day, LineOf(layout, day, daily_));
        const int x = ColumnLine(day) + 4;
        EXPECT_EQ(CountColor(*canvas, x + 1, y + 1, x + w - 1, y + lh - 1, kGrey) > 10, day == 13) << day;
    }
    SaveWindowScreenshot(rig_.Hwnd(), "excluded_selected");
}

TEST_F(MonthPicture, OverflowingDayShowsAPlusAndClipsItsLines) {
    const MonthLayout& layout = rig_.Layout();
    const int maxLines = layout.VisibleLines();
    ASSERT_GT(layout.lastLine[21], maxLines);
    ASSERT_LE(layout.lastLine[22], maxLines);
    auto canvas = rig_.Render();
    const auto plusArea = [&](int day) {
        const LayoutRect cell = layout.CellRect(day);
        return CountPixels(*canvas, cell.x + 20, cell.y + 4, cell.x + 28, cell.y + 17, IsDark);
    };
    EXPECT_GT(plusArea(21), 3);
    EXPECT_EQ(plusArea(22), 0);
    EXPECT_EQ(plusArea(20), 0);  // the monthly box's day has room
    // Nothing of a line below the last visible one spills into the next row.
    const LayoutRect cell = layout.CellRect(21);
    const LayoutRect below = layout.CellRect(28);
    EXPECT_EQ(canvas->At(cell.x + cell.width / 2, below.y + 2), RGB(255, 255, 255));
}

// The screen shows what WM_PRINTCLIENT draws, also after a repaint of the
// days alone: selecting paints through the clip box of the update region.
TEST_F(MonthPicture, ScreenShowsThePrintedPictureAfterPartialRepaints) {
    const auto sameDays = [&](const DibCanvas& screen, const DibCanvas& printed) {
        int differing = 0;
        for (int y = rig_.Layout().metrics.daysTop; y < printed.Height(); ++y) {
            for (int x = 0; x < printed.Width(); ++x) differing += screen.At(x, y) != printed.At(x, y) ? 1 : 0;
        }
        return differing;
    };
    ASSERT_EQ(sameDays(*CaptureScreen(rig_.Hwnd(), true), *rig_.Render()), 0);
    ValidateRect(rig_.Hwnd(), nullptr);
    Select(19, weekly_);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(rig_.Hwnd(), &update, FALSE));
    EXPECT_EQ(update.top, rig_.Layout().metrics.daysTop);
    auto screen = CaptureScreen(rig_.Hwnd(), false);
    auto printed = rig_.Render();
    EXPECT_EQ(sameDays(*screen, *printed), 0);
    const int k = LineOf(rig_.Layout(), 26, weekly_);
    EXPECT_EQ(screen->At(ColumnLine(26) + 4 + 20, Top(26, k) + 1), kBlack);  // drawn selected on the screen too
}

TEST(ScheduleWndPaint, NoEventsWhenACellHoldsNoLineButEveryBusyDayIsMarked) {
    CalendarRig rig;
    const std::uint32_t id = rig.Add({"Tiny", 2026, 8, 3, 2026, 8, 4});
    rig.Show(id);
    rig.Resize(320, 150);  // below the minimum tracking size, which only limits the user
    const MonthLayout& layout = rig.Layout();
    ASSERT_EQ(layout.VisibleLines(), 0);
    auto canvas = rig.Render();
    for (const int day : {3, 4}) {
        const LayoutRect cell = layout.CellRect(day);
        EXPECT_GT(CountPixels(*canvas, cell.x + 20, cell.y + 4, cell.x + 28, cell.y + 14, IsDark), 3) << day;
    }
    EXPECT_EQ(CountColor(*canvas, 0, 61, canvas->Width(), canvas->Height(), BarColorOf(layout, id)), 0);
}

// Wallpapers written by the test: vertical stripes red, green, blue.
class WallpaperPicture : public testing::Test {
protected:
    static std::string WriteStripes(const char* name, int w, int h, bool vertical) {
        DibCanvas image(w, h, kWhite);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int band = vertical ? x * 3 / w : y * 3 / h;
                SetPixel(image.Dc(), x, y, band == 0 ? kRed : band == 1 ? kGreen : kBlue);
            }
        }
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        const std::string path = std::string(dir) + name + std::to_string(GetCurrentProcessId()) + ".bmp";
        EXPECT_TRUE(image.SaveBmp(path));
        return path;
    }

    void Use(const std::string& path, int fit, int keepAspect) {
        Preferences& prefs = rig_.Prefs();
        prefs.BkgImgFile = path;
        prefs.BkgImgFit = fit;
        prefs.BkgImgRetainRatio = keepAspect;
        prefs.BkgAlpha = 0;
        rig_.Wnd().ReloadBackImage();
        ASSERT_TRUE(rig_.Wnd().HasBackImage());
        ASSERT_TRUE(rig_.Wnd().BackDirty());
    }

    void TearDown() override {
        for (const std::string& p : files_) DeleteFileA(p.c_str());
    }

    static constexpr COLORREF kRed = RGB(200, 0, 0);
    static constexpr COLORREF kGreen = RGB(0, 200, 0);
    static constexpr COLORREF kBlue = RGB(0, 0, 200);
    CalendarRig rig_;
    std::vector<std::string> files_;
};

TEST_F(WallpaperPicture, EachFitModeInsideTheBorder) {
    const std::string wide = WriteStripes("orv_wide", 300, 60, true);
    const std::string tall = WriteStripes("orv_tall", 30, 120, false);
    files_ = {wide, tall};
    rig_.Resize(771, 667);
    rig_.Show(rig_.Add({"Anchor", 2026, 8, 1, 2026, 8, 1}));
    const int cx = 771;
    // Points the picture leaves to the wallpaper (no wash here): the strip
    // left and right of the title, and the empty last cell of August 2026.
    const POINT left = {20, 38};
    const POINT middle = {cx / 2, 38};
    const POINT right = {cx - 40, 38};
    const POINT low = {6 + 6 * 108 + 54, 640};
    const auto at = [](const DibCanvas& c, POINT p) { return c.At(p.x, p.y); };

    // Tiled at natural size from (1, 1): 100-pixel stripes, repeating every 300.
    Use(wide, 0, 1);  // keep aspect means nothing without fit
    auto canvas = rig_.Render();
    EXPECT_FALSE(rig_.Wnd().BackDirty());
    EXPECT_EQ(canvas->At(0, 2), kBlack);
    EXPECT_EQ(canvas->At(1, 2), kRed);
    EXPECT_EQ(canvas->At(100, 2), kRed);
    EXPECT_EQ(canvas->At(101, 2), kGreen);
    EXPECT_EQ(canvas->At(201, 2), kBlue);
    EXPECT_EQ(canvas->At(301, 2), kRed);  // the first copy
    EXPECT_EQ(canvas->At(701, 2), kGreen);
    EXPECT_EQ(canvas->At(cx - 2, 2), kGreen);
    EXPECT_EQ(canvas->At(2, 1 + 60 + 5), kRed);  // the next row of tiles
    EXPECT_EQ(at(*canvas, low), kGreen);
    SaveWindowScreenshot(rig_.Hwnd(), "wallpaper_tiled");

    // Stretched: the whole image over the client, red on the left, blue on the right.
    Use(wide, 1, 0);
    canvas = rig_.Render();
    EXPECT_TRUE(Near(at(*canvas, left), kRed, 8)) << Hex(at(*canvas, left));
    EXPECT_TRUE(Near(at(*canvas, middle), kGreen, 8)) << Hex(at(*canvas, middle));
    EXPECT_TRUE(Near(at(*canvas, right), kBlue, 8)) << Hex(at(*canvas, right));
    SaveWindowScreenshot(rig_.Hwnd(), "wallpaper_stretched");

    // Kept aspect: a wide image loses its sides, only its green middle is
    // left; a tall one its bottom, only its red top is left.
    Use(wide, 1, 1);
    canvas = rig_.Render();
    for (const POINT p : {left, middle, right, low}) {
        EXPECT_TRUE(Near(at(*canvas, p), kGreen, 8)) << p.x << "," << p.y << " " << Hex(at(*canvas, p));
    }
    SaveWindowScreenshot(rig_.Hwnd(), "wallpaper_cropped");
    Use(tall, 1, 1);
    canvas = rig_.Render();
    for (const POINT p : {left, right, low}) {
        EXPECT_TRUE(Near(at(*canvas, p), kRed, 8)) << p.x << "," << p.y << " " << Hex(at(*canvas, p));
    }
    Use(tall, 1, 0);
    canvas = rig_.Render();
    EXPECT_TRUE(Near(at(*canvas, left), kRed, 8));
    EXPECT_TRUE(Near(at(*canvas, low), kBlue, 8)) << Hex(at(*canvas, low));

    // The wash still covers it: at 255 the inside is plain white.
    rig_.Prefs().BkgAlpha = 255;
    rig_.Wnd().ReloadBackImage();
    canvas = rig_.Render();
    EXPECT_EQ(canvas->At(300, 20), kWhite);
    EXPECT_TRUE(Near(canvas->At(3, 20), kRed, 8));
}

TEST_F(WallpaperPicture, UnreadableFileKeepsTheEarlierWallpaperAndAnEmptyPathDropsIt) {
    const std::string wide = WriteStripes("orv_keep", 120, 90, true);
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string text = std::string(dir) + "orv_not_an_image" + std::to_string(GetCurrentProcessId()) + ".bmp";
    FILE* f = std::fopen(text.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not an image", f);
    std::fclose(f);
    files_ = {wide, text};

    Use(wide, 0, 0);
    Preferences& prefs = rig_.Prefs();
    prefs.BkgImgFile = text;
    rig_.Wnd().ReloadBackImage();
    EXPECT_TRUE(rig_.Wnd().HasBackImage());
    EXPECT_EQ(rig_.Render()->At(1, 2), kRed);
    prefs.BkgImgFile = "C:\\no\\such\\file.png";
    rig_.Wnd().ReloadBackImage();
    EXPECT_EQ(rig_.Render()->At(1, 2), kRed);

    prefs.BkgImgFile.clear();
    rig_.Wnd().ReloadBackImage();
    EXPECT_FALSE(rig_.Wnd().HasBackImage());
    EXPECT_EQ(rig_.Render()->At(1, 2), prefs.BkgColor);
}

}  // namespace
