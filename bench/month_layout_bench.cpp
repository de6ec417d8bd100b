// Rebuilding the calendar's month from a full store of 361 events, as after
// every store change and month change.
#include <benchmark/benchmark.h>

#include <memory>

#include "calendar/month_layout.h"
#include "core/calendar.h"
#include "event_mix.h"

namespace {

constexpr int kStoreSize = 361;

struct Store final : EventSource {
    const EventList& Events() const override { return items; }
    const std::vector<Exclusion>& Exclusions() const override { return excluded; }
    EventList items;
    std::vector<Exclusion> excluded;
};

// About a hundred excluded occurrences over the year, as a store kept for
// years gathers them.
std::vector<Exclusion> SomeExclusions(const EventList& items) {
    std::vector<Exclusion> all;
    for (const auto& item : items) {
        const std::uint32_t id = item->front.id;
        for (int day = 0; day < 365; ++day) {
            if ((id * 7 + static_cast<std::uint32_t>(day)) % 1321 != 0) continue;
            int y = 0, m = 0, d = 0;
            CivilFromDays(DaysFromCivil(2026, 1, 1) + day, y, m, d);
            all.push_back({MakeDateKey(y, m, d), id});
        }
    }
    return all;
}

void BM_LayoutMonth(benchmark::State& state) {
    Store store;
    store.items = MakeEventMix(kStoreSize, 2026, 1, 12);
    store.excluded = SomeExclusions(store.items);
    MonthLayout layout(store);
    layout.SetupMonth(2026, 6);
    layout.selectedDay = 10;
    for (auto _ : state) {
        layout.LayoutMonth(true);
        benchmark::DoNotOptimize(layout.lastLine[10]);
    }
    long long placed = 0;
    for (int d = 1; d <= layout.daysInMonth; ++d) {
        for (int k = 1; k <= MonthLayout::kMaxLines; ++k) placed += layout.slots[d][k].event != nullptr;
    }
    state.counters["events"] = kStoreSize;
    state.counters["exclusions"] = static_cast<double>(store.excluded.size());
    state.counters["shown"] = static_cast<double>(layout.monthEvents.size());
    state.counters["slots"] = static_cast<double>(placed);
}
BENCHMARK(BM_LayoutMonth)->Unit(benchmark::kMicrosecond);

void BM_SetupNextMonth(benchmark::State& state) {
    Store store;
    store.items = MakeEventMix(kStoreSize, 2026, 1, 12);
    MonthLayout layout(store);
    int index = 0;
    for (auto _ : state) {
        layout.SetupMonth(2026, index % 12 + 1);
        ++index;
        benchmark::DoNotOptimize(layout.monthEvents.size());
    }
}
BENCHMARK(BM_SetupNextMonth)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
