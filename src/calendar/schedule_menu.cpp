// The day and event menus of the calendar window.
#include "calendar/schedule_wnd.h"
#include "platform/win32/system_time.h"

#include <string>
#include <utility>
#include <vector>

#include "calendar/calendar_ids.h"
#include "platform/win32/wide_text.h"

namespace {

// A title as a menu shows it: "&" as itself, not as the mark of a key, and
// a tab not as the start of the shortcut column.
std::string MenuLabel(const std::string& title) {
    std::string label;
    for (char c : title) {
        if (c == '&') label += '&';
        label += c == '\t' ? ' ' : c;
    }
    return label;
}

// A time of day as the user's locale writes it, without seconds.
std::string FormatTimeOfDay(int secondsAfterMidnight) {
    const SYSTEMTIME st = SystemTimeOfDay(secondsAfterMidnight);
    wchar_t text[30] = {};
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, 30) == 0) return {};
    return Utf8(text);
}

}  // namespace

MenuHandle CScheduleWnd::BuildContextMenu(HMENU& popup) {
    popup = nullptr;
    const int day = layout_.selectedDay;
    if (day <= 0 && layout_.selectedEvent == nullptr) return {};
    MenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPS)));
    if (!menu) return menu;

    if (layout_.selectedEvent != nullptr) {
        popup = GetSubMenu(menu, POPUP_CALENDAR_EVENT);
        SetMenuDefaultItem(popup, ID_EDIT_EVENT, FALSE);
        CheckMenuItem(popup, ID_EXCLUDE_OCCURRENCE,
                      MF_BYCOMMAND | (layout_.selectedExcluded ? MF_CHECKED : MF_UNCHECKED));
        return menu;
    }

    popup = GetSubMenu(menu, POPUP_CALENDAR_DAY);
    SetMenuDefaultItem(popup, ID_NEW_EVENT, FALSE);
    menuEventIds_.fill(0);
    if (day >= MonthLayout::kDaysTableSize) return menu;

    // The day's events: bars that continue through the day first, then the
    // occurrences that begin on it by time of day; equal keys in line order.
    struct Entry {
        std::uint32_t id;
        int sortKey;
        std::string text;
        bool excluded;
    };
    std::vector<Entry> entries;
    for (int k = 1; k <= MonthLayout::kMaxLines; ++k) {
        const DaySlot& slot = layout_.slots[day][k];
        if (slot.event == nullptr) continue;
        const ScheduleItem& item = *slot.event->item;
        Entry entry{item.front.id, 0, MenuLabel(item.title), slot.excluded};
        if (slot.startsHere) {
            entry.text += " (" + FormatTimeOfDay(item.front.startTime) + ")";
            entry.sortKey = item.front.startTime;
        } else {
            entry.text += slot.endsHere ? " (/)" : " (~)";
        }
        if (entry.excluded) entry.text.insert(0, "- ");
        auto at = entries.begin();
        while (at != entries.end() && at->sortKey <= entry.sortKey) ++at;
        entries.insert(at, std::move(entry));
    }

    UINT position = 1;  // after "New Event..."
    for (const Entry& entry : entries) {
        const UINT i = position;
        const UINT base = ID_DAY_EVENT_BASE + 3 * i;
        MenuHandle sub(CreatePopupMenu());
        if (!sub) break;
        AppendMenuW(sub, MF_STRING, base, L"View/Edit...");
        AppendMenuW(sub, MF_STRING, base + 1, L"Delete");
        AppendMenuW(sub, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(sub, MF_STRING | (entry.excluded ? MF_CHECKED : MF_UNCHECKED), base + 2, L"Exclude This");
        if (!InsertMenuW(popup, i, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub.Get()),
                         Wide(entry.text).c_str())) {
            break;
        }
        sub.Release();  // the day menu owns it now
        menuEventIds_[i] = entry.id;
        ++position;
    }
    return menu;
}

void CScheduleWnd::ShowContextMenu(int x, int y) {
    StopHoverTimer();
    CloseTip();
    HMENU popup = nullptr;
    const MenuHandle menu = BuildContextMenu(popup);
    if (!menu || popup == nullptr) return;
    POINT pt = {x, y};
    ClientToScreen(hwnd_, &pt);
    TrackPopupMenu(popup, 0, pt.x, pt.y, 0, hwnd_, nullptr);
}

void CScheduleWnd::OnDayEventCommand(UINT id) {
    const UINT i = (id - ID_DAY_EVENT_BASE) / 3;
    const UINT operation = (id - ID_DAY_EVENT_BASE) % 3;
    if (i < 1 || i > MonthLayout::kMaxLines) return;
    const std::uint32_t eventId = menuEventIds_[i];
    if (eventId == 0 || !layout_.SelectEventById(eventId)) return;
    InvalidateDays();
    switch (operation) {
        case 0:
            EditEvent();
            break;
        case 1:
            DeleteSelectedEvent();
            break;
        default:
            ExcludeSelectedOccurrence();
            break;
    }
}
