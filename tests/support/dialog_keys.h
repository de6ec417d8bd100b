#pragma once
// The keyboard as a modal dialog's message loop hands it on: the dialog
// manager first, the focused control when the manager leaves the key. And
// what a dialog offers the keyboard: its controls' accelerator letters and
// the order Tab visits them in.
#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

namespace keys {

inline void Deliver(HWND dialog, UINT message, WPARAM key, LPARAM flags) {
    MSG msg = {};
    msg.hwnd = GetFocus() != nullptr ? GetFocus() : dialog;
    msg.message = message;
    msg.wParam = key;
    msg.lParam = flags;
    if (!IsDialogMessageA(dialog, &msg)) DispatchMessageA(&msg);
}

// A key pressed alone: Tab, Enter, Escape, Delete.
inline void Press(HWND dialog, UINT virtualKey) { Deliver(dialog, WM_KEYDOWN, virtualKey, 1); }

// Alt with a letter.
inline void Alt(HWND dialog, char letter) { Deliver(dialog, WM_SYSCHAR, static_cast<WPARAM>(letter), 1 | (1 << 29)); }

// The id of the control with the focus; the inner window of a picker or a
// drop-down list counts as its control.
inline int FocusedId() {
    HWND focus = GetFocus();
    while (focus != nullptr) {
        HWND parent = GetParent(focus);
        char name[16] = {};
        if (parent != nullptr) GetClassNameA(parent, name, sizeof name);
        if (parent == nullptr || lstrcmpA(name, "#32770") == 0) break;
        focus = parent;
    }
    return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

// The controls Tab visits, from the focused one until it comes round again.
inline std::vector<int> TabCycle(HWND dialog) {
    std::vector<int> ids{FocusedId()};
    for (int i = 0; i < 40; ++i) {
        Press(dialog, VK_TAB);
        if (FocusedId() == ids.front()) break;
        ids.push_back(FocusedId());
    }
    return ids;
}

// The accelerator letter of a caption, in lower case; 0 without one ("&&"
// writes an ampersand).
inline char Mnemonic(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

// A caption a user reads: a button's (push, check, radio, group box) or a
// static text's.
struct Caption {
    int id = 0;
    std::string text;
    bool button = false;    // push button, check box or radio button
    bool groupBox = false;
};

// The captions of a dialog's controls and, in a property sheet, those of the
// page it shows; hidden controls of the dialog itself count.
inline void CollectCaptions(HWND parent, std::vector<Caption>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassNameA(c, name, sizeof name);
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        if (lstrcmpA(name, "#32770") == 0) {
            if (IsWindowVisible(c)) CollectCaptions(c, out);
            continue;
        }
        Caption caption;
        caption.id = GetDlgCtrlID(c);
        char text[256] = {};
        GetWindowTextA(c, text, sizeof text);
        caption.text = text;
        if (lstrcmpiA(name, "Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            caption.groupBox = type == BS_GROUPBOX;
            caption.button = !caption.groupBox && type != BS_OWNERDRAW;
        } else if (lstrcmpiA(name, "Static") == 0) {
            const LONG type = style & SS_TYPEMASK;
            if ((style & SS_NOPREFIX) != 0 || type == SS_ICON || type == SS_BITMAP) continue;
        } else {
            continue;  // an edit's or a list's text is the user's, not a caption
        }
        out.push_back(caption);
    }
}

inline std::vector<Caption> Captions(HWND dialog) {
    std::vector<Caption> out;
    CollectCaptions(dialog, out);
    return out;
}

// Records the controls that tell their dialogs of a click, as a hook on the
// thread: the clicks an accelerator letter makes.
class ClickRecorder {
public:
    ClickRecorder() : previous_(Current()) {
        Current() = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, &ClickRecorder::Proc, nullptr, GetCurrentThreadId());
    }
    ~ClickRecorder() {
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        Current() = previous_;
    }
    ClickRecorder(const ClickRecorder&) = delete;
    ClickRecorder& operator=(const ClickRecorder&) = delete;

    std::vector<int> clicked;

private:
    static ClickRecorder*& Current() {
        thread_local ClickRecorder* current = nullptr;
        return current;
    }
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && Current() != nullptr && call->message == WM_COMMAND &&
            HIWORD(call->wParam) == BN_CLICKED && call->lParam != 0) {
            Current()->clicked.push_back(LOWORD(call->wParam));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    ClickRecorder* previous_;
    HHOOK hook_ = nullptr;
};

}  // namespace keys
