#pragma once
// What a screen reader says for the upcoming-events window's rows and their
// buttons, read from the rows the window paints.
#include <string>

#include "core/time_types.h"
#include "upcoming/due_list_model.h"

// The event's title: a row's text is its title followed by " (when)".
std::string DueRowTitle(const DueRow& row);
// "Dentist, 9:00 AM, begins in 25 minutes", "..., begun", "Dentist,
// 12/8/2026 9:00 AM, missed".
std::string DueRowSpeech(const DueRow& row, Instant now);
