#include "platform/win32/win32_desktop.h"

#include <windows.h>

ScreenRect Win32Desktop::WorkArea() const {
    RECT rc{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &rc, 0)) {
        rc.right = GetSystemMetrics(SM_CXSCREEN);
        rc.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    return {rc.left, rc.top, rc.right, rc.bottom};
}
