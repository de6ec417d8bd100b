// The event editor driven through its controls.
#include <windows.h>
#include <dlgs.h>

#include <string>
#include <tuple>
#include <vector>

#include "win32/editor_rig.h"

namespace {

using namespace std::string_literals;
using ui::Text;

class ScheduleDlgTest : public EditorRig {};

TEST_F(ScheduleDlgTest, ANewEventIsTypedInAndSavedWithItsBytes) {
    Add(Event("Older", {2026, 8, 1}, {2026, 8, 1}));  // id 1: the new event gets 2
    std::string seen;  // caption, day, time, sound, OK enabled
    SYSTEMTIME range[2] = {};
    ModalDriver driver({{"New Event", [&](HWND d) {
                             seen = ModalDriver::Caption(d) + " " + std::to_string(ui::PickerDate(d, IDC_START_DATE).day) +
                                    " " + std::to_string(ui::PickerTime(d, IDC_END_TIME)) + " " +
                                    Text(d, IDC_SOUND_LIST) + " " + std::to_string(ui::Enabled(d, IDOK));
                             DateTime_GetRange(GetDlgItem(d, IDC_END_DATE), range);
                             ui::SavePicture(d, "editor_new");
                             ui::Type(d, IDC_TITLE, "  Dentist ");
                             ui::SetPicker(d, IDC_END_DATE, {2026, 8, 21});
                             ui::SetPicker(d, IDC_START_TIME, {2000, 1, 1}, 9 * 3600 + 5);
                             ui::SetPicker(d, IDC_END_TIME, {2000, 1, 1}, 11 * 3600);
                             ui::Type(d, IDC_REMIND_MINUTES, "15");
                             ui::Type(d, IDC_NOTE, "Bring the card\r\n");
                             ui::Press(d, IDOK);
                         }}});
    EXPECT_EQ(RunNewEvent(nullptr, Context(), store, 2026, 8, 20), EditorOutcome::Saved);
    EXPECT_TRUE(driver.Finished());
    // 10:10 now: 10:30 on the preset day; the default sound from the installation folder.
    EXPECT_EQ(seen, "New Event 20 37800 clock.wav 0");
    // Only months the local-time conversion can take (in Berlin from February
    // 1970) and the stored dates hold (up to 2106-02-07: its last whole month).
    EXPECT_EQ(std::make_tuple(range[0].wYear, range[0].wMonth, range[0].wDay), std::make_tuple(1970, 2, 1));
    EXPECT_EQ(std::make_tuple(range[1].wYear, range[1].wMonth, range[1].wDay), std::make_tuple(2106, 1, 31));

    ScheduleFront front;
    front.id = 2;
    front.startDate = static_cast<std::int32_t>(Local(2026, 8, 20));
    front.startTime = 9 * 3600 + 5;
    front.endDate = static_cast<std::int32_t>(Local(2026, 8, 21, 23, 59, 59));
    front.endTime = 11 * 3600;
    const auto bytes = front.Encode();
    EXPECT_EQ(Raw(EventKey(2), "front"), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(Raw(EventKey(2), "priv"), "\x01\0\x0F\0"s);
    EXPECT_EQ(Raw(EventKey(2), "title"), "Dentist\0"s);
    EXPECT_EQ(Raw(EventKey(2), "note"), "Bring the card\0"s);
    EXPECT_EQ(Raw(EventKey(2), "soundfile"), "C:\\Cal\\snd\\clock.wav\0"s);
    EXPECT_EQ(Raw(EventKey(2), "launchfile"), "\0"s);
    EXPECT_EQ(Raw(EventKey(2), "fileschosen"), "\x01\0\0\0"s);
    EXPECT_EQ(Raw(kUserKey, "SoundFiles"), "C:\\Cal\\snd\\clock.wav\0\0"s);
    EXPECT_EQ(Raw(kUserKey, "LaunchFiles"), "absent");
    EXPECT_TRUE(catcher.Boxes().empty());
}

TEST_F(ScheduleDlgTest, RefusalsKeepTheDialogOpenWithTheInput) {
    std::vector<bool> okEnabled;
    ModalDriver driver({{"New Event", [&](HWND d) {
                             const auto attempt = [&](const std::string& title, const std::string& minutes) {
                                 ui::Type(d, IDC_TITLE, title);
                                 ui::Type(d, IDC_REMIND_MINUTES, minutes);
                                 okEnabled.push_back(ui::Enabled(d, IDOK));
                                 ui::Press(d, IDOK);
                             };
                             attempt("   ", "10");
                             attempt(std::string(51, 'x'), "10");
                             attempt("Dentist", "abc");
                             attempt("Dentist", "1000");
                             okEnabled.push_back(Text(d, IDC_REMIND_MINUTES) == "1000");  // the input stays
                             attempt("Dentist", "999");
                         }}});
    EXPECT_EQ(RunNewEvent(nullptr, Context(), store, 2026, 8, 20), EditorOutcome::Saved);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Notice: Title cannot exceed 50 characters.",
                                                     "OrvCalendar: Please enter an integer.",
                                                     "OrvCalendar: Please enter an integer between 0 and 999."}));
    EXPECT_EQ(okEnabled, (std::vector<bool>{false, true, true, true, true, true}));
    EXPECT_EQ(store.FindEvent(1)->remindMinutes, 999);
}

// What is typed in any script is saved whole: the limit counts characters
// as the edit control does (an emoji two), and the stored value reads back
// through the wide call as typed.
TEST_F(ScheduleDlgTest, TitlesInAnyScriptAreSavedWhole) {
    std::string chinese;
    std::string emoji;
    for (int i = 0; i < 50; ++i) chinese += "\xE4\xBC\x9A";
    for (int i = 0; i < 25; ++i) emoji += "\xF0\x9F\x99\x82";
    const std::string note = "\xD0\x92\xD1\x80\xD0\xB0\xD1\x87 \xCE\xB1\xCE\xB2 " + emoji;
    std::vector<std::string> shown;
    for (const std::string& title : {chinese, emoji, emoji + "x"}) {
        ModalDriver driver({{"New Event", [&](HWND d) {
                                 ui::Type(d, IDC_TITLE, title);
                                 ui::Type(d, IDC_NOTE, note);
                                 shown.push_back(Text(d, IDC_TITLE));
                                 if (title == chinese) ui::SavePicture(d, "editor_scripts");
                                 ui::Press(d, IDOK);
                                 if (title.size() > emoji.size()) ui::Press(d, IDCANCEL);  // refused: stays open
                             }}});
        RunNewEvent(nullptr, Context(), store, 2026, 8, 20);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{chinese, emoji, emoji + "x"}));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Notice: Title cannot exceed 50 characters."}));
    ASSERT_EQ(store.Count(), 2u);
    for (std::uint32_t id : {1u, 2u}) {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Wide(EventKey(id)).c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        wchar_t stored[128] = {};
        DWORD size = sizeof stored;
        EXPECT_EQ(RegQueryValueExW(key, L"title", nullptr, nullptr, reinterpret_cast<BYTE*>(stored), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(Utf8(stored), id == 1 ? chinese : emoji);
        size = sizeof stored;
        EXPECT_EQ(RegQueryValueExW(key, L"note", nullptr, nullptr, reinterpret_cast<BYTE*>(stored), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(Utf8(stored), note);
        RegCloseKey(key);
    }
}

// An event on the day Berlin's clocks go forward, edited under its own copy.
class EditTest : public ScheduleDlgTest {
protected:
    void SetUp() override {
        ScheduleDlgTest::SetUp();
        clock.Set(Local(2026, 3, 20, 12));
        stored = Event("Dentist", {2026, 3, 29}, {2026, 3, 29});
        stored.front.id = 4;
        stored.note = "old";
        stored.actions = kActionPlaySound;
        stored.soundfile = "C:\\snd\\a.wav";
        PutRecent("SoundFiles", "C:\\snd\\a.wav\0C:\\snd\\b.wav\0\0"s);
    }
    ScheduleItem stored;
};

TEST_F(EditTest, ShowsStoredTimesOfDayAndReportsANoteEdit) {
    CScheduleDlg dlg(Context());
    dlg.SetItem(stored);
    std::string caption;
    bool titleFocused = false;
    int startTime = 0;
    int endTime = 0;
    CivilDate start;
    ModalDriver driver({{"View/Edit Event", [&](HWND d) {
                             caption = ModalDriver::Caption(d);
                             titleFocused = GetFocus() == GetDlgItem(d, IDC_TITLE);
                             startTime = ui::PickerTime(d, IDC_START_TIME);
                             endTime = ui::PickerTime(d, IDC_END_TIME);
                             start = ui::PickerDate(d, IDC_START_DATE);
                             ui::Type(d, IDC_NOTE, "new");
                             ui::Press(d, IDOK);
                         }}});
    ASSERT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_EQ(caption, "View/Edit Event");
    EXPECT_TRUE(titleFocused);  // the first field, as for a new event
    // Midnight plus nine hours would read 10:00 on this day.
    EXPECT_EQ(std::make_pair(startTime, endTime), std::make_pair(9 * 3600, 10 * 3600));
    EXPECT_EQ(start, (CivilDate{2026, 3, 29}));
    EXPECT_TRUE(dlg.structureChanged);
    EXPECT_FALSE(dlg.actionsChanged);
    EXPECT_EQ(dlg.Item()->front, stored.front);
    EXPECT_EQ(dlg.Item()->note, "new");
    EXPECT_EQ(dlg.Item()->soundfile, "C:\\snd\\a.wav");
    EXPECT_FALSE(dlg.Item()->filesChosen);  // a file kept from an import stays foreign
}

TEST_F(EditTest, AFilePickedInTheEditorIsTheUsers) {
    CScheduleDlg dlg(Context());
    dlg.SetItem(stored);
    ModalDriver driver({{"View/Edit Event", [&](HWND d) {
                             ui::Choose(d, IDC_SOUND_LIST, 1);
                             ui::Press(d, IDOK);
                         }}});
    shell.existing = {"C:\\snd\\b.wav"};
    ASSERT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_TRUE(dlg.actionsChanged);
    EXPECT_EQ(dlg.Item()->soundfile, "C:\\snd\\b.wav");
    EXPECT_TRUE(dlg.Item()->filesChosen);
}

TEST_F(EditTest, UntickingSoundClearsItsFile) {
    CScheduleDlg dlg(Context());
    dlg.SetItem(stored);
    ModalDriver driver({{"View/Edit Event", [&](HWND d) {
                             ui::Press(d, IDC_SOUND_CHECK);
                             ui::Press(d, IDOK);
                         }}});
    ASSERT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_FALSE(dlg.structureChanged);
    EXPECT_TRUE(dlg.actionsChanged);
    EXPECT_EQ(dlg.Item()->soundfile, "");
    EXPECT_EQ(dlg.Item()->actions, 0);
}

TEST_F(EditTest, AMissingSoundTakesEveryMissingEntryWithIt) {
    PutRecent("SoundFiles", "C:\\snd\\a.wav\0C:\\snd\\b.wav\0C:\\snd\\c.wav\0\0"s);
    stored.soundfile = "C:\\snd\\c.wav";
    shell.existing = {"C:\\snd\\a.wav"};
    std::vector<std::string> before;
    std::vector<std::string> after;
    int selectedBefore = -1;
    int selectedAfter = -1;
    {
        CScheduleDlg dlg(Context());
        dlg.SetItem(stored);
        ModalDriver driver({{"View/Edit Event", [&](HWND d) {
                                 before = ui::ListItems(d, IDC_SOUND_LIST);
                                 selectedBefore = ui::ListSelection(d, IDC_SOUND_LIST);
                                 ui::Choose(d, IDC_SOUND_LIST, 2);
                                 after = ui::ListItems(d, IDC_SOUND_LIST);
                                 selectedAfter = ui::ListSelection(d, IDC_SOUND_LIST);
                                 ui::Choose(d, IDC_SOUND_LIST, 0);
                                 ui::Press(d, IDCANCEL);
                             }}});
        EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
    }
    EXPECT_EQ(before, (std::vector<std::string>{"a.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(selectedBefore, 2);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Notice: File not found."});
    EXPECT_EQ(after, std::vector<std::string>{"a.wav"});
    EXPECT_EQ(selectedAfter, 0);
    EXPECT_EQ(shell.played, std::vector<std::string>{"C:\\snd\\a.wav"});
    EXPECT_EQ(Raw(kUserKey, "SoundFiles"), "C:\\snd\\a.wav\0\0"s);  // written after Cancel too
}

TEST_F(EditTest, EntriesWithoutABackslashAreKeptButNotOffered) {
    PutRecent("SoundFiles", "C:\\snd\\a.wav\0chime.wav\0C:\\snd\\b.wav\0\0"s);
    stored.soundfile = "bell.wav";
    std::vector<std::string> items;
    int selected = -1;
    {
        CScheduleDlg dlg(Context());
        dlg.SetItem(stored);
        ModalDriver driver({{"View/Edit Event", [&](HWND d) {
                                 items = ui::ListItems(d, IDC_SOUND_LIST);
                                 selected = ui::ListSelection(d, IDC_SOUND_LIST);
                                 ui::Press(d, IDCANCEL);
                             }}});
        dlg.DoModal(nullptr);
    }
    EXPECT_EQ(items, (std::vector<std::string>{"a.wav", "b.wav"}));
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(Raw(kUserKey, "SoundFiles"), "C:\\snd\\a.wav\0chime.wav\0C:\\snd\\b.wav\0bell.wav\0\0"s);
}

TEST_F(ScheduleDlgTest, BrowsingFindsAnEntryInOtherCaseOrAddsOneThatCancelStillKeeps) {
    PutRecent("SoundFiles", "C:\\Snd\\A.wav\0C:\\Snd\\B.wav\0\0"s);
    shell.existing = {"C:\\Snd\\B.wav"};
    shell.answers = {"c:\\snd\\a.WAV", "D:\\new\\ring.wav", ""};
    std::vector<std::string> afterFirst;
    std::vector<std::string> afterSecond;
    std::vector<int> selections;
    ModalDriver driver({{"New Event", [&](HWND d) {
                             ui::Choose(d, IDC_SOUND_LIST, 1);
                             ui::Press(d, IDC_SOUND_BROWSE);
                             afterFirst = ui::ListItems(d, IDC_SOUND_LIST);
                             selections.push_back(ui::ListSelection(d, IDC_SOUND_LIST));
                             ui::Press(d, IDC_SOUND_BROWSE);
                             afterSecond = ui::ListItems(d, IDC_SOUND_LIST);
                             selections.push_back(ui::ListSelection(d, IDC_SOUND_LIST));
                             ui::Press(d, IDC_SOUND_BROWSE);  // cancelled: nothing changes
                             selections.push_back(ui::ListSelection(d, IDC_SOUND_LIST));
                             ui::Press(d, IDCANCEL);
                         }}});
    EXPECT_EQ(RunNewEvent(nullptr, Context(), store, 2026, 8, 20), EditorOutcome::Cancelled);
    EXPECT_EQ(afterFirst, (std::vector<std::string>{"A.wav", "B.wav"}));
    EXPECT_EQ(afterSecond, (std::vector<std::string>{"ring.wav", "A.wav", "B.wav"}));
    EXPECT_EQ(selections, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(shell.folders, (std::vector<std::string>{"C:\\Snd", "C:\\Snd", "D:\\new"}));
    EXPECT_EQ(shell.played, (std::vector<std::string>{"C:\\Snd\\B.wav", "c:\\snd\\a.WAV", "D:\\new\\ring.wav"}));
    EXPECT_EQ(store.Count(), 0u);
    EXPECT_EQ(Raw(kUserKey, "SoundFiles"), "D:\\new\\ring.wav\0C:\\Snd\\A.wav\0C:\\Snd\\B.wav\0\0"s);
}

TEST_F(ScheduleDlgTest, BrowsingThroughTheSystemsOpenFileDialog) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "orv_launch_test.txt";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    shell.useRealDialog = true;
    std::vector<std::string> items;
    ModalDriver driver({{"New Event", [&](HWND d) { ModalDriver::Click(d, IDC_LAUNCH_BROWSE); }},
                        {"Open",
                         [&](HWND d) {
                             // The file name box: a combo box on some systems, an edit on others.
                             const int id = GetDlgItem(d, cmb13) != nullptr ? cmb13 : edt1;
                             SetDlgItemTextA(d, id, path.c_str());
                             ModalDriver::Click(d, IDOK);
                         }},
                        {"New Event", [&](HWND d) {
                             items = ui::ListItems(d, IDC_LAUNCH_LIST);
                             ui::Press(d, IDCANCEL);
                         }}});
    EXPECT_EQ(RunNewEvent(nullptr, Context(), store, 2026, 8, 20), EditorOutcome::Cancelled);
    EXPECT_TRUE(driver.Finished());
    DeleteFileA(path.c_str());
    EXPECT_EQ(items, std::vector<std::string>{"orv_launch_test.txt"});
    EXPECT_TRUE(SamePath(Raw(kUserKey, "LaunchFiles"), path + '\0' + '\0'));
}

TEST_F(ScheduleDlgTest, AMondayRuleSetThroughSettingsNeedsAMondayUnlessItNeverEnds) {
    std::string recur;
    LRESULT brush = 0;
    bool endEnabled = true;
    ModalDriver driver({{"New Event",
                         [&](HWND d) {
                             ui::Type(d, IDC_TITLE, "Gym");
                             ui::SetPicker(d, IDC_END_DATE, {2026, 8, 5});  // Tuesday to Wednesday
                             ModalDriver::Click(d, IDC_RECUR_SETTINGS);
                         }},
                        {"Event Recurrence",
                         [&](HWND d) {
                             ui::Press(d, IDC_KIND_WEEKLY);  // all seven days ticked: untick all but Monday
                             for (int id = IDC_MONDAY + 1; id <= IDC_SUNDAY; ++id) ui::Press(d, id);
                             ui::SavePicture(d, "repeat_weekly");
                             ui::Press(d, IDOK);
                         }},
                        {"New Event",
                         [&](HWND d) {
                             recur = Text(d, IDC_RECUR_TEXT);
                             const WindowDc dc(d);
                             brush = SendMessageA(d, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                                                  reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_RECUR_TEXT)));
                             ui::Press(d, IDOK);  // refused: no Monday between the dates
                             ModalDriver::Click(d, IDC_RECUR_SETTINGS);
                         }},
                        {"Event Recurrence",
                         [&](HWND d) {
                             ui::Press(d, IDC_NO_END_DATE);
                             ui::Press(d, IDOK);
                         }},
                        {"New Event", [&](HWND d) {
                             endEnabled = ui::Enabled(d, IDC_END_DATE);
                             ui::SavePicture(d, "editor_weekly_endless");
                             ui::Press(d, IDOK);
                         }}});
    EXPECT_EQ(RunNewEvent(nullptr, Context(), store, 2026, 8, 4), EditorOutcome::Saved);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(recur, "Every Mon");
    // The read-only rule text is painted like an ordinary edit.
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
    EXPECT_FALSE(endEnabled);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Notice: No possible occurrence.\nPlease check recurrence settings."});
    const ScheduleFront& f = store.FindEvent(1)->front;
    EXPECT_EQ(std::make_tuple(int{f.recurKind}, int{f.recurPattern}, int{f.recurInterval}, int{f.recurFlags}),
              std::make_tuple(60, 0x02, 1, 1));
}

TEST_F(ScheduleDlgTest, TheReminderFieldShowsThreeDigitsBesideItsArrows) {
    CScheduleDlg dlg(Context());
    RECT field = {};
    RECT arrows = {};
    RECT label = {};
    int firstDigitX = -1;
    int textWidth = 0;
    int room = 0;
    ModalDriver driver({{"New Event", [&](HWND d) {
                             HWND edit = GetDlgItem(d, IDC_REMIND_MINUTES);
                             HWND spin = GetDlgItem(d, IDC_REMIND_SPIN);
                             ui::Type(d, IDC_REMIND_MINUTES, "999");
                             GetWindowRect(edit, &field);
                             GetWindowRect(spin, &arrows);
                             GetWindowRect(GetWindow(spin, GW_HWNDNEXT), &label);  // "minute(s) before."
                             firstDigitX = static_cast<short>(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0)));
                             HDC dc = GetDC(edit);
                             HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0)));
                             SIZE size = {};
                             // A digit to spare: other systems' dialog fonts are wider.
                             GetTextExtentPoint32A(dc, "9999", 4, &size);
                             SelectObject(dc, old);
                             ReleaseDC(edit, dc);
                             textWidth = size.cx;
                             RECT client = {};
                             GetClientRect(edit, &client);
                             const LRESULT margins = SendMessageA(edit, EM_GETMARGINS, 0, 0);
                             room = client.right - LOWORD(margins) - HIWORD(margins);
                             ui::SavePicture(d, "editor_reminder_field");
                             ui::Press(d, IDCANCEL);
                         }}});
    EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
    EXPECT_GE(room, textWidth) << "three digits fit, and one more";
    EXPECT_GE(firstDigitX, 0) << "none is scrolled out";
    // The arrows sit against the field's right end, before the label.
    EXPECT_GE(arrows.left, field.right - 2);  // on the field's border at most
    EXPECT_LE(arrows.left, field.right);
    EXPECT_EQ(arrows.top, field.top);
    EXPECT_LE(arrows.right, label.left);
}

}  // namespace
