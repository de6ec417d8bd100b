// The frame's icon in the notification area.
#include "app/main_frame.h"

#include <shellapi.h>

#include <cstring>

#include "app/app_ids.h"
#include "core/product.h"
#include "platform/win32/trace.h"
#include "ui/gdi.h"

void CMainFrame::AddTrayIcon() {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;  // 88 bytes: the layout every shell understands
    data.hWnd = hwnd_;
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    std::strncpy(data.szTip, kTrayTip, sizeof data.szTip - 1);
    ORV_CHECK(Shell_NotifyIconA(NIM_ADD, &data));
}

void CMainFrame::RemoveTrayIcon() {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd_;
    data.uID = 0;
    ORV_CHECK(Shell_NotifyIconA(NIM_DELETE, &data));
}

LRESULT CMainFrame::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    if (wParam != 0) return 0;
    if (lParam == WM_RBUTTONUP) {
        POINT pt;
        GetCursorPos(&pt);
        SetForegroundWindow(hwnd_);
        MenuHandle menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_POPUPS)));
        if (HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr) {
            SetMenuDefaultItem(popup, ID_OPEN_CALENDAR, FALSE);
            TrackPopupMenu(popup, 0, pt.x, pt.y, 0, hwnd_, nullptr);
            // Lets the menu close when the user clicks elsewhere.
            PostMessageA(hwnd_, WM_NULL, 0, 0);
        }
    } else if (lParam == WM_LBUTTONDBLCLK) {
        if (GetKeyState(VK_MENU) < 0) {
            OpenUpcoming();
        } else {
            OpenCalendar(0, 0);
        }
    }
    return 0;
}
