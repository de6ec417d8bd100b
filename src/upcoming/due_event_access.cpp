// The upcoming-events window for screen readers: its accessible object,
// made only when a reader asks.
#include "upcoming/due_event_wnd.h"

LRESULT CDueEventWnd::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || context_.clock == nullptr) return Default();
    return accessible_.Answer(wParam, [this] { return new DueAccessible(hwnd_, list_, *context_.clock); });
}
