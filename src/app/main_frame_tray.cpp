// The frame's icon in the notification area.
#include "app/main_frame.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "app/app_ids.h"
#include "app/calendar_app.h"
#include "core/product.h"
#include "platform/win32/win32_date_format.h"
#include "platform/text_codec.h"
#include "platform/win32/trace.h"
#include "sync/sync_settings.h"
#include "ui/gdi.h"

namespace {

// The text into a fixed field, cut to it whole characters at a time.
template <std::size_t N>
void CopyText(wchar_t (&field)[N], std::string_view utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    const std::u16string_view kept = CutUtf16(units, N - 1);
    std::copy(kept.begin(), kept.end(), field);
    field[kept.size()] = L'\0';
}

}  // namespace

void CMainFrame::AddTrayIcon() {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;  // the layout every shell understands
    data.hWnd = hwnd_;
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    CopyText(data.szTip, kTrayTip);
    ORV_CHECK(notifyIcon_(NIM_ADD, &data));
}

void CMainFrame::RemoveTrayIcon() {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
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
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;  // the first layout with a balloon
    data.hWnd = hwnd_;
    data.uID = 0;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    data.uTimeout = 10000;
    CopyText(data.szInfoTitle, title);
    CopyText(data.szInfo, text);
    ORV_CHECK(notifyIcon_(NIM_MODIFY, &data));
}

LRESULT CMainFrame::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    if (wParam != 0) return 0;
    if (lParam == WM_RBUTTONUP) {
        POINT pt;
        GetCursorPos(&pt);
        SetForegroundWindow(hwnd_);
        MenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPS)));
        if (HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr) {
            SetMenuDefaultItem(popup, ID_OPEN_CALENDAR, FALSE);
            if (!IsSyncSetUp(LoadSyncSettings(app_.GetRegistry()))) DeleteMenu(popup, ID_SYNC_NOW, MF_BYCOMMAND);
            TrackPopupMenu(popup, 0, pt.x, pt.y, 0, hwnd_, nullptr);
            // Lets the menu close when the user clicks elsewhere.
            PostMessageW(hwnd_, WM_NULL, 0, 0);
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
