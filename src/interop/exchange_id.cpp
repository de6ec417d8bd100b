#include "interop/exchange_id.h"

#include <cstdio>

#include "store/event_store.h"
#include "store/registry_paths.h"

namespace {

constexpr std::string_view kExchangeIdValue = "ExchangeId";

std::string Hex64(std::uint64_t value) {
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(value));
    return buffer;
}

bool IsExchangeId(std::string_view text) {
    if (text.size() != 16) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace

std::string LoadExchangeId(Registry& registry, std::uint64_t fresh) {
    const RegKey user = OpenUserKey(registry, RegAccess::All);
    std::string stored;
    if (user.ReadString(kExchangeIdValue, 17, stored) && IsExchangeId(stored)) return stored;
    std::string made = Hex64(fresh);
    user.WriteString(kExchangeIdValue, made);
    return made;
}

std::string EventUid(const ScheduleItem& item, std::string_view exchangeId) {
    if (!item.uid.empty()) return item.uid;
    return std::to_string(item.front.id) + "-" + std::string(exchangeId) + "@orvcalendar";
}

std::string UidKey(std::string_view uid) {
    // The registry keeps text in the ANSI code page, which need not hold
    // every byte sequence: only printable ASCII is stored as it is.
    bool plain = uid.size() <= kMaxUidLength && uid.substr(0, 1) != "~";
    for (char c : uid) plain = plain && c >= 0x20 && c < 0x7F;
    if (plain) return std::string(uid);
    // FNV-1a, 64 bits: the same long UID always gives the same key.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (char c : uid) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    std::string key = "~";
    key += Hex64(hash);
    return key;
}
