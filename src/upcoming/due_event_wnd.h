#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>

#include "core/clock.h"
#include "core/time_types.h"
#include "platform/desktop.h"
#include "platform/registry.h"
#include "reminder/reminder_scheduler.h"
#include "store/preferences.h"
#include "ui/accessible_holder.h"
#include "ui/gdi.h"
#include "ui/wnd.h"
#include "upcoming/due_accessible.h"
#include "upcoming/due_list_model.h"

class CCloseButton;

// What the upcoming-events window reaches of the main frame. Everything
// pointed at outlives the window.
struct DueEventContext {
    ReminderScheduler::PendingList* pending = nullptr;  // the window fills its text caches
    const Preferences* prefs = nullptr;                 // UewHours and UewStartup, read when used
    Registry* registry = nullptr;                       // "DueEventCoord"
    const Desktop* desktop = nullptr;
    const Clock* clock = nullptr;
    HWND frame = nullptr;  // told WM_CHILDCLOSED when the window closes
    std::function<void(std::uint32_t eventId, Instant start)> openCalendar;
    std::function<bool(std::uint32_t eventId)> eventExists;  // none: every event is
    // Puts the occurrence off until the instant given.
    std::function<void(std::uint32_t eventId, Instant start, Instant until)> snooze;
};

// The small always-on-top list of begun, reminded and upcoming occurrences.
// Created on demand; the object deletes itself once its window is gone.
class CDueEventWnd final : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    static constexpr wchar_t kClassName[] = L"OrvCalendarDueEvent";
    static constexpr UINT_PTR kBlinkTimerId = 0;
    static constexpr UINT kBlinkShownMs = 700;
    static constexpr UINT kBlinkHiddenMs = 300;

    // Registers the class, creates the window and runs the show step; null
    // when the window could not be created.
    static CDueEventWnd* OpenNew(const DueEventContext& context, bool dropShadow);

    // The show step: position, rows, size, then shown without activation.
    void Open();
    void LoadPosition();
    void SavePosition();
    void BuildList();
    // Draws the clip part of the client area into dc (WM_PAINT and
    // WM_PRINTCLIENT buffer it); false before the window is shown.
    bool Paint(HDC dc, const RECT& clip);

    const DueList& List() const { return list_; }
    const DueAnchor& Anchor() const { return anchor_; }
    bool Shown() const { return shown_; }
    bool BlinkTimerRunning() const { return blinkTimer_; }
    HFONT Font() const { return font_; }
    // The tick button of a begun row, or null.
    HWND TickButton(int row) const;
    // The snooze button of a row, or null.
    HWND SnoozeButton(int row) const;

protected:
    void PostNcDestroy() override;

private:
    explicit CDueEventWnd(const DueEventContext& context) : context_(context) {}

    LRESULT OnScheduleChanged(WPARAM, LPARAM);
    void OnDismissClicked(UINT id);
    void OnSnoozeClicked(UINT id);
    void OnSnoozeChoice(UINT id);
    LRESULT OnContextMenu(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnRButtonUp(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnMove(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return 1; }
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnDpiChanged(WPARAM, LPARAM);
    LRESULT OnGetObject(WPARAM, LPARAM);

    void Dismiss(int k);
    // After a row left: closes the window when nothing is left and it is
    // not kept open, else repaints it.
    void CloseIfEmpty();
    void OpenSnoozeMenu(int row);
    void CreateTickButtons();
    void DestroyTickButtons();

    DueEventContext context_;
    DueList list_;
    DueAnchor anchor_;
    FontHandle font_;
    bool shown_ = false;
    bool blinkTimer_ = false;
    // Child windows that delete themselves when destroyed.
    std::array<CCloseButton*, kMaxDueRows> buttons_{};
    std::array<CCloseButton*, kMaxDueRows> snoozeButtons_{};
    // The row whose snooze menu is open; its commands arrive once the menu
    // has closed, and the rows may have been rebuilt by then.
    struct SnoozeTarget {
        bool set = false;
        std::uint32_t eventId = 0;
        Instant start = 0;
    } snoozeTarget_;
    AccessibleHolder<DueAccessible> accessible_;  // after the rows it reads: cut off first
};
