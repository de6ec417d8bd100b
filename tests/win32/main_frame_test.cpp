// The main frame in-process, over a scratch registry: the messages that must
// make it check reminders at once, and the tray icon coming back after the
// shell restarts.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/calendar_app.h"
#include "ui/command_ids.h"
#include "app/main_frame.h"
#include "core/calendar.h"
#include "scratch_hive.h"

namespace {

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame_.Create());
        ASSERT_EQ(theMainFrame, &frame_);
    }
    void TearDown() override {
        frame_.DestroyWindow();
        // The frame ends the message loop when it goes; this test's loop goes on.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // An event whose only reminder is due `seconds` from now (lead 0);
    // false near midnight, where today has no room for it.
    bool AddEventStartingIn(int seconds, std::uint32_t& id) {
        LocalFields now;
        if (!BreakDownLocal(SystemClock().Now(), now)) return false;
        const int startTime = now.hour * 3600 + now.minute * 60 + now.second + seconds;
        if (startTime >= 86400 - 60) return false;
        auto item = std::make_unique<ScheduleItem>();
        id = frame_.Store().NextEventId();
        item->front.id = id;
        item->front.startDate = static_cast<std::int32_t>(MakeLocalTime(now.year, now.month, now.day, 0, 0, 0, -1));
        item->front.endDate = static_cast<std::int32_t>(EndOfDay(item->front.startDate));
        item->front.startTime = startTime;
        item->front.endTime = startTime;
        item->remindMinutes = 0;
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
    CMainFrame frame_{app_};
};

// The reminder timer may be ten minutes away after a resume or a clock
// change; the check must not wait for it. The test pumps no messages, so only
// the handler itself can have run the check.
TEST_F(MainFrameTest, TimeChangeAndResumeCheckRemindersAtOnce) {
    for (const auto& [message, wParam] : {std::pair<UINT, WPARAM>{WM_TIMECHANGE, 0},
                                          std::pair<UINT, WPARAM>{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC}}) {
        std::uint32_t id = 0;
        if (!AddEventStartingIn(8, id)) GTEST_SKIP() << "too close to midnight";
        const PendingReminder* record = Pending(id);
        ASSERT_NE(record, nullptr);
        EXPECT_FALSE(record->fired);
        Sleep(3500);  // now within the check's tolerance of the reminder
        ASSERT_EQ(Pending(id), record);
        SendMessageA(frame_, message, wParam, 0);
        EXPECT_TRUE(record->fired) << "message " << message;
    }
}

TEST_F(MainFrameTest, OtherPowerEventsDoNotCheck) {
    std::uint32_t id = 0;
    if (!AddEventStartingIn(8, id)) GTEST_SKIP() << "too close to midnight";
    Sleep(3500);
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

}  // namespace
