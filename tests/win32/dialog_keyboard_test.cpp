// Every dialog from the keyboard, one row each: where the focus starts, the
// order Tab visits the controls in, and each accelerator letter (unique in
// its dialog) reaching its control: a label's hands the focus to its field,
// a button's clicks it. Keys go through the dialog manager as a modal
// loop hands them on.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/about_dlg.h"
#include "dialogs/about_ids.h"
#include "dialogs/browser_ids.h"
#include "dialogs/preferences_ids.h"
#include "dialogs/prop_sheet.h"
#include "dialogs/sche_browser_dlg.h"
#include "dialogs/sche_repeat_dlg.h"
#include "platform/memory/memory_credential_store.h"
#include "platform/memory/memory_registry.h"
#include "sync/sync_settings.h"
#include "platform/win32/win32_date_format.h"
#include "support/dialog_keys.h"
#include "support/dialog_script.h"
#include "win32/editor_rig.h"

namespace {

constexpr int kSheetTabs = 0x3020;   // the property sheet's tab control
constexpr int kSheetApply = 0x3021;  // and its Apply button

// What a letter does: hand the focus on, click, or nothing to press here
// (the sheet's own Apply, a control hidden in this state).
enum class Does { Focus, Click, ListedOnly };

struct Letter {
    char letter;
    int reaches;  // the control that gets the focus, or the button clicked
    Does does;
    std::function<void(HWND)> before = nullptr;  // e.g. a row selected for a button that needs one
};

struct KeyboardRow {
    std::string dialog;
    int firstFocus;              // 0: not an opening (a page shown later); the cycle's first is focused
    std::vector<int> tabCycle;   // from the first focus round to it
    std::vector<Letter> letters; // pressed in this order, a closing one last
    std::vector<int> localeNamed = {};  // check boxes named by the locale at run time: no letters
};

bool Contains(const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// A control of the dialog or of the page it shows.
HWND Control(HWND dialog, int id) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(c, name, sizeof name);
        if (lstrcmpA(name, "#32770") == 0) {
            if (HWND inner = IsWindowVisible(c) ? GetDlgItem(c, id) : nullptr) return inner;
        } else if (GetDlgCtrlID(c) == id) {
            return c;
        }
    }
    return nullptr;
}

void CheckKeyboard(HWND dialog, const KeyboardRow& row) {
    SCOPED_TRACE(row.dialog);
    if (row.firstFocus != 0) {
        EXPECT_EQ(keys::FocusedId(), row.firstFocus) << "the first field has the focus";
    } else {
        SetFocus(Control(dialog, row.tabCycle.front()));
    }
    EXPECT_EQ(keys::TabCycle(dialog), row.tabCycle);

    std::string letters;
    for (const keys::Caption& c : keys::Captions(dialog)) {
        const char letter = keys::Mnemonic(c.text);
        const bool closes = c.id == IDOK || c.id == IDCANCEL || c.id == IDHELP;  // Enter and Escape reach them
        const bool label = !c.button && !c.groupBox && !c.text.empty() && c.text.back() == ':';
        if ((c.button && !closes && !Contains(row.localeNamed, c.id)) || label) {
            EXPECT_NE(letter, 0) << c.text;
        }
        if (letter != 0) letters += letter;
    }
    std::string expected;
    for (const Letter& l : row.letters) expected += l.letter;
    std::sort(letters.begin(), letters.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(letters, expected) << "each letter once, and every one of them in the row";

    keys::ClickRecorder recorder;
    for (const Letter& l : row.letters) {
        if (l.does == Does::ListedOnly) continue;
        SCOPED_TRACE(std::string("Alt+") + l.letter);
        if (l.before) l.before(dialog);
        recorder.clicked.clear();
        keys::Alt(dialog, l.letter);
        if (l.does == Does::Click) {
            EXPECT_TRUE(Contains(recorder.clicked, l.reaches)) << "clicks " << l.reaches;
        } else {
            EXPECT_EQ(keys::FocusedId(), l.reaches);
            EXPECT_TRUE(recorder.clicked.empty()) << "a label clicks nothing";
        }
    }
}

// Closes a dialog the row left open, as Escape does.
void Dismiss(HWND dialog) {
    if (IsWindowVisible(dialog)) keys::Press(dialog, VK_ESCAPE);
}

class DialogKeyboardTest : public EditorRig {
protected:
    void SelectRow(HWND dialog, int row) {
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageA(dialog, IDC_BROWSER_LIST, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                            reinterpret_cast<LPARAM>(&state));
    }
};

TEST_F(DialogKeyboardTest, EveryDialogOpensOnItsFirstFieldTabsByTheLayoutAndHasUniqueLettersThatReachTheirControls) {
    const KeyboardRow editor{
        "editor",
        IDC_TITLE,
        {IDC_TITLE, IDC_START_DATE, IDC_END_DATE, IDC_START_TIME, IDC_END_TIME, IDC_RECUR_TEXT, IDC_RECUR_SETTINGS,
         IDC_REMIND_MINUTES, IDC_SOUND_CHECK, IDC_SOUND_LIST, IDC_SOUND_BROWSE, IDC_LAUNCH_CHECK, IDC_LAUNCH_LIST,
         IDC_LAUNCH_BROWSE, IDC_NOTE, IDOK, IDCANCEL},
        {{'t', IDC_TITLE, Does::Focus},
         {'d', IDC_START_DATE, Does::Focus},
         {'i', IDC_START_TIME, Does::Focus},
         {'r', IDC_RECUR_TEXT, Does::Focus},
         {'f', IDC_REMIND_MINUTES, Does::Focus},
         {'n', IDC_NOTE, Does::Focus},
         {'o', IDC_SOUND_CHECK, Does::Click},
         {'l', IDC_LAUNCH_CHECK, Does::Click},
         {'b', IDC_SOUND_BROWSE, Does::Click},
         {'w', IDC_LAUNCH_BROWSE, Does::Click},
         {'s', IDC_RECUR_SETTINGS, Does::Click}},
    };
    const std::vector<int> weekdays = {IDC_SUNDAY, 1067, 1068, 1069, 1070, 1071, IDC_SATURDAY};
    const KeyboardRow yearly{
        "recurrence",
        IDC_KIND_YEARLY,
        {IDC_KIND_YEARLY, IDC_INTERVAL, IDC_MONTH_LIST, IDC_BY_DAY, IDC_DAY, IDC_NTH_LIST, IDC_WEEKDAY_LIST, IDOK,
         IDCANCEL, IDC_START_DATE, IDC_END_DATE, IDC_NO_END_DATE},
        {{'v', IDC_INTERVAL, Does::Focus},
         {'a', IDC_BY_DAY, Does::Click},
         {'t', IDC_BY_NTH, Does::Click},
         {'e', IDC_NO_END_DATE, Does::Click},
         {'d', IDC_START_DATE, Does::Focus},
         {'i', IDC_KIND_DAILY, Does::Click},
         {'w', IDC_KIND_WEEKLY, Does::Click},
         {'m', IDC_KIND_MONTHLY, Does::Click},
         {'n', IDC_KIND_NONE, Does::Click},
         {'y', IDC_KIND_YEARLY, Does::Click}},
        weekdays,
    };
    const KeyboardRow browser{
        "browser",
        IDC_BROWSER_LIST,
        {IDC_BROWSER_LIST, IDC_BROWSER_EDIT, IDC_BROWSER_DELETE, IDCANCEL},
        {{'d', IDC_BROWSER_DELETE, Does::Click, [this](HWND d) { SelectRow(d, 0); }},
         {'c', IDCANCEL, Does::ListedOnly},
         {'e', IDC_BROWSER_EDIT, Does::Click, [this](HWND d) { SelectRow(d, 0); }}},
    };
    const KeyboardRow background{
        "preferences, Background",
        IDC_BKG_CHANGE_COLOR,
        {IDC_BKG_CHANGE_COLOR, IDC_BKG_BROWSE, IDC_BKG_CLEAR, IDC_BKG_FIT, IDC_BKG_KEEP_ASPECT, IDC_BKG_TRANSPARENCY,
         IDOK, IDCANCEL, kSheetTabs},
        {{'c', IDC_BKG_CHANGE_COLOR, Does::Focus},
         {'w', IDC_BKG_BROWSE, Does::Focus},
         {'t', IDC_BKG_TRANSPARENCY, Does::Focus},
         {'h', IDC_BKG_CHANGE_COLOR, Does::Click},
         {'b', IDC_BKG_BROWSE, Does::Click},
         {'l', IDC_BKG_CLEAR, Does::Click},
         {'m', IDC_BKG_KEEP_ASPECT, Does::Click},  // while fitting; after it, disabled
         {'f', IDC_BKG_FIT, Does::Click},
         {'a', kSheetApply, Does::ListedOnly}},
    };
    const KeyboardRow event{
        "preferences, Event",
        0,
        {IDC_EVT_HOURS, IDC_EVT_STARTUP, IDC_EVT_UPCOMING, IDC_EVT_SOON, IDC_EVT_SOON_HOURS, IDC_EVT_NOTIFICATION,
         IDC_EVT_BEGINS, IDC_EVT_TOAST, IDOK, IDCANCEL, kSheetTabs},
        {{'d', IDC_EVT_HOURS, Does::Focus},
         {'p', IDC_EVT_STARTUP, Does::Click},
         {'v', IDC_EVT_UPCOMING, Does::Click},
         {'b', IDC_EVT_SOON, Does::Click},
         {'n', IDC_EVT_NOTIFICATION, Does::Click},
         {'g', IDC_EVT_BEGINS, Does::Click},
         {'w', IDC_EVT_TOAST, Does::Click},
         {'a', kSheetApply, Does::ListedOnly}},
    };
    const KeyboardRow sync{
        "preferences, Sync",
        0,
        {IDC_SYNC_URL, IDC_SYNC_USER, IDC_SYNC_PASSWORD, IDC_SYNC_MINUTES, IDC_SYNC_NOW, IDOK, IDCANCEL, kSheetTabs},
        {{'s', IDC_SYNC_URL, Does::Focus},
         {'u', IDC_SYNC_USER, Does::Focus},
         {'p', IDC_SYNC_PASSWORD, Does::Focus},
         {'e', IDC_SYNC_MINUTES, Does::Focus},
         {'n', IDC_SYNC_NOW, Does::Click},
         {'a', kSheetApply, Does::ListedOnly}},
    };
    const KeyboardRow about{
        "about",
        IDOK,
        {IDOK, IDC_ABOUT_DONATE},
        {{'d', IDC_ABOUT_DONATE, Does::Click}, {'c', IDOK, Does::Click}},
    };

    // The editor, with a title so that OK takes part; Settings opens the
    // recurrence dialog, which starts on the rule's kind.
    int repeatFocus = 0;
    {
        CScheduleDlg dlg(Context());
        ModalDriver driver({{"New Event",
                             [&](HWND d) {
                                 ui::Type(d, IDC_TITLE, "Dentist");
                                 CheckKeyboard(d, editor);
                                 Dismiss(d);
                             }},
                            {"Event Recurrence", [&](HWND d) {
                                 repeatFocus = keys::FocusedId();
                                 keys::Press(d, VK_ESCAPE);
                             }}});
        EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
        EXPECT_TRUE(driver.Finished());
    }
    EXPECT_EQ(repeatFocus, IDC_KIND_NONE);

    // A yearly rule shows every control but the weekdays.
    {
        CScheRepeatDlg dlg(EnglishLocaleNames());
        dlg.values = {{2026, 7, 8}, {2026, 12, 31}, 0, kKindYearlyDate, 0x0708, 1};
        ModalDriver driver({{"Event Recurrence", [&](HWND d) {
                                 CheckKeyboard(d, yearly);
                                 Dismiss(d);
                             }}});
        EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
        EXPECT_TRUE(driver.Finished());
    }

    // The browser: Delete asks and deletes, Edit closes it for the editor.
    const std::uint32_t first = Add(Event("Alpha", {2026, 8, 4}, {2026, 8, 4}));
    const std::uint32_t second = Add(Event("Beta", {2026, 8, 5}, {2026, 8, 5}));
    {
        ScheBrowserContext context;
        context.store = &store;
        context.shortDate = &FormatShortDate;
        std::vector<std::uint32_t> edited;
        context.editEvent = [&](std::uint32_t id) { edited.push_back(id); };
        CScheBrowserDlg dlg(context);
        ModalDriver driver({{"Event Browser", [&](HWND d) {
                                 SelectRow(d, 0);
                                 CheckKeyboard(d, browser);
                                 Dismiss(d);
                             }}});
        EXPECT_EQ(dlg.Run(nullptr), IDOK);
        EXPECT_TRUE(driver.Finished());
        EXPECT_EQ(store.FindEvent(first), nullptr) << "Alt+D deleted the selected row";
        EXPECT_EQ(edited, std::vector<std::uint32_t>{second});
        ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Delete: Delete selected event(s)?"});
    }

    // The preferences sheet, on each page.
    Preferences prefs;
    prefs.BkgImgFit = 1;
    CPropSheet* open = nullptr;
    PrefSheetContext context;
    context.prefs = &prefs;
    context.openSheet = &open;
    context.chooseColor = [](HWND, Rgb&) { return false; };
    context.chooseImageFile = [](HWND, std::string&) { return false; };
    // With an address, so that Sync now can be pressed.
    MemoryRegistry syncRegistry;
    MemoryCredentialStore credentials;
    ASSERT_TRUE(SaveSyncSettings(syncRegistry, {"https://cal.test/dav/", "ann", 15}));
    context.registry = &syncRegistry;
    context.credentials = &credentials;
    int syncs = 0;
    context.syncNow = [&](const std::string&, const std::string&, const std::string&) { ++syncs; };
    for (const KeyboardRow* row : {&background, &event, &sync}) {
        DialogScript script({[&] {
                                 if (row == &event) SendMessageA(open->Hwnd(), PSM_SETCURSEL, 1, 0);
                                 if (row == &sync) SendMessageA(open->Hwnd(), PSM_SETCURSEL, 2, 0);
                             },
                             [&] {
                                 CheckKeyboard(open->Hwnd(), *row);
                                 Dismiss(open->Hwnd());
                             }});
        ShowPreferences(context);
    }
    EXPECT_EQ(syncs, 1) << "Alt+N";

    // About, with a donation page.
    {
        AboutContext context;
        int donations = 0;
        context.openUrl = [&](const char*) { ++donations; };
        context.donateUrl = "https://pay.test/orv";
        CAboutDlg dlg(context);
        DialogScript script({[&] {
            CheckKeyboard(dlg.Hwnd(), about);
            Dismiss(dlg.Hwnd());
        }});
        EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
        EXPECT_EQ(donations, 1);
    }
}

}  // namespace
