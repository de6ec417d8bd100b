// Timer 55 and the file test behind the launch action, on the real Win32 calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_reminder_links.h"

namespace {

struct TimerWindow {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_TIMER) {
            auto* self = reinterpret_cast<TimerWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            if (self != nullptr) self->lastTimerId = wParam;
            if (self != nullptr) ++self->ticks;
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    TimerWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ReminderTimerTest";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TimerWindow() {
        DestroyWindow(hwnd);
        UnregisterClassA("ReminderTimerTest", GetModuleHandleA(nullptr));
    }
    TimerWindow(const TimerWindow&) = delete;
    TimerWindow& operator=(const TimerWindow&) = delete;

    // Dispatches this thread's messages for about `ms` milliseconds.
    void Pump(DWORD ms) {
        const DWORD begin = GetTickCount();
        while (GetTickCount() - begin < ms) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    HWND hwnd = nullptr;
    WPARAM lastTimerId = 0;
    int ticks = 0;
};

TEST(Win32ReminderTimerTest, WindowGetsTimer55UntilKilled) {
    TimerWindow w;
    ASSERT_NE(w.hwnd, nullptr);
    {
        Win32ReminderTimer timer;
        timer.Attach(w.hwnd);
        timer.Set(20);
        for (int i = 0; i < 200 && w.ticks == 0; ++i) w.Pump(25);
        EXPECT_GT(w.ticks, 0);
        EXPECT_EQ(w.lastTimerId, kReminderTimerId);

        timer.Kill();
        w.Pump(30);  // a tick already queued may still arrive
        const int afterKill = w.ticks;
        w.Pump(150);
        EXPECT_EQ(w.ticks, afterKill);

        timer.Set(20);
    }
    // Destroying the timer kills it.
    w.Pump(30);
    const int afterDestroy = w.ticks;
    w.Pump(150);
    EXPECT_EQ(w.ticks, afterDestroy);
}

TEST(Win32ReminderActionsTest, FileExistsFindsATempFileButNotAMissingOne) {
    char dir[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH, dir), 0u);
    char path[MAX_PATH] = {};
    ASSERT_NE(GetTempFileNameA(dir, "orv", 0, path), 0u);  // creates the file

    Win32ReminderActions actions;
    EXPECT_TRUE(actions.FileExists(path));
    ASSERT_TRUE(DeleteFileA(path));
    EXPECT_FALSE(actions.FileExists(path));
    EXPECT_FALSE(actions.FileExists(std::string(dir) + "orv-no-such-dir\\launch.exe"));
    EXPECT_FALSE(actions.FileExists(""));
}

}  // namespace
