// FindOccurrence against libical's recurrence iterator on the same queries:
// "the first occurrence at or after t within [t, end]" for a random mix of
// every kind, interval, start year and window, in each test zone: the
// realistic mix, and the mix of everything the store can hold (the largest
// intervals, endless rules asked up to the year 3000). First checks that both
// answer alike and counts where and why libical differs, then times both,
// and ends with libical's time over ours per zone and mix.
// Without arguments the two sides run interleaved, five times each.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/local_zone.h"
#include "core/occurrence.h"
#include "support/ical_oracle.h"
#include "support/occurrence_queries.h"

namespace {

const char* const kZones[] = {"UTC",      "Europe/Berlin",       "America/New_York",
                              "America/Santiago", "Australia/Lord_Howe", "Asia/Kolkata"};
constexpr int kQueries = 4096;
constexpr unsigned kSeed = 20;

const Reach kReaches[] = {Reach::Realistic, Reach::Everything};
const char* const kReachNames[] = {"realistic", "everything"};

int theZone = -1;

void UseZone(int zone) {
    if (zone == theZone) return;
    setenv("TZ", kZones[zone], 1);
    tzset();
    ResetLocalTimeCache();
    theZone = zone;
}

struct Mix {
    std::vector<OccurrenceQuery> queries;
    std::vector<IcalEvent> events;
};

// The queries depend on the zone: they are built, and the events parsed, in it.
const Mix& MixOf(int zone, int reach) {
    static std::map<std::pair<int, int>, std::unique_ptr<Mix>> mixes;
    auto& mix = mixes[{zone, reach}];
    if (!mix) {
        UseZone(zone);
        mix = std::make_unique<Mix>();
        mix->queries = MakeOccurrenceQueries(kQueries, kSeed, kReaches[reach]);
        for (const OccurrenceQuery& q : mix->queries) mix->events.emplace_back(q.item.front, IcalZone(kZones[zone]));
    }
    return *mix;
}

template <class Ask>
void LookUps(benchmark::State& state, int zone, int reach, Ask ask) {
    UseZone(zone);
    const Mix& mix = MixOf(zone, reach);
    int found = 0;
    for (std::size_t i = 0; i < mix.queries.size(); ++i) found += ask(mix, i);  // both sides warm
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ask(mix, i));
        i = (i + 1) % mix.queries.size();
    }
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(mix.queries.size());
}

bool Ours(const Mix& mix, std::size_t i) {
    const OccurrenceQuery& q = mix.queries[i];
    Instant start = 0;
    const bool found = FindOccurrence(q.item, q.from, q.to, &start);
    benchmark::DoNotOptimize(start);
    return found;
}

bool Theirs(const Mix& mix, std::size_t i) {
    const OccurrenceQuery& q = mix.queries[i];
    Instant start = 0;
    const bool found = mix.events[i].FirstOccurrence(q.from, q.to, start);
    benchmark::DoNotOptimize(start);
    return found;
}

// The engine's cost must not depend on the rule: each query's own time (the
// fastest of a few rounds of repeated calls), as the median and the slowest.
void PrintSpread(int zone, int reach) {
    UseZone(zone);
    const Mix& mix = MixOf(zone, reach);
    constexpr int kCalls = 16;
    std::vector<double> times;
    std::size_t slowest = 0;
    for (std::size_t i = 0; i < mix.queries.size(); ++i) {
        double best = 1e300;
        for (int round = 0; round < 5; ++round) {
            const auto begin = std::chrono::steady_clock::now();
            for (int c = 0; c < kCalls; ++c) benchmark::DoNotOptimize(Ours(mix, i));
            const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - begin;
            best = std::min(best, took.count() / kCalls);
        }
        times.push_back(best);
        if (best > times[slowest]) slowest = i;
    }
    const double slowestTime = times[slowest];
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const ScheduleFront& f = mix.queries[slowest].item.front;
    std::printf("  %-20s median %6.0f ns, 99th %6.0f ns, slowest %6.0f ns (%4.1fx the median: kind %d interval %d)\n",
                kZones[zone], median, times[times.size() * 99 / 100], slowestTime, slowestTime / median,
                f.recurKind, f.recurInterval);
}

// Prints as the console does and keeps each benchmark's CPU times, for the
// ratios at the end.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.benchmark_name()].push_back(run.GetAdjustedCPUTime());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios(const std::string& reach) {
        // CPU time: on a shared machine the wall clock also counts the waits.
        std::printf("\nlibical's CPU time over FindOccurrence's, %s mix (medians of the repetitions):\n",
                    reach.c_str());
        double logSum = 0;
        int zones = 0;
        for (const char* zone : kZones) {
            const double ours = Median("FindOccurrence/" + reach + "/" + zone);
            const double theirs = Median("libical/" + reach + "/" + zone);
            if (ours <= 0 || theirs <= 0) continue;
            std::printf("  %-20s %8.1f ns  %8.1f ns  %6.1fx\n", zone, ours, theirs, theirs / ours);
            logSum += std::log(theirs / ours);
            ++zones;
        }
        if (zones > 0) std::printf("  %-20s %30.1fx\n", "geometric mean", std::exp(logSum / zones));
    }

private:
    double Median(const std::string& name) {
        std::vector<double>& t = times_[name];
        if (t.empty()) return 0;
        std::sort(t.begin(), t.end());
        return t[t.size() / 2];
    }

    std::map<std::string, std::vector<double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    if (argc == 1) {
        args.push_back(repetitions.data());
        args.push_back(interleave.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    int disagreements = 0;
    for (int r = 0; r < static_cast<int>(std::size(kReaches)); ++r) {
        std::printf("Agreement on %d queries per zone, %s mix:\n", kQueries, kReachNames[r]);
        for (int z = 0; z < static_cast<int>(std::size(kZones)); ++z) {
            const Mix& mix = MixOf(z, r);
            UseZone(z);
            const Comparison c = CompareWithLibical(mix.queries, IcalZone(kZones[z]));
            std::printf("  %-20s %5d found alike; libical differs by reading a gap or overlap %d, by its zone data %d, "
                        "by times of day moved by a gap %d, by placing the weeks of a weekly rule %d; "
                        "disagreements %zu\n",
                        kZones[z], c.found, c.readings, c.zoneData, c.shiftedByGap, c.weekStart,
                        c.disagreements.size());
            for (const std::string& d : c.disagreements) std::printf("    %s\n", d.c_str());
            disagreements += static_cast<int>(c.disagreements.size());
        }
    }
    for (int r = 0; r < static_cast<int>(std::size(kReaches)); ++r) {
        std::printf("Each query's time, %s mix:\n", kReachNames[r]);
        for (int z = 0; z < static_cast<int>(std::size(kZones)); ++z) PrintSpread(z, r);
    }
    UseZone(0);

    for (int r = 0; r < static_cast<int>(std::size(kReaches)); ++r) {
        for (int z = 0; z < static_cast<int>(std::size(kZones)); ++z) {
            const std::string name = std::string(kReachNames[r]) + "/" + kZones[z];
            benchmark::RegisterBenchmark(("FindOccurrence/" + name).c_str(),
                                         [z, r](benchmark::State& s) { LookUps(s, z, r, Ours); });
            benchmark::RegisterBenchmark(("libical/" + name).c_str(),
                                         [z, r](benchmark::State& s) { LookUps(s, z, r, Theirs); });
        }
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* reach : kReachNames) reporter.PrintRatios(reach);
    benchmark::Shutdown();
    return disagreements == 0 ? 0 : 1;
}
