#pragma once
#include <string>

#include "core/time_types.h"

// The local date of an instant in the user's short date format; empty when
// it cannot be broken down or formatted.
std::string FormatShortDate(Instant t);

// Its local time of day in the user's format, without seconds; empty as above.
std::string FormatShortTime(Instant t);
