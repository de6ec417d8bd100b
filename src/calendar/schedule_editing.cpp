// What the calendar window opens to change events: the editor, the browser,
// the delete question and the exclusion of one occurrence.
#include "calendar/schedule_wnd.h"

#include <string>
#include <utility>

#include "dialogs/editor_commit.h"
#include "dialogs/sche_browser_dlg.h"
#include "dialogs/write_failure.h"
#include "platform/win32/win32_date_format.h"
#include "platform/win32/wide_text.h"

ScheduleDlgContext CScheduleWnd::EditorContext() const {
    return {context_.registry, context_.clock, context_.names, context_.installPath, context_.editorShell};
}

// The editor runs a modal loop: the month may be rebuilt meanwhile, or the
// window destroyed with the editor (Exit, the end of the session), which then
// saves nothing. Only ids and values are carried across it.
void CScheduleWnd::NewEvent() {
    if (layout_.selectedDay <= 0) return;
    StopHoverTimer();
    CloseTip();
    RunNewEvent(hwnd_, EditorContext(), *context_.store, layout_.year, layout_.month, layout_.selectedDay);
}

void CScheduleWnd::EditEvent() {
    if (layout_.selectedEvent != nullptr) EditEvent(layout_.selectedEvent->item->front.id);
}

void CScheduleWnd::EditEvent(std::uint32_t eventId) {
    StopHoverTimer();
    CloseTip();
    RunEditEvent(hwnd_, EditorContext(), *context_.store, eventId);
}

void CScheduleWnd::BrowseAll() {
    ScheBrowserContext browser;
    browser.store = context_.store;
    browser.shortDate = &FormatShortDate;
    // Called once the browser has closed; this window outlives its own handler.
    browser.editEvent = [this](std::uint32_t eventId) {
        if (hwnd_ == nullptr) return;
        // The event it picked, even one the calendar cannot show (no occurrence).
        ShowEvent(eventId, context_.clock->Now(), false);
        if (hwnd_ != nullptr) EditEvent(eventId);
    };
    CScheBrowserDlg(std::move(browser)).Run(hwnd_);
}

void CScheduleWnd::DeleteSelectedEvent() {
    if (layout_.selectedEvent == nullptr) return;
    const std::uint32_t id = layout_.selectedEvent->item->front.id;
    const std::string text = "Delete the selected event?\n\"" + layout_.selectedEvent->item->title + "\"";
    if (MessageBoxW(hwnd_, Wide(text).c_str(), L"Delete", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    // The box ran a message loop: the store may have changed and the month
    // been rebuilt, or the window closed. Only the event still selected goes.
    if (hwnd_ == nullptr) return;
    if (layout_.selectedEvent == nullptr || layout_.selectedEvent->item->front.id != id) return;
    if (!context_.store->DeleteEvent(id, 0, true)) ShowWriteFailure(hwnd_, kNotDeletedText);
}

void CScheduleWnd::ExcludeSelectedOccurrence() {
    if (layout_.selectedEvent == nullptr || layout_.selectedDay <= 0) return;
    if (!context_.store->ToggleExclusion(layout_.selectedId, layout_.year, layout_.month, layout_.selectedDay,
                                         layout_.selectedEvent->item->front.recurKind))
        ShowWriteFailure(hwnd_, kExclusionNotSavedText);
}
