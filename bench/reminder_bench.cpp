// The reminder check over a full store of 361 events: a rebuild asks for
// today's and tomorrow's occurrence of every event (722 look-ups), then walks
// the records; a check within the day only walks them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "core/calendar.h"
#include "event_mix.h"
#include "reminder/reminder_scheduler.h"

namespace {

constexpr int kStoreSize = 361;

struct ManualClock final : Clock {
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
    const std::vector<Exclusion>& Exclusions() const override { return none; }
    std::vector<Exclusion> none;
    EventList items;
};

struct Rig {
    Rig() {
        store.items = MakeEventMix(kStoreSize, 2026, 1, 6);
        clock.now = MakeLocalTime(2026, 6, 10, 10, 17, 0);
    }
    Store store;
    Preferences prefs;
    ManualClock clock;
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
