#include "sync/sync_settings.h"

#include <algorithm>

#include "store/registry_paths.h"

namespace {

constexpr char kUrlValue[] = "SyncUrl";
constexpr char kUserValue[] = "SyncUser";
constexpr char kMinutesValue[] = "SyncMinutes";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameRegistryName(text.substr(0, prefix.size()), prefix);
}

bool Printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u > 0x20 && u != 0x7F;
    });
}

}  // namespace

bool IsSyncUrl(std::string_view url) {
    if (url.size() > kMaxSyncUrlLength || !Printable(url)) return false;
    std::string_view rest;
    if (StartsWithNoCase(url, "https://")) rest = url.substr(8);
    else if (StartsWithNoCase(url, "http://")) rest = url.substr(7);
    else return false;
    const std::size_t hostEnd = rest.find_first_of("/?#");
    return hostEnd != 0 && !rest.empty();
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
