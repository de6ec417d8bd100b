#include "dialogs/sche_browser_dlg.h"

#include <commctrl.h>

#include <utility>

#include "core/schedule_changes.h"
#include "dialogs/browser_ids.h"
#include "dialogs/dialog_placement.h"
#include "dialogs/write_failure.h"
#include "platform/dpi_scale.h"
#include "ui/window_dpi.h"
#include "ui/window_messages.h"
#include "platform/win32/wide_text.h"

namespace {

// At 96 DPI; the list's text grows with the dialog's scale.
constexpr int kTitleWidth = 220;
constexpr int kDateWidth = 160;

// Case as the user's language folds it, in every script.
int CompareTitlesCaseless(const std::string& a, const std::string& b) {
    const std::wstring wa = Wide(a);
    const std::wstring wb = Wide(b);
    const int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), static_cast<int>(wa.size()),
                                     wb.c_str(), static_cast<int>(wb.size()));
    return order == 0 ? wa.compare(wb) : order - CSTR_EQUAL;
}

void InsertColumn(HWND list, int index, const char* text, int width) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    std::wstring wide = Wide(text);
    column.pszText = wide.data();
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
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
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT);
    const DpiScale scale{WindowDpi(hwnd_)};
    InsertColumn(list, kBrowserTitleColumn, "Title", scale(kTitleWidth));
    InsertColumn(list, kBrowserDateColumn, "Date", scale(kDateWidth));
    if (context_.store == nullptr) return TRUE;

    for (const auto& event : context_.store->Events()) {
        auto row = std::make_unique<BrowserRow>(BrowserRow{event->front.id, event->title, event->front.startDate});
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(rows_.size());
        std::wstring title = Wide(row->title);
        item.pszText = title.data();
        item.lParam = reinterpret_cast<LPARAM>(row.get());
        const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (index < 0) continue;
        std::wstring dates = Wide(context_.shortDate ? BrowserDateText(event->front, context_.shortDate) : std::string());
        LVITEMW sub = {};
        sub.iSubItem = kBrowserDateColumn;
        sub.pszText = dates.data();
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
        rows_.push_back(std::move(row));
    }
    Sort();
    return TRUE;  // the focus on the list
}

const BrowserRow* CScheBrowserDlg::RowAt(int index) const {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<const BrowserRow*>(item.lParam);
}

int CALLBACK CScheBrowserDlg::CompareItems(LPARAM first, LPARAM second, LPARAM mode) {
    return CompareBrowserRows(*reinterpret_cast<const BrowserRow*>(first), *reinterpret_cast<const BrowserRow*>(second),
                              static_cast<int>(mode), &CompareTitlesCaseless);
}

void CScheBrowserDlg::Sort() {
    SendMessageW(List(), LVM_SORTITEMS, static_cast<WPARAM>(sortMode_),
                 reinterpret_cast<LPARAM>(&CScheBrowserDlg::CompareItems));
    ShowSortArrow();
}

void CScheBrowserDlg::ShowSortArrow() {
    HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    for (const int column : {kBrowserTitleColumn, kBrowserDateColumn}) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == SortedColumn(sortMode_)) item.fmt |= SortsAscending(sortMode_) ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
}

void CScheBrowserDlg::UpdateButtons() {
    const BOOL any = SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0) > 0;
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
                SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
                OnDelete();
            }
            return 0;
        default:
            return Default();
    }
}

void CScheBrowserDlg::OnOK() { OnEdit(); }

void CScheBrowserDlg::OnEdit() {
    EditRow(static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
}

void CScheBrowserDlg::EditRow(int index) {
    const BrowserRow* row = index >= 0 ? RowAt(index) : nullptr;
    if (row == nullptr) return;
    pickedId_ = row->eventId;
    editRequested_ = true;
    EndDialog(IDOK);
}

void CScheBrowserDlg::OnDelete() {
    if (MessageBoxW(hwnd_, L"Delete selected event(s)?", L"Delete", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    // The calendar's month points at the events freed below until it hears
    // of the change: nothing from here to the notice may run a message loop.
    HWND list = List();
    bool written = true;
    for (;;) {
        const int index = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        const BrowserRow* row = index >= 0 ? RowAt(index) : nullptr;
        if (row == nullptr || !SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(index), 0)) break;
        if (context_.store != nullptr && !context_.store->DeleteEvent(row->eventId, 0, false)) written = false;
    }
    if (parent_ != nullptr) SendMessageW(parent_, WM_SCHEDULECHANGED, kCalendarEventsChanged, 0);
    UpdateButtons();
    if (!written) ShowWriteFailure(hwnd_, kNotDeletedText);
}
