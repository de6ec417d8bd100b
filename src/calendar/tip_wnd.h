#pragma once
#include <windows.h>

#include <memory>
#include <optional>

#include "calendar/tip_model.h"
#include "core/clock.h"
#include "core/locale_names.h"
#include "core/schedule_item.h"
#include "platform/desktop.h"
#include "platform/dpi_scale.h"
#include "platform/text_format.h"
#include "ui/gdi.h"
#include "ui/wnd.h"

// What the hover tip needs of the program. Everything pointed at outlives the tip.
struct TipContext {
    const Clock* clock = nullptr;
    const Desktop* desktop = nullptr;  // the work area of the cursor's monitor
    const TextFormat* format = nullptr;
    const LocaleNames* names = nullptr;
    std::optional<LOGFONTW> font;  // the icon-title font; none: the device context's default
    bool dropShadow = false;
    DpiScale scale;  // the calendar window's, whose font the tip writes in
};

// The small window in tooltip colours that describes one event: a popup with
// a thin border that sizes itself to its text, stays inside the work area of
// the cursor's monitor, floats on top and never takes activation. The object
// deletes itself once its window is gone.
class CTipWnd final : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    static constexpr wchar_t kClassName[] = L"OrvCalendarTip";
    static constexpr int kCursorGap = 17;  // below the cursor, at 96 DPI

    // A tip for the item, opened below the cursor's screen position; null
    // when its window could not be created.
    static CTipWnd* OpenNew(const TipContext& context, const ScheduleItem& item, POINT cursor);

    const TipLines& Lines() const { return lines_; }
    // Left and top 0; right the widest line, bottom the sum of the line steps.
    const RECT& TextExtent() const { return textExtent_; }
    // Measures and places the window, or draws the lines.
    void LayoutAndDraw(HDC dc, bool measure);

protected:
    void PostNcDestroy() override;

private:
    CTipWnd(const TipContext& context, POINT cursor) : context_(context), cursor_(cursor) {}

    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM);
    // The background of the clip, then the lines.
    bool Draw(HDC dc, const RECT& clip);
    LRESULT OnMouseActivate(WPARAM, LPARAM) { return MA_NOACTIVATE; }
    // The calendar below sees the mouse, and closes the tip when it moves.
    LRESULT OnNcHitTest(WPARAM, LPARAM) { return HTTRANSPARENT; }

    TipContext context_;
    POINT cursor_;  // the tip stays on this point's monitor
    std::unique_ptr<ScheduleItem> item_;
    FontHandle font_;
    TipLines lines_;
    RECT textExtent_ = {0, 0, 0, 0};
    int lineStep_ = 0;
};
