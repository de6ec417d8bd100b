// iCalendar files through the frame: the tray's export and import commands
// and the requests a second start hands over.
#include "app/main_frame.h"

#include <string>
#include <utility>

#include "app/app_ids.h"
#include "app/calendar_app.h"
#include "app/exchange_request.h"
#include "app/ical_commands.h"
#include "platform/win32/trace.h"

void CMainFrame::OnExportICalendar() { RunExchangeCommand(false); }

void CMainFrame::OnImportICalendar() { RunExchangeCommand(true); }

void CMainFrame::RunExchangeCommand(bool import) {
    if (choosingFile_) return;  // the tray menu still opens over the dialog
    choosingFile_ = true;
    std::string path;
    const bool chosen = import ? AskImportPath(hwnd_, path) : AskExportPath(hwnd_, path);
    choosingFile_ = false;
    // Should the frame go meanwhile, what follows the dialog is left undone.
    if (!chosen || hwnd_ == nullptr) return;
    ShowExchangeOutcome(hwnd_, Exchange(import, path));
}

ExchangeOutcome CMainFrame::Exchange(bool import, const std::string& path) {
    return import ? ImportCalendarFile(path, store_, app_.GetRegistry(), clock_)
                  : ExportCalendarFile(path, store_, app_.GetRegistry(), clock_);
}

// A second start hands its /export or /import here. The work is done before
// answering, so the exit code is the outcome; the box waits for the answer,
// so the sender does not wait for the user. With the quiet switch, or for an
// export that went through whole, there is no box: the exit code tells.
LRESULT CMainFrame::OnCopyData(WPARAM, LPARAM lParam) {
    if (lParam != 0 && reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData == COPYDATA_SHOW_CALENDAR) {
        if (!created_) return COPYDATA_ANSWERED + kExchangeUnavailable;
        // Opened once the sender has its answer: it waits for nothing else.
        ORV_CHECK(PostMessageW(hwnd_, WM_COMMAND, ID_OPEN_CALENDAR, 0));
        return COPYDATA_ANSWERED + kExchangeOk;
    }
    if (lParam != 0 && reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData == COPYDATA_SYNC) return SyncForCaller();
    ExchangeRequest request;
    if (lParam == 0 || !ReadExchangeRequest(*reinterpret_cast<const COPYDATASTRUCT*>(lParam), request)) return 0;
    // Before the events are loaded, or after they are saved for the exit.
    if (!created_) return COPYDATA_ANSWERED + kExchangeUnavailable;
    ExchangeOutcome outcome = Exchange(request.import, request.path);
    const LRESULT answer = COPYDATA_ANSWERED + outcome.code;
    if (!request.quiet && !outcome.message.empty() && hwnd_ != nullptr) {
        reports_.push_back(std::move(outcome));
        ORV_CHECK(PostMessageW(hwnd_, WM_EXCHANGEREPORT, 0, 0));
    }
    return answer;
}

LRESULT CMainFrame::OnExchangeReport(WPARAM, LPARAM) {
    if (reports_.empty()) return 0;
    const ExchangeOutcome outcome = std::move(reports_.front());
    reports_.pop_front();
    ShowExchangeOutcome(hwnd_, outcome);
    return 0;
}
