#include "upcoming/due_accessible.h"

#include <string>

#include "platform/win32/wide_text.h"
#include "upcoming/due_speech_model.h"
#include "upcoming/upcoming_ids.h"

namespace {

HRESULT Text(const std::wstring& text, BSTR* out) {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* v, long child) {
    v->vt = VT_I4;
    v->lVal = child;
}

}  // namespace

// Rows first, then each row's tick and clock in row order.
long DueAccessible::ChildCount() const {
    long n = RowCount();
    for (int i = 0; i <= list_->lastRow; ++i) {
        n += (i < list_->BegunRowCount() ? 1 : 0) + (list_->HasSnoozeButton(i) ? 1 : 0);
    }
    return n;
}

DueAccessible::Element DueAccessible::ElementOf(const VARIANT& v, bool& valid) const {
    valid = v.vt == VT_I4 && v.lVal >= CHILDID_SELF && v.lVal <= ChildCount();
    if (!valid || v.lVal == CHILDID_SELF) return {};
    if (v.lVal <= RowCount()) return {static_cast<int>(v.lVal - 1), 0};
    long k = v.lVal - RowCount();
    const int begun = list_->BegunRowCount();
    for (int i = 0; i <= list_->lastRow; ++i) {
        if (i < begun && --k == 0) return {i, static_cast<UINT>(ID_DISMISS_FIRST + i)};
        if (list_->HasSnoozeButton(i) && --k == 0) return {i, static_cast<UINT>(ID_SNOOZE_FIRST + i)};
    }
    valid = false;
    return {};
}

RECT DueAccessible::ScreenRect(const Element& e) const {
    RECT r = {};
    if (e.button != 0) {
        const HWND button = GetDlgItem(hwnd_, static_cast<int>(e.button));
        if (button != nullptr) GetWindowRect(button, &r);
        return r;
    }
    GetClientRect(hwnd_, &r);
    if (e.row >= 0) {
        r.top = e.row * list_->rowHeight;
        r.bottom = r.top + list_->rowHeight;
    }
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HRESULT DueAccessible::get_accParent(IDispatch** parent) {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(hwnd_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
}

HRESULT DueAccessible::get_accChildCount(long* count) {
    if (count == nullptr) return E_POINTER;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    *count = ChildCount();
    return S_OK;
}

HRESULT DueAccessible::get_accChild(VARIANT child, IDispatch** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    bool valid = false;
    ElementOf(child, valid);
    return valid && child.lVal != CHILDID_SELF ? S_FALSE : E_INVALIDARG;
}

HRESULT DueAccessible::get_accName(VARIANT child, BSTR* name) {
    if (name == nullptr) return E_POINTER;
    *name = nullptr;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    bool valid = false;
    const Element e = ElementOf(child, valid);
    if (!valid) return E_INVALIDARG;
    if (e.row < 0) return Text(L"Upcoming Events", name);
    const DueRow& row = list_->rows[static_cast<std::size_t>(e.row)];
    if (e.button == 0) return Text(Wide(DueRowSpeech(row, clock_.Now())), name);
    const wchar_t* verb = e.button >= ID_SNOOZE_FIRST ? L"Snooze " : L"Dismiss ";
    return Text(verb + Wide(DueRowTitle(row)), name);
}

HRESULT DueAccessible::get_accValue(VARIANT, BSTR* value) {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    return list_ == nullptr ? CO_E_OBJNOTCONNECTED : S_FALSE;
}

HRESULT DueAccessible::get_accDescription(VARIANT child, BSTR* text) {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    // An empty list says so where its rows would.
    if (child.vt == VT_I4 && child.lVal == CHILDID_SELF && list_->lastRow < 0) {
        return Text(Wide(kNoUpcomingText), text);
    }
    return S_FALSE;
}

HRESULT DueAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (role == nullptr) return E_POINTER;
    role->vt = VT_EMPTY;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    bool valid = false;
    const Element e = ElementOf(child, valid);
    if (!valid) return E_INVALIDARG;
    SetChild(role, e.row < 0 ? ROLE_SYSTEM_LIST : e.button == 0 ? ROLE_SYSTEM_LISTITEM : ROLE_SYSTEM_PUSHBUTTON);
    return S_OK;
}

HRESULT DueAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (state == nullptr) return E_POINTER;
    state->vt = VT_EMPTY;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    bool valid = false;
    const Element e = ElementOf(child, valid);
    if (!valid) return E_INVALIDARG;
    long bits = STATE_SYSTEM_READONLY;
    if (e.button != 0) {
        const HWND button = GetDlgItem(hwnd_, static_cast<int>(e.button));
        // Pressed by a click or a reader's default action; the keyboard does not reach them.
        bits = button != nullptr && GetFocus() == button ? STATE_SYSTEM_FOCUSED : 0;
    }
    SetChild(state, bits);
    return S_OK;
}

HRESULT DueAccessible::get_accHelp(VARIANT, BSTR* help) {
    if (help == nullptr) return E_POINTER;
    *help = nullptr;
    return S_FALSE;
}

HRESULT DueAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file != nullptr) *file = nullptr;
    if (topic != nullptr) *topic = 0;
    return S_FALSE;
}

HRESULT DueAccessible::get_accKeyboardShortcut(VARIANT, BSTR* keys) {
    if (keys == nullptr) return E_POINTER;
    *keys = nullptr;
    return S_FALSE;
}

HRESULT DueAccessible::get_accFocus(VARIANT* child) {
    if (child == nullptr) return E_POINTER;
    child->vt = VT_EMPTY;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const long count = ChildCount();
    for (long id = RowCount() + 1; id <= count; ++id) {
        VARIANT v;
        SetChild(&v, id);
        bool valid = false;
        const Element e = ElementOf(v, valid);
        if (valid && GetFocus() == GetDlgItem(hwnd_, static_cast<int>(e.button))) {
            SetChild(child, id);
            return S_OK;
        }
    }
    return S_FALSE;
}

HRESULT DueAccessible::get_accSelection(VARIANT* children) {
    if (children == nullptr) return E_POINTER;
    children->vt = VT_EMPTY;
    return list_ == nullptr ? CO_E_OBJNOTCONNECTED : S_FALSE;
}

HRESULT DueAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (action == nullptr) return E_POINTER;
    *action = nullptr;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    bool valid = false;
    const Element e = ElementOf(child, valid);
    if (!valid) return E_INVALIDARG;
    return e.button != 0 ? Text(L"Press", action) : S_FALSE;
}

HRESULT DueAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    *left = *top = *width = *height = 0;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    bool valid = false;
    const Element e = ElementOf(child, valid);
    if (!valid) return E_INVALIDARG;
    const RECT r = ScreenRect(e);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT DueAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (end == nullptr) return E_POINTER;
    end->vt = VT_EMPTY;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    bool valid = false;
    ElementOf(start, valid);
    if (!valid) return E_INVALIDARG;
    const long count = ChildCount();
    const long id = start.lVal;
    long to = -1;
    if (id == CHILDID_SELF) {
        if (direction == NAVDIR_FIRSTCHILD && count > 0) to = 1;
        if (direction == NAVDIR_LASTCHILD && count > 0) to = count;
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
        to = id < count ? id + 1 : -1;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
        to = id > 1 ? id - 1 : -1;
    }
    if (to < 0) return S_FALSE;
    SetChild(end, to);
    return S_OK;
}

HRESULT DueAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (child == nullptr) return E_POINTER;
    child->vt = VT_EMPTY;
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const POINT p = {x, y};
    // Buttons lie on their rows: asked first.
    for (long id = ChildCount(); id >= CHILDID_SELF; --id) {
        VARIANT v;
        SetChild(&v, id);
        bool valid = false;
        const RECT r = ScreenRect(ElementOf(v, valid));
        if (valid && PtInRect(&r, p)) {
            SetChild(child, id);
            return S_OK;
        }
    }
    return S_FALSE;
}

HRESULT DueAccessible::accDoDefaultAction(VARIANT child) {
    if (list_ == nullptr) return CO_E_OBJNOTCONNECTED;
    bool valid = false;
    const Element e = ElementOf(child, valid);
    if (!valid) return E_INVALIDARG;
    if (e.button == 0) return DISP_E_MEMBERNOTFOUND;
    // Posted: the row may go with its button, after the reader's call returned.
    const HWND button = GetDlgItem(hwnd_, static_cast<int>(e.button));
    PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(e.button, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return S_OK;
}
