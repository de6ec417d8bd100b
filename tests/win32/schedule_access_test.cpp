// The calendar window as a screen reader reads it in this process: the
// object a WM_GETOBJECT request returns, the events the window raises as
// its selection and month change, and the object cut off when the window goes.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar/calendar_ids.h"
#include "ole_session.h"
#include "schedule_wnd_rig.h"
#include "ui/accessible_iid.h"
#include "platform/win32/com_ptr.h"

namespace {

constexpr long kCells = 5;  // child id of the first cell, after the four buttons

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring TakeText(HRESULT hr, BSTR text) {
    std::wstring s = SUCCEEDED(hr) && text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return s;
}

std::wstring Name(IAccessible* acc, long id) {
    BSTR text = nullptr;
    const HRESULT hr = acc->get_accName(Child(id), &text);
    return TakeText(hr, text);
}

std::wstring Description(IAccessible* acc, long id) {
    BSTR text = nullptr;
    const HRESULT hr = acc->get_accDescription(Child(id), &text);
    return TakeText(hr, text);
}

long Number(IAccessible* acc, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) {
    VARIANT v;
    VariantInit(&v);
    return SUCCEEDED((acc->*get)(Child(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}

long Role(IAccessible* acc, long id) { return Number(acc, &IAccessible::get_accRole, id); }
long State(IAccessible* acc, long id) { return Number(acc, &IAccessible::get_accState, id); }

constexpr long kSelectedFocused = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;

// WinEvents the window raised, as a reader's hook sees them.
struct Heard {
    DWORD event;
    HWND hwnd;
    LONG child;
};
std::vector<Heard>& HeardEvents() {
    static std::vector<Heard> heard;
    return heard;
}
void CALLBACK Listen(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT) HeardEvents().push_back({event, hwnd, child});
}

class WinEventHook {
public:
    WinEventHook()
        : hook_(SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr, &Listen, GetCurrentProcessId(),
                                0, WINEVENT_OUTOFCONTEXT)) {
        HeardEvents().clear();
    }
    ~WinEventHook() { UnhookWinEvent(hook_); }
    WinEventHook(const WinEventHook&) = delete;
    WinEventHook& operator=(const WinEventHook&) = delete;
    bool Heard(DWORD event, HWND hwnd, LONG child) const {
        for (const auto& h : HeardEvents()) {
            if (h.event == event && h.hwnd == hwnd && h.child == child) return true;
        }
        return false;
    }

private:
    HWINEVENTHOOK hook_;
};

class ScheduleAccess : public testing::Test {
protected:
    // Wednesday, December 9, 2026 at noon; the window opens on it.
    ScheduleAccess() : rig(MakeLocalTime(2026, 12, 9, 12, 0, 0)) {}
    void SetUp() override {
        EventSpec dentist;
        dentist.title = "Dentist";
        dentist.year = dentist.lastYear = 2026;
        dentist.month = dentist.lastMonth = 12;
        dentist.day = dentist.lastDay = 9;
        rig.Add(dentist);
        rig.Pump();
        ASSERT_EQ(AccessibleObjectFromWindow(rig.Hwnd(), static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid,
                                             acc.OutVoid()),
                  S_OK);
    }
    long CellOf(int day) const { return kCells + rig.Layout().firstWeekday + day - 1; }

    OleSession ole;
    CalendarRig rig;
    ComPtr<IAccessible> acc;
};

TEST_F(ScheduleAccess, TheMonthIsATableOfButtonsAndDays) {
    EXPECT_EQ(Name(acc.Get(), CHILDID_SELF), L"December 2026");
    EXPECT_EQ(Role(acc.Get(), CHILDID_SELF), ROLE_SYSTEM_TABLE);
    long count = 0;
    ASSERT_EQ(acc->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 46);
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    LONG got = 0;
    ASSERT_EQ(AccessibleChildren(acc.Get(), 0, count, children.data(), &got), S_OK);
    ASSERT_EQ(got, 46);
    int cells = 0;
    for (const VARIANT& v : children) {
        ASSERT_EQ(v.vt, VT_I4);
        cells += Role(acc.Get(), v.lVal) == ROLE_SYSTEM_CELL ? 1 : 0;
    }
    EXPECT_EQ(cells, 42);

    const wchar_t* buttons[] = {L"Previous Month", L"Next Month", L"This Month", L"Close"};
    for (long id = 1; id <= 4; ++id) {
        EXPECT_EQ(Name(acc.Get(), id), buttons[id - 1]);
        EXPECT_EQ(Role(acc.Get(), id), ROLE_SYSTEM_PUSHBUTTON);
        long x = 0, y = 0, w = 0, h = 0;
        ASSERT_EQ(acc->accLocation(&x, &y, &w, &h, Child(id)), S_OK);
        VARIANT hit;
        VariantInit(&hit);
        ASSERT_EQ(acc->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
        EXPECT_EQ(hit.lVal, id) << "the button is where it says";
    }

    // The day the window opened on, what is on it, and the days of the
    // months around it.
    const long today = CellOf(9);
    EXPECT_NE(Name(acc.Get(), today).find(L"2026"), std::wstring::npos);
    EXPECT_NE(Name(acc.Get(), today).find(L"December"), std::wstring::npos);
    EXPECT_EQ(Description(acc.Get(), today).rfind(L"Today. 1 event: Dentist, ", 0), 0u) << Description(acc.Get(), today);
    EXPECT_EQ(Description(acc.Get(), CellOf(10)), L"No events.");
    EXPECT_EQ(Description(acc.Get(), kCells), L"Previous month.");
    EXPECT_NE(Name(acc.Get(), kCells).find(L"November"), std::wstring::npos);
    EXPECT_EQ(State(acc.Get(), today) & STATE_SYSTEM_SELECTED, STATE_SYSTEM_SELECTED);
    EXPECT_EQ(State(acc.Get(), kCells) & STATE_SYSTEM_SELECTABLE, 0) << "another month's day cannot be selected";

    // A cell is where the window draws its day, and the day is found there.
    long x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(acc->accLocation(&x, &y, &w, &h, Child(today)), S_OK);
    const LayoutRect drawn = rig.Layout().CellRect(9);
    POINT origin = {0, 0};
    ClientToScreen(rig.Hwnd(), &origin);
    EXPECT_EQ(x, origin.x + drawn.x);
    EXPECT_EQ(y, origin.y + drawn.y);
    EXPECT_EQ(w, drawn.width);
    EXPECT_EQ(h, drawn.height);
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(acc->accHitTest(x + w - 1, y + h - 1, &hit), S_OK);
    EXPECT_EQ(hit.lVal, today);
}

TEST_F(ScheduleAccess, NavigationWalksTheGrid) {
    struct Step {
        long from;
        long direction;
        long to;  // -1: nothing that way
    };
    const Step steps[] = {
        {kCells, NAVDIR_RIGHT, kCells + 1},       {kCells, NAVDIR_LEFT, -1},
        {kCells, NAVDIR_UP, -1},                  {kCells, NAVDIR_DOWN, kCells + 7},
        {kCells + 41, NAVDIR_DOWN, -1},           {kCells + 41, NAVDIR_RIGHT, -1},
        {kCells + 7, NAVDIR_LEFT, -1},            {kCells + 13, NAVDIR_UP, kCells + 6},
        {kCells, NAVDIR_PREVIOUS, 4},             {46, NAVDIR_NEXT, -1},
        {CHILDID_SELF, NAVDIR_FIRSTCHILD, 1},     {CHILDID_SELF, NAVDIR_LASTCHILD, 46},
    };
    for (const Step& s : steps) {
        VARIANT end;
        VariantInit(&end);
        const HRESULT hr = acc->accNavigate(s.direction, Child(s.from), &end);
        if (s.to < 0) {
            EXPECT_EQ(hr, S_FALSE) << s.from << " " << s.direction;
            EXPECT_EQ(end.vt, VT_EMPTY);
        } else {
            EXPECT_EQ(hr, S_OK) << s.from << " " << s.direction;
            EXPECT_EQ(end.lVal, s.to) << s.from << " " << s.direction;
        }
    }
}

TEST_F(ScheduleAccess, SelectionMovesAndIsAnnounced) {
    SetFocus(rig.Hwnd());
    ASSERT_EQ(GetFocus(), rig.Hwnd());
    EXPECT_EQ(State(acc.Get(), CellOf(9)) & kSelectedFocused, kSelectedFocused);
    WinEventHook hook;

    // The arrow key moves the selection: the reader hears the new day.
    SendMessageA(rig.Hwnd(), WM_KEYDOWN, VK_RIGHT, 0);
    rig.Pump();
    EXPECT_EQ(State(acc.Get(), CellOf(9)) & kSelectedFocused, 0);
    EXPECT_EQ(State(acc.Get(), CellOf(10)) & kSelectedFocused, kSelectedFocused);
    EXPECT_TRUE(hook.Heard(EVENT_OBJECT_FOCUS, rig.Hwnd(), CellOf(10)));
    EXPECT_TRUE(hook.Heard(EVENT_OBJECT_SELECTION, rig.Hwnd(), CellOf(10)));
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(acc->get_accFocus(&v), S_OK);
    EXPECT_EQ(v.lVal, CellOf(10));

    // So does a click, and a reader's own selection.
    rig.Click(rig.LinePoint(15, 0));
    rig.Pump();
    EXPECT_EQ(rig.Layout().selectedDay, 15);
    EXPECT_TRUE(hook.Heard(EVENT_OBJECT_FOCUS, rig.Hwnd(), CellOf(15)));
    ASSERT_EQ(acc->accSelect(SELFLAG_TAKESELECTION, Child(CellOf(20))), S_OK);
    rig.Pump();
    EXPECT_EQ(rig.Layout().selectedDay, 20);
    EXPECT_TRUE(hook.Heard(EVENT_OBJECT_SELECTION, rig.Hwnd(), CellOf(20)));
    VariantInit(&v);
    ASSERT_EQ(acc->get_accSelection(&v), S_OK);
    EXPECT_EQ(v.lVal, CellOf(20));
    EXPECT_EQ(acc->accSelect(SELFLAG_TAKESELECTION, Child(kCells)), S_FALSE) << "November 29 is not December's";

    // The Next Month button pressed by the reader: the table's name changes.
    ASSERT_EQ(acc->accDoDefaultAction(Child(2)), S_OK);
    rig.Pump();
    EXPECT_EQ(Name(acc.Get(), CHILDID_SELF), L"January 2027");
    EXPECT_TRUE(hook.Heard(EVENT_OBJECT_NAMECHANGE, rig.Hwnd(), CHILDID_SELF));
}

TEST_F(ScheduleAccess, AReaderHoldingTheObjectOutlivesTheWindow) {
    DestroyWindow(rig.Hwnd());
    rig.Pump();
    BSTR name = nullptr;
    EXPECT_EQ(acc->get_accName(Child(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    long count = 0;
    EXPECT_EQ(acc->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

}  // namespace
