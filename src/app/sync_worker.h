#pragma once
#include <windows.h>

#include <chrono>
#include <memory>

#include "platform/caldav_transport.h"
#include "sync/sync_exchange.h"
#include "sync/sync_snapshot.h"

// One exchange with the server at a time, on a thread of its own, so that
// a slow server never holds up the calendar, the tray or a reminder. Only
// the snapshot and the transport go to the thread; the store stays on the
// window thread, which takes the outcome in when told.
class SyncWorker {
public:
    // When an exchange ends, doneMessage is posted to the window that started it.
    explicit SyncWorker(UINT doneMessage) : doneMessage_(doneMessage) {}
    // Waits a moment for a running exchange; one still running after that
    // is left to end on its own, its outcome never taken in (what it sent
    // is found again by the next sync).
    ~SyncWorker();
    SyncWorker(const SyncWorker&) = delete;
    SyncWorker& operator=(const SyncWorker&) = delete;

    // False while an exchange runs or has not been taken yet.
    bool Start(SyncSnapshot snapshot, std::unique_ptr<CalDavTransport> transport, HWND notify);
    bool Busy() const { return job_ != nullptr; }
    // True when the exchange has ended, or ends within `wait`.
    bool WaitEnded(std::chrono::milliseconds wait);
    // After the message: the ended exchange's snapshot and outcome. False
    // when none has ended (a stale message).
    bool TakeFinished(SyncSnapshot& snapshot, SyncOutcome& outcome);

private:
    struct Job;
    UINT doneMessage_;
    std::shared_ptr<Job> job_;
};
