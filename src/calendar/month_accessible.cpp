#include "calendar/month_accessible.h"

#include <string>
#include <utility>

#include "calendar/calendar_ids.h"
#include "core/calendar.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_date_format.h"
#include "platform/win32/win32_text_format.h"

namespace {

// The user's own formats, as the window's other texts use them.
class UserSpeechFormat final : public SpeechFormat {
public:
    std::string LongDate(int year, int month, int day) const override { return dates_.LongDate(year, month, day); }
    std::string ShortTime(int hour, int minute) const override {
        Instant t = 0;
        // A day without a clock change: the time reads as it is stored.
        return TryMakeLocalTime(2000, 1, 10, hour, minute, 0, t) ? FormatShortTime(t) : std::string();
    }

private:
    Win32TextFormat dates_;
};

struct ButtonInfo {
    UINT id;
    const wchar_t* name;
    const wchar_t* keys;
};

// In the order they stand in the window, left to right.
constexpr ButtonInfo kButtons[MonthAccessible::kButtonCount] = {
    {ID_PREV_MONTH, L"Previous Month", L"Page Up"},
    {ID_NEXT_MONTH, L"Next Month", L"Page Down"},
    {ID_THIS_MONTH, L"This Month", L"Home"},
    {ID_CLOSE_BUTTON, L"Close", nullptr},
};

HRESULT Text(const std::wstring& text, BSTR* out) {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Text(const std::string& text, BSTR* out) { return Text(Wide(text), out); }

HRESULT None(BSTR* out) {
    *out = nullptr;
    return S_FALSE;
}

void SetChild(VARIANT* v, long child) {
    v->vt = VT_I4;
    v->lVal = child;
}

void SetEmpty(VARIANT* v) { v->vt = VT_EMPTY; }

}  // namespace

MonthAccessible::MonthAccessible(HWND hwnd, const MonthLayout& layout, const LocaleNames& names,
                                 std::function<void(int day)> selectDay)
    : hwnd_(hwnd), layout_(&layout), names_(names), selectDay_(std::move(selectDay)) {}

long MonthAccessible::ChildOf(const VARIANT& v) {
    if (v.vt != VT_I4) return -1;
    return v.lVal >= CHILDID_SELF && v.lVal <= kChildCount ? v.lVal : -1;
}

HWND MonthAccessible::ButtonWnd(long child) const {
    return child >= 1 && child <= kButtonCount ? GetDlgItem(hwnd_, static_cast<int>(kButtons[child - 1].id)) : nullptr;
}

int MonthAccessible::SelectedCell() const {
    return layout_->selectedDay > 0 ? CellOfDay(*layout_, layout_->selectedDay) : -1;
}

HRESULT MonthAccessible::get_accParent(IDispatch** parent) {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(hwnd_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
}

HRESULT MonthAccessible::get_accChildCount(long* count) {
    if (count == nullptr) return E_POINTER;
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    *count = kChildCount;
    return S_OK;
}

HRESULT MonthAccessible::get_accChild(VARIANT child, IDispatch** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    // Simple elements: the reader asks this object about them.
    return ChildOf(child) > 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT MonthAccessible::get_accName(VARIANT child, BSTR* name) {
    if (name == nullptr) return E_POINTER;
    *name = nullptr;
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (id == CHILDID_SELF) {
        const int m = layout_->month;
        if (m < 1 || m > 12) return None(name);
        return Text(names_.MonthNames[static_cast<std::size_t>(m - 1)] + " " + std::to_string(layout_->year), name);
    }
    if (id <= kButtonCount) return Text(std::wstring(kButtons[id - 1].name), name);
    return Text(CellName(*layout_, CellOf(id), UserSpeechFormat()), name);
}

HRESULT MonthAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    return ChildOf(child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT MonthAccessible::get_accDescription(VARIANT child, BSTR* text) {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (id < kFirstCell) return None(text);
    return Text(CellDescription(*layout_, CellOf(id), UserSpeechFormat(), names_), text);
}

HRESULT MonthAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (role == nullptr) return E_POINTER;
    SetEmpty(role);
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    SetChild(role, id == CHILDID_SELF ? ROLE_SYSTEM_TABLE : id <= kButtonCount ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_CELL);
    return S_OK;
}

HRESULT MonthAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (state == nullptr) return E_POINTER;
    SetEmpty(state);
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    const bool focused = GetFocus() == hwnd_;
    long bits = 0;
    if (id == CHILDID_SELF) {
        bits = STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0);
    } else if (id <= kButtonCount) {
        const HWND button = ButtonWnd(id);
        if (button == nullptr || !IsWindowVisible(button)) bits = STATE_SYSTEM_INVISIBLE;
    } else if (CellDateAt(*layout_, CellOf(id)).monthOffset == 0) {
        // Days of the months around are shown but cannot be selected.
        bits = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (CellOf(id) == SelectedCell()) bits |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
    }
    SetChild(state, bits);
    return S_OK;
}

HRESULT MonthAccessible::get_accHelp(VARIANT, BSTR* help) {
    if (help == nullptr) return E_POINTER;
    return None(help);
}

HRESULT MonthAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file != nullptr) *file = nullptr;
    if (topic != nullptr) *topic = 0;
    return S_FALSE;
}

HRESULT MonthAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* keys) {
    if (keys == nullptr) return E_POINTER;
    *keys = nullptr;
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (id >= 1 && id <= kButtonCount && kButtons[id - 1].keys != nullptr) {
        return Text(std::wstring(kButtons[id - 1].keys), keys);
    }
    return S_FALSE;
}

HRESULT MonthAccessible::get_accFocus(VARIANT* child) {
    if (child == nullptr) return E_POINTER;
    SetEmpty(child);
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != hwnd_) return S_FALSE;
    const int cell = SelectedCell();
    SetChild(child, cell >= 0 ? ChildOfCell(cell) : CHILDID_SELF);
    return S_OK;
}

HRESULT MonthAccessible::get_accSelection(VARIANT* children) {
    if (children == nullptr) return E_POINTER;
    SetEmpty(children);
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const int cell = SelectedCell();
    if (cell < 0) return S_FALSE;
    SetChild(children, ChildOfCell(cell));
    return S_OK;
}

HRESULT MonthAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (action == nullptr) return E_POINTER;
    *action = nullptr;
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (id >= 1 && id <= kButtonCount) return Text(std::wstring(L"Press"), action);
    if (id >= kFirstCell && CellDateAt(*layout_, CellOf(id)).monthOffset == 0) {
        return Text(std::wstring(L"Select"), action);
    }
    return S_FALSE;
}

HRESULT MonthAccessible::accSelect(long flags, VARIANT child) {
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const int cell = CellOf(ChildOf(child));
    if (cell < 0) return E_INVALIDARG;
    const CellDate date = CellDateAt(*layout_, cell);
    if (date.monthOffset != 0) return S_FALSE;
    // One day is selected at a time: taking focus or selection both select it.
    if ((flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) == 0) return E_INVALIDARG;
    if ((flags & SELFLAG_TAKEFOCUS) != 0) SetFocus(hwnd_);
    selectDay_(date.day);
    return S_OK;
}

HRESULT MonthAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    *left = *top = *width = *height = 0;
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    RECT r = {};
    if (id == CHILDID_SELF) {
        GetClientRect(hwnd_, &r);
        MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else if (id <= kButtonCount) {
        const HWND button = ButtonWnd(id);
        if (button == nullptr || !GetWindowRect(button, &r)) return S_FALSE;
    } else {
        const LayoutRect cell = CellRectAt(*layout_, CellOf(id));
        r = {cell.x, cell.y, cell.x + cell.width, cell.y + cell.height};
        MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT MonthAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (end == nullptr) return E_POINTER;
    SetEmpty(end);
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long id = ChildOf(start);
    if (id < 0) return E_INVALIDARG;
    long to = -1;
    if (id == CHILDID_SELF) {
        if (direction == NAVDIR_FIRSTCHILD) to = 1;
        if (direction == NAVDIR_LASTCHILD) to = kChildCount;
        // Siblings of the window's own object are the standard window's to say.
        if (to < 0) return S_FALSE;
    } else {
        const int cell = CellOf(id);
        int next = -1;
        switch (direction) {
            case NAVDIR_NEXT:
                to = id < kChildCount ? id + 1 : -1;
                break;
            case NAVDIR_PREVIOUS:
                to = id > 1 ? id - 1 : -1;
                break;
            case NAVDIR_LEFT:
                next = cell >= 0 && cell % 7 > 0 ? cell - 1 : -1;
                break;
            case NAVDIR_RIGHT:
                next = cell >= 0 && cell % 7 < 6 ? cell + 1 : -1;
                break;
            case NAVDIR_UP:
                next = cell >= 7 ? cell - 7 : -1;
                break;
            case NAVDIR_DOWN:
                next = cell >= 0 && cell + 7 < kMonthCells ? cell + 7 : -1;
                break;
            default:
                return E_INVALIDARG;
        }
        if (next >= 0) to = ChildOfCell(next);
    }
    if (to < 0) return S_FALSE;
    SetChild(end, to);
    return S_OK;
}

HRESULT MonthAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (child == nullptr) return E_POINTER;
    SetEmpty(child);
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const POINT screen = {x, y};
    RECT r = {};
    for (long id = 1; id <= kButtonCount; ++id) {
        const HWND button = ButtonWnd(id);
        if (button != nullptr && IsWindowVisible(button) && GetWindowRect(button, &r) && PtInRect(&r, screen)) {
            SetChild(child, id);
            return S_OK;
        }
    }
    POINT p = screen;
    ScreenToClient(hwnd_, &p);
    GetClientRect(hwnd_, &r);
    if (!PtInRect(&r, p)) return S_FALSE;
    const int cell = CellFromPoint(*layout_, p.x, p.y);
    SetChild(child, cell >= 0 ? ChildOfCell(cell) : CHILDID_SELF);
    return S_OK;
}

HRESULT MonthAccessible::accDoDefaultAction(VARIANT child) {
    if (layout_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (id >= 1 && id <= kButtonCount) {
        // Posted: the reader's call returns before the month changes or the window closes.
        const UINT cmd = kButtons[id - 1].id;
        PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(cmd, BN_CLICKED), reinterpret_cast<LPARAM>(ButtonWnd(id)));
        return S_OK;
    }
    VARIANT self = {};
    SetChild(&self, id);
    return id >= kFirstCell ? accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, self) : DISP_E_MEMBERNOTFOUND;
}
