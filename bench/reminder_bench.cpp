// The reminder check over a full store of 361 events: a rebuild asks for
// today's and tomorrow's occurrence of every event (722 look-ups), then walks
// the records; a check within the day only walks them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <iterator>
#include <memory>
#include <random>

#include "core/calendar.h"
#include "reminder/reminder_scheduler.h"

namespace {

constexpr int kStoreSize = 361;

struct FixedClock final : Clock {
    Instant now = 0;
    Instant Now() const override { return now; }
};

struct NoTimer final : ReminderTimer {
    void Set(std::uint32_t milliseconds) override { benchmark::DoNotOptimize(milliseconds); }
    void Kill() override {}
};

struct NoActions final : ReminderActions {
    void PlaySoundFile(const std::string&) override {}
    bool FileExists(const std::string&) override { return false; }
    void OpenFile(const std::string&) override {}
};

struct OpenWindow final : UpcomingLink {
    bool IsOpen() const override { return true; }
    void Open() override {}
    void Send(std::uintptr_t, PendingReminder* record) override { benchmark::DoNotOptimize(record); }
};

struct Store final : EventSource {
    const EventList& Events() const override { return items; }
    bool IsExcluded(std::uint32_t, DateKey, std::uint8_t) const override { return false; }
    EventList items;
};

// Mostly one-off and weekly events, some daily, monthly and yearly ones,
// spread over the rolling window and ordered by time of day as the store keeps them.
void Fill(Store& store) {
    std::mt19937 rng(361);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const std::uint8_t kinds[] = {1, 1, 1, 1, 30, 30, 60, 60, 60, 90, 91, 120, 121};
    for (int i = 0; i < kStoreSize; ++i) {
        auto item = std::make_unique<ScheduleItem>();
        ScheduleFront& f = item->front;
        f.id = static_cast<std::uint32_t>(i + 1);
        f.recurKind = kinds[i % std::size(kinds)];
        const Instant startDay = MakeLocalTime(2026, 1 + pick(0, 5), pick(1, 28), 0, 0, 0, -1);
        f.startDate = static_cast<std::int32_t>(startDay);
        f.startTime = pick(6 * 4, 22 * 4) * 900;
        switch (ClassifyKind(f.recurKind)) {
            case RecurClass::Weekly:
                f.recurPattern = static_cast<std::uint16_t>(pick(1, 127));
                break;
            case RecurClass::Monthly:
                f.recurPattern = static_cast<std::uint16_t>(f.recurKind == 91 ? pick(0, 4) << 4 | pick(0, 6) : pick(1, 31));
                break;
            case RecurClass::Yearly:
                f.recurPattern = static_cast<std::uint16_t>(pick(1, 12) << 8 |
                                                            (f.recurKind == 121 ? pick(0, 4) << 4 | pick(0, 6) : pick(1, 31)));
                break;
            default:
                break;
        }
        f.recurFlags = static_cast<std::uint8_t>(f.recurKind >= 30 ? 1 : 0);
        f.endDate = static_cast<std::int32_t>(EndOfDay(startDay + (f.recurKind >= 30 ? 200 : 1) * kSecondsPerDay));
        item->actions = kActionPlaySound;
        item->remindMinutes = static_cast<std::int16_t>(pick(0, 60));
        item->title = "Event";
        item->soundfile = "chime.wav";
        auto pos = store.items.begin();
        while (pos != store.items.end() && (*pos)->front.startTime <= f.startTime) ++pos;
        store.items.insert(pos, std::move(item));
    }
}

struct Rig {
    Rig() {
        Fill(store);
        clock.now = MakeLocalTime(2026, 6, 10, 10, 17, 0, -1);
    }
    Store store;
    Preferences prefs;
    FixedClock clock;
    NoTimer timer;
    NoActions actions;
    OpenWindow upcoming;
    ReminderScheduler scheduler{store, prefs, clock, timer, actions, upcoming};
};

void BM_RebuildAndCheck(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        rig.scheduler.StartSchedule();
        benchmark::DoNotOptimize(rig.scheduler.Pending().size());
    }
    state.counters["events"] = kStoreSize;
    state.counters["records"] = static_cast<double>(rig.scheduler.Pending().size());
}
BENCHMARK(BM_RebuildAndCheck)->Unit(benchmark::kMicrosecond);

void BM_CheckWithinTheDay(benchmark::State& state) {
    Rig rig;
    rig.scheduler.StartSchedule();
    for (auto _ : state) {
        rig.scheduler.CheckReminders(rig.clock.now, false);
        benchmark::DoNotOptimize(rig.scheduler.Pending().size());
    }
    state.counters["records"] = static_cast<double>(rig.scheduler.Pending().size());
}
BENCHMARK(BM_CheckWithinTheDay)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
