#include "app/exchange_request.h"

#include <cstring>
#include <cwchar>
#include <exception>

#include "app/ical_exchange.h"
#include "app/sync_session.h"
#include "core/clock.h"
#include "core/product.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_credential_store.h"
#include "platform/win32/win32_desktop.h"
#include "store/event_store.h"
#include "store/preferences.h"
#include "store/settings.h"
#include "store/store_links.h"
#include "app/app_ids.h"

namespace {

// Longer than any path Windows opens, in UTF-16 units.
constexpr DWORD kMaxPathUnits = 32768;
// A large import into a copy busy with a dialog may take a while.
constexpr UINT kAnswerTimeoutMs = 60000;
// A sync waits for one that runs, and each request may take a minute.
constexpr UINT kSyncAnswerTimeoutMs = 15 * 60000;
// A copy that has just started may not have made its frame yet.
constexpr int kFrameWaitSteps = 50;
constexpr DWORD kFrameWaitStepMs = 100;

// The running copy has another current directory.
std::wstring FullPath(const std::string& path) {
    const std::wstring wide = Wide(path);
    std::wstring full(kMaxPathUnits, L'\0');
    const DWORD n = GetFullPathNameW(wide.c_str(), kMaxPathUnits, full.data(), nullptr);
    if (n == 0 || n >= kMaxPathUnits) return wide;
    full.resize(n);
    return full;
}

int Unavailable(const std::string& why) {
    TellCaller(why, true);
    return kExchangeUnavailable;
}

}  // namespace

bool ReadExchangeRequest(const COPYDATASTRUCT& data, ExchangeRequest& out) {
    const ULONG_PTR kind = data.dwData & ~static_cast<ULONG_PTR>(COPYDATA_QUIET | COPYDATA_WIDE);
    if (kind != COPYDATA_ICAL_EXPORT && kind != COPYDATA_ICAL_IMPORT) return false;
    if (data.lpData == nullptr) return false;
    if ((data.dwData & COPYDATA_WIDE) != 0) {
        // Whole UTF-16 units, one zero, at the end: the path is all of it.
        const std::size_t units = data.cbData / sizeof(wchar_t);
        if (data.cbData % sizeof(wchar_t) != 0 || units < 2 || units > kMaxPathUnits) return false;
        const wchar_t* text = static_cast<const wchar_t*>(data.lpData);
        if (std::wmemchr(text, L'\0', units) != text + units - 1) return false;
        out.path = Utf8(std::wstring_view(text, units - 1));
    } else {
        if (data.cbData < 2 || data.cbData > kMaxPathUnits) return false;
        const char* text = static_cast<const char*>(data.lpData);
        if (std::memchr(text, '\0', data.cbData) != text + data.cbData - 1) return false;
        out.path = Utf8(WidenText(std::string_view(text, data.cbData - 1), CP_ACP));
        if (out.path.empty()) return false;
    }
    out.import = kind == COPYDATA_ICAL_IMPORT;
    out.quiet = (data.dwData & COPYDATA_QUIET) != 0;
    return true;
}

namespace {

// Sends the data to the running copy's frame; false when none answers.
bool SendToRunningCopy(const wchar_t* frameClass, COPYDATASTRUCT& data, DWORD_PTR& answer,
                       UINT timeoutMs = kAnswerTimeoutMs) {
    HWND frame = FindWindowW(frameClass, nullptr);
    for (int i = 0; frame == nullptr && i < kFrameWaitSteps; ++i) {
        Sleep(kFrameWaitStepMs);
        frame = FindWindowW(frameClass, nullptr);
    }
    if (frame == nullptr) return false;
    // Its windows and boxes may come to the front.
    DWORD processId = 0;
    GetWindowThreadProcessId(frame, &processId);
    AllowSetForegroundWindow(processId);
    return SendMessageTimeoutW(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, timeoutMs,
                               &answer) != 0;
}

}  // namespace

bool ShowRunningCopy(const wchar_t* frameClass) {
    COPYDATASTRUCT data = {};
    data.dwData = COPYDATA_SHOW_CALENDAR;
    DWORD_PTR answer = 0;
    return SendToRunningCopy(frameClass, data, answer) && answer == COPYDATA_ANSWERED + kExchangeOk;
}

int HandToRunningCopy(const CommandLineRequest& request, const wchar_t* frameClass) {
    const bool sync = request.action == CommandLineRequest::Action::Sync;
    std::wstring path = FullPath(request.path);
    COPYDATASTRUCT data = {};
    data.dwData = (request.action == CommandLineRequest::Action::Import ? COPYDATA_ICAL_IMPORT : COPYDATA_ICAL_EXPORT) |
                  (request.quiet ? COPYDATA_QUIET : 0) | COPYDATA_WIDE;
    data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    data.lpData = path.data();
    if (sync) data = COPYDATASTRUCT{COPYDATA_SYNC, 0, nullptr};
    DWORD_PTR answer = 0;
    if (!SendToRunningCopy(frameClass, data, answer, sync ? kSyncAnswerTimeoutMs : kAnswerTimeoutMs))
        return Unavailable(std::string(kAppTitle) + " is running but does not answer.");
    if (answer < COPYDATA_ANSWERED || answer > COPYDATA_ANSWERED + 0xFF)
        return Unavailable(std::string("The running ") + kAppTitle + " does not know this request.");
    const int code = static_cast<int>(answer - COPYDATA_ANSWERED);
    // The running copy shows its status line; the caller learns why it failed.
    if (sync) {
        for (const SyncEnd end : {SyncEnd::Unreachable, SyncEnd::CredentialsRefused, SyncEnd::NotSetUp}) {
            SyncResult result;
            result.end = end;
            if (code == SyncExitCode(end)) TellCaller(SyncStatusText(result, ""), true);
        }
    }
    return code;
}

int RunWithoutWindows(Registry& registry, const AppValues& values, const CommandLineRequest& request) {
    // A fault nothing foresaw (memory, a runtime's refusal) still ends with
    // a code of the table and a line the caller can read.
    try {
        SystemClock clock;
        Win32Desktop desktop;
        NoScheduleLinks none;
        Preferences prefs;
        EventStore store(registry, clock, none, none);
        if (!LoadSettings(registry, desktop, values.installPath, store, prefs))
            return Unavailable("The calendar's settings could not be opened.");
        store.LoadEvents();
        if (request.action == CommandLineRequest::Action::Sync) {
            const SyncResult result = SyncHere(store, registry, Win32CredentialStore(), clock);
            TellCaller(SyncStatusLine(result, clock.Now()), result.end != SyncEnd::Done);
            return SyncExitCode(result.end);
        }
        const ExchangeOutcome outcome = request.action == CommandLineRequest::Action::Import
                                            ? ImportCalendarFile(request.path, store, registry, clock)
                                            : ExportCalendarFile(request.path, store, registry, clock);
        if (!outcome.message.empty()) TellCaller(outcome.message, outcome.code != kExchangeOk);
        return outcome.code;
    } catch (const std::exception& e) {
        TellCaller(std::string("The request stopped on an unexpected fault (") + e.what() + ").", true);
        return kExchangeFault;
    }
}

void TellCaller(const std::string& message, bool failed) {
    const HANDLE out = GetStdHandle(failed ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    const std::string line = message + "\r\n";
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
