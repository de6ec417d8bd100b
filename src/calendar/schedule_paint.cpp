// The calendar window's picture: a cached background (colour, wallpaper,
// wash, grid, weekday names, border) under the title, the day numbers and
// the event lines, drawn into the off-screen bitmap of ui/buffered_paint.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "calendar/schedule_wnd.h"
#include "core/locale_names.h"
#include "wallpaper/wallpaper.h"
#include "wallpaper/wallpaper_geometry.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr Gdiplus::ARGB kHalfBlack = 0x7F000000;
constexpr COLORREF kSundayRed = RGB(255, 0, 0);
constexpr COLORREF kExcludedGrey = RGB(160, 160, 160);
constexpr BYTE kTodayTintAlpha = 0x40;
constexpr UINT kHeaderFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP;                // 0x125
constexpr UINT kTitleFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;   // 0x925
constexpr UINT kEventTitleFlags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_NOCLIP;                     // 0x8900

Gdiplus::ARGB Argb(BYTE alpha, COLORREF c) {
    return (static_cast<Gdiplus::ARGB>(alpha) << 24) | (static_cast<Gdiplus::ARGB>(GetRValue(c)) << 16) |
           (static_cast<Gdiplus::ARGB>(GetGValue(c)) << 8) | GetBValue(c);
}

void FillSolid(HDC dc, const RECT& rc, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void FillArgb(Gdiplus::GpGraphics* graphics, Gdiplus::ARGB color, int x, int y, int w, int h) {
    GdipSolidFill brush = MakeSolidFill(color);
    Gdiplus::DllExports::GdipFillRectangleI(graphics, brush.Get(), x, y, w, h);
}

}  // namespace

bool CScheduleWnd::Paint(HDC frame, const RECT& clipBox) {
    const int cx = layout_.clientWidth;
    const int cy = layout_.clientHeight;
    const RECT client = {0, 0, cx, cy};
    RECT clip;
    if (cx <= 0 || cy <= 0 || !IntersectRect(&clip, &clipBox, &client)) return false;
    const int clipWidth = clip.right - clip.left;
    const int clipHeight = clip.bottom - clip.top;

    DcState state(frame);
    if (const HDC back = BackgroundDc()) {
        BitBlt(frame, clip.left, clip.top, clipWidth, clipHeight, back, clip.left, clip.top, SRCCOPY);
    } else {
        FillSolid(frame, clip, backColor_);
    }
    SetBkMode(frame, TRANSPARENT);

    const bool currentMonth = layout_.year == layout_.todayYear && layout_.month == layout_.todayMonth;
    {
        GdipGraphics graphics = GraphicsFromDc(frame);
        GdipPen halfBlack = MakePen(kHalfBlack);
        if (clip.top < layout_.metrics.gridTop) DrawTitle(frame, graphics.Get(), halfBlack.Get(), currentMonth);
        if (clip.bottom > layout_.metrics.daysTop) {
            const int maxLines = layout_.VisibleLines();
            DrawDayNumbers(frame, graphics.Get(), currentMonth, maxLines, clip);
            DrawEvents(frame, maxLines, clip);
        }
    }
    return true;
}

namespace {

// A 32-bit bitmap, rows top to bottom, and where its pixels are.
BitmapHandle MakeDib(int width, int height, void*& bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bits = nullptr;
    BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits == nullptr) bitmap.Reset();
    return bitmap;
}

}  // namespace

HDC CScheduleWnd::BackgroundDc() {
    if (backDirty_ || !backCache_) RebuildBackCache();
    return backCache_ ? backDc_.Get() : nullptr;
}

HDC CScheduleWnd::LineDc() {
    const int width = layout_.clientWidth;
    const int height = layout_.lineHeight;
    BITMAP made = {};
    if (!lineBitmap_ || GetObjectW(lineBitmap_, sizeof made, &made) == 0 || made.bmWidth != width ||
        made.bmHeight != height) {
        lineDc_.Reset();
        void* bits = nullptr;
        lineBitmap_ = MakeDib(width, height, bits);
        if (!lineBitmap_) return nullptr;
        lineDc_.Reset(CreateCompatibleDC(nullptr));
        if (!lineDc_) return nullptr;
        SelectObject(lineDc_, lineBitmap_);
        SetBkMode(lineDc_, TRANSPARENT);
    }
    if (!blackPen_) blackPen_.Reset(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    if (!greyPen_) greyPen_.Reset(CreatePen(PS_SOLID, 1, kExcludedGrey));
    if (!hatchBrush_) hatchBrush_.Reset(CreateHatchBrush(HS_BDIAGONAL, kExcludedGrey));
    return lineDc_.Get();
}

void CScheduleWnd::RebuildBackCache() {
    const int cx = layout_.clientWidth;
    const int cy = layout_.clientHeight;
    const int cw = layout_.cellWidth;
    const int ch = layout_.cellHeight;
    const MonthMetrics& m = layout_.metrics;
    const Preferences& prefs = *context_.prefs;
    // A tiled wallpaper keeps a cut of the photo, a fitted one a scaled copy.
    if (backImage_ && backImageFit_ != (prefs.BkgImgFit != 0)) ReloadBackImage();
    backDirty_ = false;
    // The old bitmap goes first: two of the window's size at once would be
    // the program's peak of memory.
    backDc_.Reset();
    backCache_.Reset();
    void* bits = nullptr;
    backCache_ = MakeDib(cx, cy, bits);
    if (!backCache_) return;
    backDc_.Reset(CreateCompatibleDC(nullptr));
    const HDC dc = backDc_.Get();
    if (dc == nullptr) {
        backCache_.Reset();
        return;
    }
    SelectObject(dc, backCache_);

    const RECT all = {0, 0, cx, cy};
    FillSolid(dc, all, backColor_);
    if (backImage_) {
        // Inside the one-pixel border.
        DrawWallpaper(dc, 1, 1, cx - 2, cy - 2, backImage_.Get(), prefs.BkgImgFit != 0, prefs.BkgImgRetainRatio != 0);
    }
    // The wash, grid and border are laid on the pixels: GDI+ would blend
    // them through a buffer of the window's size.
    GdiFlush();
    std::uint32_t* const pixels = static_cast<std::uint32_t*>(bits);
    const auto lay = [&](int x, int y, int w, int h, std::uint32_t colour, std::uint8_t alpha) {
        BlendSolid(pixels, cx, cy, {x, y, w, h}, colour, alpha);
    };
    constexpr std::uint32_t kWhite = 0xFFFFFF;
    constexpr std::uint32_t kBlack = 0x000000;
    constexpr std::uint8_t kHalf = kHalfBlack >> 24;
    // Inside the margin, from the pixel after the grid frame's left line.
    lay(m.margin + 1, m.margin, cx - 2 * m.margin - 1, cy - 2 * m.margin, kWhite, prefs.BkgAlpha);
    // The grid frame and the week lines, each pixel once, both ends included.
    const int gridRight = m.margin + layout_.gridWidth;
    const int gridBottom = m.gridTop + layout_.gridHeight;
    lay(m.margin, m.gridTop, layout_.gridWidth + 1, 1, kBlack, kHalf);
    lay(m.margin, gridBottom, layout_.gridWidth + 1, 1, kBlack, kHalf);
    lay(m.margin, m.gridTop + 1, 1, layout_.gridHeight - 1, kBlack, kHalf);
    lay(gridRight, m.gridTop + 1, 1, layout_.gridHeight - 1, kBlack, kHalf);
    for (int k = 0; k <= 5; ++k) lay(2 * m.margin, m.daysTop + k * ch, cx - 4 * m.margin + 1, 1, kBlack, kHalf);

    // Weekday names, Sunday's in red; a column line after each but the last.
    const HGDIOBJ oldFont = SelectObject(dc, headerFont_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kSundayRed);
    const LocaleNames& names = *context_.names;
    const int columnTop = m.daysTop + m.margin;
    for (int i = 0; i < 7; ++i) {
        const int left = m.margin + i * cw;
        RECT rc = {left, m.headerTop, left + cw, m.daysTop};
        DrawTextW(dc, Wide(names.ShortDayNames[static_cast<std::size_t>(i)]).c_str(), -1, &rc, kHeaderFlags);
        if (i < 6) {
            GdiFlush();
            lay(left + cw, columnTop, 1, cy - 2 * m.margin - columnTop + 1, kBlack, kHalf);
            SetTextColor(dc, RGB(0, 0, 0));
        }
    }
    SelectObject(dc, oldFont);
    GdiFlush();
    lay(0, 0, cx, 1, kBlack, 0xFF);
    lay(0, cy - 1, cx, 1, kBlack, 0xFF);
    lay(0, 1, 1, cy - 2, kBlack, 0xFF);
    lay(cx - 1, 1, 1, cy - 2, kBlack, 0xFF);
}

void CScheduleWnd::DrawTitle(HDC dc, Gdiplus::GpGraphics* graphics, Gdiplus::GpPen* halfBlack, bool currentMonth) {
    const std::string text = MonthTitle(*context_.names, layout_.year, layout_.month);
    const DpiScale s = layout_.metrics.scale;

    const HGDIOBJ oldFont = SelectObject(dc, titleFont_);
    SetTextColor(dc, currentMonth ? todayColor_ : RGB(0, 0, 0));
    RECT rc = {s(43), 0, s(166), s(41)};  // between the month arrows
    DrawTextW(dc, Wide(text).c_str(), -1, &rc, kTitleFlags);
    SelectObject(dc, oldFont);

    Gdiplus::DllExports::GdipDrawLineI(graphics, halfBlack, s(43), s(33), s(166), s(33));
    Gdiplus::DllExports::GdipDrawLineI(graphics, halfBlack, s(46), s(35), layout_.clientWidth - s(100), s(35));
    Gdiplus::DllExports::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
}

void CScheduleWnd::DrawDayNumbers(HDC dc, Gdiplus::GpGraphics* graphics, bool currentMonth, int maxLines,
                                  const RECT& clip) {
    const HGDIOBJ oldFont = SelectObject(dc, dayFont_);
    const MonthMetrics& m = layout_.metrics;
    for (int d = 1; d <= layout_.daysInMonth; ++d) {
        const LayoutRect cell = layout_.CellRect(d);
        if (cell.y >= clip.bottom || cell.y + cell.height <= clip.top) continue;
        const int x = cell.x + m.numberInset;
        const int y = cell.y + m.numberInset;
        COLORREF color = layout_.DayColumn(d) == 0 ? kSundayRed : RGB(0, 0, 0);
        if (currentMonth && d == layout_.todayDay) {
            FillArgb(graphics, Argb(kTodayTintAlpha, todayColor_), cell.x + 1, cell.y + 1, cell.width - 1,
                     cell.height - 1);
            Gdiplus::DllExports::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
            color = todayColor_;
        }
        if (d == layout_.selectedDay) {
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, color);
            SetTextColor(dc, RGB(255, 255, 255));
        } else {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, color);
        }
        const std::wstring digits = std::to_wstring(d);
        TextOutW(dc, x, y, digits.c_str(), static_cast<int>(digits.size()));
        if (layout_.lastLine[d] > maxLines) {
            // More event lines than the cell shows.
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            TextOutW(dc, x + m.plusOffset, y, L"+", 1);
        }
    }
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, oldFont);
}

void CScheduleWnd::DrawEvents(HDC frame, int maxLines, const RECT& clip) {
    if (maxLines <= 0) return;
    const int cw = layout_.cellWidth;
    const int lh = layout_.lineHeight;
    const MonthMetrics& m = layout_.metrics;
    const HDC scratch = LineDc();
    if (scratch == nullptr) return;
    // Out again when done: the fonts are made again for a new DPI.
    const SelectScope font(scratch, eventFont_);
    const SelectScope pen(scratch, blackPen_);

    // A title as DrawText cut it with an ellipsis to its piece's width, kept
    // for the next piece of that width: every box of an event has the same.
    struct Fitted {
        const MonthEvent* event;
        int width;
        std::wstring text;
    };
    std::vector<Fitted> fitted;
    const auto drawTitle = [&](const MonthEvent* event, int width) {
        for (const Fitted& f : fitted) {
            if (f.event == event && f.width == width) {
                TextOutW(scratch, m.textLeft, m.textTop, f.text.c_str(), static_cast<int>(f.text.size()));
                return;
            }
        }
        const std::string& title = event->item->title;
        std::wstring text = Wide(title);
        text.resize(text.size() + 5, L'\0');  // room for the ellipsis
        RECT rc = {m.textLeft, m.textTop, width - m.textRightGap, lh - m.textBottomGap};
        DrawTextW(scratch, text.data(), -1, &rc, kEventTitleFlags | DT_MODIFYSTRING);
        // A control character is laid out by DrawText alone.
        if (std::none_of(title.begin(), title.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
            fitted.push_back({event, width, text.data()});
        }
    };

    // One bar segment or box: drawn at the scratch line's origin, then copied
    // to (x, y), cut to the room left in its cell row.
    struct Piece {
        const MonthEvent* event;
        bool excluded;
        int x;
        int y;
        int w;
        int room;
        bool startCap;
        bool endCap;
        bool boxed;
        bool titled;
    };
    // Painted in bands: a piece outside this one is drawn with its own.
    const auto inBand = [&](const Piece& p) { return p.y < clip.bottom && p.y + std::min(lh, p.room) > clip.top; };
    // Draws the piece on the scratch line; where it goes, after its caps.
    const auto render = [&](Piece& p) {
        const bool selected = p.event == layout_.selectedEvent;
        const COLORREF titleColor =
            p.excluded ? kExcludedGrey : selected ? RGB(255, 255, 255) : static_cast<COLORREF>(p.event->textColor);
        const RECT fill = {0, 0, p.w, lh};
        FillSolid(scratch, fill, selected ? p.event->textColor : p.event->barColor);
        if (p.excluded) FillRect(scratch, &fill, hatchBrush_);
        SelectObject(scratch, p.excluded ? greyPen_.Get() : blackPen_.Get());
        if (p.boxed) {
            Line(scratch, 0, 0, 0, lh - 1);
            Line(scratch, p.w - 1, 0, p.w - 1, lh - 1);
        }
        if (p.startCap) {
            p.x += m.capInset;
            p.w -= m.capInset;
            Line(scratch, 0, 0, 0, lh - 1);
        }
        if (p.endCap) {
            p.w -= m.capInset;
            Line(scratch, p.w - 1, 0, p.w - 1, lh - 1);
        }
        Line(scratch, 0, 0, p.w, 0);
        Line(scratch, 0, lh - 1, p.w, lh - 1);
        if (p.titled) {
            SetTextColor(scratch, titleColor);
            drawTitle(p.event, p.w);
        }
    };
    const auto place = [&](const Piece& p) { BitBlt(frame, p.x, p.y, p.w, std::min(lh, p.room), scratch, 0, 0, SRCCOPY); };
    const auto draw = [&](Piece p) {
        if (!inBand(p)) return;
        render(p);
        place(p);
    };

    // Bars of the events without recurrence, one segment per week row, the
    // title on the first.
    for (const MonthEvent& event : layout_.monthEvents) {
        const int line = event.line;
        if (line > maxLines || IsRecurring(event.item->front.recurKind)) continue;
        int firstDay = 0;
        int lastDay = 0;
        for (int d = 1; d <= layout_.daysInMonth; ++d) {
            if (layout_.slots[d][line].event != &event) continue;
            if (firstDay == 0) firstDay = d;
            lastDay = d;
        }
        if (firstDay == 0) continue;
        const bool startsBefore = !layout_.slots[firstDay][line].startsHere;
        const bool endsAfter = !layout_.slots[lastDay][line].endsHere;
        const bool excluded = layout_.slots[firstDay][line].excluded;
        for (int d = firstDay; d <= lastDay;) {
            const LayoutRect cell = layout_.CellRect(d);
            const int y = layout_.LineRect(d, line).y;
            const int run = std::min(6 - layout_.DayColumn(d), lastDay - d);
            draw(Piece{&event, excluded, cell.x + 1, y, (run + 1) * cw - 1, cell.y + cell.height - y,
                       d == firstDay && !startsBefore, d + run == lastDay && !endsAfter, false, d == firstDay});
            d += run + 1;
        }
    }

    // Boxes of the recurring events' occurrences, one per day. Every box of
    // an event looks the same: it is drawn once and copied to each day.
    std::vector<Piece> boxes;
    for (int d = 1; d <= layout_.daysInMonth; ++d) {
        const LayoutRect cell = layout_.CellRect(d);
        for (int k = 1; k <= maxLines; ++k) {
            const DaySlot& slot = layout_.slots[d][k];
            if (slot.event == nullptr || !IsRecurring(slot.event->item->front.recurKind)) continue;
            const int y = layout_.LineRect(d, k).y;
            // Where a bar's caps would be: 4 pixels in, 3 before the next column line.
            const Piece box{slot.event, slot.excluded, cell.x + 1 + m.capInset, y, cell.width - 1 - 2 * m.capInset,
                            cell.y + cell.height - y, false, false, true, true};
            if (inBand(box)) boxes.push_back(box);
        }
    }
    const auto key = [](const Piece& p) { return std::make_tuple(p.event, p.excluded, p.w); };
    std::stable_sort(boxes.begin(), boxes.end(), [&](const Piece& a, const Piece& b) { return key(a) < key(b); });
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (i == 0 || key(boxes[i]) != key(boxes[i - 1])) render(boxes[i]);
        place(boxes[i]);
    }
}
