#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "core/schedule_item.h"
#include "dialogs/schedule_dlg.h"
#include "store/event_store.h"

// The calendar window's New Event and View/Edit Event: open the editor, and
// at its OK hand its item to the store. The editor runs a modal loop in which
// the program may end or the store change; only the editor's own OK saves,
// and never into an event that is gone. A save the registry refuses keeps
// the editor open with the input, after a notice, for another try.
enum class EditorOutcome {
    Refused,    // the store is full: the notice was shown
    Cancelled,  // Cancel, or the editor went with its owner
    Unchanged,  // OK without a change
    Saved,
    Failed,     // nothing saved: the event is gone, or the store filled up
    NotWritten, // kept in memory, but the registry refused it: the user was told
};

// The notice of a full store, owned by owner; true when an event may be added.
bool ConfirmCanAddEvent(HWND owner, const EventStore& store);

EditorOutcome RunNewEvent(HWND owner, const ScheduleDlgContext& context, EventStore& store, int year, int month,
                          int day);
EditorOutcome RunEditEvent(HWND owner, const ScheduleDlgContext& context, EventStore& store, std::uint32_t eventId);

// The saves alone. A new event gets the next free id, unless the store
// filled up meanwhile. An edited event is saved only while it is still in
// the store: a structural save of a gone id would bring it back.
EditorOutcome SaveNewEvent(EventStore& store, std::unique_ptr<ScheduleItem> item);
EditorOutcome SaveEditedEvent(EventStore& store, std::unique_ptr<ScheduleItem> item, bool structureChanged,
                              bool actionsChanged);
