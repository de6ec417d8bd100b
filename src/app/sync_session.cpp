#include "app/sync_session.h"

#include <windows.h>

#include "app/ical_exchange.h"
#include "platform/win32/win32_date_format.h"
#include "platform/win32/winhttp_transport.h"
#include "sync/sync_apply.h"
#include "sync/sync_settings.h"

std::unique_ptr<CalDavTransport> OpenSyncTransport(Registry& registry, const CredentialStore& credentials,
                                                   SyncEnd& refusal) {
    const SyncSettings settings = LoadSyncSettings(registry);
    refusal = SyncEnd::NotSetUp;
    if (!IsSyncSetUp(settings)) return nullptr;
    std::string user;
    std::string password;
    // Without a kept password the server may still let the user in.
    if (!credentials.Read(kSyncCredentialTarget, user, password)) password.clear();
    auto transport = OpenSyncTransport(settings.SyncUrl, settings.SyncUser, password, refusal);
    if (!password.empty()) SecureZeroMemory(&password[0], password.size());
    return transport;
}

std::unique_ptr<CalDavTransport> OpenSyncTransport(const std::string& url, const std::string& user,
                                                   const std::string& password, SyncEnd& refusal) {
    SyncSettings settings;
    settings.SyncUrl = url;
    refusal = SyncEnd::NotSetUp;
    if (!IsSyncSetUp(settings)) return nullptr;
    auto transport = std::make_unique<WinHttpTransport>(url, user, password);
    if (!transport->Usable()) {
        refusal = SyncEnd::Unreachable;
        return nullptr;
    }
    refusal = SyncEnd::Done;
    return transport;
}

SyncSnapshot TakeCalendarSnapshot(EventStore& store, Registry& registry, const Clock& clock) {
    store.FinishLoad();  // the notes and files are in the second half
    return TakeSyncSnapshot(store, registry, clock, CalendarExchangeId(registry));
}

SyncResult ApplyCalendarOutcome(SyncOutcome& outcome, const SyncSnapshot& snapshot, EventStore& store,
                                Registry& registry, const Clock& clock) {
    return ApplySyncOutcome(outcome, snapshot, store, registry, clock, CalendarExchangeId(registry));
}

std::string SyncStatusLine(const SyncResult& result, Instant now) {
    const long long retry = RetryDelaySeconds(result);
    return SyncStatusText(result, FormatShortTime(now), retry >= 0 ? FormatShortTime(now + retry) : std::string());
}

SyncResult SyncHere(EventStore& store, Registry& registry, const CredentialStore& credentials, const Clock& clock) {
    SyncResult result;
    std::unique_ptr<CalDavTransport> transport = OpenSyncTransport(registry, credentials, result.end);
    if (!transport) return result;
    SyncSnapshot snapshot = TakeCalendarSnapshot(store, registry, clock);
    SyncOutcome outcome = RunSyncExchange(snapshot, *transport);
    transport.reset();
    return ApplyCalendarOutcome(outcome, snapshot, store, registry, clock);
}
