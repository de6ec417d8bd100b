#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "core/time_types.h"
#include "dialogs/bkgnd_prop_page.h"
#include "dialogs/prop_event_page.h"
#include "dialogs/prop_sheet_model.h"
#include "dialogs/sync_prop_page.h"
#include "platform/credential_store.h"
#include "platform/registry.h"
#include "store/preferences.h"

class CPropSheet;

// What the preferences sheet needs from the main frame.
struct PrefSheetContext {
    Preferences* prefs = nullptr;  // the live preferences, read by the pages and written when applied
    HWND anchor = nullptr;         // the calendar window when it is open: the sheet opens over it
    // The caller's guard against a second sheet: the open sheet, else null.
    CPropSheet** openSheet = nullptr;
    // After the sheet closed; each runs only when its pages were applied.
    std::function<void()> saveSettings;     // the preference group
    // The calendar takes the colour, wallpaper and transparency and repaints;
    // also at Apply, while the sheet stays open.
    std::function<void()> refreshCalendar;
    std::function<void()> checkReminders;   // a reminder check that rebuilds the upcoming window
    // The pickers; the platform's colour chooser and open-file dialog when empty.
    std::function<bool(HWND owner, Rgb& color)> chooseColor;
    std::function<bool(HWND owner, std::string& path)> chooseImageFile;
    // The Sync page: where it keeps the address, user and interval, and the
    // password. The page is left out of the sheet when either is null.
    Registry* registry = nullptr;
    CredentialStore* credentials = nullptr;
    // After the Sync page was applied: the interval timer and the tray item follow.
    std::function<void()> syncSettingsChanged;
    // "Sync now": starts a sync with the address, user and password the page
    // shows, which are stored only by OK or Apply. The result arrives later
    // through ShowStatus.
    std::function<void(const std::string& url, const std::string& user, const std::string& password)> syncNow;
    // The status line as the page opens.
    std::function<std::string()> syncStatus;
};

// The "Preferences" property sheet with its Background, Event and Sync pages.
class CPropSheet {
public:
    static constexpr char kCaption[] = "Preferences";

    explicit CPropSheet(const PrefSheetContext& context)
        : context_(context), background_(context), event_(context), sync_(context) {}
    CPropSheet(const CPropSheet&) = delete;
    CPropSheet& operator=(const CPropSheet&) = delete;

    // Shows the sheet modally, without an owner. Whichever button closed it,
    // the outcome says which pages were applied.
    PrefSheetOutcome DoModal();
    // The sheet's window while it is open.
    HWND Hwnd() const { return background_.Sheet(); }

    CBkgndPropPage& BackgroundPage() { return background_; }
    CPropEventPage& EventPage() { return event_; }
    // There even when the sheet leaves the page out: its status then goes nowhere.
    CSyncPropPage& SyncPage() { return sync_; }

private:
    const PrefSheetContext& context_;
    CBkgndPropPage background_;
    CPropEventPage event_;
    CSyncPropPage sync_;
};

// The Preferences command: the sheet, then saving and refreshing for the
// pages that were applied. With a sheet already open it only brings that one
// to the front and returns nothing applied.
PrefSheetOutcome ShowPreferences(const PrefSheetContext& context);

// The platform's pickers.
bool ChooseColorDialog(HWND owner, Rgb& color, COLORREF (&customColors)[16]);
bool ChooseImageFileDialog(HWND owner, std::string& path);
