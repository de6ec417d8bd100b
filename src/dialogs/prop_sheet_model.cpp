#include "dialogs/prop_sheet_model.h"

#include <algorithm>

BackgroundPageValues BackgroundFromPreferences(const Preferences& prefs) {
    BackgroundPageValues v;
    v.color = prefs.BkgColor;
    v.imageFile = prefs.BkgImgFile;
    v.fit = prefs.BkgImgFit;
    v.keepAspect = prefs.BkgImgRetainRatio;
    v.transparency = prefs.BkgAlpha;
    return v;
}

void ApplyBackground(const BackgroundPageValues& values, Preferences& prefs) {
    prefs.BkgColor = values.color;
    prefs.BkgImgFile = values.imageFile;
    prefs.BkgImgFit = values.fit;
    prefs.BkgImgRetainRatio = values.keepAspect;
    prefs.BkgAlpha = static_cast<std::uint8_t>(std::clamp(values.transparency, 0, kMaxTransparency));
}

EventPageValues EventFromPreferences(const Preferences& prefs) {
    EventPageValues v;
    v.startup = prefs.UewStartup;
    v.notification = prefs.UewNotification;
    v.begins = prefs.UewBeginning;
    v.upcoming = prefs.UewUpcoming;
    v.soon = prefs.UewSoon;
    v.hours = prefs.UewHours;
    v.soonHours = prefs.UewHours2;
    v.toast = prefs.UewToast;
    return v;
}

void ApplyEvent(EventPageValues& values, Preferences& prefs) {
    values.hours = std::max(values.hours, values.soonHours);
    prefs.UewStartup = values.startup;
    prefs.UewNotification = values.notification;
    prefs.UewBeginning = values.begins;
    prefs.UewUpcoming = values.upcoming;
    prefs.UewSoon = values.soon;
    prefs.UewHours = values.hours;
    prefs.UewHours2 = values.soonHours;
    prefs.UewToast = values.toast;
}

std::string FileDialogFilter(std::string_view bars) {
    std::string filter(bars);
    std::replace(filter.begin(), filter.end(), '|', '\0');
    // Doubly terminated even when the text forgot its final "||".
    if (filter.size() < 2 || filter[filter.size() - 1] != '\0' || filter[filter.size() - 2] != '\0') {
        filter.append(2, '\0');
    }
    return filter;
}
