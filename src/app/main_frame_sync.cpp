// Sync with the CalDAV server through the frame: the tray command, the
// interval timer, a second start's /sync and the worker's end.
#include "app/main_frame.h"

#include <chrono>

#include "app/app_ids.h"
#include "app/calendar_app.h"
#include "app/sync_session.h"
#include "core/product.h"
#include "dialogs/prop_sheet.h"
#include "sync/sync_settings.h"
#include "ui/message_loop.h"

namespace {

// Leaves the start-up to the calendar and the reminders.
constexpr std::uint32_t kFirstSyncDelayMs = 10000;
constexpr auto kExitSyncWait = std::chrono::seconds(2);

}  // namespace

void CMainFrame::OnSyncNow() {
    syncByHand_ = true;
    StartSync();
}

void CMainFrame::StartSync(std::unique_ptr<CalDavTransport> typed) {
    if (hwnd_ == nullptr) return;
    if (syncWorker_.Busy()) {
        syncAgain_ = true;
        if (typed) typedAgain_ = std::move(typed);
        return;
    }
    SyncResult refused;
    std::unique_ptr<CalDavTransport> transport = typed        ? std::move(typed)
                                                 : typedAgain_ ? std::move(typedAgain_)
                                                               : OpenSyncTransport(app_.GetRegistry(), credentials_,
                                                                                   refused.end);
    if (!transport) {
        FinishSync(refused);
        return;
    }
    // The interval counts from the end of this one.
    KillTimer(hwnd_, kSyncTimerId);
    if (!syncWorker_.Start(TakeCalendarSnapshot(store_, app_.GetRegistry(), clock_), std::move(transport), hwnd_)) {
        refused.end = SyncEnd::Unreachable;
        FinishSync(refused);
    }
}

void CMainFrame::SyncTyped(const std::string& url, const std::string& user, const std::string& password) {
    SyncResult refused;
    std::unique_ptr<CalDavTransport> typed = OpenSyncTransport(url, user, password, refused.end);
    if (typed) StartSync(std::move(typed));
    else FinishSync(refused);
}

LRESULT CMainFrame::OnSyncDone(WPARAM, LPARAM) {
    SyncSnapshot snapshot;
    SyncOutcome outcome;
    if (!syncWorker_.TakeFinished(snapshot, outcome)) return 0;
    // The store tells the calendar, the upcoming window and the reminders.
    FinishSync(ApplyCalendarOutcome(outcome, snapshot, store_, app_.GetRegistry(), clock_));
    if (syncAgain_) {
        syncAgain_ = false;
        StartSync();
    }
    return 0;
}

void CMainFrame::FinishSync(const SyncResult& result) {
    lastSyncEnd_ = result.end;
    ++syncsEnded_;
    syncStatus_ = SyncStatusLine(result, clock_.Now());
    if (prefSheet_ != nullptr) prefSheet_->SyncPage().ShowStatus(syncStatus_);
    // One that follows tells the user instead.
    if (syncByHand_ && !syncAgain_) {
        syncByHand_ = false;
        ShowBalloon("Sync", syncStatus_, true);
    }
    const long long retry = RetryDelaySeconds(result);
    if (retry >= 0 && hwnd_ != nullptr && IsSyncSetUp(LoadSyncSettings(app_.GetRegistry()))) {
        // As the server asked, and as the status line says.
        SetTimer(hwnd_, kSyncTimerId, static_cast<UINT>(retry * 1000), nullptr);
        return;
    }
    ScheduleSync();
}

void CMainFrame::ScheduleSync(bool starting) {
    if (hwnd_ == nullptr) return;
    KillTimer(hwnd_, kSyncTimerId);
    const SyncSettings settings = LoadSyncSettings(app_.GetRegistry());
    if (!IsSyncSetUp(settings) || settings.SyncMinutes == 0) return;
    const std::uint32_t interval = settings.SyncMinutes * 60000u;
    SetTimer(hwnd_, kSyncTimerId, starting && kFirstSyncDelayMs < interval ? kFirstSyncDelayMs : interval, nullptr);
}

void CMainFrame::OnSyncTimer() {
    KillTimer(hwnd_, kSyncTimerId);
    StartSync();
}

LRESULT CMainFrame::SyncForCaller() {
    if (!created_) return COPYDATA_ANSWERED + kExchangeUnavailable;
    // A running sync took its snapshot before this request: the one after it counts.
    const unsigned target = syncsEnded_ + (syncWorker_.Busy() ? 2 : 1);
    StartSync();
    // The calendar, the tray and the reminders go on meanwhile.
    const bool ended = RunMessageLoopUntil([this, target] { return hwnd_ == nullptr || syncsEnded_ >= target; });
    if (!ended || hwnd_ == nullptr) return COPYDATA_ANSWERED + kExchangeUnavailable;
    return COPYDATA_ANSWERED + SyncExitCode(lastSyncEnd_);
}

void CMainFrame::EndSyncForExit() {
    KillTimer(hwnd_, kSyncTimerId);
    syncAgain_ = false;
    typedAgain_.reset();
    SyncSnapshot snapshot;
    SyncOutcome outcome;
    if (syncWorker_.WaitEnded(kExitSyncWait) && syncWorker_.TakeFinished(snapshot, outcome))
        ApplyCalendarOutcome(outcome, snapshot, store_, app_.GetRegistry(), clock_);
}
