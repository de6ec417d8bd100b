#include "ui/control_text.h"
#include "platform/win32/wide_text.h"

std::string WindowText(HWND window) {
    const int length = window != nullptr ? GetWindowTextLengthW(window) : 0;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = length > 0 ? GetWindowTextW(window, text.data(), length + 1) : 0;
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return Utf8(text);
}

std::string ControlText(HWND dialog, int controlId) { return WindowText(GetDlgItem(dialog, controlId)); }
