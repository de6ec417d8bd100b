#include "ui/dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "core/product.h"
#include "platform/win32/trace.h"
#include "ui/control_text.h"
#include "platform/win32/wide_text.h"

namespace {

// Whole decimal number with optional sign and surrounding blanks, in int range.
bool ParseInt(const std::string& text, int& value) {
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(p, &end, 10);
    if (end == p || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    value = static_cast<int>(parsed);
    return true;
}

}  // namespace

std::string IntegerRequiredText() { return "Please enter an integer."; }

std::string IntegerRangeText(int minValue, int maxValue) {
    std::string text = "Please enter an integer between %1 and %2.";
    text.replace(text.find("%1"), 2, std::to_string(minValue));
    text.replace(text.find("%2"), 2, std::to_string(maxValue));
    return text;
}

void DataExchange::Fail(int controlId, const std::string& message) {
    failed_ = true;
    MessageBoxW(dialog_, Wide(message).c_str(), Wide(kAppTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (HWND control = GetDlgItem(dialog_, controlId)) {
        SetFocus(control);
        SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

void DataExchange::Text(int controlId, int& value) {
    if (failed_) return;
    if (!save_) {
        SetDlgItemTextW(dialog_, controlId, Wide(std::to_string(value).c_str()).c_str());
        return;
    }
    int parsed = 0;
    if (!ParseInt(ControlText(dialog_, controlId), parsed)) {
        Fail(controlId, IntegerRequiredText());
        return;
    }
    value = parsed;
}

void DataExchange::Text(int controlId, std::string& value) {
    if (failed_) return;
    if (save_) {
        value = ControlText(dialog_, controlId);
    } else {
        SetDlgItemTextW(dialog_, controlId, Wide(value).c_str());
    }
}

void DataExchange::MinMaxInt(int controlId, int value, int minValue, int maxValue) {
    if (failed_ || !save_) return;
    if (value < minValue || value > maxValue) Fail(controlId, IntegerRangeText(minValue, maxValue));
}

void DataExchange::Refuse(int controlId, const std::string& problem) {
    if (failed_ || !save_ || problem.empty()) return;
    Fail(controlId, problem);
}

BEGIN_MESSAGE_TABLE(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOkCommand)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancelCommand)
END_MESSAGE_TABLE()

INT_PTR CDialog::DoModal(HWND parent) {
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                                           &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    ORV_CHECK(result != -1);
    return result;
}

void CDialog::EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

bool CDialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(hwnd_, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(DataExchange&) {}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::DefWindowProcedure(UINT, WPARAM, LPARAM) {
    wantDefault_ = true;  // let the dialog manager do its own processing
    return 0;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = static_cast<CDialog*>(FromHandle(hwnd));
    if (dialog == nullptr && message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(hwnd);
        BOOL focusDefault = TRUE;
        try {
            focusDefault = dialog->OnInitDialog();
        } catch (...) {
            TraceCurrentException("dialog initialisation");
            dialog->EndDialog(IDABORT);
        }
        return focusDefault;
    }
    if (dialog == nullptr) return FALSE;

    const bool outer = dialog->wantDefault_;
    dialog->wantDefault_ = false;
    const LRESULT result = dialog->Invoke(hwnd, message, wParam, lParam);
    const bool handled = !dialog->wantDefault_;
    dialog->wantDefault_ = outer;
    if (!handled) return FALSE;
    // These few hand their result back directly, not through DWLP_MSGRESULT.
    if ((message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_COMPAREITEM ||
        message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
