#include "dialogs/sche_repeat_dlg.h"

#include <commctrl.h>

#include "dialogs/control_exchange.h"
#include "dialogs/dialog_placement.h"
#include "dialogs/editor_ids.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr const char* kOrdinals[] = {"first", "second", "third", "fourth", "last"};

// Check box ids of the weekdays, Sunday first.
int WeekdayBox(int weekdayIndex) { return weekdayIndex == 0 ? IDC_SUNDAY : IDC_MONDAY + weekdayIndex - 1; }

void Show(HWND dialog, std::initializer_list<int> ids, bool shown) {
    for (int id : ids) ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

}  // namespace

BEGIN_MESSAGE_TABLE(CScheRepeatDlg, CDialog)
    ON_BN_CLICKED_RANGE(IDC_KIND_NONE, IDC_KIND_YEARLY, &CScheRepeatDlg::OnKindClicked)
    ON_BN_CLICKED(IDC_NO_END_DATE, &CScheRepeatDlg::OnNoEndDateClicked)
END_MESSAGE_TABLE()

CScheRepeatDlg::CScheRepeatDlg(const LocaleNames& names) : CDialog(IDD_SCHE_REPEAT), names_(names) {}

BOOL CScheRepeatDlg::OnInitDialog() {
    controls_ = OpenRepeat(values);
    for (int i = 0; i < 7; ++i) SetDlgItemTextW(hwnd_, WeekdayBox(i), Wide(names_.DayNames[i]).c_str());
    CheckRadioButton(hwnd_, IDC_KIND_NONE, IDC_KIND_YEARLY, IDC_KIND_NONE + static_cast<int>(controls_.kind));
    CheckRadioButton(hwnd_, IDC_BY_DAY, IDC_BY_NTH, controls_.useNth ? IDC_BY_NTH : IDC_BY_DAY);
    SendDlgItemMessageW(hwnd_, IDC_DAY_SPIN, UDM_SETRANGE32, 1, 31);
    SendDlgItemMessageW(hwnd_, IDC_INTERVAL_SPIN, UDM_SETRANGE32, 1, 200);
    for (const std::string& month : names_.MonthNames)
        SendDlgItemMessageW(hwnd_, IDC_MONTH_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(month).c_str()));
    for (const std::string& day : names_.DayNames)
        SendDlgItemMessageW(hwnd_, IDC_WEEKDAY_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(day).c_str()));
    for (const char* ordinal : kOrdinals)
        SendDlgItemMessageW(hwnd_, IDC_NTH_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(ordinal).c_str()));
    LimitToRepresentableMonths(GetDlgItem(hwnd_, IDC_START_DATE));
    LimitToRepresentableMonths(GetDlgItem(hwnd_, IDC_END_DATE));
    UpdateData(false);
    ApplyLayout();
    CenterDialog(hwnd_, GetWindow(hwnd_, GW_OWNER));
    // On the rule's kind, where the user starts; not on OK.
    SetFocus(GetDlgItem(hwnd_, IDC_KIND_NONE + static_cast<int>(controls_.kind)));
    return FALSE;
}

void CScheRepeatDlg::DoDataExchange(DataExchange& dx) {
    ExchangeDate(dx, hwnd_, IDC_START_DATE, values.startDate);
    ExchangeDate(dx, hwnd_, IDC_END_DATE, values.endDate);
    for (int i = 0; i < 7; ++i) ExchangeCheck(dx, hwnd_, WeekdayBox(i), controls_.weekdays[i]);
    dx.Text(IDC_DAY, controls_.day);
    dx.MinMaxInt(IDC_DAY, controls_.day, 1, 31);
    ExchangeCheck(dx, hwnd_, IDC_NO_END_DATE, controls_.noEndDate);
    dx.Text(IDC_INTERVAL, controls_.interval);
    dx.MinMaxInt(IDC_INTERVAL, controls_.interval, 1, 200);
    ExchangeListIndex(dx, hwnd_, IDC_MONTH_LIST, controls_.monthIndex);
    ExchangeListIndex(dx, hwnd_, IDC_NTH_LIST, controls_.nthIndex);
    ExchangeListIndex(dx, hwnd_, IDC_WEEKDAY_LIST, controls_.weekdayIndex);
}

bool CScheRepeatDlg::CheckedKind(RepeatKind& kind) const {
    for (int id = IDC_KIND_NONE; id <= IDC_KIND_YEARLY; ++id) {
        if (IsDlgButtonChecked(hwnd_, id) == BST_CHECKED) {
            kind = static_cast<RepeatKind>(id - IDC_KIND_NONE);
            return true;
        }
    }
    return false;
}

void CScheRepeatDlg::ApplyLayout() {
    RepeatKind kind = RepeatKind::None;
    CheckedKind(kind);
    const RepeatLayout layout = LayoutForKind(kind);
    SetDlgItemTextW(hwnd_, IDC_INTERVAL_UNIT, Wide(layout.unit).c_str());
    Show(hwnd_, {IDC_SUNDAY, 1067, 1068, 1069, 1070, 1071, IDC_SATURDAY}, layout.weekdays);
    Show(hwnd_, {IDC_BY_DAY, IDC_BY_NTH, IDC_DAY, IDC_DAY_SPIN, IDC_NTH_LIST, IDC_WEEKDAY_LIST}, layout.dayOrNth);
    Show(hwnd_, {IDC_MONTH_LIST}, layout.months);
    Show(hwnd_, {IDC_NO_END_DATE, IDC_EVERY_LABEL, IDC_INTERVAL_UNIT, IDC_INTERVAL, IDC_INTERVAL_SPIN},
         layout.interval);
    EnableWindow(GetDlgItem(hwnd_, IDC_END_DATE),
                 EndDateEnabled(kind, IsDlgButtonChecked(hwnd_, IDC_NO_END_DATE) == BST_CHECKED));
}

void CScheRepeatDlg::OnKindClicked(UINT) { ApplyLayout(); }

void CScheRepeatDlg::OnNoEndDateClicked() { ApplyLayout(); }

void CScheRepeatDlg::OnOK() {
    if (!UpdateData(true)) return;
    RepeatKind kind = RepeatKind::None;
    if (CheckedKind(kind)) {
        controls_.kind = kind;
        controls_.useNth = IsDlgButtonChecked(hwnd_, IDC_BY_NTH) == BST_CHECKED;
        EncodeRepeat(controls_, values);
    } else {
        // No kind ticked: the rule stays as it was, only the end option applies.
        values.recurFlags = static_cast<std::uint8_t>((values.recurFlags & ~1u) | (controls_.noEndDate ? 1u : 0u));
    }
    EndDialog(IDOK);
}
