// The frame's icon in the notification area.
#include "app/main_frame.h"

#include <shellapi.h>

#include <cstring>

#include "app/app_ids.h"
#include "app/calendar_app.h"
#include "core/product.h"
#include "platform/win32/win32_date_format.h"
#include "platform/win32/trace.h"
#include "sync/sync_settings.h"
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
    ORV_CHECK(notifyIcon_(NIM_ADD, &data));
}

void CMainFrame::RemoveTrayIcon() {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd_;
    data.uID = 0;
    ORV_CHECK(notifyIcon_(NIM_DELETE, &data));
}

namespace {

// The start as the tray notification writes it: its time, with its date when asked.
std::string StartText(Instant start, bool withDate) {
    return withDate ? FormatShortDate(start) + " " + FormatShortTime(start) : FormatShortTime(start);
}

}  // namespace

void CMainFrame::ShowNotice(const std::vector<NoticeEntry>& entries, bool missed) {
    if (entries.empty() || hwnd_ == nullptr) return;
    const NoticeText notice = MakeNoticeText(entries, missed, StartText);
    ShowBalloon(notice.title, notice.text, false);
}

void CMainFrame::ShowBalloon(const std::string& title, const std::string& text, bool fromSync) {
    if (hwnd_ == nullptr) return;
    balloonIsSync_ = fromSync;
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;  // the first layout with a balloon
    data.hWnd = hwnd_;
    data.uID = 0;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    data.uTimeout = 10000;
    std::strncpy(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle - 1);
    std::strncpy(data.szInfo, text.c_str(), sizeof data.szInfo - 1);
    ORV_CHECK(notifyIcon_(NIM_MODIFY, &data));
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
            if (!IsSyncSetUp(LoadSyncSettings(app_.GetRegistry()))) DeleteMenu(popup, ID_SYNC_NOW, MF_BYCOMMAND);
            TrackPopupMenu(popup, 0, pt.x, pt.y, 0, hwnd_, nullptr);
            // Lets the menu close when the user clicks elsewhere.
            PostMessageA(hwnd_, WM_NULL, 0, 0);
        }
    } else if (lParam == NIN_BALLOONUSERCLICK) {
        // A sync's balloon has nothing behind it.
        if (!balloonIsSync_) OpenUpcoming();
    } else if (lParam == WM_LBUTTONDBLCLK) {
        if (GetKeyState(VK_MENU) < 0) {
            OpenUpcoming();
        } else {
            OpenCalendar(0, 0);
        }
    }
    return 0;
}
