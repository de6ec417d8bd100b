#include "sync/sync_settings.h"

#include <algorithm>

#include "platform/http_url.h"
#include "store/registry_paths.h"

namespace {

constexpr char kUrlValue[] = "SyncUrl";
constexpr char kUserValue[] = "SyncUser";
constexpr char kMinutesValue[] = "SyncMinutes";

}  // namespace

bool IsSyncUrl(std::string_view url) {
    return url.size() <= kMaxSyncUrlLength && CheckHttpUrl(url) == HttpUrlFault::None;
}

bool IsSyncSetUp(const SyncSettings& settings) { return IsSyncUrl(settings.SyncUrl); }

SyncSettings LoadSyncSettings(Registry& registry) {
    SyncSettings s;
    const RegKey key = OpenUserKey(registry, RegAccess::Read);
    if (!key) return s;
    std::string text;
    // A value longer than its buffer is not read at all: a cut address
    // would name another place.
    if (key.ReadString(kUrlValue, kMaxSyncUrlLength + 1, text) && IsSyncUrl(text)) s.SyncUrl = text;
    if (key.ReadString(kUserValue, kMaxSyncUserLength + 1, text)) s.SyncUser = text;
    std::uint32_t minutes = 0;
    if (key.ReadDword(kMinutesValue, minutes)) s.SyncMinutes = std::min(minutes, kMaxSyncMinutes);
    return s;
}

bool SaveSyncSettings(Registry& registry, const SyncSettings& settings) {
    const RegKey key = OpenUserKey(registry, RegAccess::Write);
    return key.WriteString(kUrlValue, settings.SyncUrl) && key.WriteString(kUserValue, settings.SyncUser) &&
           key.WriteDword(kMinutesValue, std::min(settings.SyncMinutes, kMaxSyncMinutes));
}
