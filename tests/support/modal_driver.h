#pragma once
// Acts inside the modal loops a test starts, as a user would: each step waits
// until the dialog it names is the one taking input, then acts on it. Steps
// run from a thread timer, so they run in whichever modal loop is current,
// nested ones included. Message boxes are left to a MessageBoxCatcher.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class ModalDriver {
public:
    struct Step {
        std::string caption;               // of the dialog to act on
        std::function<void(HWND)> action;  // may post or send; may open further dialogs
    };

    explicit ModalDriver(std::vector<Step> steps, UINT timeoutMs = 20000)
        : steps_(std::move(steps)), deadline_(GetTickCount() + timeoutMs), previous_(Current()) {
        Current() = this;
        timer_ = SetTimer(nullptr, 0, 15, &ModalDriver::OnTimer);
    }
    ~ModalDriver() {
        KillTimer(nullptr, timer_);
        Current() = previous_;
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Every step ran; false when the dialogs were ended by the watchdog.
    bool Finished() const { return next_ == steps_.size() && !timedOut_; }

    // The enabled, visible dialog of this thread: the innermost modal one.
    static HWND ActiveDialog() {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &ModalDriver::FindDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    static std::string Caption(HWND hwnd) {
        char text[128] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        return text;
    }

    // A user's click: posted, so a dialog it opens runs in the next steps.
    static void Click(HWND dialog, int id) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

private:
    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM out) {
        char name[16] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
    }

    static ModalDriver*& Current() {
        thread_local ModalDriver* current = nullptr;
        return current;
    }

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        ModalDriver* self = Current();
        if (self == nullptr) return;
        HWND dialog = ActiveDialog();
        if (static_cast<int>(GetTickCount() - self->deadline_) > 0) {
            // A test that goes wrong ends its dialogs rather than hanging the run.
            self->timedOut_ = true;
            if (dialog != nullptr) EndDialog(dialog, IDABORT);
            return;
        }
        if (self->next_ >= self->steps_.size() || dialog == nullptr) return;
        if (Caption(dialog) != self->steps_[self->next_].caption) return;
        const Step& step = self->steps_[self->next_++];
        step.action(dialog);
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD deadline_;
    bool timedOut_ = false;
    ModalDriver* previous_;
    UINT_PTR timer_ = 0;
};
