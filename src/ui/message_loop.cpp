#include "ui/message_loop.h"

#include "ui/wnd.h"

bool PreTranslate(MSG& msg) {
    for (HWND h = msg.hwnd; h != nullptr; h = GetParent(h)) {
        if (CWnd* wnd = CWnd::FromHandle(h)) {
            if (wnd->PreTranslateMessage(msg)) return true;
        }
    }
    return false;
}

namespace {

// False at WM_QUIT, with msg holding it.
bool PumpOne(MSG& msg) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return false;
    if (!PreTranslate(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace

int RunMessageLoop() {
    MSG msg;
    while (PumpOne(msg)) {
    }
    return static_cast<int>(msg.wParam);
}

bool RunMessageLoopUntil(const std::function<bool()>& done) {
    MSG msg;
    while (!done()) {
        if (!PumpOne(msg)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
    }
    return true;
}
