#pragma once
#include <windows.h>

#include <string>

#include "dialogs/prop_sheet_model.h"
#include "dialogs/sync_page_model.h"
#include "ui/property_page.h"

struct PrefSheetContext;

// The "Sync" page: the calendar collection's address, the account, how
// often to sync, a sync at once and how the last one went. Unlike the other
// pages it stores its own values when applied: address, user and interval
// in the registry, the password in the credential store.
class CSyncPropPage final : public CPropertyPage {
    DECLARE_MESSAGE_TABLE()
public:
    static constexpr char kSyncingText[] = "Syncing...";
    static constexpr char kNotSavedText[] = "The sync settings could not be saved.";
    static constexpr char kPasswordNotSavedText[] = "The password could not be saved.";

    explicit CSyncPropPage(const PrefSheetContext& context);

    // The status line; kept for the page when its window does not exist yet.
    void ShowStatus(const std::string& text);

    SyncPageValues values;
    PageFlags flags;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    bool OnApply(bool closing) override;

private:
    // False, with the user told, when something could not be stored.
    bool Store();
    void OnChange();
    void OnUrlChange();
    void OnSyncNow();
    void EnableSyncNow();

    const PrefSheetContext& context_;
    std::string status_;
    bool statusGiven_ = false;  // by ShowStatus: newer than what syncStatus had
    bool loading_ = false;      // controls being filled: their notices are no changes
};
