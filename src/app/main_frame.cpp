// The frame's life and the windows it opens.
#include "app/main_frame.h"

#include <cstring>

#include "app/app_ids.h"
#include "app/calendar_app.h"
#include "calendar/schedule_wnd.h"
#include "core/locale_names.h"
#include "core/product.h"
#include "dialogs/prop_sheet.h"
#include "platform/win32/trace.h"
#include "store/settings.h"
#include "ui/desktop_metrics.h"
#include "upcoming/due_event_wnd.h"
#include "platform/win32/wide_text.h"

namespace {

RECT ToRect(const ScreenRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
ScreenRect FromRect(const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

BEGIN_MESSAGE_TABLE(CMainFrame, CWnd)
    ON_MESSAGE(WM_CREATE, &CMainFrame::OnCreate)
    ON_MESSAGE(WM_DESTROY, &CMainFrame::OnDestroy)
    ON_MESSAGE(WM_TRAYNOTIFY, &CMainFrame::OnTrayNotify)
    ON_MESSAGE(WM_ENDSESSION, &CMainFrame::OnEndSession)
    ON_MESSAGE(WM_TIMER, &CMainFrame::OnTimer)
    ON_MESSAGE(WM_CHILDCLOSED, &CMainFrame::OnChildClosed)
    ON_MESSAGE(WM_POWERBROADCAST, &CMainFrame::OnPowerBroadcast)
    ON_MESSAGE(WM_TIMECHANGE, &CMainFrame::OnTimeChange)
    ON_MESSAGE(WM_COPYDATA, &CMainFrame::OnCopyData)
    ON_MESSAGE(WM_EXCHANGEREPORT, &CMainFrame::OnExchangeReport)
    ON_MESSAGE(WM_SYNCDONE, &CMainFrame::OnSyncDone)
    ON_COMMAND(ID_OPEN_CALENDAR, &CMainFrame::OnOpenCalendar)
    ON_COMMAND(ID_UPCOMING_EVENTS, &CMainFrame::OnOpenUpcoming)
    ON_COMMAND(ID_PREFERENCES, &CMainFrame::OnPreferences)
    ON_COMMAND(ID_TRAY_ABOUT, &CMainFrame::OnAbout)
    ON_COMMAND(ID_APP_ABOUT, &CMainFrame::OnAbout)
    ON_COMMAND(ID_EXPORT_ICALENDAR, &CMainFrame::OnExportICalendar)
    ON_COMMAND(ID_IMPORT_ICALENDAR, &CMainFrame::OnImportICalendar)
    ON_COMMAND(ID_SYNC_NOW, &CMainFrame::OnSyncNow)
    ON_COMMAND(ID_APP_EXIT, &CMainFrame::OnExit)
END_MESSAGE_TABLE()

CMainFrame::CMainFrame(CCalendarApp& app, const Clock& clock, NotifyIconCall notifyIcon)
    : app_(app),
      clock_(clock),
      notifyIcon_(notifyIcon != nullptr ? notifyIcon : Shell_NotifyIconW),
      store_(app.GetRegistry(), clock_, scheduler_, *this),
      keeper_(app.GetRegistry()),
      scheduler_(store_, prefs_, clock_, timer_, actions_, *this, &keeper_, this),
      syncWorker_(WM_SYNCDONE) {}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::Create() {
    WNDCLASSW wc = {};
    wc.lpszClassName = kClassName;
    if (!RegisterWindowClass(wc)) return false;
    wchar_t title[64] = {};
    if (LoadStringW(GetModuleHandleW(nullptr), IDR_MAINFRAME, title, 64) <= 0) lstrcpynW(title, Wide(kAppTitle).c_str(), 64);
    RECT rc = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    // The events are read while the process's first window is made.
    store_.StartLoad();
    return ORV_CHECK(CreateEx(0, kClassName, Utf8(title).c_str(), WS_OVERLAPPEDWINDOW, rc, nullptr, 0));
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Whatever the user or the system asks of the frame may need every event whole.
    switch (message) {
        case WM_FINISHLOAD:
        case WM_CHILDCLOSED:  // a calendar closed before its first paint posts nothing
        case WM_TRAYNOTIFY:
        case WM_COMMAND:
        case WM_COPYDATA:
        case WM_TIMECHANGE:
        case WM_POWERBROADCAST:
            store_.FinishLoad();
            break;
        default:
            break;
    }
    // Explorer broadcasts this after it restarts; the icon must be added again.
    if (taskbarCreated_ != 0 && message == taskbarCreated_) {
        AddTrayIcon();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CMainFrame::OnCreate(WPARAM, LPARAM) {
    if (Default() == -1) return -1;
    if (!LoadSettings(app_.GetRegistry(), desktop_, app_.Values().installPath, store_, prefs_)) return -1;
    timer_.Attach(hwnd_);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    AddTrayIcon();
    store_.BeginLoad();
    created_ = true;
    // The upcoming window lists what the reminders found: the load ends first.
    if (prefs_.UewStartup != 0 || app_.QuietStart()) store_.FinishLoad();
    if (prefs_.UewStartup != 0) OpenUpcoming();
    if (!app_.QuietStart()) OpenCalendar(0, 0);
    // No calendar to paint: nothing would post the rest of the load.
    if (scheduleWnd_ == nullptr) store_.FinishLoad();
    ScheduleSync(true);
    return 0;
}

LRESULT CMainFrame::OnDestroy(WPARAM, LPARAM) {
    // A frame whose creation failed holds default preferences: writing them
    // would overwrite the user's rectangle and exclusions.
    if (!created_) return 0;
    created_ = false;
    EndSyncForExit();
    if (scheduleWnd_ != nullptr) ::DestroyWindow(scheduleWnd_);
    if (dueEventWnd_ != nullptr) ::DestroyWindow(dueEventWnd_);
    RemoveTrayIcon();
    timer_.Kill();
    PostQuitMessage(0);
    SaveSettings(app_.GetRegistry(), kExitGroup, prefs_, store_);
    return 0;
}

LRESULT CMainFrame::OnEndSession(WPARAM wParam, LPARAM) {
    if (wParam) {
        // The process may end as soon as this returns.
        DestroyWindow();
        app_.ExitInstance();
    }
    return 0;
}

LRESULT CMainFrame::OnChildClosed(WPARAM wParam, LPARAM) {
    if (wParam == CHILD_CALENDAR) scheduleWnd_ = nullptr;
    if (wParam == CHILD_UPCOMING) dueEventWnd_ = nullptr;
    return 0;
}

void CMainFrame::OnOpenCalendar() { OpenCalendar(0, 0); }

void CMainFrame::OnOpenUpcoming() { OpenUpcoming(); }

void CMainFrame::OnPreferences() {
    // The sheet runs its own loop; should the frame go meanwhile, what follows
    // it is left undone.
    PrefSheetContext context;
    context.prefs = &prefs_;
    context.openSheet = &prefSheet_;
    context.anchor = scheduleWnd_;
    context.saveSettings = [this] {
        if (hwnd_ != nullptr) SaveSettings(app_.GetRegistry(), kPreferenceGroup, prefs_, store_);
    };
    context.refreshCalendar = [this] {
        if (auto* wnd = dynamic_cast<CScheduleWnd*>(FromHandle(scheduleWnd_))) {
            wnd->RefreshBackColor();
            wnd->ReloadBackImage();
            InvalidateRect(scheduleWnd_, nullptr, FALSE);
        }
    };
    context.checkReminders = [this] {
        if (hwnd_ != nullptr) scheduler_.CheckReminders(clock_.Now(), true);
    };
    context.registry = &app_.GetRegistry();
    context.credentials = &credentials_;
    context.syncSettingsChanged = [this] {
        if (hwnd_ != nullptr) ScheduleSync();
    };
    context.syncNow = [this](const std::string& url, const std::string& user, const std::string& password) {
        SyncTyped(url, user, password);
    };
    context.syncStatus = [this] { return syncStatus_; };
    ShowPreferences(context);
}

void CMainFrame::OnAbout() { app_.OnAppAbout(); }

void CMainFrame::OnExit() { DestroyWindow(); }

void CMainFrame::OpenCalendar(std::uint32_t eventId, Instant start) {
    if (scheduleWnd_ != nullptr) {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        if (GetWindowPlacement(scheduleWnd_, &placement)) prefs_.ScheRect = FromRect(placement.rcNormalPosition);
    }
    KeepOnDesktop(prefs_.ScheRect, desktop_);
    const RECT rc = ToRect(prefs_.ScheRect);
    if (scheduleWnd_ == nullptr) {
        ScheduleWndContext context;
        context.store = &store_;
        context.prefs = &prefs_;
        context.clock = &clock_;
        context.names = &TheLocaleNames();
        context.closed = [this](const ScreenRect& rect) {
            prefs_.ScheRect = rect;
            SendMessageW(hwnd_, WM_CHILDCLOSED, CHILD_CALENDAR, 0);
        };
        // Posted: read before any input that arrives after the paint.
        if (!store_.Loaded()) context.painted = [this] { PostMessageW(hwnd_, WM_FINISHLOAD, 0, 0); };
        context.registry = &app_.GetRegistry();
        context.installPath = app_.Values().installPath;
        context.desktop = &desktop_;
        context.format = &textFormat_;
        CScheduleWnd* wnd = CScheduleWnd::CreateNew(context, rc, app_.HasDropShadow());
        if (wnd == nullptr) return;
        scheduleWnd_ = wnd->Hwnd();
    }
    ShowWindow(scheduleWnd_, SW_SHOWNORMAL);
    MoveWindow(scheduleWnd_, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    SetForegroundWindow(scheduleWnd_);
    if (eventId != 0) {
        if (auto* wnd = dynamic_cast<CScheduleWnd*>(FromHandle(scheduleWnd_))) {
            wnd->ShowEvent(eventId, start != 0 ? start : clock_.Now(), false);
        }
    }
}

void CMainFrame::OpenUpcoming() {
    if (dueEventWnd_ != nullptr) return;
    DueEventContext context;
    context.pending = &scheduler_.Pending();
    context.prefs = &prefs_;
    context.registry = &app_.GetRegistry();
    context.desktop = &desktop_;
    context.clock = &clock_;
    context.frame = hwnd_;
    context.openCalendar = [this](std::uint32_t eventId, Instant start) { OpenCalendar(eventId, start); };
    context.eventExists = [this](std::uint32_t eventId) { return store_.FindEvent(eventId) != nullptr; };
    context.snooze = [this](std::uint32_t eventId, Instant start, Instant until) {
        scheduler_.SnoozeOccurrence(eventId, start, until);
    };
    if (CDueEventWnd* wnd = CDueEventWnd::OpenNew(context, app_.HasDropShadow())) dueEventWnd_ = wnd->Hwnd();
}
