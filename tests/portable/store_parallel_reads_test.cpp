#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "store/parallel_reads.h"

TEST(ReadInParallel, EveryIndexOnceOnUpToTheGivenThreadsAndTheFirstFailureAfterAllEnd) {
    for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{361}}) {
        for (const unsigned threads : {1u, 2u, 4u, 8u}) {
            std::vector<std::atomic<int>> reads(count);
            std::mutex mutex;
            std::set<std::thread::id> seen;
            ReadInParallel(count, threads, [&](std::size_t i) {
                ++reads[i];
                const std::lock_guard<std::mutex> lock(mutex);
                seen.insert(std::this_thread::get_id());
            });
            for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(reads[i], 1) << count << " " << threads << " " << i;
            EXPECT_LE(seen.size(), std::min<std::size_t>(threads, std::max<std::size_t>(count, 1)));
            if (count >= threads) {
                EXPECT_EQ(seen.size(), threads) << count;
            }
        }
    }
    std::atomic<int> done{0};
    EXPECT_THROW(ReadInParallel(361, 4,
                                [&](std::size_t i) {
                                    if (i == 5) throw std::runtime_error("unreadable");
                                    ++done;
                                }),
                 std::runtime_error);
    // The failing range stops at its failure; the other ranges run to their end.
    EXPECT_EQ(done, 361 - (361 / 4 - 5));
}
