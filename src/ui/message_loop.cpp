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

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
