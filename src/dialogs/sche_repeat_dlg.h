#pragma once
#include <windows.h>

#include "core/locale_names.h"
#include "dialogs/sche_repeat_model.h"
#include "ui/dialog.h"

// The modal "Event Recurrence" dialog: the date range and the rule. Works on
// the values the editor hands in and hands them back on OK.
class CScheRepeatDlg final : public CDialog {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CScheRepeatDlg(const LocaleNames& names);

    RepeatValues values;  // set before DoModal, read after OK

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    void OnOK() override;

private:
    void OnKindClicked(UINT id);
    void OnNoEndDateClicked();
    // The kind whose radio button is ticked; false when none is.
    bool CheckedKind(RepeatKind& kind) const;
    void ApplyLayout();

    const LocaleNames& names_;
    RepeatControls controls_;
};
