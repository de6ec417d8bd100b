#include "dialogs/schedule_dlg.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "core/calendar.h"
#include "core/recurrence_text.h"
#include "dialogs/control_exchange.h"
#include "dialogs/dialog_placement.h"
#include "dialogs/editor_ids.h"
#include "dialogs/sche_repeat_dlg.h"
#include "dialogs/write_failure.h"
#include "store/text_trim.h"
#include "ui/control_text.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr char kNoticeCaption[] = "Notice";

// The file name a drop-down list shows for a path; none without a backslash.
bool FileNameOf(const std::string& path, std::string& name) {
    const std::size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return false;
    name = path.substr(slash + 1);
    return true;
}

int Count(HWND list) { return static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0)); }

std::string* EntryPath(HWND list, int index) {
    const LRESULT data = SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == CB_ERR ? nullptr : reinterpret_cast<std::string*>(data);
}

}  // namespace

BEGIN_MESSAGE_TABLE(CScheduleDlg, CDialog)
    ON_CONTROL(EN_CHANGE, IDC_TITLE, &CScheduleDlg::OnTitleChange)
    ON_BN_CLICKED(IDC_RECUR_SETTINGS, &CScheduleDlg::OnSettings)
    ON_CONTROL(CBN_SELCHANGE, IDC_SOUND_LIST, &CScheduleDlg::OnSoundSelected)
    ON_BN_CLICKED(IDC_SOUND_BROWSE, &CScheduleDlg::OnBrowseSound)
    ON_BN_CLICKED(IDC_LAUNCH_BROWSE, &CScheduleDlg::OnBrowseLaunch)
    ON_MESSAGE(WM_CTLCOLORSTATIC, &CScheduleDlg::OnCtlColorStatic)
END_MESSAGE_TABLE()

CScheduleDlg::CScheduleDlg(const ScheduleDlgContext& context) : CDialog(IDD_SCHEDULE), context_(context) {}

CScheduleDlg::~CScheduleDlg() {
    item_.reset();
    // A dialog that never opened has not read the lists and must not wipe them.
    if (listsLoaded_) SaveRecentFiles(*context_.registry, sounds_, launches_);
}

BOOL CScheduleDlg::OnInitDialog() {
    if (context_.registry != nullptr) {
        LoadRecentFiles(*context_.registry, context_.installPath, sounds_, launches_);
        listsLoaded_ = true;
    }
    const bool editing = item_ != nullptr;
    std::string chosenSound;
    std::string chosenLaunch;
    if (editing) {
        fields_ = EditedEventFields(*item_, *context_.clock);
        chosenSound = item_->soundfile;
        chosenLaunch = item_->launchfile;
    } else {
        if (preset_.year == 0) {
            LocalFields today;
            BreakDownLocal(context_.clock->Now(), today);
            preset_ = {today.year, today.month, today.day};
        }
        fields_ = NewEventFields(*context_.clock, preset_);
    }
    LimitToRepresentableMonths(GetDlgItem(hwnd_, IDC_START_DATE));
    LimitToRepresentableMonths(GetDlgItem(hwnd_, IDC_END_DATE));
    UpdateData(false);
    Fill(IDC_SOUND_LIST, sounds_, chosenSound);
    Fill(IDC_LAUNCH_LIST, launches_, chosenLaunch);
    SendDlgItemMessageW(hwnd_, IDC_REMIND_SPIN, UDM_SETRANGE32, 0, 999);
    EnableWindow(GetDlgItem(hwnd_, IDOK), !fields_.title.empty());
    UpdateRecurrenceText();
    if (editing) SetWindowTextW(hwnd_, L"View/Edit Event");
    CenterDialog(hwnd_, GetWindow(hwnd_, GW_OWNER));
    return TRUE;  // the focus on the title, the first field
}

void CScheduleDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_TITLE, fields_.title);
    ExchangeDate(dx, hwnd_, IDC_START_DATE, fields_.startDate);
    ExchangeTime(dx, hwnd_, IDC_START_TIME, fields_.startTime);
    ExchangeDate(dx, hwnd_, IDC_END_DATE, fields_.endDate);
    ExchangeTime(dx, hwnd_, IDC_END_TIME, fields_.endTime);
    dx.Text(IDC_REMIND_MINUTES, fields_.remindMinutes);
    dx.Text(IDC_NOTE, fields_.note);
    dx.MinMaxInt(IDC_REMIND_MINUTES, fields_.remindMinutes, 0, 999);
    ExchangeCheck(dx, hwnd_, IDC_SOUND_CHECK, fields_.soundCheck);
    ExchangeCheck(dx, hwnd_, IDC_LAUNCH_CHECK, fields_.launchCheck);
}

void CScheduleDlg::OnTitleChange() {
    EnableWindow(GetDlgItem(hwnd_, IDOK), !TrimSpace(ControlText(hwnd_, IDC_TITLE)).empty());
}

void CScheduleDlg::UpdateRecurrenceText() {
    std::string text;
    DescribeRecurrence(fields_.recurKind, fields_.recurPattern, fields_.recurInterval, text, *context_.names);
    SetDlgItemTextW(hwnd_, IDC_RECUR_TEXT, Wide(text).c_str());
    EnableWindow(GetDlgItem(hwnd_, IDC_END_DATE), !fields_.Endless());
}

LRESULT CScheduleDlg::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
    // The read-only rule text looks like an ordinary edit.
    if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_RECUR_TEXT) return Default();
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void CScheduleDlg::OnSettings() {
    if (!UpdateData(true)) return;
    CScheRepeatDlg repeat(*context_.names);
    repeat.values = fields_.Repeat();
    // The editor may have been closed meanwhile (the program ending).
    if (repeat.DoModal(hwnd_) != IDOK || hwnd_ == nullptr) return;
    fields_.SetRepeat(repeat.values);
    UpdateData(false);
    UpdateRecurrenceText();
}

void CScheduleDlg::Fill(int listId, RecentFiles& files, const std::string& chosen) {
    HWND list = GetDlgItem(hwnd_, listId);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    const auto offer = [list](std::string& path) {
        std::string name;
        if (!FileNameOf(path, name)) return -1;  // kept in the list, not offered
        const int index = static_cast<int>(SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str())));
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&path));
        return index;
    };
    int selection = -1;
    bool known = false;
    for (std::string& path : files) {
        const int index = offer(path);
        if (SamePath(path, chosen)) {
            known = true;
            if (index >= 0) selection = index;
        }
    }
    if (!known && !chosen.empty()) {
        files.push_back(chosen);
        selection = offer(files.back());
    }
    if (Count(list) > 0) SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(std::max(selection, 0)), 0);
}

std::string* CScheduleDlg::Selected(int listId) const {
    HWND list = GetDlgItem(hwnd_, listId);
    const int index = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    return index == CB_ERR ? nullptr : EntryPath(list, index);
}

void CScheduleDlg::OnSoundSelected() {
    std::string* path = Selected(IDC_SOUND_LIST);
    if (path == nullptr) return;
    if (Shell().FileExists(*path)) {
        Shell().PlaySoundFile(*path);
        return;
    }
    ShowNotice("File not found.");
    // Every entry whose file is gone leaves the list, offered or not.
    std::vector<const std::string*> missing;
    for (const std::string& p : sounds_)
        if (!Shell().FileExists(p)) missing.push_back(&p);
    const auto isMissing = [&missing](const std::string* p) {
        return std::find(missing.begin(), missing.end(), p) != missing.end();
    };
    HWND list = GetDlgItem(hwnd_, IDC_SOUND_LIST);  // none when the dialog closed meanwhile
    for (int i = Count(list) - 1; i >= 0; --i)
        if (isMissing(EntryPath(list, i))) SendMessageW(list, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    sounds_.remove_if([&isMissing](const std::string& p) { return isMissing(&p); });
    if (Count(list) > 0) SendMessageW(list, CB_SETCURSEL, 0, 0);
}

void CScheduleDlg::OnBrowseSound() { Browse(IDC_SOUND_LIST, sounds_, EditorShell::FileKind::Sound); }
void CScheduleDlg::OnBrowseLaunch() { Browse(IDC_LAUNCH_LIST, launches_, EditorShell::FileKind::Launch); }

void CScheduleDlg::Browse(int listId, RecentFiles& files, EditorShell::FileKind kind) {
    std::string folder;
    if (const std::string* selected = Selected(listId)) {
        const std::size_t slash = selected->rfind('\\');
        if (slash != std::string::npos) folder = selected->substr(0, slash);
    }
    std::string chosen;
    if (!Shell().ChooseFile(hwnd_, kind, folder, chosen) || hwnd_ == nullptr) return;
    HWND list = GetDlgItem(hwnd_, listId);
    int index = Count(list) - 1;
    for (; index >= 0; --index) {
        const std::string* path = EntryPath(list, index);
        if (path != nullptr && SamePath(*path, chosen)) break;
    }
    if (index < 0) {
        files.push_front(chosen);
        std::string name;
        if (!FileNameOf(chosen, name)) name = chosen;
        SendMessageW(list, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
        SendMessageW(list, CB_SETITEMDATA, 0, reinterpret_cast<LPARAM>(&files.front()));
        index = 0;
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (kind == EditorShell::FileKind::Sound) Shell().PlaySoundFile(chosen);
}

std::string CScheduleDlg::Chosen(int listId, RecentFiles& files, bool ticked) {
    const std::string* selected = ticked ? Selected(listId) : nullptr;
    if (selected == nullptr) return {};
    // The chosen file becomes the most recent one.
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (&*it == selected) {
            files.splice(files.begin(), files, it);
            break;
        }
    }
    return *selected;
}

void CScheduleDlg::OnOK() {
    if (!UpdateData(true)) return;
    if (TrimSpace(fields_.title).empty()) return;  // OK is disabled then; Enter must not get past it
    const EditorRefusal refusal = ApplyEditorFields(fields_, *context_.clock, item_, structureChanged, actionsChanged);
    if (refusal != EditorRefusal::None) {
        ShowNotice(RefusalText(refusal));
        return;
    }
    const std::string sound = Chosen(IDC_SOUND_LIST, sounds_, (item_->actions & kActionPlaySound) != 0);
    const std::string launch = Chosen(IDC_LAUNCH_LIST, launches_, (item_->actions & kActionLaunchFile) != 0);
    // Files picked here are the user's; a file kept from before is only as
    // much the user's as it was (an imported one stays foreign).
    const bool before = item_->filesChosen;
    const auto picked = [before](const std::string& now, const std::string& was) {
        return now.empty() || now != was || before;
    };
    const bool chosen = picked(sound, item_->soundfile) && picked(launch, item_->launchfile);
    if (chosen != before) {
        item_->filesChosen = chosen;
        actionsChanged = true;
    }
    // An unticked box clears its file.
    if (sound != item_->soundfile) {
        item_->soundfile = sound;
        actionsChanged = true;
    }
    if (launch != item_->launchfile) {
        item_->launchfile = launch;
        actionsChanged = true;
    }
    const CommitResult result = commit_ ? commit_(*item_) : CommitResult::Saved;
    if (result != CommitResult::Saved) {
        // The save may have run a message loop in which the dialog went.
        if (hwnd_ != nullptr && result == CommitResult::NotWritten) ShowWriteFailure(hwnd_, kNotSavedText);
        return;
    }
    if (hwnd_ != nullptr) EndDialog(IDOK);
}

void CScheduleDlg::ShowNotice(const char* text) { MessageBoxW(hwnd_, Wide(text).c_str(), Wide(kNoticeCaption).c_str(), MB_OK | MB_ICONERROR); }
