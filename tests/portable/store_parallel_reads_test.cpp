#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "store/parallel_reads.h"

namespace {

// One round of count reads on the caller and threads - 1 helpers.
void ReadInParallel(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& read) {
    ParallelReads reads(threads - 1);
    reads.Start([count] { return count; }, read);
    reads.Finish();
}

}  // namespace

TEST(ReadInParallel, EveryIndexOnceOnUpToTheGivenThreads) {
    for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{361}}) {
        for (const unsigned threads : {1u, 2u, 4u}) {
            std::vector<std::atomic<int>> reads(count);
            std::mutex mutex;
            std::set<std::thread::id> seen;
            ReadInParallel(count, threads, [&](std::size_t i) {
                ++reads[i];
                const std::lock_guard<std::mutex> lock(mutex);
                seen.insert(std::this_thread::get_id());
            });
            for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(reads[i], 1) << count << " " << threads << " " << i;
            EXPECT_LE(seen.size(), threads);
        }
    }
}

TEST(ReadInParallel, TheFirstFailureIsRethrownAndNoIndexIsTakenAfterIt) {
    std::atomic<int> done{0};
    EXPECT_THROW(ReadInParallel(361, 1,
                                [&](std::size_t i) {
                                    if (i == 5) throw std::runtime_error("unreadable");
                                    ++done;
                                }),
                 std::runtime_error);
    EXPECT_EQ(done, 5);
    EXPECT_THROW(ReadInParallel(361, 4, [](std::size_t i) { if (i == 300) throw std::runtime_error("unreadable"); }),
                 std::runtime_error);
}

TEST(ParallelReads, HelpersStartEachRoundOnTheirOwnAndServeTheNextOneToo) {
    std::mutex mutex;
    std::set<std::thread::id> started;
    ParallelReads work(2, [&] {
        const std::lock_guard<std::mutex> lock(mutex);
        started.insert(std::this_thread::get_id());
    });
    for (int round = 0; round < 2; ++round) {
        std::promise<void> listed;
        std::future<void> listedSeen = listed.get_future();
        std::vector<int> slots;
        std::set<std::thread::id> readers;
        work.Start(
            [&] {
                slots.assign(200, 0);
                listed.set_value();
                return slots.size();
            },
            [&](std::size_t i) {
                const std::lock_guard<std::mutex> lock(mutex);
                ++slots[i];
                readers.insert(std::this_thread::get_id());
            });
        // Listed with no call from here: a helper took the round on its own.
        EXPECT_EQ(listedSeen.wait_for(std::chrono::seconds(10)), std::future_status::ready) << round;
        work.Finish();
        EXPECT_EQ(std::count(slots.begin(), slots.end(), 1), 200) << round;
        readers.erase(std::this_thread::get_id());
        const std::lock_guard<std::mutex> lock(mutex);
        // A helper may not have come to it yet; one that read ran started() first.
        EXPECT_LE(started.size(), 2u);
        for (const std::thread::id& reader : readers) EXPECT_EQ(started.count(reader), 1u) << round;
    }
}

TEST(ParallelReads, AListingFailureIsRethrownAndAnAbandonedRoundStopsItsHelpers) {
    for (const unsigned helpers : {0u, 1u}) {
        ParallelReads failing(helpers);
        failing.Start([]() -> std::size_t { throw std::runtime_error("no key"); }, [](std::size_t) {});
        EXPECT_THROW(failing.Finish(), std::runtime_error) << helpers;
    }
    std::atomic<int> reads{0};
    {
        ParallelReads abandoned(2);
        abandoned.Start([] { return std::size_t{10000000}; }, [&](std::size_t) { ++reads; });
    }
    EXPECT_LT(reads, 10000000);  // left, not finished: the helpers stopped early
}
