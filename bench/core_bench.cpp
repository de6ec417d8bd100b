// Occurrence look-ups as the reminder schedule and the calendar window make
// them, over a full store of 361 events. A reminder rebuild asks for today's
// and tomorrow's occurrence of every event: 722 calls.
#include <benchmark/benchmark.h>

#include <climits>
#include <utility>
#include <vector>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "event_mix.h"

namespace {

constexpr int kStoreSize = 361;

struct Fixture {
    Instant now = 0;
    Instant endOfToday = 0;
    Instant startOfTomorrow = 0;
    Instant endOfTomorrow = 0;
    EventList store;
    std::vector<const ScheduleItem*> items;
};

Fixture MakeFixture() {
    Fixture fx;
    fx.now = MakeLocalTime(2026, 3, 5, 10, 17, 0);
    fx.endOfToday = EndOfDay(fx.now);
    fx.startOfTomorrow = fx.endOfToday + 1;
    fx.endOfTomorrow = EndOfDay(fx.startOfTomorrow);
    fx.store = MakeEventMix(kStoreSize, 2025, 10, 11);
    for (const auto& item : fx.store) fx.items.push_back(item.get());
    return fx;
}

const Fixture& TheFixture() {
    static const Fixture fx = MakeFixture();
    return fx;
}

// One look-up per iteration, cycling through the store; window gives
// (from, to) for an event.
template <class Window>
void LookUps(benchmark::State& state, Window window) {
    const Fixture& fx = TheFixture();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto [from, to] = window(fx, *fx.items[i]);
        Instant start = 0;
        benchmark::DoNotOptimize(FindOccurrence(*fx.items[i], from, to, &start));
        benchmark::DoNotOptimize(start);
        i = (i + 1) % fx.items.size();
    }
}

void BM_FindOccurrenceToday(benchmark::State& state) {
    LookUps(state, [](const Fixture& fx, const ScheduleItem&) { return std::pair{fx.now, fx.endOfToday}; });
}
BENCHMARK(BM_FindOccurrenceToday);

void BM_FindOccurrenceTomorrow(benchmark::State& state) {
    LookUps(state, [](const Fixture& fx, const ScheduleItem&) { return std::pair{fx.startOfTomorrow, fx.endOfTomorrow}; });
}
BENCHMARK(BM_FindOccurrenceTomorrow);

// The calendar window's "next occurrence": open-ended for endless events.
void BM_FindOccurrenceNext(benchmark::State& state) {
    LookUps(state, [](const Fixture& fx, const ScheduleItem& item) {
        return std::pair{fx.now, IsEndless(item.front) ? Instant{INT32_MAX} : Instant{item.front.endDate}};
    });
}
BENCHMARK(BM_FindOccurrenceNext);

void BM_ReminderRebuild(benchmark::State& state) {
    const Fixture& fx = TheFixture();
    int found = 0;
    for (auto _ : state) {
        for (const ScheduleItem* item : fx.items) {
            Instant start = 0;
            found += FindOccurrence(*item, fx.now, fx.endOfToday, &start);
            found += FindOccurrence(*item, fx.startOfTomorrow, fx.endOfTomorrow, &start);
            benchmark::DoNotOptimize(start);
        }
    }
    state.counters["calls"] = 2 * kStoreSize;
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReminderRebuild)->Unit(benchmark::kMicrosecond);

// Rules the store can hold that reach far: every 200 or 255 years, every
// 250 months, every 255 days without end, asked for their next occurrence
// up to the last instant the calendar reads from years up to 2105. Such
// searches read the zone cache's spans far apart.
void BM_FindOccurrenceFarAhead(benchmark::State& state) {
    struct Rule {
        std::uint8_t kind;
        std::uint16_t pattern;
        std::uint8_t interval;
    };
    const Rule rules[] = {{kKindYearlyDate, 3 << 8 | 29, 200}, {kKindYearlyNth, 10 << 8 | 0x40, 255},
                          {kKindMonthlyDay, 31, 250},          {kKindDaily, 0, 255},
                          {kKindYearlyDate, 2 << 8 | 29, 255}, {kKindMonthlyNth, 0x16, 250}};
    std::vector<ScheduleItem> items;
    for (const Rule& r : rules) {
        ScheduleItem item;
        item.front.recurKind = r.kind;
        item.front.recurPattern = r.pattern;
        item.front.recurInterval = r.interval;
        item.front.recurFlags = 1;
        item.front.startDate = static_cast<std::uint32_t>(MakeLocalTime(2026, 3, 1, 0, 0, 0));
        item.front.endDate = static_cast<std::uint32_t>(EndOfDay(item.front.startDate));
        item.front.startTime = 9 * 3600;
        items.push_back(item);
    }
    // Asked from every seventh year to 2105, as a mix of queries is.
    std::vector<Instant> froms;
    for (int year = 2027; year < 2106; year += 7) froms.push_back(MakeLocalTime(year, 1, 1, 0, 0, 0));
    for (auto _ : state)
        for (Instant from : froms)
            for (const ScheduleItem& item : items) {
                Instant at = 0;
                benchmark::DoNotOptimize(FindOccurrence(item, from, kLatestInstant, &at));
                benchmark::DoNotOptimize(at);
            }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(items.size() * froms.size()));
}
BENCHMARK(BM_FindOccurrenceFarAhead)->Unit(benchmark::kMicrosecond);

void BM_MakeLocalTime(benchmark::State& state) {
    int day = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeLocalTime(2026, 1, 1 + day, 9, 30, 0));
        day = (day + 1) % 365;
    }
}
BENCHMARK(BM_MakeLocalTime);

}  // namespace

BENCHMARK_MAIN();
