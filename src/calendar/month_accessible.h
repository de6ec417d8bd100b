#pragma once
// The calendar window as a screen reader walks it: a table named by the
// month shown, whose children are the four buttons and the 42 day cells,
// all simple elements read from the window's month layout at each call.
#include <windows.h>
#include <oleacc.h>

#include <functional>

#include "calendar/day_speech_model.h"
#include "core/locale_names.h"
#include "ui/accessible_base.h"

class MonthAccessible final : public AccessibleBase {
public:
    // Child ids: the buttons in the order they stand, then the cells.
    static constexpr long kButtonCount = 4;
    static constexpr long kFirstCell = kButtonCount + 1;
    static constexpr long kChildCount = kButtonCount + kMonthCells;
    static long ChildOfCell(int cell) { return kFirstCell + cell; }

    // selectDay selects a day of the displayed month as a click would.
    MonthAccessible(HWND hwnd, const MonthLayout& layout, const LocaleNames& names,
                    std::function<void(int day)> selectDay);

    // The window is going: a reader still holding the object gets an error
    // rather than a freed layout.
    void Disconnect() { layout_ = nullptr; }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

private:
    ~MonthAccessible() override = default;
    // The child a VARIANT names: CHILDID_SELF, 1..kChildCount, or -1 for none.
    static long ChildOf(const VARIANT& v);
    // The cell of a child id, -1 for self and the buttons.
    static int CellOf(long child) { return child >= kFirstCell ? static_cast<int>(child - kFirstCell) : -1; }
    HWND ButtonWnd(long child) const;
    int SelectedCell() const;

    HWND hwnd_;
    const MonthLayout* layout_;
    const LocaleNames& names_;
    std::function<void(int day)> selectDay_;
};
