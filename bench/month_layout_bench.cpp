// Rebuilding the calendar's month from a full store of 361 events, as after
// every store change and month change.
#include <benchmark/benchmark.h>

#include <iterator>
#include <memory>
#include <random>

#include "calendar/month_layout.h"
#include "core/calendar.h"

namespace {

constexpr int kStoreSize = 361;

struct Store final : EventSource {
    const EventList& Events() const override { return items; }
    bool IsExcluded(std::uint32_t id, DateKey date, std::uint8_t) const override {
        return (id + date) % 97 == 0;  // a few exclusions, looked up like the real ones
    }
    EventList items;
};

template <class Pick>
int NthPattern(Pick& pick) {
    return pick(0, 4) << 4 | pick(0, 6);
}

// Mostly one-off and weekly events, some daily, monthly and yearly ones, over
// the rolling window of June 2026, ordered by time of day as the store keeps them.
void Fill(Store& store) {
    std::mt19937 rng(361);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const std::uint8_t kinds[] = {1, 1, 1, 1, 1, 30, 60, 60, 60, 90, 91, 120, 121};
    for (int i = 0; i < kStoreSize; ++i) {
        auto item = std::make_unique<ScheduleItem>();
        ScheduleFront& f = item->front;
        f.id = static_cast<std::uint32_t>(i + 1);
        f.recurKind = kinds[i % std::size(kinds)];
        const int month = pick(1, 12);
        const Instant startDay = MakeLocalTime(2026, month, pick(1, 28), 0, 0, 0, -1);
        f.startDate = static_cast<std::int32_t>(startDay);
        f.startTime = pick(6 * 4, 22 * 4) * 900;
        f.recurInterval = static_cast<std::uint8_t>(pick(0, 3) == 0 ? pick(2, 4) : 1);
        switch (ClassifyKind(f.recurKind)) {
            case RecurClass::Weekly:
                f.recurPattern = static_cast<std::uint16_t>(1 << pick(0, 6) | (pick(0, 2) == 0 ? 0x3E : 0));
                break;
            case RecurClass::Monthly:
                f.recurPattern = static_cast<std::uint16_t>(f.recurKind == 91 ? NthPattern(pick) : pick(1, 31));
                break;
            case RecurClass::Yearly:
                f.recurPattern = static_cast<std::uint16_t>(pick(1, 12) << 8 |
                                                            (f.recurKind == 121 ? NthPattern(pick) : pick(1, 31)));
                break;
            default:
                break;
        }
        f.recurFlags = static_cast<std::uint8_t>(f.recurKind >= 30 && pick(0, 1) == 0 ? 1 : 0);
        const int length = f.recurKind >= 30 ? pick(30, 300) : pick(0, 3);
        f.endDate = static_cast<std::int32_t>(EndOfDay(startDay + length * kSecondsPerDay));
        item->title = "Event " + std::to_string(i);
        auto pos = store.items.begin();
        while (pos != store.items.end() && (*pos)->front.startTime <= f.startTime) ++pos;
        store.items.insert(pos, std::move(item));
    }
}

void BM_LayoutMonth(benchmark::State& state) {
    Store store;
    Fill(store);
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
    Fill(store);
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
