#pragma once
// The rules of the preferences pages, apart from their windows: what each
// page shows of the preferences, what applying it writes back, and what the
// caller does once the sheet has closed.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/time_types.h"
#include "store/preferences.h"

constexpr int kMaxTransparency = 255;

// The Background page's values: the swatch's colour, the preview's path,
// fit and keep-aspect flags, the transparency field.
struct BackgroundPageValues {
    Rgb color = 0;
    std::string imageFile;
    int fit = 0;
    int keepAspect = 0;
    int transparency = 0;
};

// The Event page's fields.
struct EventPageValues {
    int startup = 0;
    int notification = 0;
    int begins = 0;
    int upcoming = 0;
    int soon = 0;
    int hours = 0;
    int soonHours = 0;
    int toast = 0;
};

BackgroundPageValues BackgroundFromPreferences(const Preferences& prefs);
// The values have passed the page's checks (transparency 0..255).
void ApplyBackground(const BackgroundPageValues& values, Preferences& prefs);

EventPageValues EventFromPreferences(const Preferences& prefs);
// The look-ahead is never shorter than the "beginning in" threshold: hours
// is raised to soonHours, in values too, so the page shows what was stored.
void ApplyEvent(EventPageValues& values, Preferences& prefs);

// A page's change tracking: modified covers changes since it was last
// applied; applied, once set, stays set for the sheet's life.
struct PageFlags {
    bool modified = false;
    bool applied = false;
};

// What closing the sheet asks of its caller.
struct PrefSheetOutcome {
    bool backgroundApplied = false;
    bool eventApplied = false;
    // The Sync page stored its own values when it was applied.
    bool syncApplied = false;

    bool SaveSettings() const { return backgroundApplied || eventApplied; }
    bool RefreshCalendar() const { return backgroundApplied; }
    bool CheckReminders() const { return eventApplied; }
};

// A file-dialog filter written with "|" between descriptions and patterns
// and "||" at its end, as the platform wants it: zeros instead of bars.
std::string FileDialogFilter(std::string_view bars);
