#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "calendar/month_accessible.h"
#include "calendar/month_layout.h"
#include "core/clock.h"
#include "core/locale_names.h"
#include "core/time_types.h"
#include "dialogs/schedule_dlg.h"
#include "platform/desktop.h"
#include "platform/registry.h"
#include "platform/text_format.h"
#include "platform/win32/win32_text_codec.h"
#include "store/event_store.h"
#include "store/preferences.h"
#include "ui/accessible_holder.h"
#include "ui/close_button.h"
#include "ui/gdi.h"
#include "ui/gdiplus.h"
#include "ui/wnd.h"

// What the calendar window reaches of the main frame. Everything pointed at
// outlives the window.
struct ScheduleWndContext {
    EventStore* store = nullptr;
    Preferences* prefs = nullptr;  // the background, read when drawn
    const Clock* clock = nullptr;
    const LocaleNames* names = nullptr;
    // Told once, when the window goes, its normal rectangle.
    std::function<void(const ScreenRect& rect)> closed;
    // Told once, after the first paint.
    std::function<void()> painted;
    // For the event editor and the hover tip.
    Registry* registry = nullptr;        // the editor's recently used files
    std::string installPath;             // base of the default reminder sound; may be empty
    const Desktop* desktop = nullptr;    // the work area the tip stays inside
    const TextFormat* format = nullptr;  // the tip's dates and times
    EditorShell* editorShell = nullptr;  // null: the system's files, sounds and open-file dialog
};

// The month calendar: a captionless popup showing six weeks of the displayed
// month with every occurrence of every event, its own moving and sizing
// edges, selection by mouse and keyboard, and the day and event menus.
// Created on demand; the object deletes itself once its window is gone.
class CScheduleWnd final : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    static constexpr wchar_t kClassName[] = L"OrvCalendarSchedule";
    static constexpr UINT_PTR kHoverTimerId = 0;
    // Looks at the date every minute: a window left open past midnight, or
    // across a change of the clock, marks the new day as today.
    static constexpr UINT_PTR kDayTimerId = 1;
    static constexpr UINT kDayCheckMs = 60000;
    static constexpr UINT kHoverDelayMs = 1000;

    // Registers the class and creates the window, not yet shown; null when
    // creation failed.
    static CScheduleWnd* CreateNew(const ScheduleWndContext& context, const RECT& rect, bool dropShadow);

    // Displays the month of the event's first occurrence at or after `from`
    // (else its first one at all) and selects it there.
    void ShowEvent(std::uint32_t eventId, Instant from, bool openEditor);

    void NewEvent();
    // Takes the clock's date as today; true when it moved.
    bool TakeToday();

    void EditEvent();  // the selected one
    void EditEvent(std::uint32_t eventId);
    void DeleteSelectedEvent();
    void ExcludeSelectedOccurrence();
    void BrowseAll();
    // Selects a day of the displayed month, as a click on it would.
    void SelectDay(int day);
    void PrevMonth();
    void NextMonth();
    void ThisMonth();
    // The event menu when an event line is selected, else the day menu; at a
    // client point.
    void ShowContextMenu(int x, int y);
    // The menu ShowContextMenu would show: the loaded resource and, through
    // popup, the submenu inside it. Empty when nothing is selected.
    MenuHandle BuildContextMenu(HMENU& popup);

    // After the preferences changed the background.
    void RefreshBackColor();
    void ReloadBackImage();

    // Draws the clip part of the client area into dc (WM_PAINT and WM_PRINTCLIENT
    // buffer it); false while the window has no size.
    bool Paint(HDC dc, const RECT& clip);

    const MonthLayout& Layout() const { return layout_; }
    int SizeEdge() const { return sizeEdge_; }
    bool HasBackImage() const { return static_cast<bool>(backImage_); }
    bool BackDirty() const { return backDirty_; }
    COLORREF TodayColor() const { return todayColor_; }
    HWND Button(UINT id) const;
    std::uint32_t MenuEventId(int i) const { return menuEventIds_[static_cast<std::size_t>(i)]; }

protected:
    bool PreTranslateMessage(MSG& msg) override;
    void PostNcDestroy() override;

private:
    explicit CScheduleWnd(const ScheduleWndContext& context) : context_(context), layout_(*context.store, &codePage_) {}

    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnGetMinMaxInfo(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnRButtonDown(WPARAM, LPARAM);
    LRESULT OnRButtonUp(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM key, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return 1; }
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnScheduleChanged(WPARAM, LPARAM);
    LRESULT OnRegisterDenied(WPARAM, LPARAM);
    LRESULT OnDpiChanged(WPARAM, LPARAM);
    LRESULT OnGetObject(WPARAM, LPARAM);
    void OnCloseButton();
    void OnDayEventCommand(UINT id);

    void MoveSelectedDay(int delta);
    // WinEvents for screen readers: the selected day, the month shown.
    void AnnounceSelection();
    void AnnounceMonth();
    void ShowMonth(int year, int month);
    void SelectAt(int x, int y);
    void InvalidateDays();
    void ShowTip();
    void StopHoverTimer();
    void CloseTip();
    ScheduleDlgContext EditorContext() const;
    // The measures, fonts, line height and buttons for a DPI.
    void ApplyDpi(int dpi);
    void CreateFonts();
    void MeasureLineHeight();
    void PlaceButtons();

    // Painting, in schedule_paint.cpp. The background and an event line's
    // scratch are kept in DCs of their own: a paint goes in bands, and
    // making them again for each band would cost more than the drawing.
    HDC BackgroundDc();
    void RebuildBackCache();
    HDC LineDc();
    void DrawTitle(HDC dc, Gdiplus::GpGraphics* graphics, Gdiplus::GpPen* halfBlack, bool currentMonth);
    void DrawDayNumbers(HDC dc, Gdiplus::GpGraphics* graphics, bool currentMonth, int maxLines, const RECT& clip);
    void DrawEvents(HDC dc, int maxLines, const RECT& clip);

    ScheduleWndContext context_;
    Win32TextCodec codePage_;  // before the layout, which keeps its address
    MonthLayout layout_;
    // Ids of the events behind the day menu's submenus; index 0 unused.
    std::array<std::uint32_t, MonthLayout::kMaxLines + 1> menuEventIds_{};
    FontHandle headerFont_;
    FontHandle titleFont_;
    FontHandle dayFont_;
    FontHandle eventFont_;
    COLORREF backColor_ = RGB(255, 255, 255);
    COLORREF todayColor_ = RGB(0, 0, 0);
    GdipBitmap backImage_;
    bool backImageFit_ = true;  // the fit the kept part of the wallpaper was made for
    BitmapHandle backCache_;
    DcHandle backDc_;  // after the bitmap it holds: deleted first
    bool backDirty_ = true;
    BitmapHandle lineBitmap_;
    PenHandle blackPen_;
    PenHandle greyPen_;
    BrushHandle hatchBrush_;
    DcHandle lineDc_;  // after what it holds: deleted first
    CCloseButton closeButton_;
    CCloseButton prevButton_;
    CCloseButton nextButton_;
    CCloseButton thisMonthButton_;
    HWND tip_ = nullptr;  // the hover tip's window while one is open
    bool dropShadow_ = false;
    int lastMouseX_ = -1;
    int lastMouseY_ = -1;
    int sizeEdge_ = 0;    // WMSZ_ code of the edge under the cursor, 0 = none
    bool created_ = false;           // creation went through: the destroy steps apply
    AccessibleHolder<MonthAccessible> accessible_;  // after the layout it reads: cut off first
};
