#include "calendar/month_layout.h"

#include <algorithm>
#include <bit>

#include "core/calendar.h"
#include "core/local_zone.h"
#include "store/preferences.h"

// Where an event lies relative to the displayed month.
struct MonthLayout::Span {
    int firstDay = 1;
    int lastDay = 0;
    bool startsInMonth = false;
    bool endsInMonth = false;
    const RecurrenceDays* rule = nullptr;
    long long monthDays = 0;  // day 1 of the month
};

MonthMetrics::MonthMetrics(int dpi)
    : scale{dpi},
      margin(scale(6)),
      gridTop(scale(43)),
      headerTop(scale(45)),
      daysTop(scale(61)),
      capInset(scale(3)),
      numberInset(scale(4)),
      plusOffset(scale(16)),
      textLeft(scale(3)),
      textTop(scale(2)),
      textRightGap(scale(5)),
      textBottomGap(scale(3)),
      edge(scale(5)),
      minWidth(scale(kScheMinWidth)),
      minHeight(scale(kScheMinHeight)),
      defaultLineHeight(scale(17)),
      lineHeightPad(scale(4)) {}

bool MonthLayout::SetupMonth(int newYear, int newMonth) {
    if (!CanRepresentMonth(newYear, newMonth)) return false;
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
    // Only lines up to a day's last line were ever filled.
    for (int day = 0; day < kDaysTableSize; ++day) std::fill(slots[day], slots[day] + lastLine[day] + 1, DaySlot{});
    std::fill(std::begin(lastLine), std::end(lastLine), 0);
    std::fill(std::begin(takenLines_), std::end(takenLines_), 0u);
    fullDays_ = 0;
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
    Instant monthStart = 0;
    Instant nextStart = 0;
    if (!MonthBounds(monthStart, nextStart)) return;

    const long long monthDays = DaysFromCivil(year, month, 1);
    const long long nextDays = monthDays + daysInMonth;
    GatherExclusions();
    monthEvents.reserve(source_.Events().size());
    knownStarts_.resize(source_.Events().size());
    std::size_t index = 0;
    for (const auto& owned : source_.Events()) {
        const std::size_t at = index++;
        const ScheduleItem& item = *owned;
        const ScheduleFront& f = item.front;
        if (f.recurKind == 0 || f.recurKind >= 150) continue;  // never shown here
        const bool endless = IsEndless(f);
        if (f.startDate >= nextStart || (!endless && f.endDate < monthStart)) continue;

        // Local dates only where they can matter: no instant before the
        // month's first reads a day of it, and none a day after the next
        // month's first reads a day of this one, whatever the clock changes.
        Span span;
        span.monthDays = monthDays;
        const bool recurs = ClassifyKind(f.recurKind) != RecurClass::None;
        if (recurs || f.startDate >= monthStart) {
            const KnownStart& start = StartOf(at, item);
            if (!start.dated) continue;
            if (start.days >= nextDays) continue;  // local date after the month
            if (start.days >= monthDays) {
                span.firstDay = static_cast<int>(start.days - monthDays) + 1;
                span.startsInMonth = true;
            }
            span.rule = &start.rule;
        }
        span.lastDay = daysInMonth;
        long long endDays = 0;
        if (!endless && f.endDate < nextStart + kSecondsPerDay) {
            if (!LocalDaysOf(f.endDate, endDays)) continue;
            if (endDays >= monthDays && endDays < nextDays) {
                span.lastDay = static_cast<int>(endDays - monthDays) + 1;
                span.endsInMonth = true;
            }
        }
        // A bar needs one line free on all of its days, boxes one on any.
        const std::uint32_t days = span.firstDay > span.lastDay ? 0u
                                   : (~0u >> (31 - span.lastDay)) & (~0u << span.firstDay);
        const bool bar = ClassifyKind(f.recurKind) == RecurClass::None;
        if (bar ? (days & fullDays_) != 0 : (days & ~fullDays_) == 0) continue;
        PlaceEvent(item, span);
    }

    if (keepSelection && hadEvent) SelectEventById(keptId);
    for (int day = 1; day <= daysInMonth; ++day) lastLine[day] = std::bit_width(takenLines_[day]);
}

bool MonthLayout::MonthBounds(Instant& start, Instant& next) {
    // The time zone may have changed since the month was set up.
    KnownBounds& b = knownBounds_;
    const std::uint64_t zone = LocalTimeGeneration();
    if (b.year != year || b.month != month || b.zone != zone) {
        if (!LocalMonthBounds(year, month, b.start, b.next)) return false;
        b.year = year;
        b.month = month;
        b.zone = zone;
    }
    start = b.start;
    next = b.next;
    return true;
}

void MonthLayout::GatherExclusions() {
    monthExclusions_.clear();
    monthIdBits_ = 0;
    excludedIds_.clear();
    const DateKey first = MakeDateKey(year, month, 1);
    const DateKey last = MakeDateKey(year, month, daysInMonth);
    for (const Exclusion& e : source_.Exclusions()) {
        if (e.date >= first && e.date <= last) {
            monthExclusions_.emplace_back(e.eventId, static_cast<int>(e.date & 0xFF));
            monthIdBits_ |= std::uint64_t{1} << (e.eventId % 64);
        }
        excludedIds_.push_back(e.eventId);
    }
    std::sort(excludedIds_.begin(), excludedIds_.end());
}

std::uint32_t MonthLayout::ExcludedDays(const ScheduleFront& f) const {
    if (!IsRecurring(f.recurKind)) {
        // Excluded whole by any exclusion.
        return std::binary_search(excludedIds_.begin(), excludedIds_.end(), f.id) ? ~0u : 0u;
    }
    std::uint32_t days = 0;
    if ((monthIdBits_ >> (f.id % 64)) & 1u) {
        for (const auto& [id, day] : monthExclusions_)
            if (id == f.id) days |= 1u << day;
    }
    return days;
}

const MonthLayout::KnownStart& MonthLayout::StartOf(std::size_t index, const ScheduleItem& item) {
    KnownStart& known = knownStarts_[index];
    const std::uint64_t zone = LocalTimeGeneration();
    if (known.known && known.front == item.front && known.zone == zone) return known;
    const ScheduleFront& f = item.front;
    known.known = true;
    known.front = f;
    known.zone = zone;
    known.dated = LocalDaysOf(f.startDate, known.days);
    if (known.dated) known.rule = RecurrenceDays::FromDays(f.recurKind, f.recurPattern, f.recurInterval, known.days);
    return known;
}

void MonthLayout::Take(int day, int line) {
    takenLines_[day] |= 1u << (line - 1);
    if (takenLines_[day] == (1u << kMaxLines) - 1) fullDays_ |= 1u << day;
}

int MonthLayout::FreeLine(std::uint32_t taken) {
    const std::uint32_t free = ~taken & ((1u << kMaxLines) - 1);
    return free == 0 ? 0 : std::countr_zero(free) + 1;
}

void MonthLayout::PlaceEvent(const ScheduleItem& item, const Span& span) {
    const ScheduleFront& f = item.front;
    MonthEvent& record = monthEvents.emplace_back();
    record.item = &item;
    int lowest = 0;
    const std::uint32_t excludedDays = ExcludedDays(f);

    auto placeOn = [&](int day) {
        const int k = FreeLine(takenLines_[day]);
        if (k == 0) return;  // the day is full: this occurrence is dropped
        Take(day, k);
        DaySlot& slot = slots[day][k];
        slot.event = &record;
        slot.startsHere = true;
        slot.endsHere = true;
        slot.excluded = ((excludedDays >> day) & 1u) != 0;
        if (lowest == 0 || k < lowest) lowest = k;
    };

    if (ClassifyKind(f.recurKind) == RecurClass::None) {
        // One bar on the lowest line free on all of its days in this month.
        std::uint32_t taken = 0;
        for (int day = span.firstDay; day <= span.lastDay; ++day) taken |= takenLines_[day];
        const int k = span.firstDay <= span.lastDay ? FreeLine(taken) : 0;
        if (k != 0) {
            const bool excluded = ((excludedDays >> span.firstDay) & 1u) != 0;
            for (int day = span.firstDay; day <= span.lastDay; ++day) {
                slots[day][k] = DaySlot{&record, false, false, excluded};
                Take(day, k);
            }
            slots[span.firstDay][k].startsHere = span.startsInMonth;
            slots[span.lastDay][k].endsHere = span.endsInMonth;
            lowest = k;
        }
    } else {
        // A box on each occurrence day within the event's days of the month.
        const long long dayZero = span.monthDays - 1;
        span.rule->ForEachIn(dayZero + span.firstDay, dayZero + span.lastDay,
                       [&](long long days) { placeOn(static_cast<int>(days - dayZero)); });
    }

    if (lowest == 0) {
        monthEvents.pop_back();  // nothing refers to it
    } else {
        record.line = lowest;
        record.barColor = EventTitleColor(item.title, codePage_);
    }
}

Rgb EventTitleColor(std::string_view title, const TextCodec* codePage) {
    if (codePage != nullptr) {
        std::size_t replaced = 0;
        const std::string bytes = codePage->FromUtf8(title, replaced);
        if (replaced == 0) return TitleColor(bytes);
    }
    return TitleColor(title);
}

void MonthLayout::SetClientSize(int cx, int cy) {
    clientWidth = cx;
    clientHeight = cy;
    const MonthMetrics& m = metrics;
    gridWidth = cx - 2 * m.margin;
    gridHeight = cy - m.gridTop - m.margin;
    cellWidth = (cx - 2 * m.margin) / 7;
    cellHeight = (cy - m.daysTop - m.margin) / 6;
}

LayoutRect MonthLayout::CellRect(int day) const {
    return {metrics.margin + DayColumn(day) * cellWidth, metrics.daysTop + DayRow(day) * cellHeight, cellWidth,
            cellHeight};
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
    if (y < metrics.daysTop || cellWidth <= 0 || cellHeight <= 0) return 0;
    const int c = (x - metrics.margin) / cellWidth;  // truncates toward zero: x 0..5 is still column 0
    if (c < 0 || c > 6) return 0;
    const int r = (y - metrics.daysTop) / cellHeight;
    if (r > 5) return 0;
    const int d = 7 * r + c - firstWeekday + 1;
    return d >= 1 && d <= daysInMonth ? d : 0;
}

const DaySlot* MonthLayout::SlotFromPoint(int x, int y) const {
    const int pitch = lineHeight + 1;
    if (pitch <= 0 || cellHeight <= 0 || (cellHeight - 1) / pitch <= 0) return nullptr;
    const int d = DayFromPoint(x, y);
    if (d == 0) return nullptr;
    const int xIn = (x - metrics.margin) % cellWidth;
    const int yIn = (y - metrics.daysTop) % cellHeight;
    const int k = yIn / pitch;
    if (k > kMaxLines || yIn % pitch == pitch - 1) return nullptr;  // the gap under a line
    const DaySlot& slot = slots[d][k];
    if (slot.event == nullptr) return nullptr;
    // The cap's own line and the pixel inside it belong to no event: 5 and
    // cellWidth - 5 at 96 DPI.
    if (slot.startsHere && xIn <= metrics.capInset + 2) return nullptr;               // left of the start cap
    if (slot.endsHere && xIn > cellWidth - metrics.capInset - 3) return nullptr;      // right of the end cap
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
