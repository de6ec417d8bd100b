#pragma once
#include <windows.h>

#include <string>

#include "ui/message_table.h"

// What a window created on demand states about itself: its class and how
// its window is created.
struct WindowCreation {
    WNDCLASSW wndClass = {};  // the window procedure and a missing instance are filled in
    DWORD exStyle = 0;
    const char* title = "";
    DWORD style = 0;
    RECT rect = {0, 0, 0, 0};
    HWND parent = nullptr;
};

// Base of every window of the program. The one window procedure finds the
// object recorded at WM_NCCREATE and dispatches through the class's message
// table, then the base classes' tables, then the default procedure.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }

    // Registers a class whose windows are dispatched by CWnd. Repeated
    // registrations of the same name succeed.
    static bool RegisterWindowClass(WNDCLASSW wc);

    // The title is UTF-8.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const char* title, DWORD style, const RECT& rect,
                  HWND parent, UINT_PTR idOrMenu);
    // Takes over an existing window (a standard control): its messages reach
    // this object's table first, then the control's own procedure.
    bool SubclassWindow(HWND hwnd);
    BOOL DestroyWindow();

    HWND Hwnd() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

    // The object of a window created or subclassed by CWnd, else null.
    static CWnd* FromHandle(HWND hwnd);

    // Called by the message loop for every message whose window is this one
    // or a descendant, before it is dispatched; true swallows the message.
    virtual bool PreTranslateMessage(MSG& msg);

    // The message being handled, passed on to the default procedure.
    LRESULT Default();

    // Owner-drawn controls draw themselves: the parent hands WM_DRAWITEM over.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

protected:
    // Registers the class and creates the window of the object make() returns,
    // an object that deletes itself in PostNcDestroy. Null when either fails;
    // the object is gone then, whether creation destroyed its window or never
    // made one.
    template <class Window, class Make>
    static Window* CreateSelfDeleting(const WindowCreation& creation, Make make) {
        if (!RegisterWindowClass(creation.wndClass)) return nullptr;
        Window* wnd = make();
        return CreateOrDelete(wnd, creation) ? wnd : nullptr;
    }

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs after WM_NCDESTROY, when the handle is gone; windows created on
    // demand delete themselves here.
    virtual void PostNcDestroy() {}
    virtual LRESULT DefWindowProcedure(UINT message, WPARAM wParam, LPARAM lParam);

    // Searches the message tables; false when no entry matched.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Runs WindowProc for one message with the bookkeeping every window needs.
    LRESULT Invoke(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    void Detach();

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool CreateOrDelete(CWnd* wnd, const WindowCreation& creation);

    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);

    WNDPROC superProc_ = nullptr;  // the control's own procedure when subclassed
    MSG current_ = {};
    int depth_ = 0;  // handlers of this object still running
    bool ncDestroyed_ = false;
    bool* destroyedWhileCreating_ = nullptr;  // set while CreateOrDelete waits on creation
};
