#include "dialogs/editor_commit.h"

namespace {

constexpr char kCannotAddText[] = "Can't add more event.\nPlease delete some of the previous events.";

EditorOutcome Result(bool saved) { return saved ? EditorOutcome::Saved : EditorOutcome::Failed; }

}  // namespace

bool ConfirmCanAddEvent(HWND owner, const EventStore& store) {
    if (store.CanAddEvent()) return true;
    MessageBoxA(owner, kCannotAddText, "Notice", MB_OK | MB_ICONEXCLAMATION);
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
    if (dlg.DoModal(owner) != IDOK) return EditorOutcome::Cancelled;
    return SaveNewEvent(store, dlg.TakeItem());
}

EditorOutcome RunEditEvent(HWND owner, const ScheduleDlgContext& context, EventStore& store, std::uint32_t eventId) {
    const ScheduleItem* event = store.FindEvent(eventId);
    if (event == nullptr) return EditorOutcome::Failed;
    CScheduleDlg dlg(context);
    dlg.SetItem(*event);  // the store's item may be replaced while the editor is open
    if (dlg.DoModal(owner) != IDOK) return EditorOutcome::Cancelled;
    const bool structure = dlg.structureChanged;
    const bool actions = dlg.actionsChanged;
    return SaveEditedEvent(store, dlg.TakeItem(), structure, actions);
}
