#pragma once
// The upcoming-events window as a screen reader walks it: a list whose rows
// are list items named with title, time and state, followed by each row's
// dismiss and snooze buttons named for their row; all simple elements read
// from the window's rows at each call.
#include <windows.h>
#include <oleacc.h>

#include "core/clock.h"
#include "upcoming/due_list_model.h"
#include "ui/accessible_base.h"

class DueAccessible final : public AccessibleBase {
public:
    DueAccessible(HWND hwnd, const DueList& list, const Clock& clock) : hwnd_(hwnd), list_(&list), clock_(clock) {}

    // The window is going: a reader still holding the object gets an error.
    void Disconnect() { list_ = nullptr; }

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
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

private:
    ~DueAccessible() override = default;
    // A child: a row (button 0) or one of its buttons' control ids.
    struct Element {
        int row = -1;  // -1: the list itself or no such child
        UINT button = 0;
    };
    long RowCount() const { return list_->lastRow + 1; }
    long ChildCount() const;
    Element ElementOf(const VARIANT& v, bool& valid) const;
    RECT ScreenRect(const Element& e) const;

    HWND hwnd_;
    const DueList* list_;
    const Clock& clock_;
};
