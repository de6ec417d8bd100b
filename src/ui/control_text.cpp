#include "ui/control_text.h"

std::string WindowText(HWND window) {
    const int length = window != nullptr ? GetWindowTextLengthA(window) : 0;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    if (length > 0) GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string ControlText(HWND dialog, int controlId) { return WindowText(GetDlgItem(dialog, controlId)); }
