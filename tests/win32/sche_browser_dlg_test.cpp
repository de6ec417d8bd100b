// The event browser driven through its list, buttons and keys: listing,
// sorting by both headers with the header's arrow, Edit, Delete, Enter and
// the Delete key; and that its deletions never leave the calendar pointing at
// a freed event.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "dialogs/browser_ids.h"
#include "dialogs/sche_browser_dlg.h"
#include "platform/win32/win32_date_format.h"
#include "portable/store_fakes.h"
#include "scratch_hive.h"
#include "store/registry_paths.h"
#include "support/dialog_keys.h"
#include "support/dialog_script.h"
#include "support/message_box_catcher.h"
#include "ui/window_messages.h"
#include "platform/win32/wide_text.h"

namespace {

using Titles = std::vector<std::string>;

// Runs something at each reminder drop, that is inside every deletion.
class DropHook final : public ReminderSchedule {
public:
    void DropPending(const ScheduleItem&) override {
        if (onDrop) onDrop();
    }
    void ForgetFired(std::uint32_t) override {}
    void RescheduleEvent(const ScheduleItem&) override {}
    void StartSchedule() override {}
    std::function<void()> onDrop;
};

// Stands for the calendar window: like its month it keeps pointers to the
// store's events, rebuilt on WM_SCHEDULECHANGED, and it records every other
// message that reaches it while one of them is no longer in the store.
class CalendarStandIn {
public:
    explicit CalendarStandIn(const EventStore& store) : store_(store) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &CalendarStandIn::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvTestCalendarStandIn";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, "calendar", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                nullptr, wc.hInstance, this);
        Rebuild();
    }
    ~CalendarStandIn() { DestroyWindow(hwnd_); }
    HWND Hwnd() const { return hwnd_; }

    int notices = 0;
    int staleMessages = 0;

private:
    void Rebuild() {
        shown_.clear();
        for (const auto& e : store_.Events()) shown_.push_back(e.get());
    }
    bool AllAlive() const {
        return std::all_of(shown_.begin(), shown_.end(), [this](const ScheduleItem* p) {
            return std::any_of(store_.Events().begin(), store_.Events().end(),
                               [p](const auto& e) { return e.get() == p; });
        });
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<CalendarStandIn*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self != nullptr && message == WM_SCHEDULECHANGED) {
            ++self->notices;
            self->Rebuild();
            return 0;
        }
        // What the calendar would draw or hit-test now reads its month.
        if (self != nullptr && !self->AllAlive()) ++self->staleMessages;
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    const EventStore& store_;
    std::vector<const ScheduleItem*> shown_;
    HWND hwnd_ = nullptr;
};

class BrowserTest : public testing::Test {
protected:
    std::uint32_t Add(const std::string& title, int month, int day, bool endless = false) {
        auto item = std::make_unique<ScheduleItem>();
        const std::uint32_t id = store.NextEventId();
        item->front.id = id;
        item->front.startDate = static_cast<std::int32_t>(MakeLocalTime(2026, month, day, 0, 0, 0));
        item->front.endDate = static_cast<std::int32_t>(EndOfDay(MakeLocalTime(2026, month, day + 2, 0, 0, 0)));
        item->front.startTime = 9 * 3600;
        item->front.recurKind = endless ? kKindWeekly : kKindNone;
        item->front.recurPattern = endless ? 0x02 : 0;
        item->front.recurFlags = endless ? 1 : 0;
        item->title = title;
        EXPECT_TRUE(store.SaveEvent(item, true, true)) << title;
        return id;
    }

    ScheBrowserContext Context() {
        ScheBrowserContext c;
        c.store = &store;
        c.shortDate = &FormatShortDate;
        c.editEvent = [this](std::uint32_t id) { edited.push_back(id); };
        return c;
    }

    static std::string Text(HWND list, int item, int column) {
        wchar_t text[128] = {};
        LVITEMW lv = {};
        lv.iSubItem = column;
        lv.pszText = text;
        lv.cchTextMax = 128;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
        return Utf8(text);
    }
    static Titles ListedTitles(HWND list) {
        Titles titles;
        const int n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) titles.push_back(Text(list, i, 0));
        return titles;
    }
    static void Select(HWND list, std::initializer_list<int> items) {
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED;
        for (int i : items) {
            state.state = LVIS_SELECTED;
            SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&state));
        }
    }
    // A click on a column's header, through the header control as the mouse gives it.
    static void ClickHeader(HWND list, int column) {
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        RECT rc = {};
        SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&rc));
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
    }
    static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    // The header's sort arrows, column by column: "^" up, "v" down, "-" none.
    static std::string Arrows(HWND list) {
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        std::string arrows;
        for (int column = 0; column < 2; ++column) {
            HDITEMA item = {};
            item.mask = HDI_FORMAT;
            SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
            const bool up = (item.fmt & HDF_SORTUP) != 0;
            const bool down = (item.fmt & HDF_SORTDOWN) != 0;
            arrows += up && down ? '!' : up ? '^' : down ? 'v' : '-';
        }
        return arrows;
    }

    ScratchHive hive;
    SettableClock clock{MakeLocalTime(2026, 7, 20, 12, 0, 0)};
    DropHook schedule;
    RecordingNotifier notifier;
    EventStore store{hive.registry(), clock, schedule, notifier};
    std::vector<std::uint32_t> edited;
};

TEST_F(BrowserTest, ListsEveryEventWithItsDatesAndSortsByEitherHeaderBothWays) {
    Add("beta", 8, 3);
    Add("Alpha", 8, 1, true);
    Add("gamma", 7, 15);
    Add("Delta", 8, 5);
    CScheBrowserDlg dlg(Context());
    std::vector<std::pair<std::string, Titles>> seen;
    std::vector<std::string> arrows;
    DialogScript script({[&] {
                             HWND list = dlg.List();
                             seen.emplace_back("opened", ListedTitles(list));
                             arrows.push_back(Arrows(list));
                             EXPECT_EQ(Text(list, 0, 1), FormatShortDate(MakeLocalTime(2026, 8, 1, 0, 0, 0)) +
                                                             " ~ endless");
                             EXPECT_EQ(Text(list, 3, 1),
                                       FormatShortDate(MakeLocalTime(2026, 7, 15, 0, 0, 0)) + " ~ " +
                                           FormatShortDate(MakeLocalTime(2026, 7, 17, 0, 0, 0)));
                             for (const int column : {0, 0, 1, 1, 0}) {
                                 ClickHeader(list, column);
                                 seen.emplace_back("column " + std::to_string(column), ListedTitles(list));
                                 arrows.push_back(Arrows(list));
                             }
                             Select(list, {1});
                         },
                         [&] { SaveScreenShot(dlg.Hwnd(), "browser"); },
                         [&] { ClickButton(dlg.Hwnd(), IDCANCEL); }});
    EXPECT_EQ(dlg.Run(nullptr), IDCANCEL);
    const std::vector<std::pair<std::string, Titles>> expected = {
        {"opened", {"Alpha", "beta", "Delta", "gamma"}},  // titles ascending, case ignored
        {"column 0", {"gamma", "Delta", "beta", "Alpha"}},
        {"column 0", {"Alpha", "beta", "Delta", "gamma"}},
        {"column 1", {"gamma", "Alpha", "beta", "Delta"}},  // start dates ascending
        {"column 1", {"Delta", "beta", "Alpha", "gamma"}},
        {"column 0", {"Alpha", "beta", "Delta", "gamma"}},  // another column starts ascending
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(arrows, (std::vector<std::string>{"^-", "v-", "^-", "-^", "-v", "^-"}));
    EXPECT_TRUE(edited.empty());
}

// Titles in other scripts are listed whole and sorted by letter, case
// ignored as the language folds it (not by their bytes).
TEST_F(BrowserTest, ListsTitlesInEveryScriptWholeInLetterOrder) {
    const std::string meeting = "\xD0\x92\xD1\x81\xD1\x82\xD1\x80\xD0\xB5\xD1\x87\xD0\xB0";  // Встреча
    const std::string alpha = "\xD0\xB0\xD0\xBB\xD1\x8C\xD1\x84\xD0\xB0";                      // альфа
    const std::string zoe = "Zo\xC3\xAB \xF0\x9F\x99\x82";
    Add(meeting, 8, 3);
    Add(alpha, 8, 1);
    Add(zoe, 8, 5);
    CScheBrowserDlg dlg(Context());
    Titles listed;
    DialogScript script({[&] { listed = ListedTitles(dlg.List()); },
                         [&] { SaveScreenShot(dlg.Hwnd(), "browser_scripts"); },
                         [&] { ClickButton(dlg.Hwnd(), IDCANCEL); }});
    EXPECT_EQ(dlg.Run(nullptr), IDCANCEL);
    EXPECT_EQ(listed, (Titles{zoe, alpha, meeting}));
}

TEST_F(BrowserTest, DeletesTheSelectedEventsAfterOneQuestionAndTellsTheCalendarOnce) {
    const std::uint32_t keep = Add("keep", 8, 1);
    Add("one", 8, 2);
    Add("two", 8, 3);
    Add("three", 8, 4);
    CalendarStandIn calendar(store);
    // Anything that ran a message loop inside a deletion would deliver these
    // to the calendar while its month still held the freed event.
    schedule.onDrop = [&] {
        PostMessageA(calendar.Hwnd(), WM_APP + 5, 0, 0);
        InvalidateRect(calendar.Hwnd(), nullptr, FALSE);
    };
    notifier.calls.clear();
    MessageBoxCatcher catcher;
    CScheBrowserDlg dlg(Context());
    bool buttonsBefore = true;
    DialogScript script({[&] {
                             buttonsBefore = Enabled(dlg.Hwnd(), IDC_BROWSER_EDIT) || Enabled(dlg.Hwnd(), IDC_BROWSER_DELETE);
                             Select(dlg.List(), {1, 2, 3});  // "one", "three", "two"
                             EXPECT_TRUE(Enabled(dlg.Hwnd(), IDC_BROWSER_DELETE));
                             ClickButton(dlg.Hwnd(), IDC_BROWSER_DELETE);
                         },
                         [&] {
                             EXPECT_TRUE(IsWindowVisible(dlg.Hwnd())) << "the browser stays open";
                             EXPECT_EQ(ListedTitles(dlg.List()), Titles{"keep"});
                             EXPECT_FALSE(Enabled(dlg.Hwnd(), IDC_BROWSER_EDIT));
                             EXPECT_FALSE(Enabled(dlg.Hwnd(), IDC_BROWSER_DELETE));
                             ClickButton(dlg.Hwnd(), IDCANCEL);
                         }});
    EXPECT_EQ(dlg.Run(calendar.Hwnd()), IDCANCEL);
    EXPECT_FALSE(buttonsBefore) << "nothing selected yet";
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Delete");
    EXPECT_EQ(catcher.Boxes()[0].text, "Delete selected event(s)?");
    EXPECT_EQ(calendar.notices, 1);
    EXPECT_EQ(calendar.staleMessages, 0);
    ASSERT_EQ(store.Count(), 1u);
    EXPECT_EQ(store.Events().front()->front.id, keep);
    const RegKey sc = RegKey::Create(hive.registry(), kEventsKeyPath, RegAccess::Read);
    std::string name;
    EXPECT_TRUE(sc.EnumSubkey(0, 19, name));
    EXPECT_EQ(name, std::to_string(keep));
    EXPECT_FALSE(sc.EnumSubkey(1, 19, name));
    // The upcoming-events window hears of each deletion.
    EXPECT_EQ(notifier.calls, (Calls{"upcoming", "upcoming", "upcoming"}));

    // The stand-in does catch a loop turning between a deletion and the notice.
    store.DeleteEvent(keep, 0, false);
    MSG msg;
    while (PeekMessageA(&msg, calendar.Hwnd(), 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_GT(calendar.staleMessages, 0);
}

TEST_F(BrowserTest, EditPicksTheFirstSelectedRowAndHandsItOverOnceClosed) {
    Add("c", 8, 1);
    const std::uint32_t b = Add("b", 8, 2);
    Add("a", 8, 3);
    CScheBrowserDlg dlg(Context());
    DialogScript script({[&] {
        Select(dlg.List(), {2, 1});  // "c" and "b": "b" comes first in the list
        ClickButton(dlg.Hwnd(), IDC_BROWSER_EDIT);
        EXPECT_TRUE(edited.empty()) << "not while the browser is open";
    }});
    EXPECT_EQ(dlg.Run(nullptr), IDOK);
    EXPECT_TRUE(dlg.EditRequested());
    EXPECT_EQ(dlg.PickedId(), b);
    EXPECT_EQ(edited, std::vector<std::uint32_t>{b});
}

TEST_F(BrowserTest, EnterEditsTheSelectedRowTheDeleteKeyAsksAndDeletes) {
    Add("a", 8, 1);
    const std::uint32_t b = Add("b", 8, 2);
    Add("c", 8, 3);
    MessageBoxCatcher catcher;
    {
        // Enter in the list, even after Tab went round the buttons.
        CScheBrowserDlg dlg(Context());
        std::vector<int> focusBeforeEnter;
        DialogScript script({[&] {
            Select(dlg.List(), {1});
            SetFocus(dlg.List());
            for (int i = 0; i < 4; ++i) keys::Press(dlg.Hwnd(), VK_TAB);
            focusBeforeEnter.push_back(keys::FocusedId());
            keys::Press(dlg.Hwnd(), VK_RETURN);
        }});
        EXPECT_EQ(dlg.Run(nullptr), IDOK);
        EXPECT_EQ(focusBeforeEnter, std::vector<int>{IDC_BROWSER_LIST});
        EXPECT_EQ(edited, std::vector<std::uint32_t>{b});
    }
    {
        // The Delete key: the button's question, then the selected rows go;
        // with nothing selected it asks nothing.
        CalendarStandIn calendar(store);
        CScheBrowserDlg dlg(Context());
        Titles left;
        DialogScript script({[&] {
                                 Select(dlg.List(), {0, 2});
                                 SetFocus(dlg.List());
                                 keys::Press(dlg.Hwnd(), VK_DELETE);
                             },
                             [&] {
                                 left = ListedTitles(dlg.List());
                                 keys::Press(dlg.Hwnd(), VK_DELETE);
                                 keys::Press(dlg.Hwnd(), VK_ESCAPE);
                             }});
        EXPECT_EQ(dlg.Run(calendar.Hwnd()), IDCANCEL);
        EXPECT_EQ(left, Titles{"b"});
        EXPECT_EQ(calendar.notices, 1);
        ASSERT_EQ(store.Count(), 1u);
        EXPECT_EQ(store.Events().front()->front.id, b);
        EXPECT_EQ(edited.size(), 1u);
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, "Delete selected event(s)?");
    EXPECT_EQ(catcher.Boxes()[0].caption, "Delete");
}

TEST_F(BrowserTest, AnEmptyStoreGivesAnEmptyListAndNoButtons) {
    CScheBrowserDlg dlg(Context());
    DialogScript script({[&] {
        EXPECT_EQ(SendMessageA(dlg.List(), LVM_GETITEMCOUNT, 0, 0), 0);
        EXPECT_FALSE(Enabled(dlg.Hwnd(), IDC_BROWSER_EDIT));
        EXPECT_FALSE(Enabled(dlg.Hwnd(), IDC_BROWSER_DELETE));
        ClickButton(dlg.Hwnd(), IDCANCEL);
    }});
    EXPECT_EQ(dlg.Run(nullptr), IDCANCEL);
    EXPECT_FALSE(dlg.EditRequested());
}

}  // namespace
