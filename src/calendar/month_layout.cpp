#include "calendar/month_layout.h"

#include <algorithm>

#include "core/calendar.h"

namespace {

bool MonthBounds(int year, int month, Instant& start, Instant& next) {
    if (month < 1 || month > 12) return false;
    const int nextYear = month == 12 ? year + 1 : year;
    const int nextMonth = month == 12 ? 1 : month + 1;
    return TryMakeLocalTime(year, month, 1, 0, 0, 0, start) && TryMakeLocalTime(nextYear, nextMonth, 1, 0, 0, 0, next);
}

// The stored rule's day in the displayed month, lowered to its length; false
// when the stored value names no day (day 0, n-th index above 4, weekday above 6).
bool RuleDay(const ScheduleFront& f, bool nthWeekday, int year, int month, int& day) {
    const int low = f.recurPattern & 0xFF;
    if (nthWeekday) {
        if (!NthWeekdayOfMonth(year, month, (low >> 4) + 1, (low & 15) + 1, day)) return false;
    } else {
        if (low == 0) return false;
        day = low;
    }
    day = std::min(day, DaysInMonth(year, month));
    return true;
}

}  // namespace

// Where an event lies relative to the displayed month.
struct MonthLayout::Span {
    int firstDay = 1;
    int lastDay = 0;
    bool startsInMonth = false;
    bool endsInMonth = false;
    LocalFields start;
    long long startDays = 0;  // the start date as a day count
};

bool MonthLayout::CanShowMonth(int year, int month) { return CanRepresentMonth(year, month); }

bool MonthLayout::SetupMonth(int newYear, int newMonth) {
    Instant start = 0;
    Instant next = 0;
    if (!MonthBounds(newYear, newMonth, start, next)) return false;
    year = newYear;
    month = newMonth;
    firstWeekday = WeekdayIndexOfDays(DaysFromCivil(year, month, 1));
    daysInMonth = DaysInMonth(year, month);
    selectedDay = 0;
    LayoutMonth(false);
    return true;
}

void MonthLayout::ClearMonthEvents() {
    // Nothing is left pointing at a freed record.
    selectedEvent = nullptr;
    for (auto& day : slots) std::fill(std::begin(day), std::end(day), DaySlot{});
    std::fill(std::begin(lastLine), std::end(lastLine), 0);
    monthEvents.clear();
}

void MonthLayout::LayoutMonth(bool keepSelection) {
    const bool hadEvent = selectedEvent != nullptr;
    const std::uint32_t keptId = selectedId;
    selectedEvent = nullptr;
    selectedId = 0;
    selectedExcluded = false;
    ClearMonthEvents();
    if (daysInMonth == 0) return;
    // Computed afresh: the time zone may have changed since the month was set up.
    Instant monthStart = 0;
    Instant nextStart = 0;
    if (!MonthBounds(year, month, monthStart, nextStart)) return;

    const long long monthDays = DaysFromCivil(year, month, 1);
    for (const auto& owned : source_.Events()) {
        const ScheduleItem& item = *owned;
        const ScheduleFront& f = item.front;
        if (f.recurKind == 0 || f.recurKind >= 150) continue;  // never shown here
        const bool endless = IsEndless(f);
        if (f.startDate >= nextStart || (!endless && f.endDate < monthStart)) continue;

        Span span;
        if (!BreakDownLocal(f.startDate, span.start)) continue;
        span.startDays = DaysFromCivil(span.start.year, span.start.month, span.start.day);
        if (span.startDays >= monthDays + daysInMonth) continue;
        if (span.start.year == year && span.start.month == month) {
            span.firstDay = span.start.day;
            span.startsInMonth = true;
        }
        span.lastDay = daysInMonth;
        if (!endless) {
            LocalFields end;
            if (!BreakDownLocal(f.endDate, end)) continue;
            if (end.year == year && end.month == month) {
                span.lastDay = end.day;
                span.endsInMonth = true;
            }
        }
        PlaceEvent(item, span);
    }

    if (keepSelection && hadEvent) SelectEventById(keptId);
    for (int day = 1; day <= daysInMonth; ++day) {
        for (int k = kMaxLines; k >= 1; --k) {
            if (slots[day][k].event != nullptr) {
                lastLine[day] = k;
                break;
            }
        }
    }
}

int MonthLayout::FreeLine(int day) const {
    for (int k = 1; k <= kMaxLines; ++k) {
        if (slots[day][k].event == nullptr) return k;
    }
    return 0;
}

void MonthLayout::PlaceEvent(const ScheduleItem& item, const Span& span) {
    const ScheduleFront& f = item.front;
    MonthEvent& record = monthEvents.emplace_back();
    record.item = &item;
    record.barColor = TitleColor(item.title);
    record.textColor = 0;
    int lowest = 0;

    auto placeOn = [&](int day) {
        const int k = FreeLine(day);
        if (k == 0) return;  // the day is full: this occurrence is dropped
        DaySlot& slot = slots[day][k];
        slot.event = &record;
        slot.startsHere = true;
        slot.endsHere = true;
        slot.excluded = source_.IsExcluded(f.id, MakeDateKey(year, month, day), f.recurKind);
        if (lowest == 0 || k < lowest) lowest = k;
    };

    const long long interval = f.recurInterval == 0 ? 1 : f.recurInterval;
    const long long monthDays = DaysFromCivil(year, month, 1);
    switch (ClassifyKind(f.recurKind)) {
        case RecurClass::None: {
            // One bar on one line across all of its days in this month.
            for (int k = 1; k <= kMaxLines && span.firstDay <= span.lastDay; ++k) {
                bool free = true;
                for (int day = span.firstDay; day <= span.lastDay && free; ++day) free = slots[day][k].event == nullptr;
                if (!free) continue;
                const bool excluded = source_.IsExcluded(f.id, MakeDateKey(year, month, span.firstDay), f.recurKind);
                for (int day = span.firstDay; day <= span.lastDay; ++day) {
                    slots[day][k] = DaySlot{&record, false, false, excluded};
                }
                slots[span.firstDay][k].startsHere = span.startsInMonth;
                slots[span.lastDay][k].endsHere = span.endsInMonth;
                lowest = k;
                break;
            }
            break;
        }
        case RecurClass::Daily:
            // Every interval-th calendar day from the start date; daylight
            // saving does not stretch the count.
            for (int day = span.firstDay; day <= span.lastDay; ++day) {
                if ((monthDays + day - 1 - span.startDays) % interval == 0) placeOn(day);
            }
            break;
        case RecurClass::Weekly: {
            // Weeks are seven-day blocks beginning on the start date's
            // weekday; block 0 holds the start date, every interval-th is active.
            const int mask = f.recurPattern & 0x7F;
            for (int day = span.firstDay; day <= span.lastDay; ++day) {
                const long long days = monthDays + day - 1;
                if ((mask & (1 << WeekdayIndexOfDays(days))) == 0) continue;
                if ((days - span.startDays) / 7 % interval == 0) placeOn(day);
            }
            break;
        }
        case RecurClass::Monthly: {
            const long long months = (year - span.start.year) * 12LL + (month - span.start.month);
            int day = 0;
            if (months % interval == 0 && RuleDay(f, f.recurKind == kKindMonthlyNth, year, month, day) &&
                day >= span.firstDay && day <= span.lastDay) {
                placeOn(day);
            }
            break;
        }
        case RecurClass::Yearly: {
            int day = 0;
            if ((f.recurPattern >> 8) == month && (year - span.start.year) % interval == 0 &&
                RuleDay(f, f.recurKind == kKindYearlyNth, year, month, day) && day >= span.firstDay &&
                day <= span.lastDay) {
                placeOn(day);
            }
            break;
        }
    }

    if (lowest == 0) {
        monthEvents.pop_back();  // nothing refers to it
    } else {
        record.line = lowest;
    }
}

void MonthLayout::SetClientSize(int cx, int cy) {
    clientWidth = cx;
    clientHeight = cy;
    gridWidth = cx - 12;
    gridHeight = cy - 49;
    cellWidth = (cx - 12) / 7;
    cellHeight = (cy - 67) / 6;
}

LayoutRect MonthLayout::CellRect(int day) const {
    return {kGridLeft + DayColumn(day) * cellWidth, kDaysTop + DayRow(day) * cellHeight, cellWidth, cellHeight};
}

LayoutRect MonthLayout::LineRect(int day, int line) const {
    const LayoutRect cell = CellRect(day);
    return {cell.x, cell.y + line * (lineHeight + 1), cell.width, lineHeight};
}

int MonthLayout::VisibleLines() const {
    const int pitch = lineHeight + 1;
    if (pitch <= 0 || cellHeight <= 1) return 0;
    return std::min(kMaxLines, (cellHeight - 1) / pitch);
}

int MonthLayout::DayFromPoint(int x, int y) const {
    // A window shrunk below one pixel per cell has no days to hit.
    if (y < kDaysTop || cellWidth <= 0 || cellHeight <= 0) return 0;
    const int c = (x - kGridLeft) / cellWidth;  // truncates toward zero: x 0..5 is still column 0
    if (c < 0 || c > 6) return 0;
    const int r = (y - kDaysTop) / cellHeight;
    if (r > 5) return 0;
    const int d = 7 * r + c - firstWeekday + 1;
    return d >= 1 && d <= daysInMonth ? d : 0;
}

const DaySlot* MonthLayout::SlotFromPoint(int x, int y) const {
    const int pitch = lineHeight + 1;
    if (pitch <= 0 || cellHeight <= 0 || (cellHeight - 1) / pitch <= 0) return nullptr;
    const int d = DayFromPoint(x, y);
    if (d == 0) return nullptr;
    const int xIn = (x - kGridLeft) % cellWidth;
    const int yIn = (y - kDaysTop) % cellHeight;
    const int k = yIn / pitch;
    if (k > kMaxLines || yIn % pitch == pitch - 1) return nullptr;  // the gap under a line
    const DaySlot& slot = slots[d][k];
    if (slot.event == nullptr) return nullptr;
    if (slot.startsHere && xIn <= 5) return nullptr;               // left of the start cap
    if (slot.endsHere && xIn > cellWidth - 6) return nullptr;      // right of the end cap
    return &slot;
}

bool MonthLayout::SelectAt(int x, int y) {
    const int d = DayFromPoint(x, y);
    if (d == 0) {
        if (selectedDay <= 0 && selectedEvent == nullptr) return false;
        selectedDay = 0;
        selectedEvent = nullptr;
        selectedId = 0;
        selectedExcluded = false;
        return true;
    }
    if (const DaySlot* slot = SlotFromPoint(x, y)) {
        if (d == selectedDay && slot->event == selectedEvent) return false;
        selectedDay = d;
        selectedEvent = slot->event;
        selectedId = slot->event->item->front.id;
        selectedExcluded = slot->excluded;
        return true;
    }
    if (d == selectedDay && selectedEvent == nullptr) return false;
    selectedDay = d;
    selectedEvent = nullptr;
    selectedId = 0;
    selectedExcluded = false;
    return true;
}

bool MonthLayout::SelectEventById(std::uint32_t id) {
    if (selectedDay <= 0 || selectedDay >= kDaysTableSize) return false;
    for (int k = 1; k <= kMaxLines; ++k) {
        const DaySlot& slot = slots[selectedDay][k];
        if (slot.event != nullptr && slot.event->item->front.id == id) {
            selectedEvent = slot.event;
            selectedId = id;
            selectedExcluded = slot.excluded;
            return true;
        }
    }
    return false;
}

void MonthLayout::SelectDay(int day) {
    selectedDay = day;
    selectedEvent = nullptr;
    selectedId = 0;
    selectedExcluded = false;
}

void MonthLayout::MoveSelectedDay(int delta) {
    int day = selectedDay + delta;
    if (day <= 0) day = daysInMonth;
    if (day > daysInMonth) day = 1;
    SelectDay(day);
}

bool MonthLayout::ClearEventSelection() {
    if (selectedEvent == nullptr) return false;
    SelectDay(selectedDay);
    return true;
}

bool MonthLayout::SetToday(int year, int month, int day) {
    if (todayYear == year && todayMonth == month && todayDay == day) return false;
    todayYear = year;
    todayMonth = month;
    todayDay = day;
    return true;
}

std::string MonthTitle(const LocaleNames& names, int year, int month) {
    if (month < 1 || month > 12) return {};
    const auto m = static_cast<std::size_t>(month - 1);
    std::string text = names.MonthNames[m].size() > 4 ? names.ShortMonthNames[m] : names.MonthNames[m];
    return text + ' ' + std::to_string(year);
}
