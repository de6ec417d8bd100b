// The calendar window's ways into the event editor: the double-click, Insert
// and Enter, and the day menu's per-event items. The hover tip is proved end
// to end (editor_test.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar/calendar_ids.h"
#include "schedule_wnd_rig.h"
#include "win32/editor_rig.h"

namespace {

class CalendarEditorTest : public testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, 1);
        rig_.Resize(771, 667);
    }
    int LineOf(int day, std::uint32_t id) const {
        for (int k = 1; k <= MonthLayout::kMaxLines; ++k) {
            const MonthEvent* e = rig_.Layout().slots[day][k].event;
            if (e != nullptr && e->item->front.id == id) return k;
        }
        return 0;
    }
    void Key(UINT key) {
        PostMessageA(rig_.Hwnd(), WM_KEYDOWN, key, 1);
        CalendarRig::Pump();
    }
    void DoubleClick(POINT p) {
        rig_.Click(p);
        SendMessageA(rig_.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, CalendarRig::At(p));
    }

    CalendarRig rig_{Local(2026, 8, 3, 10, 10)};
    MessageBoxCatcher catcher_;
};

TEST_F(CalendarEditorTest, EveryWayInOpensTheEditorOnItsDayOrEvent) {
    const std::uint32_t dentist = rig_.Add({"Dentist", 2026, 8, 12, 2026, 8, 12});
    rig_.Show(dentist);
    std::vector<std::string> seen;  // caption, and the title or the start date shown
    const auto look = [&](bool save) {
        return [&seen, save](HWND d) {
            const CivilDate start = ui::PickerDate(d, IDC_START_DATE);
            seen.push_back(ModalDriver::Caption(d) + " " + ui::Text(d, IDC_TITLE) + " " + std::to_string(start.day));
            if (save) {
                ui::Type(d, IDC_TITLE, ui::Text(d, IDC_TITLE).empty() ? "Gym" : "Dentist 2");
                ui::Press(d, IDOK);
            } else {
                ui::Press(d, IDCANCEL);
            }
        };
    };
    ModalDriver driver({{"New Event", look(true)},
                        {"View/Edit Event", look(true)},
                        {"View/Edit Event", look(false)},
                        {"New Event", look(false)},
                        {"View/Edit Event", look(false)}});
    DoubleClick(rig_.LinePoint(20, 2));  // an empty part of the 20th
    ASSERT_EQ(rig_.Store().Count(), 2u);
    const std::uint32_t gym = rig_.Store().NextEventId() - 1;
    ASSERT_GT(LineOf(20, gym), 0);  // drawn where it was made
    DoubleClick(rig_.LinePoint(12, LineOf(12, dentist)));
    Key(VK_RETURN);  // the event line is still selected
    Key(VK_INSERT);
    // The day menu's first event, "View/Edit...".
    HMENU popup = nullptr;
    rig_.Click(rig_.LinePoint(20, 0));
    MenuHandle menu = rig_.Wnd().BuildContextMenu(popup);  // fills the ids the items stand for
    SendMessageA(rig_.Hwnd(), WM_COMMAND, ID_DAY_EVENT_FIRST, 0);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(seen, (std::vector<std::string>{"New Event  20", "View/Edit Event Dentist 12", "View/Edit Event Dentist 2 12",
                                              "New Event  12", "View/Edit Event Gym 20"}));
    EXPECT_EQ(rig_.Store().FindEvent(dentist)->title, "Dentist 2");
    EXPECT_TRUE(catcher_.Boxes().empty());
}

}  // namespace
