// Browse All from the calendar window: deletions leave the month rebuilt,
// the selection dropped and no freed event behind; Edit brings the calendar
// to the picked event and opens the editor on it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "dialogs/browser_ids.h"
#include "dialogs/editor_ids.h"
#include "schedule_wnd_rig.h"
#include "support/dialog_script.h"
#include "support/message_box_catcher.h"
#include "support/modal_driver.h"
#include "calendar/calendar_ids.h"

namespace {

HWND Browser() { return FindWindowA("#32770", "Event Browser"); }

void SelectRows(std::initializer_list<int> rows) {
    HWND list = GetDlgItem(Browser(), IDC_BROWSER_LIST);
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_SELECTED;
    for (int row : rows) SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

bool MonthHoldsOnlyStoredEvents(const CalendarRig& rig, EventStore& store) {
    for (const MonthEvent& e : rig.Layout().monthEvents) {
        if (store.FindEvent(e.item->front.id) != e.item) return false;
    }
    return true;
}

TEST(CalendarBrowseAll, DeletingTheSelectedEventRebuildsTheMonthAtOnce) {
    CalendarRig rig(MakeLocalTime(2026, 8, 10, 12, 0, 0));
    rig.Add({"Anna", 2026, 8, 3, 2026, 8, 3});
    const std::uint32_t berta = rig.Add({"Berta", 2026, 8, 5, 2026, 8, 6});
    rig.Add({"Carla", 2026, 8, 7, 2026, 8, 7});
    rig.Show(berta);
    ASSERT_NE(rig.Layout().selectedEvent, nullptr);
    MessageBoxCatcher catcher;
    std::size_t monthEventsAfter = 99;
    bool onlyStored = false;
    DialogScript script({[&] {
                             SelectRows({1, 2});  // Berta and Carla
                             InvalidateRect(rig.Hwnd(), nullptr, FALSE);
                             ClickButton(Browser(), IDC_BROWSER_DELETE);
                             monthEventsAfter = rig.Layout().monthEvents.size();
                             onlyStored = MonthHoldsOnlyStoredEvents(rig, rig.Store());
                         },
                         [&] { ClickButton(Browser(), IDCANCEL); }});
    SendMessageA(rig.Hwnd(), WM_COMMAND, ID_BROWSE_ALL, 0);
    EXPECT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(rig.Store().Count(), 1u);
    EXPECT_EQ(monthEventsAfter, 1u) << "rebuilt before the browser's loop turned again";
    EXPECT_TRUE(onlyStored);
    EXPECT_EQ(rig.Layout().selectedEvent, nullptr);
    EXPECT_EQ(rig.Layout().selectedDay, 5) << "the day stays selected";
    rig.Render();  // paints what is left
}

// Browse All, Edit on the second row: the title the editor opens with.
std::string EditFromTheBrowser(CalendarRig& rig) {
    DialogScript script({[&] {
        SelectRows({1});
        ClickButton(Browser(), IDC_BROWSER_EDIT);
    }});
    char title[64] = {};
    ModalDriver editor({{"View/Edit Event", [&title](HWND d) {
                             GetDlgItemTextA(d, IDC_TITLE, title, sizeof title);
                             ModalDriver::Click(d, IDCANCEL);
                         }}});
    SendMessageA(rig.Hwnd(), WM_COMMAND, ID_BROWSE_ALL, 0);
    EXPECT_TRUE(editor.Finished());
    return title;
}

TEST(CalendarBrowseAll, EditBringsTheCalendarToThePickedEvent) {
    CalendarRig rig(MakeLocalTime(2026, 8, 10, 12, 0, 0));
    rig.Add({"Anna", 2026, 8, 3, 2026, 8, 3});
    const std::uint32_t later = rig.Add({"Zora", 2026, 10, 20, 2026, 10, 20});
    EXPECT_EQ(EditFromTheBrowser(rig), "Zora");
    EXPECT_EQ(rig.Layout().month, 10);
    EXPECT_EQ(rig.Layout().selectedDay, 20);
    EXPECT_EQ(rig.Layout().selectedId, later);
}

// An event without any occurrence cannot be shown; Edit still opens on it,
// never on the event the calendar had selected.
TEST(CalendarBrowseAll, EditOpensThePickedEventEvenWhenItCannotBeShown) {
    CalendarRig rig(MakeLocalTime(2026, 8, 10, 12, 0, 0));
    const std::uint32_t anna = rig.Add({"Anna", 2026, 8, 3, 2026, 8, 3});
    rig.Add({"Never", 2026, 8, 4, 2026, 8, 31, kKindWeekly});  // weekly on no weekday
    rig.Show(anna);
    ASSERT_EQ(rig.Layout().selectedId, anna);
    EXPECT_EQ(EditFromTheBrowser(rig), "Never");
}

}  // namespace
