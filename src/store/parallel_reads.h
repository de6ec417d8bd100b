#pragma once
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Reads that run on the calling thread and on helper threads at once. The
// helpers are kept from one round of reads to the next: under Wine every
// new thread costs a megabyte the moment it starts. In a round one thread
// first runs list(), which says how many indexes there are, then every
// thread takes the next index not yet taken. A round runs on the helpers
// from Start, so the caller can do other work until Finish. Reads must touch
// nothing but their own index's data, and list() nothing the caller touches
// before Finish.
class ParallelReads {
public:
    // started() runs first on every helper.
    explicit ParallelReads(unsigned helpers, const std::function<void()>& started = {});
    // An unfinished round takes no more indexes; the helpers end.
    ~ParallelReads();
    ParallelReads(const ParallelReads&) = delete;
    ParallelReads& operator=(const ParallelReads&) = delete;

    void Start(std::function<std::size_t()> list, std::function<void(std::size_t)> read);
    // Reads on the calling thread too until every index is taken, waits for
    // the helpers to end the round, then rethrows the first exception list()
    // or a read threw (after which no index is taken).
    void Finish();

private:
    void Help(const std::function<void()>& started);
    void Work(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<std::size_t()> list_;
    std::function<void(std::size_t)> read_;
    unsigned round_ = 0;
    bool open_ = false;
    bool stopping_ = false;
    bool listing_ = false;
    bool listed_ = false;
    std::size_t count_ = 0;
    std::size_t next_ = 0;
    unsigned busy_ = 0;  // helpers in the open round
    std::exception_ptr failure_;
    std::vector<std::thread> helpers_;
};
