#include "dialogs/sche_browser_dlg.h"

#include <commctrl.h>
#include <mbstring.h>

#include <utility>

#include "core/schedule_changes.h"
#include "dialogs/browser_ids.h"
#include "dialogs/dialog_placement.h"
#include "dialogs/write_failure.h"
#include "platform/dpi_scale.h"
#include "ui/window_dpi.h"
#include "ui/window_messages.h"

namespace {

// At 96 DPI; the list's text grows with the dialog's scale.
constexpr int kTitleWidth = 220;
constexpr int kDateWidth = 160;

// Titles are in the ANSI code page: letters of a double-byte character are
// left as they are.
int CompareTitlesCaseless(const std::string& a, const std::string& b) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a.c_str()), reinterpret_cast<const unsigned char*>(b.c_str()));
}

void InsertColumn(HWND list, int index, const char* text, int width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(text);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

}  // namespace

BEGIN_MESSAGE_TABLE(CScheBrowserDlg, CDialog)
    ON_MESSAGE(WM_NOTIFY, &CScheBrowserDlg::OnNotify)
    ON_BN_CLICKED(IDC_BROWSER_EDIT, &CScheBrowserDlg::OnEdit)
    ON_BN_CLICKED(IDC_BROWSER_DELETE, &CScheBrowserDlg::OnDelete)
END_MESSAGE_TABLE()

CScheBrowserDlg::CScheBrowserDlg(ScheBrowserContext context)
    : CDialog(IDD_SCHE_BROWSER), context_(std::move(context)) {}

HWND CScheBrowserDlg::List() const { return GetDlgItem(hwnd_, IDC_BROWSER_LIST); }

INT_PTR CScheBrowserDlg::Run(HWND parent) {
    parent_ = parent;
    const INT_PTR result = DoModal(parent);
    if (result == IDOK && editRequested_ && context_.editEvent) context_.editEvent(pickedId_);
    return result;
}

BOOL CScheBrowserDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterDialog(hwnd_, GetWindow(hwnd_, GW_OWNER));
    HWND list = List();
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT);
    const DpiScale scale{WindowDpi(hwnd_)};
    InsertColumn(list, kBrowserTitleColumn, "Title", scale(kTitleWidth));
    InsertColumn(list, kBrowserDateColumn, "Date", scale(kDateWidth));
    if (context_.store == nullptr) return TRUE;

    for (const auto& event : context_.store->Events()) {
        auto row = std::make_unique<BrowserRow>(BrowserRow{event->front.id, event->title, event->front.startDate});
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(rows_.size());
        item.pszText = const_cast<char*>(row->title.c_str());
        item.lParam = reinterpret_cast<LPARAM>(row.get());
        const int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (index < 0) continue;
        std::string dates = context_.shortDate ? BrowserDateText(event->front, context_.shortDate) : std::string();
        LVITEMA sub = {};
        sub.iSubItem = kBrowserDateColumn;
        sub.pszText = dates.data();
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
        rows_.push_back(std::move(row));
    }
    Sort();
    return TRUE;  // the focus on the list
}

const BrowserRow* CScheBrowserDlg::RowAt(int index) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<const BrowserRow*>(item.lParam);
}

int CALLBACK CScheBrowserDlg::CompareItems(LPARAM first, LPARAM second, LPARAM mode) {
    return CompareBrowserRows(*reinterpret_cast<const BrowserRow*>(first), *reinterpret_cast<const BrowserRow*>(second),
                              static_cast<int>(mode), &CompareTitlesCaseless);
}

void CScheBrowserDlg::Sort() {
    SendMessageA(List(), LVM_SORTITEMS, static_cast<WPARAM>(sortMode_),
                 reinterpret_cast<LPARAM>(&CScheBrowserDlg::CompareItems));
    ShowSortArrow();
}

void CScheBrowserDlg::ShowSortArrow() {
    HWND header = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETHEADER, 0, 0));
    for (const int column : {kBrowserTitleColumn, kBrowserDateColumn}) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == SortedColumn(sortMode_)) item.fmt |= SortsAscending(sortMode_) ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
}

void CScheBrowserDlg::UpdateButtons() {
    const BOOL any = SendMessageA(List(), LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    EnableWindow(GetDlgItem(hwnd_, IDC_BROWSER_EDIT), any);
    EnableWindow(GetDlgItem(hwnd_, IDC_BROWSER_DELETE), any);
}

LRESULT CScheBrowserDlg::OnNotify(WPARAM, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_BROWSER_LIST) return Default();
    switch (header->code) {
        case LVN_ITEMCHANGED:
            UpdateButtons();
            return 0;
        case LVN_COLUMNCLICK:  // the list's word for a click on a column header
            sortMode_ = SortModeAfterHeaderClick(sortMode_, reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
            Sort();
            return 0;
        case NM_DBLCLK: {
            // The row under the pointer, whatever else is selected.
            const int index = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
            if (index >= 0) EditRow(index);
            return 0;
        }
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE &&
                SendMessageA(List(), LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
                OnDelete();
            }
            return 0;
        default:
            return Default();
    }
}

void CScheBrowserDlg::OnOK() { OnEdit(); }

void CScheBrowserDlg::OnEdit() {
    EditRow(static_cast<int>(SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
}

void CScheBrowserDlg::EditRow(int index) {
    const BrowserRow* row = index >= 0 ? RowAt(index) : nullptr;
    if (row == nullptr) return;
    pickedId_ = row->eventId;
    editRequested_ = true;
    EndDialog(IDOK);
}

void CScheBrowserDlg::OnDelete() {
    if (MessageBoxA(hwnd_, "Delete selected event(s)?", "Delete", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    // The calendar's month points at the events freed below until it hears
    // of the change: nothing from here to the notice may run a message loop.
    HWND list = List();
    bool written = true;
    for (;;) {
        const int index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        const BrowserRow* row = index >= 0 ? RowAt(index) : nullptr;
        if (row == nullptr || !SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(index), 0)) break;
        if (context_.store != nullptr && !context_.store->DeleteEvent(row->eventId, 0, false)) written = false;
    }
    if (parent_ != nullptr) SendMessageA(parent_, WM_SCHEDULECHANGED, kCalendarEventsChanged, 0);
    UpdateButtons();
    if (!written) ShowWriteFailure(hwnd_, kNotDeletedText);
}
