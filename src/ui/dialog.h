#pragma once
#include <windows.h>

#include <string>

#include "ui/wnd.h"

// Moves values between a dialog's controls and its members. When a check
// fails the user is told with the standard text, the control gets the focus
// and the exchange is marked failed; the dialog stays open.
class DataExchange {
public:
    DataExchange(HWND dialog, bool saveAndValidate) : dialog_(dialog), save_(saveAndValidate) {}

    bool Saving() const { return save_; }
    bool Failed() const { return failed_; }

    void Text(int controlId, int& value);
    void Text(int controlId, std::string& value);
    // Checked only when saving, and only while nothing has failed yet.
    void MinMaxInt(int controlId, int value, int minValue, int maxValue);
    // A check of the dialog's own: a non-empty problem is shown and the
    // control focused, as a number out of range is.
    void Refuse(int controlId, const std::string& problem);

private:
    void Fail(int controlId, const std::string& message);

    HWND dialog_;
    bool save_;
    bool failed_ = false;
};

// The standard texts of the checks.
std::string IntegerRequiredText();
std::string IntegerRangeText(int minValue, int maxValue);

// A modal dialog over a template of the program's resources.
class CDialog : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CDialog(UINT templateId) : templateId_(templateId) {}

    INT_PTR DoModal(HWND parent);
    void EndDialog(INT_PTR result);
    // True when the exchange succeeded.
    bool UpdateData(bool saveAndValidate);

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    virtual void OnOK();
    virtual void OnCancel();
    LRESULT DefWindowProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
    // lParam of WM_INITDIALOG is the object.
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnOkCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    UINT templateId_;
    bool wantDefault_ = false;
};
