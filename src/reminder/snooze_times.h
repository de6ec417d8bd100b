#pragma once
#include "core/time_types.h"

// The snooze menu's choices, in its order: 5, 10, 15 and 30 minutes, 1 and 2
// hours, tomorrow at the same time of day.
constexpr int kSnoozeChoices = 7;
constexpr int kSnoozeTomorrow = 6;

// When a snooze chosen at now ends. Tomorrow is the same wall-clock time on
// the next local date, whatever the length of the day between. False for an
// unknown choice or a date the runtime cannot represent.
bool SnoozeUntil(Instant now, int choice, Instant& until);
