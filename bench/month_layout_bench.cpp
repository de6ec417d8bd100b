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
    bool IsExcluded(std::uint32_t id, DateKey date, std::uint8_t) const override {
        return (id + date) % 97 == 0;  // a few exclusions, looked up like the real ones
    }
    EventList items;
};

void BM_LayoutMonth(benchmark::State& state) {
    Store store;
    store.items = MakeEventMix(kStoreSize, 2026, 1, 12);
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
