// The window layer: dispatch through message tables, inheritance, the
// pre-dispatch and post-destroy hooks, and the handle wrappers.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "support/refused_create.h"
#include "ui/gdi.h"
#include "ui/message_loop.h"
#include "ui/wnd.h"

namespace {

constexpr UINT WM_PING = WM_APP + 1;
constexpr UINT WM_BASEONLY = WM_APP + 2;
constexpr UINT WM_THROW = WM_APP + 3;
constexpr UINT WM_UNHANDLED = WM_APP + 4;

class CBaseTestWnd : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    std::vector<std::string> calls;

    bool Create() {
        WNDCLASSW wc = {};
        wc.lpszClassName = L"OrvTestWnd";
        if (!RegisterWindowClass(wc)) return false;
        RECT rc = {0, 0, 100, 80};
        return CreateEx(0, L"OrvTestWnd", "test", WS_POPUP, rc, nullptr, 0);
    }

protected:
    LRESULT OnPing(WPARAM w, LPARAM) {
        calls.push_back("base ping " + std::to_string(w));
        return 1;
    }
    LRESULT OnBaseOnly(WPARAM, LPARAM) {
        calls.push_back("base only");
        return 2;
    }
    void OnExit() { calls.push_back("base exit"); }
};

BEGIN_MESSAGE_TABLE(CBaseTestWnd, CWnd)
    ON_MESSAGE(WM_PING, &CBaseTestWnd::OnPing)
    ON_MESSAGE(WM_BASEONLY, &CBaseTestWnd::OnBaseOnly)
    ON_COMMAND(300, &CBaseTestWnd::OnExit)
END_MESSAGE_TABLE()

class CDerivedTestWnd : public CBaseTestWnd {
    DECLARE_MESSAGE_TABLE()
public:
    bool swallowKeys = false;
    bool* deleted = nullptr;

    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == WM_KEYDOWN && swallowKeys) {
            calls.push_back("pre key");
            return true;
        }
        return false;
    }

protected:
    void PostNcDestroy() override {
        if (deleted != nullptr) {
            *deleted = true;
            delete this;
        }
    }

private:
    LRESULT OnPing(WPARAM w, LPARAM) {
        calls.push_back("derived ping " + std::to_string(w));
        return 10;
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("must not reach the system"); }
    LRESULT OnKeyDown(WPARAM, LPARAM) {
        calls.push_back("keydown");
        return 0;
    }
    LRESULT OnClose(WPARAM, LPARAM) {
        // Destroying from inside a handler: the object must survive until the handler returns.
        DestroyWindow();
        if (deleted != nullptr && *deleted) ADD_FAILURE() << "deleted inside its own handler";
        calls.push_back("after destroy");
        return 0;
    }
    void OnPick(UINT id) { calls.push_back("pick " + std::to_string(id)); }
    void OnClicked() { calls.push_back("clicked"); }
    void OnTick(UINT id) { calls.push_back("tick " + std::to_string(id)); }
};

BEGIN_MESSAGE_TABLE(CDerivedTestWnd, CBaseTestWnd)
    ON_MESSAGE(WM_PING, &CDerivedTestWnd::OnPing)
    ON_MESSAGE(WM_THROW, &CDerivedTestWnd::OnThrow)
    ON_MESSAGE(WM_KEYDOWN, &CDerivedTestWnd::OnKeyDown)
    ON_MESSAGE(WM_CLOSE, &CDerivedTestWnd::OnClose)
    ON_COMMAND_RANGE(200, 210, &CDerivedTestWnd::OnPick)
    ON_BN_CLICKED(400, &CDerivedTestWnd::OnClicked)
    ON_BN_CLICKED_RANGE(500, 510, &CDerivedTestWnd::OnTick)
END_MESSAGE_TABLE()

TEST(WindowLayer, DispatchesThroughOwnTableThenBaseThenDefault) {
    CDerivedTestWnd wnd;
    ASSERT_TRUE(wnd.Create());
    EXPECT_EQ(CWnd::FromHandle(wnd.Hwnd()), &wnd);

    EXPECT_EQ(SendMessageA(wnd, WM_PING, 7, 0), 10);  // the derived entry hides the base one
    EXPECT_EQ(SendMessageA(wnd, WM_BASEONLY, 0, 0), 2);
    EXPECT_EQ(SendMessageA(wnd, WM_UNHANDLED, 0, 0), 0);
    SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(300, 0), 0);
    SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(200, 0), 0);
    SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(210, 0), 0);
    SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(211, 0), 0);  // outside the range: nobody
    SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(200, EN_CHANGE), 0);  // a range without a filter takes every code
    SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(400, BN_DOUBLECLICKED), 0);  // filtered out
    SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(400, BN_CLICKED), 0);
    SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(505, BN_DOUBLECLICKED), 0);  // filtered out
    SendMessageA(wnd, WM_COMMAND, MAKEWPARAM(505, BN_CLICKED), 0);
    SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new title"));  // default procedure

    char title[32] = {};
    GetWindowTextA(wnd, title, sizeof title);
    EXPECT_STREQ(title, "new title");
    EXPECT_EQ(wnd.calls, (std::vector<std::string>{"derived ping 7", "base only", "base exit", "pick 200", "pick 210",
                                                   "pick 200", "clicked", "tick 505"}));
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.Hwnd(), nullptr);
}

TEST(WindowLayer, ExceptionsStopAtTheWindowProcedure) {
    CDerivedTestWnd wnd;
    ASSERT_TRUE(wnd.Create());
    EXPECT_EQ(SendMessageA(wnd, WM_THROW, 0, 0), 0);
    EXPECT_EQ(SendMessageA(wnd, WM_PING, 1, 0), 10);  // still alive and dispatching
    wnd.DestroyWindow();
}

TEST(WindowLayer, PreDispatchHookSeesMessagesBeforeDispatch) {
    CDerivedTestWnd wnd;
    ASSERT_TRUE(wnd.Create());
    MSG msg = {wnd.Hwnd(), WM_KEYDOWN, VK_DELETE, 0, 0, {}};
    wnd.swallowKeys = true;
    EXPECT_TRUE(PreTranslate(msg));
    wnd.swallowKeys = false;
    EXPECT_FALSE(PreTranslate(msg));
    EXPECT_EQ(wnd.calls, std::vector<std::string>{"pre key"});
    wnd.DestroyWindow();
}

TEST(WindowLayer, SelfDeletingWindowOutlivesItsOwnHandler) {
    bool deleted = false;
    auto* wnd = new CDerivedTestWnd;
    wnd->deleted = &deleted;
    ASSERT_TRUE(wnd->Create());
    HWND hwnd = wnd->Hwnd();
    SendMessageA(hwnd, WM_CLOSE, 0, 0);  // handler destroys the window, then keeps using the object
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
}

TEST(WindowLayer, SubclassedControlKeepsItsOwnBehaviour) {
    CBaseTestWnd parent;
    ASSERT_TRUE(parent.Create());
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    {
        CBaseTestWnd control;
        ASSERT_TRUE(control.SubclassWindow(edit));
        EXPECT_EQ(SendMessageA(edit, WM_PING, 3, 0), 1);
        SetWindowTextA(edit, "typed");
        EXPECT_EQ(control.calls, std::vector<std::string>{"base ping 3"});
    }
    // The object is gone; the control works on without it.
    EXPECT_EQ(CWnd::FromHandle(edit), nullptr);
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "typed");
    parent.DestroyWindow();
}

TEST(HandleWrappers, AreMoveOnlyAndDeleteOnce) {
    static_assert(!std::is_copy_constructible_v<BrushHandle>);
    static_assert(!std::is_copy_assignable_v<FontHandle>);
    static_assert(std::is_nothrow_move_constructible_v<PenHandle>);

    HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
    {
        BrushHandle a(raw);
        BrushHandle b(std::move(a));
        EXPECT_EQ(a.Get(), nullptr);
        EXPECT_EQ(b.Get(), raw);
        LOGBRUSH lb;
        EXPECT_EQ(GetObjectA(raw, sizeof lb, &lb), static_cast<int>(sizeof lb));
    }
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectA(raw, sizeof lb, &lb), 0);  // deleted exactly when its owner went
}

TEST(HandleWrappers, DcStateRestoresSelections) {
    WindowDc screen(nullptr);
    MemoryDc mem(screen);
    HGDIOBJ before = GetCurrentObject(mem, OBJ_PEN);
    PenHandle pen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    {
        DcState state(mem);
        SelectObject(mem, pen);
        EXPECT_EQ(GetCurrentObject(mem, OBJ_PEN), pen.Get());
    }
    EXPECT_EQ(GetCurrentObject(mem, OBJ_PEN), before);
}

// A window made on demand that deletes itself; counts its deletions.
class CSelfDeletingWnd final : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    enum class Refuse { Nothing, NcCreate, Create };

    static CSelfDeletingWnd* Open(Refuse refuse, int& deletions) {
        WindowCreation creation;
        creation.wndClass.lpszClassName = L"OrvSelfDeletingWnd";
        creation.style = WS_POPUP;
        creation.rect = {0, 0, 50, 40};
        return CreateSelfDeleting<CSelfDeletingWnd>(creation, [&] { return new CSelfDeletingWnd(refuse, deletions); });
    }
    ~CSelfDeletingWnd() override { ++deletions_; }

protected:
    void PostNcDestroy() override { delete this; }

private:
    CSelfDeletingWnd(Refuse refuse, int& deletions) : refuse_(refuse), deletions_(deletions) {}
    LRESULT OnNcCreate(WPARAM, LPARAM) { return refuse_ == Refuse::NcCreate ? FALSE : Default(); }
    LRESULT OnCreate(WPARAM, LPARAM) { return refuse_ == Refuse::Create ? -1 : Default(); }

    Refuse refuse_;
    int& deletions_;
};

BEGIN_MESSAGE_TABLE(CSelfDeletingWnd, CWnd)
    ON_MESSAGE(WM_NCCREATE, &CSelfDeletingWnd::OnNcCreate)
    ON_MESSAGE(WM_CREATE, &CSelfDeletingWnd::OnCreate)
END_MESSAGE_TABLE()

TEST(SelfDeletingWindow, ARefusedCreationLeavesNoObjectAndDeletesItOnce) {
    RefusedCreateAsOnWindows asOnWindows;
    ASSERT_TRUE(asOnWindows.Active());
    using Refuse = CSelfDeletingWnd::Refuse;
    for (const Refuse refuse : {Refuse::NcCreate, Refuse::Create}) {
        SCOPED_TRACE(static_cast<int>(refuse));
        int deletions = 0;
        EXPECT_EQ(CSelfDeletingWnd::Open(refuse, deletions), nullptr);
        EXPECT_EQ(deletions, 1);
    }
    int deletions = 0;
    CSelfDeletingWnd* wnd = CSelfDeletingWnd::Open(Refuse::Nothing, deletions);
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(deletions, 0);
    EXPECT_TRUE(IsWindow(wnd->Hwnd()));
    wnd->DestroyWindow();
    EXPECT_EQ(deletions, 1);
}

}  // namespace
