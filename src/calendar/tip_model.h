#pragma once
// What the hover tip says and where it goes, without its window.
#include <array>
#include <string>

#include "core/locale_names.h"
#include "core/schedule_item.h"
#include "core/time_types.h"
#include "platform/desktop.h"
#include "platform/text_format.h"

// Title, date range, rule, time range, and the past-event notice or nothing.
using TipLines = std::array<std::string, 5>;

TipLines MakeTipLines(const ScheduleItem& item, Instant now, const TextFormat& format, const LocaleNames& names);

// The rectangle moved back into the work area where it sticks out, the left
// and top edges first.
ScreenRect PlaceTip(ScreenRect rect, const ScreenRect& workArea);
