#include "store/parallel_reads.h"

#include <stdexcept>
#include <system_error>
#include <utility>

ParallelReads::ParallelReads(unsigned helpers, const std::function<void()>& started) {
    helpers_.reserve(helpers);
    try {
        for (unsigned h = 0; h < helpers; ++h) helpers_.emplace_back([this, started] { Help(started); });
    } catch (const std::system_error&) {
        // No thread to be had: fewer helpers, or the caller alone.
    }
}

ParallelReads::~ParallelReads() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        if (open_ && !failure_) failure_ = std::make_exception_ptr(std::runtime_error("reads abandoned"));
    }
    changed_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

void ParallelReads::Start(std::function<std::size_t()> list, std::function<void(std::size_t)> read) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        list_ = std::move(list);
        read_ = std::move(read);
        listing_ = listed_ = false;
        count_ = next_ = 0;
        failure_ = nullptr;
        open_ = true;
        ++round_;
    }
    changed_.notify_all();
}

void ParallelReads::Finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!open_) return;
    Work(lock);
    changed_.wait(lock, [this] { return busy_ == 0; });
    open_ = false;
    list_ = nullptr;
    read_ = nullptr;
    if (const std::exception_ptr failure = std::exchange(failure_, nullptr)) std::rethrow_exception(failure);
}

void ParallelReads::Help(const std::function<void()>& started) {
    if (started) started();
    std::unique_lock<std::mutex> lock(mutex_);
    unsigned seen = 0;
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || (open_ && round_ != seen); });
        if (stopping_) return;
        seen = round_;
        ++busy_;
        Work(lock);
        --busy_;
        changed_.notify_all();
    }
}

void ParallelReads::Work(std::unique_lock<std::mutex>& lock) {
    if (!listing_) {
        listing_ = true;
        lock.unlock();
        std::size_t count = 0;
        std::exception_ptr failure;
        try {
            count = list_();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        count_ = count;
        if (failure && !failure_) failure_ = failure;
        listed_ = true;
        changed_.notify_all();
    }
    changed_.wait(lock, [this] { return listed_; });
    while (!failure_ && next_ < count_) {
        const std::size_t i = next_++;
        lock.unlock();
        try {
            read_(i);
        } catch (...) {
            lock.lock();
            if (!failure_) failure_ = std::current_exception();
            return;
        }
        lock.lock();
    }
}
