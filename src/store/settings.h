#pragma once
#include <string>

#include "platform/desktop.h"
#include "platform/registry.h"
#include "store/event_store.h"
#include "store/preferences.h"

// Groups of values written together.
constexpr int kPreferenceGroup = 0;
constexpr int kExitGroup = 1;

// Reads every preference (defaults for what is missing) and the excluded
// occurrences into the store. False only when the per-user key cannot be opened.
bool LoadSettings(Registry& registry, const Desktop& desktop, const std::string& installPath, EventStore& store,
                  Preferences& prefs);

// The preference group, or the exit group ("ScheRect" and "EventExcluded").
// Failures are silent.
void SaveSettings(Registry& registry, int group, const Preferences& prefs, const EventStore& store);

// The desktop's wallpaper path and tile number; empty and 0 when unreadable.
void ReadDesktopWallpaper(Registry& registry, std::string& path, int& tile);
