#pragma once
// An event from one line of English text ("Dentist tomorrow 9:30",
// "Standup every weekday at 10"). The words the line's dates, times, rule,
// end and reminder were read from are taken out; every other word stays in
// the title, in its order, so nothing is guessed. What the line leaves
// open takes the editor's values for a new event, and the event passes the
// editor's own checks before it is offered.
#include <memory>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/schedule_item.h"
#include "dialogs/schedule_model.h"

// How the locale writes a short date with numbers only.
enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

struct QuickAddResult {
    // What the line said, the editor's values for the rest: what the full
    // editor opens with.
    EditorFields fields;
    // The event, ready for the store but for its id; none when refused.
    std::unique_ptr<ScheduleItem> item;
    // Why the line makes no event, in the editor's words where it has them.
    std::string reason;
    bool remindSaid = false;  // the line named the reminder
};

QuickAddResult ParseQuickAdd(std::string_view line, const Clock& clock, DateOrder order);
