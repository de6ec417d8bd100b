#pragma once
// A store of the realistic event mix with the forms every reader must get
// right (days missing in short months, last weekdays, weeks beginning on
// odd days) and some exclusions, for the checks by other iCalendar readers.
#include <memory>

#include "bench/event_mix.h"
#include "core/occurrence.h"
#include "portable/interop_fixture.h"

inline void FillSample(InteropStore& s) {
    EventList mix = MakeEventMix(300, 2026, 2, 8, 5545);
    const struct {
        std::uint8_t kind;
        std::uint16_t pattern;
        std::uint8_t interval;
        int day;
    } edges[] = {{90, 29, 1, 13}, {90, 30, 1, 1}, {90, 31, 3, 2}, {91, 4 << 4 | 5, 2, 1}, {120, 2 << 8 | 29, 1, 31},
                 {120, 2 << 8 | 30, 1, 3}, {121, 10 << 8 | 4 << 4 | 0, 1, 1}, {60, 0x41, 3, 4}, {60, 0x3E, 2, 7}};
    std::uint32_t id = 1000;
    for (const auto& e : edges) {
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = id++;
        item->front.startDate = static_cast<std::int32_t>(Local(2026, 2, e.day));
        item->front.endDate = item->front.startDate;
        item->front.startTime = 8 * 3600;
        item->front.endTime = 9 * 3600;
        item->front.recurKind = e.kind;
        item->front.recurPattern = e.pattern;
        item->front.recurInterval = e.interval;
        item->front.recurFlags = 1;
        item->title = "Edge " + std::to_string(item->front.id);
        mix.push_back(std::move(item));
    }
    for (auto& event : mix) {
        auto item = std::make_unique<ScheduleItem>(*event);
        s.store.SaveEvent(item, true, true);
    }
    for (const auto& event : s.store.Events()) {
        const ScheduleFront& f = event->front;
        Instant at = 0;
        if (IsRecurring(f.recurKind) && f.id % 3 == 0 &&
            FindOccurrence(*event, Local(2026, 9, 1), IsEndless(f) ? INT32_MAX : f.endDate, &at)) {
            LocalFields d;
            BreakDownLocal(at, d);
            s.store.ToggleExclusion(f.id, d.year, d.month, d.day, f.recurKind);
        }
    }
}

// The days of two years, from 2026-01-01.
constexpr int kSampleYear = 2026;
constexpr int kSampleDays = 730;
