// The month layout on up to twenty stored records of any bytes, with any
// exclusions, for any month asked for, then sized and clicked anywhere a
// window message can say. Recurring events sit exactly on the days the
// reference gives; nothing points outside the month's records.
#include <algorithm>
#include <memory>
#include <set>
#include <utility>

#include "calendar/month_layout.h"
#include "fuzz_support.h"
#include "support/occurrence_reference.h"

namespace {

struct Store final : EventSource {
    const EventList& Events() const override { return items; }
    const std::vector<Exclusion>& Exclusions() const override { return excluded; }
    EventList items;
    std::vector<Exclusion> excluded;
};

bool Owned(const MonthLayout& layout, const MonthEvent* e) {
    return std::any_of(layout.monthEvents.begin(), layout.monthEvents.end(),
                       [e](const MonthEvent& m) { return &m == e; });
}

void CheckLayout(const MonthLayout& layout, const Store& events) {
    if (layout.daysInMonth == 0) return;
    const long long monthDays = DaysFromCivil(layout.year, layout.month, 1);
    for (int day = 0; day < MonthLayout::kDaysTableSize; ++day) {
        int last = 0;
        for (int k = 0; k <= MonthLayout::kMaxLines; ++k) {
            const DaySlot& slot = layout.slots[day][k];
            if (slot.event == nullptr) continue;
            ORV_FUZZ_CHECK(day >= 1 && day <= layout.daysInMonth && k >= 1);
            ORV_FUZZ_CHECK(Owned(layout, slot.event) && slot.event->line <= k);
            const ScheduleFront& f = slot.event->item->front;
            ORV_FUZZ_CHECK(slot.excluded ==
                           events.IsExcluded(f.id, MakeDateKey(layout.year, layout.month, day), f.recurKind) ||
                           !IsRecurring(f.recurKind));
            last = k;
        }
        ORV_FUZZ_CHECK(layout.lastLine[day] == last);
    }
    for (const auto& owned : events.Events()) {
        const ScheduleItem& item = *owned;
        const ScheduleFront& f = item.front;
        const MonthEvent* placed = nullptr;
        for (const MonthEvent& e : layout.monthEvents)
            if (e.item == &item) placed = &e;
        if (placed == nullptr && !IsRecurring(f.recurKind)) continue;  // a bar finds no free line
        const bool shownKind = f.recurKind != 0 && f.recurKind < 150;
        if (placed != nullptr) ORV_FUZZ_CHECK(shownKind && placed->line >= 1 && placed->line <= MonthLayout::kMaxLines);
        // Each day of the month against the rule, the start and the end.
        const std::optional<long long> startDays = reference::LocalDays(f.startDate);
        const std::optional<long long> endDays = reference::LocalDays(f.endDate);
        for (int day = 1; day <= layout.daysInMonth; ++day) {
            const long long days = monthDays + day - 1;
            bool shown = false;
            for (int k = 1; k <= MonthLayout::kMaxLines; ++k)
                shown = shown || (placed != nullptr && layout.slots[day][k].event == placed);
            const bool inSpan = shownKind && startDays && days >= *startDays &&
                                (IsEndless(f) || (endDays && days <= *endDays));
            if (IsRecurring(f.recurKind)) {
                // Twenty records never fill a day: every occurrence has its line.
                ORV_FUZZ_CHECK(shown == (inSpan && reference::IsOccurrenceDay(f, *startDays, days)));
            } else {
                ORV_FUZZ_CHECK(shown == inSpan);  // a bar covers its whole span in the month
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    SelectZone(in.Byte());
    const int year = 1965 + in.U16() % 1040;  // either end of the representable years and beyond
    const int month = static_cast<std::int8_t>(in.Byte());
    const int count = in.Byte() % 21;
    Store events;
    for (int i = 0; i < count; ++i) {
        const std::string front = in.Bytes(ScheduleFront::kSize);
        auto item = std::make_unique<ScheduleItem>();
        item->front = ScheduleFront::Decode(reinterpret_cast<const std::uint8_t*>(front.data()), front.size());
        item->front.id = static_cast<std::uint32_t>(i + 1);
        item->title = in.Bytes(in.Byte() % 8);
        const std::uint8_t excluded = in.Byte();
        for (int b = 0; b < 3; ++b) {
            if (excluded & (1 << b)) events.excluded.push_back({MakeDateKey(year, month, in.Byte() % 32), item->front.id});
        }
        events.items.push_back(std::move(item));
    }

    MonthLayout layout(events);
    if (layout.SetupMonth(year, month)) {
        ORV_FUZZ_CHECK(CanRepresentMonth(year, month));
        ORV_FUZZ_CHECK(layout.daysInMonth == DaysInMonth(year, month) && layout.selectedDay == 0);
    } else {
        ORV_FUZZ_CHECK(!CanRepresentMonth(year, month) && layout.daysInMonth == 0);
    }
    CheckLayout(layout, events);

    // WM_SIZE carries 16-bit sizes, mouse messages 16-bit signed points.
    layout.SetClientSize(in.U16(), in.U16());
    while (!in.AtEnd()) {
        const int x = static_cast<std::int16_t>(in.U16());
        const int y = static_cast<std::int16_t>(in.U16());
        const int day = layout.DayFromPoint(x, y);
        ORV_FUZZ_CHECK(day >= 0 && day <= layout.daysInMonth);
        if (const DaySlot* slot = layout.SlotFromPoint(x, y)) {
            ORV_FUZZ_CHECK(day >= 1 && slot->event != nullptr && slot >= &layout.slots[day][1] &&
                           slot <= &layout.slots[day][MonthLayout::kMaxLines]);
        }
        layout.SelectAt(x, y);
        ORV_FUZZ_CHECK(layout.selectedDay >= 0 && layout.selectedDay <= layout.daysInMonth);
        ORV_FUZZ_CHECK(layout.selectedEvent == nullptr || Owned(layout, layout.selectedEvent));
        if (in.Byte() & 1) {
            layout.LayoutMonth(true);  // a store change: the selection survives where its event still is
            ORV_FUZZ_CHECK(layout.selectedEvent == nullptr || Owned(layout, layout.selectedEvent));
            CheckLayout(layout, events);
        }
    }
    return 0;
}
