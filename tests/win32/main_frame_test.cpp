// The main frame in-process, over a scratch registry: the messages that must
// make it check reminders at once, the tray icon coming back after the shell
// restarts, the windows it opens and what it stores when it goes.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/calendar_app.h"
#include "app/app_ids.h"
#include "app/exchange_request.h"
#include "app/main_frame.h"
#include "calendar/schedule_wnd.h"
#include "core/calendar.h"
#include "core/local_zone.h"
#include "platform/memory/faulty_registry.h"
#include "scratch_hive.h"
#include "support/message_box_catcher.h"
#include "support/refused_create.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr char kUserKey[] = "SOFTWARE\\OrvCalendar\\User\\Default_Id";

// The frame's time, moved by the tests.
struct ManualClock final : Clock {
    explicit ManualClock(Instant t) : now(t) {}
    Instant Now() const override { return now; }
    void Advance(Instant seconds) { now += seconds; }
    Instant now;
};

// The frame ends the message loop when it goes; the test's loop goes on.
void DropQuit() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

std::string UserValue(const char* name) {
    char data[64] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, kUserKey, name, RRF_RT_ANY, nullptr, data, &size) != ERROR_SUCCESS) return {};
    return std::string(data, size);
}

void SetUserValue(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame_.Create());
    }
    void TearDown() override {
        frame_.DestroyWindow();
        DropQuit();
    }

    void TrayDoubleClick(bool alt) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageA(frame_, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        keys[VK_MENU] = 0;
        SetKeyboardState(keys);
    }

    // An event whose only reminder is due `seconds` from now, a minute before
    // it begins: the fired reminder's record stays pending until then (a
    // begun event's record is handed over and freed).
    bool AddEventStartingIn(int seconds, std::uint32_t& id) {
        LocalFields now;
        if (!BreakDownLocal(clock_.Now(), now)) return false;
        const int startTime = now.hour * 3600 + now.minute * 60 + now.second + seconds + 60;
        auto item = std::make_unique<ScheduleItem>();
        id = frame_.Store().NextEventId();
        item->front.id = id;
        item->front.startDate = static_cast<std::int32_t>(MakeLocalTime(now.year, now.month, now.day, 0, 0, 0));
        item->front.endDate = static_cast<std::int32_t>(EndOfDay(item->front.startDate));
        item->front.startTime = startTime;
        item->front.endTime = startTime;
        item->remindMinutes = 1;
        item->title = "Soon";
        return frame_.Store().SaveEvent(item, true, true);
    }

    const PendingReminder* Pending(std::uint32_t id) {
        for (const auto& record : frame_.Scheduler().Pending()) {
            if (record->item->front.id == id) return record.get();
        }
        return nullptr;
    }

    ScratchHive hive_;
    CCalendarApp app_{0};
    // A summer noon: the day has room for every reminder the tests add.
    ManualClock clock_{MakeLocalTime(2026, 7, 1, 12, 0, 0)};
    CMainFrame frame_{app_, clock_};
};

// The reminder timer may be ten minutes away after a resume or a clock
// change; the check must not wait for it. The test pumps no messages, so only
// the handler itself can have run the check.
TEST_F(MainFrameTest, TimeChangeAndResumeCheckRemindersAtOnce) {
    for (const auto& [message, wParam] : {std::pair<UINT, WPARAM>{WM_TIMECHANGE, 0},
                                          std::pair<UINT, WPARAM>{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC}}) {
        std::uint32_t id = 0;
        ASSERT_TRUE(AddEventStartingIn(8, id));
        const PendingReminder* record = Pending(id);
        ASSERT_NE(record, nullptr);
        EXPECT_FALSE(record->fired);
        clock_.Advance(4);  // now within the check's tolerance of the reminder
        ASSERT_EQ(Pending(id), record);
        SendMessageA(frame_, message, wParam, 0);
        ASSERT_EQ(Pending(id), record) << "message " << message;
        EXPECT_TRUE(record->fired) << "message " << message;
    }
}

// A changed zone is read again on a time change: the runtime's and the
// offsets remembered since. The test zone is read from the environment, as
// a user's new one would be from the system.
TEST_F(MainFrameTest, TimeChangeReadsTheZoneAgain) {
    struct RestoreZone {
        ~RestoreZone() {
            _putenv("TZ=");
            _tzset();
            ResetLocalTimeCache();
        }
    } restore;
    const Instant noon = DaysFromCivil(2026, 7, 1) * kSecondsPerDay + 12 * 3600;
    LocalFields f;
    ASSERT_TRUE(BreakDownLocal(noon, f));
    ASSERT_EQ(f.hour, 14);  // Berlin's summer time, now remembered
    _putenv("TZ=IST-5:30");
    SendMessageA(frame_, WM_TIMECHANGE, 0, 0);
    ASSERT_TRUE(BreakDownLocal(noon, f));
    EXPECT_EQ(f.hour * 60 + f.minute, 17 * 60 + 30);
}

TEST_F(MainFrameTest, OtherPowerEventsDoNotCheck) {
    std::uint32_t id = 0;
    ASSERT_TRUE(AddEventStartingIn(8, id));
    clock_.Advance(4);
    SendMessageA(frame_, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    ASSERT_NE(Pending(id), nullptr);
    EXPECT_FALSE(Pending(id)->fired);
}

TEST_F(MainFrameTest, TrayIconComesBackWhenTheShellRestarts) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = frame_;
    data.uID = 0;
    data.uFlags = NIF_TIP;
    lstrcpyA(data.szTip, "probe");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data)) << "the frame put up its icon";
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));  // as if the shell had restarted
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data));

    SendMessageA(frame_, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
}

TEST_F(MainFrameTest, ChildClosedForgetsOnlyTheNamedWindow) {
    ASSERT_NE(frame_.ScheduleWnd(), nullptr);  // opened at start-up without the quiet switch
    SendMessageA(frame_, WM_CHILDCLOSED, 7, 0);
    EXPECT_NE(frame_.ScheduleWnd(), nullptr);
    HWND calendar = frame_.ScheduleWnd();
    DestroyWindow(calendar);
    EXPECT_EQ(frame_.ScheduleWnd(), nullptr);
    EXPECT_NE(frame_.Prefs().ScheRect.right, 0);
}

TEST_F(MainFrameTest, UpcomingWindowOpensOnceFromTheTrayAndTheMenu) {
    ASSERT_EQ(frame_.DueEventWnd(), nullptr);
    TrayDoubleClick(false);
    EXPECT_EQ(frame_.DueEventWnd(), nullptr);  // without Alt: the calendar
    TrayDoubleClick(true);
    const HWND upcoming = frame_.DueEventWnd();
    ASSERT_NE(upcoming, nullptr);
    TrayDoubleClick(true);
    SendMessageA(frame_, WM_COMMAND, ID_UPCOMING_EVENTS, 0);
    EXPECT_EQ(frame_.DueEventWnd(), upcoming);  // not created again
    DestroyWindow(upcoming);
    EXPECT_EQ(frame_.DueEventWnd(), nullptr);
    SendMessageA(frame_, WM_COMMAND, ID_UPCOMING_EVENTS, 0);
    EXPECT_NE(frame_.DueEventWnd(), nullptr);
}

TEST_F(MainFrameTest, CalendarKeepsItsRectangleAcrossClosingAndIsRaisedWhenOpen) {
    const HWND calendar = frame_.ScheduleWnd();
    ASSERT_NE(calendar, nullptr);
    MoveWindow(calendar, 100, 50, 600, 450, TRUE);
    DestroyWindow(calendar);
    EXPECT_EQ(frame_.ScheduleWnd(), nullptr);
    EXPECT_EQ(frame_.Prefs().ScheRect, (ScreenRect{100, 50, 700, 500}));

    TrayDoubleClick(false);
    const HWND reopened = frame_.ScheduleWnd();
    ASSERT_NE(reopened, nullptr);
    RECT rc;
    GetWindowRect(reopened, &rc);
    EXPECT_EQ(rc.left, 100);
    EXPECT_EQ(rc.bottom, 500);

    // Another window in front: a double-click brings the same calendar forward.
    const HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                       nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    TrayDoubleClick(false);
    EXPECT_EQ(frame_.ScheduleWnd(), reopened);
    EXPECT_EQ(GetForegroundWindow(), reopened);
    DestroyWindow(other);
}

TEST_F(MainFrameTest, OpenCalendarShowsTheAskedEvent) {
    auto item = std::make_unique<ScheduleItem>();
    item->front.id = frame_.Store().NextEventId();
    item->front.startDate = static_cast<std::int32_t>(MakeLocalTime(2026, 10, 15, 0, 0, 0));
    item->front.endDate = static_cast<std::int32_t>(EndOfDay(item->front.startDate));
    item->front.startTime = item->front.endTime = 9 * 3600;
    item->title = "Asked";
    const std::uint32_t id = item->front.id;
    ASSERT_TRUE(frame_.Store().SaveEvent(item, true, true));
    // As the upcoming-events window asks for it.
    frame_.OpenCalendar(id, 0);
    auto* wnd = dynamic_cast<CScheduleWnd*>(CWnd::FromHandle(frame_.ScheduleWnd()));
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(wnd->Layout().year, 2026);
    EXPECT_EQ(wnd->Layout().month, 10);
    EXPECT_EQ(wnd->Layout().selectedId, id);
}

// The notes and files are read after the calendar's first paint, posted so
// that they come before any input; a message from the tray or the system
// reads them at once.
TEST_F(MainFrameTest, TheRestOfTheEventsIsReadAfterTheCalendarsFirstPaint) {
    EXPECT_FALSE(frame_.Store().Loaded());
    UpdateWindow(frame_.ScheduleWnd());
    EXPECT_FALSE(frame_.Store().Loaded());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, frame_, WM_FINISHLOAD, WM_FINISHLOAD, PM_REMOVE));
    DispatchMessageA(&msg);
    EXPECT_TRUE(frame_.Store().Loaded());
}

TEST_F(MainFrameTest, ACalendarClosedBeforeItsFirstPaintStillEndsTheLoad) {
    EXPECT_FALSE(frame_.Store().Loaded());
    DestroyWindow(frame_.ScheduleWnd());
    EXPECT_TRUE(frame_.Store().Loaded());
}

TEST(MainFrameStart, AMessageFromTheTrayBeforeThePaintReadsTheRestAtOnce) {
    ScratchHive hive;
    CCalendarApp app(0);
    const SystemClock clock;
    CMainFrame frame(app, clock);
    ASSERT_TRUE(frame.Create());
    EXPECT_FALSE(frame.Store().Loaded());
    SendMessageA(frame, WM_TRAYNOTIFY, 1, WM_MOUSEMOVE);
    EXPECT_TRUE(frame.Store().Loaded());
    frame.DestroyWindow();
    DropQuit();
}

// A second start's /import: done before the answer, which carries the exit
// code; the report box comes after it, and not at all with the quiet switch.
// The imported event reaches the reminders as a saved one does.
TEST_F(MainFrameTest, CopyDataImportAnswersFirstThenReports) {
    LocalFields now;
    ASSERT_TRUE(BreakDownLocal(clock_.Now(), now));
    LocalFields tomorrow;
    ASSERT_TRUE(BreakDownLocal(MakeLocalTime(now.year, now.month, now.day + 1, 12, 0, 0), tomorrow));
    char start[32];
    std::snprintf(start, sizeof start, "%04d%02d%02dT120000", tomorrow.year, tomorrow.month, tomorrow.day);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "orv_frame_import.ics";
    std::ofstream(path, std::ios::binary) << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Fixture//EN\r\n"
                                             "BEGIN:VEVENT\r\nUID:handed@example.com\r\nDTSTART:"
                                          << start << "\r\nSUMMARY:Handed\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

    MessageBoxCatcher boxes;
    ASSERT_TRUE(boxes.Installed());
    for (const ULONG_PTR quiet : {ULONG_PTR{0}, ULONG_PTR{COPYDATA_QUIET}}) {
        COPYDATASTRUCT data{COPYDATA_ICAL_IMPORT | quiet, static_cast<DWORD>(path.size() + 1), path.data()};
        const std::size_t shown = boxes.Boxes().size();
        EXPECT_EQ(SendMessageA(frame_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), COPYDATA_ANSWERED + 0);
        EXPECT_EQ(boxes.Boxes().size(), shown) << "the sender does not wait for the user";
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "OrvCalendar");
    EXPECT_EQ(boxes.Boxes()[0].text, "1 event imported.");
    ASSERT_EQ(frame_.Store().Count(), 1u);  // the second import updated it
    EXPECT_NE(Pending(frame_.Store().Events().front()->front.id), nullptr);
    DeleteFileA(path.c_str());
}

// A second plain start hands itself over: the calendar opens, once the
// sender has its answer.
TEST_F(MainFrameTest, ASecondStartShowsTheCalendar) {
    if (frame_.ScheduleWnd() != nullptr) DestroyWindow(frame_.ScheduleWnd());
    ASSERT_EQ(frame_.ScheduleWnd(), nullptr);
    COPYDATASTRUCT data{COPYDATA_SHOW_CALENDAR, 0, nullptr};
    EXPECT_EQ(SendMessageA(frame_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), COPYDATA_ANSWERED + 0);
    EXPECT_EQ(frame_.ScheduleWnd(), nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    ASSERT_NE(frame_.ScheduleWnd(), nullptr);
    EXPECT_TRUE(IsWindowVisible(frame_.ScheduleWnd()));
    EXPECT_TRUE(ShowRunningCopy(CMainFrame::kClassName));
}

// A rectangle stored on a monitor that has gone (here left of the only one)
// opens whole on the screen at its size; the stored value changes only when
// the window closes.
TEST(MainFrameStart, ACalendarStoredOffEveryMonitorOpensWholeOnTheScreen) {
    ScratchHive hive;
    const std::int32_t rect[4] = {-1500, 100, -1020, 477};
    SetUserValue("ScheRect", REG_BINARY, rect, sizeof rect);
    CCalendarApp app(0);
    const SystemClock clock;
    CMainFrame frame(app, clock);
    ASSERT_TRUE(frame.Create());
    ASSERT_NE(frame.ScheduleWnd(), nullptr);
    RECT rc;
    GetWindowRect(frame.ScheduleWnd(), &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 100);
    EXPECT_EQ(rc.right, 480);
    EXPECT_EQ(rc.bottom, 477);
    EXPECT_EQ(UserValue("ScheRect"), std::string(reinterpret_cast<const char*>(rect), sizeof rect));
    frame.DestroyWindow();
    DropQuit();
}

TEST(MainFrameStart, UewStartupOpensTheUpcomingWindowAndExitStoresItsPosition) {
    ScratchHive hive;
    const DWORD on = 1;
    SetUserValue("UewStartup", REG_DWORD, &on, sizeof on);
    CCalendarApp app(0);
    const SystemClock clock;
    CMainFrame frame(app, clock);
    ASSERT_TRUE(frame.Create());
    EXPECT_NE(frame.DueEventWnd(), nullptr);
    EXPECT_TRUE(UserValue("DueEventCoord").empty());
    SendMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(frame.Hwnd(), nullptr);
    DropQuit();
    EXPECT_EQ(UserValue("DueEventCoord").size(), 8u);
    EXPECT_EQ(UserValue("ScheRect").size(), 16u);
}

// Windows sends WM_DESTROY after a refused WM_CREATE; the frame must not
// write its default preferences over the user's.
TEST(MainFrameStart, AFailedCreationWritesNothing) {
    ScratchHive hive;
    const std::int32_t rect[4] = {10, 20, 510, 420};
    SetUserValue("ScheRect", REG_BINARY, rect, sizeof rect);
    const std::uint8_t excluded[20] = {1, 0, 0, 0, 20, 0, 0, 0, 0x07, 0xEA, 0x08, 0x0F, 1, 0, 0, 0};
    SetUserValue("EventExcluded", REG_BINARY, excluded, sizeof excluded);
    const std::string storedRect = UserValue("ScheRect");
    const std::string storedExcluded = UserValue("EventExcluded");

    RefusedCreateAsOnWindows windows;
    ASSERT_TRUE(windows.Active());
    FaultyRegistry registry(hive.registry());
    registry.FailNth(RegOp::Open, 2);  // the per-user key, below "User", as the preferences load
    CCalendarApp app(0, &registry);
    const SystemClock clock;
    CMainFrame frame(app, clock);
    EXPECT_FALSE(frame.Create());
    DropQuit();
    EXPECT_TRUE(registry.Writes().empty());
    EXPECT_EQ(UserValue("ScheRect"), storedRect);
    EXPECT_EQ(UserValue("EventExcluded"), storedExcluded);
}

}  // namespace

namespace {

// What the frame asked of the shell's notification area.
struct TrayCall {
    DWORD message;
    UINT flags;
    DWORD size;
    std::string title;
    std::string text;
};
std::vector<TrayCall> trayCalls;
BOOL WINAPI CaptureTray(DWORD message, PNOTIFYICONDATAW data) {
    trayCalls.push_back({message, data->uFlags, data->cbSize,
                         (data->uFlags & NIF_INFO) != 0 ? Utf8(data->szInfoTitle) : "",
                         (data->uFlags & NIF_INFO) != 0 ? Utf8(data->szInfo) : ""});
    return TRUE;
}

}  // namespace

// A reminder that fires puts a balloon on the tray icon, unless the
// preference is off; clicking the balloon opens the upcoming-events window.
TEST(MainFrameNotice, AFiringReminderShowsABalloonThatOpensTheUpcomingWindow) {
    for (const DWORD toast : {1u, 0u}) {
        SCOPED_TRACE(toast);
        ScratchHive hive;
        SetUserValue("UewToast", REG_DWORD, &toast, sizeof toast);
        const DWORD off = 0;
        SetUserValue("UewNotification", REG_DWORD, &off, sizeof off);  // the balloon alone says it
        SetUserValue("UewUpcoming", REG_DWORD, &off, sizeof off);
        SetUserValue("UewSoon", REG_DWORD, &off, sizeof off);
        CCalendarApp app(0);
        ManualClock clock(MakeLocalTime(2026, 7, 1, 12, 0, 0));
        CMainFrame frame(app, clock, CaptureTray);
        trayCalls.clear();
        ASSERT_TRUE(frame.Create());
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = 1;
        item->front.startDate = static_cast<std::int32_t>(MakeLocalTime(2026, 7, 1, 0, 0, 0));
        item->front.endDate = static_cast<std::int32_t>(EndOfDay(item->front.startDate));
        item->front.startTime = 12 * 3600 + 30 * 60;
        item->remindMinutes = 10;
        item->title = "Dentist";
        item->note = "Bring the card\r\nand the forms";
        ASSERT_TRUE(frame.Store().SaveEvent(item, true, true));
        clock.Advance(20 * 60);
        SendMessageA(frame, WM_TIMECHANGE, 0, 0);

        std::vector<TrayCall> balloons;
        for (const TrayCall& c : trayCalls)
            if ((c.flags & NIF_INFO) != 0) balloons.push_back(c);
        if (toast == 0) {
            EXPECT_TRUE(balloons.empty());
        } else {
            ASSERT_EQ(balloons.size(), 1u);
            EXPECT_EQ(balloons[0].message, static_cast<DWORD>(NIM_MODIFY));
            EXPECT_EQ(balloons[0].size, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
            EXPECT_EQ(balloons[0].title, "Dentist");
            EXPECT_EQ(balloons[0].text.substr(balloons[0].text.find('\n')), "\nBring the card");
        }
        EXPECT_EQ(frame.DueEventWnd(), nullptr);
        SendMessageA(frame, WM_TRAYNOTIFY, 0, NIN_BALLOONUSERCLICK);
        EXPECT_NE(frame.DueEventWnd(), nullptr);
        frame.DestroyWindow();
        DropQuit();
    }
}
