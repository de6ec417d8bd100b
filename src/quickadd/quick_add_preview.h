#pragma once
// What a quick-add line will save, on one line: "Dentist · Thu, Dec 10,
// 9:30 AM · reminder 15 min before", "Standup · every weekday from Dec 10 ·
// 10:00 AM", or the reason it saves nothing.
#include <string>

#include "core/clock.h"
#include "core/locale_names.h"
#include "platform/text_format.h"
#include "quickadd/quick_add.h"

std::string QuickAddPreview(const QuickAddResult& result, const Clock& clock, const TextFormat& format,
                            const LocaleNames& names);
