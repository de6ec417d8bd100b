#pragma once
// Windows destroys a window whose WM_CREATE answered -1 with WM_DESTROY and
// then WM_NCDESTROY; Wine sends only the second. While this object lives, a
// window of the thread that reaches WM_NCDESTROY without WM_DESTROY gets
// WM_DESTROY first, as on Windows.
#include <windows.h>

#include <set>

class RefusedCreateAsOnWindows {
public:
    RefusedCreateAsOnWindows() : hook_(SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId())) {}
    ~RefusedCreateAsOnWindows() {
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    }
    RefusedCreateAsOnWindows(const RefusedCreateAsOnWindows&) = delete;
    RefusedCreateAsOnWindows& operator=(const RefusedCreateAsOnWindows&) = delete;
    bool Active() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        static std::set<HWND> destroyed;
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_DESTROY) destroyed.insert(call->hwnd);
        if (code == HC_ACTION && call->message == WM_NCDESTROY) {
            if (destroyed.erase(call->hwnd) == 0) SendMessageA(call->hwnd, WM_DESTROY, 0, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook_;
};
