#pragma once
// Runs a test's steps inside a modal loop it cannot return from: each step
// runs from a short timer of a hidden window, so the dialog's own loop turns
// and goes idle (when a dialog shows itself) between steps. A watchdog closes the thread's dialogs if a test
// goes wrong, so the run ends instead of hanging.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/dib_canvas.h"

class DialogScript {
public:
    using Step = std::function<void()>;

    explicit DialogScript(std::vector<Step> steps) : steps_(std::move(steps)) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &DialogScript::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvTestDialogScript";
        RegisterClassA(&wc);  // fails harmlessly when registered before
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimer(hwnd_, kStepTimer, kStepMs, nullptr);
        SetTimer(hwnd_, kWatchdogTimer, 20000, nullptr);
    }
    ~DialogScript() {
        DestroyWindow(hwnd_);
        EXPECT_EQ(next_, steps_.size()) << "steps left undone";
        EXPECT_FALSE(timedOut_) << "the watchdog closed the dialogs";
    }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    std::size_t Done() const { return next_; }

private:
    static constexpr UINT_PTR kStepTimer = 1;
    static constexpr UINT_PTR kWatchdogTimer = 2;
    static constexpr UINT kStepMs = 10;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<DialogScript*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self != nullptr && message == WM_TIMER && wParam == kStepTimer) {
            // Stopped while the step runs: a message box inside it turns the loop too.
            KillTimer(hwnd, kStepTimer);
            if (self->next_ < self->steps_.size()) {
                const std::size_t i = self->next_++;
                self->steps_[i]();
                SetTimer(hwnd, kStepTimer, kStepMs, nullptr);
            }
            return 0;
        }
        if (self != nullptr && message == WM_TIMER && wParam == kWatchdogTimer) {
            self->timedOut_ = true;
            KillTimer(hwnd, kWatchdogTimer);
            EnumThreadWindows(GetCurrentThreadId(), &DialogScript::CloseDialog, 0);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    static BOOL CALLBACK CloseDialog(HWND hwnd, LPARAM) {
        char name[16] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (std::string(name) == "#32770") PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    bool timedOut_ = false;
    HWND hwnd_ = nullptr;
};

// A click on a push button or check box, as the user's would arrive.
inline void ClickButton(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

// A top-level window as it shows on the screen, saved as a 24-bit BMP under
// the build tree's "screens" folder for a person to look at.
inline bool SaveScreenShot(HWND hwnd, const std::string& name) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Wine hands what was painted to the X server when the thread next looks
    // at its queue, at most every few tens of milliseconds.
    MSG msg;
    for (int i = 0; i < 3; ++i) {
        Sleep(60);
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    RECT rc;
    GetWindowRect(hwnd, &rc);
    DibCanvas canvas(rc.right - rc.left, rc.bottom - rc.top, RGB(255, 0, 255));
    HDC screen = GetDC(nullptr);
    BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), screen, rc.left, rc.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return canvas.SaveBmp(ScreensDirectory() + "\\" + name + ".bmp");
}
