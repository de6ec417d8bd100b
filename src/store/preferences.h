#pragma once
#include <cstdint>
#include <string>

#include "core/time_types.h"
#include "platform/desktop.h"

// The longest look-ahead of the upcoming-events window, in hours.
constexpr std::int32_t kMaxUewHours = 24;

// The calendar window's smallest size, in pixels at 96 DPI: a stored
// rectangle below it is no window a user made.
constexpr std::int32_t kScheMinWidth = 320;
constexpr std::int32_t kScheMinHeight = 200;

// The per-user preferences, named after their registry values.
struct Preferences {
    Rgb BkgColor = MakeRgb(255, 255, 255);
    std::string BkgImgFile;
    std::int32_t BkgImgFit = 1;
    std::int32_t BkgImgRetainRatio = 1;
    std::uint8_t BkgAlpha = 160;
    std::int32_t UewStartup = 0;
    std::int32_t UewNotification = 1;
    std::int32_t UewBeginning = 1;
    std::int32_t UewUpcoming = 1;
    std::int32_t UewSoon = 1;
    std::int32_t UewHours = 4;
    std::int32_t UewHours2 = 2;
    std::int32_t UewToast = 1;  // a tray notification when reminders fire
    ScreenRect ScheRect;
};
