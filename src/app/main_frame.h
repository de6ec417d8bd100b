#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/ical_exchange.h"
#include "app/sync_worker.h"
#include "core/clock.h"
#include "core/time_types.h"
#include "platform/win32/win32_credential_store.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_text_format.h"
#include "platform/win32/win32_reminder_links.h"
#include "platform/reminder_links.h"
#include "reminder/reminder_scheduler.h"
#include "store/event_store.h"
#include "store/preferences.h"
#include "store/snoozes.h"
#include "store/store_links.h"
#include "sync/sync_status.h"
#include "ui/wnd.h"

class CCalendarApp;
class CPropSheet;

// The hidden hub: owns the preferences, the events and the reminder schedule,
// keeps the tray icon and opens the calendar and upcoming-events windows.
class CMainFrame final : public CWnd, private ScheduleNotifier, private UpcomingLink, private ReminderNotice {
    DECLARE_MESSAGE_TABLE()
public:
    // Shell_NotifyIconA, or what a test puts in its place.
    using NotifyIconCall = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

    // The clock outlives the frame.
    CMainFrame(CCalendarApp& app, const Clock& clock, NotifyIconCall notifyIcon = nullptr);
    ~CMainFrame() override;

    // The hidden window's class, by which a second start finds it.
    static constexpr const wchar_t* kClassName = L"OrvCalendarFrame";
    // Beside the reminders' timer.
    static constexpr UINT_PTR kSyncTimerId = 56;

    // Creates the hidden window; false when its creation step refused.
    bool Create();

    void OpenCalendar(std::uint32_t eventId, Instant start);
    void OpenUpcoming();

    Preferences& Prefs() { return prefs_; }
    EventStore& Store() { return store_; }
    ReminderScheduler& Scheduler() { return scheduler_; }
    CCalendarApp& App() { return app_; }
    HWND ScheduleWnd() const { return scheduleWnd_; }
    HWND DueEventWnd() const { return dueEventWnd_; }

private:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnTrayNotify(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnChildClosed(WPARAM, LPARAM);
    LRESULT OnPowerBroadcast(WPARAM, LPARAM);
    LRESULT OnTimeChange(WPARAM, LPARAM);
    LRESULT OnCopyData(WPARAM, LPARAM);
    LRESULT OnExchangeReport(WPARAM, LPARAM);
    LRESULT OnSyncDone(WPARAM, LPARAM);
    void OnExportICalendar();
    void OnImportICalendar();
    // A tray command: its file dialog, the work and the box.
    void RunExchangeCommand(bool import);
    ExchangeOutcome Exchange(bool import, const std::string& path);
    void OnSyncNow();
    // Sync: one at a time on the worker; asked while one runs, another
    // follows it. A sync that cannot start ends at once, with its reason.
    // typed: the account the Sync page shows, not yet stored; none: the stored one.
    void StartSync(std::unique_ptr<CalDavTransport> typed = nullptr);
    // The Sync page's "Sync now", with what it shows.
    void SyncTyped(const std::string& url, const std::string& user, const std::string& password);
    void FinishSync(const SyncResult& result);
    // The interval timer, from now; none when sync is off or by hand only.
    void ScheduleSync(bool starting = false);
    void OnSyncTimer();
    // A second start's /sync: the next sync to start, waited for.
    LRESULT SyncForCaller();
    // On the way out: a sync about to end is still taken in.
    void EndSyncForExit();
    // From the tray icon; a click on a sync's opens nothing.
    void ShowBalloon(const std::string& title, const std::string& text, bool fromSync);
    void OnOpenCalendar();
    void OnOpenUpcoming();
    void OnPreferences();
    void OnAbout();
    void OnExit();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CheckNow();
    void AddTrayIcon();
    void RemoveTrayIcon();

    // ScheduleNotifier
    void CalendarChanged() override;
    void UpcomingEventsDeleted() override;
    // UpcomingLink
    bool IsOpen() const override;
    void Open() override;
    void Send(std::uintptr_t code, PendingReminder* record) override;
    // ReminderNotice: a balloon from the tray icon.
    void ShowNotice(const std::vector<NoticeEntry>& entries, bool missed) override;

    CCalendarApp& app_;
    const Clock& clock_;
    NotifyIconCall notifyIcon_;
    Win32Desktop desktop_;
    Win32TextFormat textFormat_;
    Win32ReminderTimer timer_;
    Win32ReminderActions actions_;
    Preferences prefs_;
    EventStore store_;
    RegistryReminderKeeper keeper_;
    ReminderScheduler scheduler_;
    HWND scheduleWnd_ = nullptr;
    HWND dueEventWnd_ = nullptr;
    CPropSheet* prefSheet_ = nullptr;  // the open Preferences sheet
    bool choosingFile_ = false;        // an export or import file dialog is open
    std::deque<ExchangeOutcome> reports_;  // of handed requests, until their boxes show
    Win32CredentialStore credentials_;
    SyncWorker syncWorker_;
    std::string syncStatus_;   // the last sync's line, for the Sync page
    SyncEnd lastSyncEnd_ = SyncEnd::Done;
    unsigned syncsEnded_ = 0;  // counts every end, refused starts too
    bool syncAgain_ = false;   // asked while one ran
    std::unique_ptr<CalDavTransport> typedAgain_;  // the account that one was asked with
    bool syncByHand_ = false;  // from the tray: its end shows a balloon
    bool balloonIsSync_ = false;
    UINT taskbarCreated_ = 0;
    bool created_ = false;  // creation went through: the destroy steps apply
};
