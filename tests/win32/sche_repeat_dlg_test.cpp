// The recurrence dialog driven through its controls.
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/sche_repeat_dlg.h"
#include "win32/editor_rig.h"

namespace {

using ui::Text;

class ScheRepeatDlgTest : public EditorRig {
protected:
    CScheRepeatDlg dlg{EnglishLocaleNames()};
};

TEST_F(ScheRepeatDlgTest, EachKindShowsItsControlsAndTheStartDatePrefillsTheOtherHalf) {
    dlg.values = {{2026, 1, 31}, {2026, 2, 10}, 1, kKindNone, 0, 1};  // "No end date" ticked
    using Row = std::tuple<std::string, bool, bool, bool, bool, bool, bool>;  // unit, shown: weekdays,
    std::vector<Row> rows;  // day, month, interval, "No end date"; end date enabled
    std::tuple<std::string, int, int, int, std::string> prefill;
    ModalDriver driver({{"Event Recurrence", [&](HWND d) {
                             prefill = {Text(d, IDC_DAY), ui::ListSelection(d, IDC_NTH_LIST),
                                        ui::ListSelection(d, IDC_WEEKDAY_LIST), ui::ListSelection(d, IDC_MONTH_LIST),
                                        Text(d, IDC_SUNDAY)};
                             for (int id : {IDC_KIND_NONE, IDC_KIND_DAILY, IDC_KIND_WEEKLY, IDC_KIND_MONTHLY,
                                            IDC_KIND_YEARLY, IDC_KIND_NONE}) {
                                 ui::Press(d, id);
                                 rows.emplace_back(Text(d, IDC_INTERVAL_UNIT), ui::Visible(d, IDC_MONDAY),
                                                   ui::Visible(d, IDC_DAY) && ui::Visible(d, IDC_BY_NTH),
                                                   ui::Visible(d, IDC_MONTH_LIST), ui::Visible(d, IDC_INTERVAL),
                                                   ui::Visible(d, IDC_NO_END_DATE), ui::Enabled(d, IDC_END_DATE));
                                 if (id == IDC_KIND_YEARLY) ui::SavePicture(d, "repeat_yearly");
                             }
                             ui::Press(d, IDC_KIND_DAILY);
                             ui::Press(d, IDC_NO_END_DATE);  // cleared: the end date counts again
                             rows.emplace_back(Text(d, IDC_INTERVAL_UNIT), false, false, false, true, true,
                                               ui::Enabled(d, IDC_END_DATE));
                             ui::Press(d, IDCANCEL);
                         }}});
    EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
    // The 31st of January 2026 is its fifth, so last, Saturday.
    EXPECT_EQ(prefill, std::make_tuple(std::string("31"), 4, 6, 0, std::string("Sunday")));
    EXPECT_EQ(rows, (std::vector<Row>{
                        Row{"day(s)", false, false, false, false, false, true},
                        Row{"day(s)", false, false, false, true, true, false},
                        Row{"week(s)", true, false, false, true, true, false},
                        Row{"month(s)", false, true, false, true, true, false},
                        Row{"year(s),", false, true, true, true, true, false},
                        Row{"day(s)", false, false, false, false, false, true},
                        Row{"day(s)", false, false, false, true, true, true},
                    }));
}

TEST_F(ScheRepeatDlgTest, RangeChecksTheDayFirstAndStayOpen) {
    dlg.values = {{2026, 7, 8}, {2026, 7, 8}, 0, kKindDaily, 0, 1};
    std::vector<bool> focusOnField;
    ModalDriver driver({{"Event Recurrence", [&](HWND d) {
                             const auto attempt = [&](const char* day, const char* interval, int field) {
                                 ui::Type(d, IDC_DAY, day);
                                 ui::Type(d, IDC_INTERVAL, interval);
                                 ui::Press(d, IDOK);
                                 focusOnField.push_back(GetFocus() == GetDlgItem(d, field));
                             };
                             attempt("32", "0", IDC_DAY);
                             attempt("0", "5", IDC_DAY);
                             attempt("5", "201", IDC_INTERVAL);
                             attempt("5", "x", IDC_INTERVAL);
                             attempt("5", "200", IDC_INTERVAL);
                         }}});
    EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"OrvCalendar: Please enter an integer between 1 and 31.",
                                                     "OrvCalendar: Please enter an integer between 1 and 31.",
                                                     "OrvCalendar: Please enter an integer between 1 and 200.",
                                                     "OrvCalendar: Please enter an integer."}));
    EXPECT_EQ(focusOnField, (std::vector<bool>{true, true, true, true, false}));  // the last one closed it
    EXPECT_EQ(std::make_tuple(int{dlg.values.recurKind}, int{dlg.values.recurInterval}), std::make_tuple(30, 200));
}

TEST_F(ScheRepeatDlgTest, OkEncodesTheChosenRuleAndHandsBackThePickedDates) {
    dlg.values = {{2026, 7, 8}, {2026, 7, 31}, 0x80, kKindNone, 0, 1};
    ModalDriver driver({{"Event Recurrence", [&](HWND d) {
                             ui::SetPicker(d, IDC_START_DATE, {2026, 7, 9});
                             ui::Press(d, IDC_KIND_YEARLY);
                             ui::Press(d, IDC_BY_NTH);
                             SendDlgItemMessageA(d, IDC_NTH_LIST, CB_SETCURSEL, 1, 0);     // second
                             SendDlgItemMessageA(d, IDC_WEEKDAY_LIST, CB_SETCURSEL, 0, 0);  // Sunday
                             SendDlgItemMessageA(d, IDC_MONTH_LIST, CB_SETCURSEL, 4, 0);    // May
                             ui::Type(d, IDC_INTERVAL, "2");
                             ui::Press(d, IDOK);
                         }}});
    EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_EQ(dlg.values.startDate, (CivilDate{2026, 7, 9}));
    EXPECT_EQ(dlg.values.endDate, (CivilDate{2026, 7, 31}));
    EXPECT_EQ(std::make_tuple(int{dlg.values.recurKind}, int{dlg.values.recurPattern}, int{dlg.values.recurInterval},
                              int{dlg.values.recurFlags}),
              std::make_tuple(121, 0x0510, 2, 0x80));
}

}  // namespace
