#include "dialogs/editor_commit.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr char kCannotAddText[] = "Can't add more event.\nPlease delete some of the previous events.";

EditorOutcome Result(bool saved) { return saved ? EditorOutcome::Saved : EditorOutcome::NotWritten; }

// Saves at the editor's OK; a refused save keeps the editor open. Its retry
// writes the whole event again: the failed write took the event's key away.
EditorOutcome RunEditor(HWND owner, CScheduleDlg& dlg, EventStore& store, std::uint32_t eventId) {
    EditorOutcome outcome = EditorOutcome::Cancelled;
    dlg.SetCommit([&](const ScheduleItem& item) {
        auto copy = std::make_unique<ScheduleItem>(item);
        if (outcome == EditorOutcome::NotWritten) {
            copy->front.id = eventId;
            outcome = store.FindEvent(eventId) == nullptr ? EditorOutcome::Failed
                                                          : Result(store.SaveEvent(copy, true, true));
        } else if (eventId == 0) {
            // An import or a sync may have filled the store while the editor was open.
            if (!ConfirmCanAddEvent(dlg.Hwnd(), store)) return CScheduleDlg::CommitResult::Refused;
            const std::uint32_t id = store.NextEventId();  // the one SaveNewEvent gives
            outcome = SaveNewEvent(store, std::move(copy));
            if (outcome == EditorOutcome::NotWritten) eventId = id;
        } else {
            outcome = SaveEditedEvent(store, std::move(copy), dlg.structureChanged, dlg.actionsChanged);
        }
        return outcome == EditorOutcome::NotWritten ? CScheduleDlg::CommitResult::NotWritten
                                                    : CScheduleDlg::CommitResult::Saved;
    });
    dlg.DoModal(owner);
    return outcome;
}

}  // namespace

bool ConfirmCanAddEvent(HWND owner, const EventStore& store) {
    if (store.CanAddEvent()) return true;
    MessageBoxW(owner, Wide(kCannotAddText).c_str(), L"Notice", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

EditorOutcome SaveNewEvent(EventStore& store, std::unique_ptr<ScheduleItem> item) {
    if (!item || !store.CanAddEvent()) return EditorOutcome::Failed;
    item->front.id = store.NextEventId();
    return Result(store.SaveEvent(item, true, true));
}

EditorOutcome SaveEditedEvent(EventStore& store, std::unique_ptr<ScheduleItem> item, bool structureChanged,
                              bool actionsChanged) {
    if (!item) return EditorOutcome::Failed;
    if (!structureChanged && !actionsChanged) return EditorOutcome::Unchanged;
    const ScheduleItem* stored = store.FindEvent(item->front.id);
    if (stored == nullptr) return EditorOutcome::Failed;
    // A date excluded from a recurring event would hide all of it once it
    // stops recurring: a one-off event counts any exclusion of its own.
    if (structureChanged && IsRecurring(stored->front.recurKind) && !IsRecurring(item->front.recurKind)) {
        store.RemoveExclusions(item->front.id);
    }
    return Result(store.SaveEvent(item, structureChanged, structureChanged ? actionsChanged : true));
}

EditorOutcome RunNewEvent(HWND owner, const ScheduleDlgContext& context, EventStore& store, int year, int month,
                          int day) {
    if (!ConfirmCanAddEvent(owner, store)) return EditorOutcome::Refused;
    CScheduleDlg dlg(context);
    dlg.SetPreset(year, month, day);
    return RunEditor(owner, dlg, store, 0);
}

EditorOutcome RunEditEvent(HWND owner, const ScheduleDlgContext& context, EventStore& store, std::uint32_t eventId) {
    const ScheduleItem* event = store.FindEvent(eventId);
    if (event == nullptr) return EditorOutcome::Failed;
    CScheduleDlg dlg(context);
    dlg.SetItem(*event);  // the store's item may be replaced while the editor is open
    return RunEditor(owner, dlg, store, eventId);
}
