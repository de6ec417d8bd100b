#pragma once
#include <windows.h>

#include "dialogs/prop_sheet_model.h"
#include "ui/property_page.h"

struct PrefSheetContext;

// The "Event" page: when the upcoming-events window opens and how far ahead
// it looks.
class CPropEventPage final : public CPropertyPage {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CPropEventPage(const PrefSheetContext& context);

    EventPageValues values;
    PageFlags flags;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    bool OnApply(bool closing) override;

private:
    void OnChange();

    const PrefSheetContext& context_;
    bool loading_ = false;  // controls being filled: their notices are no changes
};
