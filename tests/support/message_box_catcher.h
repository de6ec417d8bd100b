#pragma once
// Catches the message boxes a test provokes on its own thread: records each
// box's caption and text and closes it with OK, so the code under test runs
// on as if a user had read the box and pressed OK.
#include <windows.h>

#include <string>
#include <vector>

class MessageBoxCatcher {
public:
    struct Box {
        std::string caption;
        std::string text;
    };

    MessageBoxCatcher() : previous_(Current()) {
        Current() = this;
        hook_ = SetWindowsHookExA(WH_CBT, &MessageBoxCatcher::CbtProc, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxCatcher() {
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        Current() = previous_;
    }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    bool Installed() const { return hook_ != nullptr; }
    const std::vector<Box>& Boxes() const { return boxes_; }

private:
    // The hook procedure has no context argument; the catcher of the thread
    // is found here (the innermost one when several are alive).
    static MessageBoxCatcher*& Current() {
        thread_local MessageBoxCatcher* current = nullptr;
        return current;
    }

    // A message box is a dialog-class window whose text is the static control
    // 0xFFFF. Test dialogs give their static controls real ids.
    static bool IsMessageBox(HWND hwnd, HWND& textControl) {
        char className[16] = {};
        GetClassNameA(hwnd, className, sizeof className);
        if (lstrcmpA(className, "#32770") != 0) return false;
        textControl = GetDlgItem(hwnd, 0xFFFF);
        return textControl != nullptr;
    }

    static std::string TextOf(HWND hwnd) {
        const int length = GetWindowTextLengthA(hwnd);
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        GetWindowTextA(hwnd, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        return text;
    }

    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
        MessageBoxCatcher* self = Current();
        if (self != nullptr && code == HCBT_ACTIVATE) {
            HWND box = reinterpret_cast<HWND>(wParam);
            HWND text = nullptr;
            if (IsMessageBox(box, text) && !self->Seen(box)) {
                self->seen_.push_back(box);
                self->boxes_.push_back(Box{TextOf(box), TextOf(text)});
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    bool Seen(HWND box) const {
        for (HWND h : seen_) {
            if (h == box && IsWindow(h)) return true;
        }
        return false;
    }

    MessageBoxCatcher* previous_;
    HHOOK hook_ = nullptr;
    std::vector<Box> boxes_;
    std::vector<HWND> seen_;
};
