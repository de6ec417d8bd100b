#pragma once
#include <cstddef>
#include <list>
#include <string>
#include <string_view>

#include "platform/registry.h"

// The recently used sound and launch files of the event editor, stored as
// "SoundFiles" and "LaunchFiles" (REG_MULTI_SZ) under the per-user key.
// Most recent first. A list, so that moving an entry to the front keeps the
// address the editor's drop-down lists refer to.
using RecentFiles = std::list<std::string>;

constexpr std::size_t kMaxRecentFiles = 10;
// A stored value of more characters than this cannot be read and counts as
// absent.
constexpr std::size_t kRecentFilesBuffer = 2860;
// The longest path an event's sound or launch file can hold (read back at load
// into 260 characters); a longer entry is not taken.
constexpr std::size_t kMaxRecentPath = 259;

// The strings of a stored value, at most kMaxRecentFiles. The value is
// untrusted: it ends at an empty string or at the end of the data, a last
// string without its zero ends at the end of the data, and a string longer
// than kMaxRecentPath is passed over.
RecentFiles ParseRecentFiles(std::string_view data);
// The first kMaxRecentFiles entries, each with its zero, then one more zero.
std::string FormatRecentFiles(const RecentFiles& files);

// Reads both lists. An empty sound list gets the one entry installPath +
// "snd\clock.wav" when the installation folder is known and the path fits.
void LoadRecentFiles(Registry& registry, const std::string& installPath, RecentFiles& sounds,
                     RecentFiles& launches);
// Writes both lists; an empty list deletes its value. Failures are silent.
void SaveRecentFiles(Registry& registry, const RecentFiles& sounds, const RecentFiles& launches);
