// The hover tip over an event line.
#include "calendar/schedule_wnd.h"
#include "calendar/tip_wnd.h"
#include "ui/desktop_metrics.h"

// A second after the mouse came to rest over an event line, its details.
void CScheduleWnd::ShowTip() {
    StopHoverTimer();
    if (tip_ != nullptr || GetForegroundWindow() != hwnd_) return;
    POINT pt;
    GetCursorPos(&pt);
    POINT client = pt;
    ScreenToClient(hwnd_, &client);
    const DaySlot* slot = layout_.SlotFromPoint(client.x, client.y);
    if (slot == nullptr || context_.desktop == nullptr || context_.format == nullptr) return;
    const DpiScale scale = layout_.metrics.scale;
    TipContext tip{context_.clock, context_.desktop, context_.format, context_.names, std::nullopt, dropShadow_, scale};
    LOGFONTW font = {};
    if (GetIconTitleLogFont(font, scale.dpi)) tip.font = font;
    if (CTipWnd* wnd = CTipWnd::OpenNew(tip, *slot->event->item, pt)) tip_ = wnd->Hwnd();
}

void CScheduleWnd::StopHoverTimer() {
    if (hwnd_ != nullptr) KillTimer(hwnd_, kHoverTimerId);
}

void CScheduleWnd::CloseTip() {
    if (tip_ == nullptr) return;
    ::DestroyWindow(tip_);
    tip_ = nullptr;
}
