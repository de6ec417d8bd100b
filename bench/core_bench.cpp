// Occurrence look-ups as the reminder schedule and the calendar window make
// them, over a full store of 361 events. A reminder rebuild asks for today's
// and tomorrow's occurrence of every event: 722 calls.
#include <benchmark/benchmark.h>

#include <climits>
#include <random>
#include <vector>

#include "core/calendar.h"
#include "core/occurrence.h"

namespace {

constexpr int kStoreSize = 361;

struct Fixture {
    Instant now = 0;
    Instant endOfToday = 0;
    Instant startOfTomorrow = 0;
    Instant endOfTomorrow = 0;
    std::vector<ScheduleItem> items;
};

// A mix resembling a real store: mostly one-off and weekly events, some daily,
// monthly and yearly ones, a few with odd intervals, spread over the rolling window.
Fixture MakeFixture() {
    Fixture fx;
    fx.now = MakeLocalTime(2026, 3, 5, 10, 17, 0, -1);
    fx.endOfToday = EndOfDay(fx.now);
    fx.startOfTomorrow = fx.endOfToday + 1;
    fx.endOfTomorrow = EndOfDay(fx.startOfTomorrow);
    std::mt19937 rng(361);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int kinds[] = {1, 1, 1, 1, 30, 30, 60, 60, 60, 90, 91, 120, 121};
    for (int i = 0; i < kStoreSize; ++i) {
        ScheduleItem item;
        ScheduleFront& f = item.front;
        f.id = static_cast<std::uint32_t>(i + 1);
        f.recurKind = static_cast<std::uint8_t>(kinds[i % std::size(kinds)]);
        f.recurInterval = static_cast<std::uint8_t>(pick(0, 3) == 0 ? pick(2, 12) : 1);
        const Instant startDay = MakeLocalTime(2025, 10 + pick(0, 10), pick(1, 28), 0, 0, 0, -1);
        f.startDate = static_cast<std::int32_t>(startDay);
        f.startTime = pick(6 * 4, 22 * 4) * 900;
        switch (ClassifyKind(f.recurKind)) {
            case RecurClass::Weekly:
                f.recurPattern = static_cast<std::uint16_t>(pick(1, 127));
                break;
            case RecurClass::Monthly:
            case RecurClass::Yearly: {
                const int low = f.recurKind % 30 == 1 ? pick(0, 4) << 4 | pick(0, 6) : pick(1, 31);
                const int month = ClassifyKind(f.recurKind) == RecurClass::Yearly ? pick(1, 12) : 0;
                f.recurPattern = static_cast<std::uint16_t>(month << 8 | low);
                break;
            }
            default:
                break;
        }
        f.recurFlags = static_cast<std::uint8_t>(f.recurKind >= 30 && pick(0, 1) == 0 ? 1 : 0);
        const int days = f.recurKind >= 30 ? pick(30, 400) : pick(0, 3);
        f.endDate = static_cast<std::int32_t>(EndOfDay(startDay + days * kSecondsPerDay));
        fx.items.push_back(item);
    }
    return fx;
}

const Fixture& TheFixture() {
    static const Fixture fx = MakeFixture();
    return fx;
}

void BM_FindOccurrenceToday(benchmark::State& state) {
    const Fixture& fx = TheFixture();
    std::size_t i = 0;
    for (auto _ : state) {
        Instant start = 0;
        benchmark::DoNotOptimize(FindOccurrence(fx.items[i], fx.now, fx.endOfToday, &start));
        benchmark::DoNotOptimize(start);
        i = (i + 1) % fx.items.size();
    }
}
BENCHMARK(BM_FindOccurrenceToday);

void BM_FindOccurrenceTomorrow(benchmark::State& state) {
    const Fixture& fx = TheFixture();
    std::size_t i = 0;
    for (auto _ : state) {
        Instant start = 0;
        benchmark::DoNotOptimize(FindOccurrence(fx.items[i], fx.startOfTomorrow, fx.endOfTomorrow, &start));
        benchmark::DoNotOptimize(start);
        i = (i + 1) % fx.items.size();
    }
}
BENCHMARK(BM_FindOccurrenceTomorrow);

// The calendar window's "next occurrence": open-ended for endless events.
void BM_FindOccurrenceNext(benchmark::State& state) {
    const Fixture& fx = TheFixture();
    std::size_t i = 0;
    for (auto _ : state) {
        const ScheduleFront& f = fx.items[i].front;
        const Instant to = IsEndless(f) ? INT32_MAX : f.endDate;
        Instant start = 0;
        benchmark::DoNotOptimize(FindOccurrence(fx.items[i], fx.now, to, &start));
        benchmark::DoNotOptimize(start);
        i = (i + 1) % fx.items.size();
    }
}
BENCHMARK(BM_FindOccurrenceNext);

void BM_ReminderRebuild(benchmark::State& state) {
    const Fixture& fx = TheFixture();
    int found = 0;
    for (auto _ : state) {
        for (const ScheduleItem& item : fx.items) {
            Instant start = 0;
            found += FindOccurrence(item, fx.now, fx.endOfToday, &start);
            found += FindOccurrence(item, fx.startOfTomorrow, fx.endOfTomorrow, &start);
            benchmark::DoNotOptimize(start);
        }
    }
    state.counters["calls"] = 2 * kStoreSize;
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReminderRebuild)->Unit(benchmark::kMicrosecond);

void BM_MakeLocalTime(benchmark::State& state) {
    int day = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeLocalTime(2026, 1, 1 + day, 9, 30, 0, -1));
        day = (day + 1) % 365;
    }
}
BENCHMARK(BM_MakeLocalTime);

}  // namespace

BENCHMARK_MAIN();
