#include "app/sync_worker.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/win32/thread_stack.h"
#include "platform/win32/trace.h"

namespace {

// Long enough for a request that is just ending, short enough for an exit.
constexpr auto kExitWait = std::chrono::seconds(2);

}  // namespace

// Shared by the thread and the worker: whichever lets go last frees it.
struct SyncWorker::Job {
    SyncSnapshot snapshot;
    std::unique_ptr<CalDavTransport> transport;
    SyncOutcome outcome;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

SyncWorker::~SyncWorker() {
    if (!job_) return;
    if (WaitEnded(kExitWait)) {
        job_->thread.join();
    } else {
        job_->thread.detach();
    }
}

bool SyncWorker::WaitEnded(std::chrono::milliseconds wait) {
    if (!job_) return true;
    std::unique_lock<std::mutex> lock(job_->mutex);
    return job_->ended.wait_for(lock, wait, [this] { return job_->done; });
}

bool SyncWorker::Start(SyncSnapshot snapshot, std::unique_ptr<CalDavTransport> transport, HWND notify) {
    if (job_ || !transport) return false;
    auto job = std::make_shared<Job>();
    job->snapshot = std::move(snapshot);
    job->transport = std::move(transport);
    const UINT message = doneMessage_;
    try {
        job->thread = std::thread([job, notify, message] {
            // Wine touched the whole stack; an exchange uses a small part.
            ReleaseUnusedStack();
            SyncOutcome outcome;
            try {
                outcome = RunSyncExchange(job->snapshot, *job->transport);
            } catch (const std::exception&) {
                // Memory ran out mid-exchange: nothing of it is taken in.
                ORV_TRACE("sync exchange");
                outcome = SyncOutcome{};
                outcome.end = SyncEnd::Unreachable;
            }
            job->transport.reset();  // the connection and the password go now
            {
                std::lock_guard<std::mutex> lock(job->mutex);
                job->outcome = std::move(outcome);
                job->done = true;
            }
            job->ended.notify_all();
            PostMessageW(notify, message, 0, 0);
        });
    } catch (const std::exception&) {
        ORV_TRACE("sync thread");
        return false;
    }
    job_ = std::move(job);
    return true;
}

bool SyncWorker::TakeFinished(SyncSnapshot& snapshot, SyncOutcome& outcome) {
    if (!job_) return false;
    {
        std::lock_guard<std::mutex> lock(job_->mutex);
        if (!job_->done) return false;
        snapshot = std::move(job_->snapshot);
        outcome = std::move(job_->outcome);
    }
    job_->thread.join();
    job_.reset();
    return true;
}
