#include "store/snoozes.h"

#include <algorithm>

#include "core/little_endian.h"
#include "store/registry_paths.h"

std::string EncodeSnoozes(const std::vector<Snooze>& snoozes) {
    std::string bytes;
    for (const Snooze& s : snoozes) {
        // Instants the value cannot hold are never put off to (1970 to 2106).
        const Instant at = std::clamp<Instant>(s.fireAt, 0, UINT32_MAX);
        AppendLe32(bytes, s.eventId);
        AppendLe32(bytes, s.day);
        AppendLe32(bytes, static_cast<std::uint32_t>(at));
    }
    return bytes;
}

std::vector<Snooze> DecodeSnoozes(const std::uint8_t* data, std::size_t size) {
    std::vector<Snooze> out;
    for (std::size_t at = 0; at + kSnoozeEntryBytes <= size && out.size() < kMaxSnoozes; at += kSnoozeEntryBytes) {
        Snooze s;
        s.eventId = GetLe32(data + at);
        s.day = GetLe32(data + at + 4);
        s.fireAt = static_cast<Instant>(GetLe32(data + at + 8));
        out.push_back(s);
    }
    return out;
}

std::vector<Snooze> RegistryReminderKeeper::LoadSnoozes() {
    const RegKey key = OpenUserKey(registry_, RegAccess::Read);
    std::string bytes;
    // Read into a buffer of the largest list: anything longer is not ours.
    if (!key || !key.ReadBinary(kSnoozedValue, kMaxSnoozes * kSnoozeEntryBytes, bytes)) return {};
    return DecodeSnoozes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void RegistryReminderKeeper::SaveSnoozes(const std::vector<Snooze>& snoozes) {
    const RegKey key = OpenUserKey(registry_, RegAccess::Write);
    if (!key) return;
    if (snoozes.empty()) {
        key.DeleteValue(kSnoozedValue);
        return;
    }
    const std::string bytes = EncodeSnoozes(snoozes);
    key.WriteBinary(kSnoozedValue, bytes.data(), bytes.size());
}

bool RegistryReminderKeeper::LoadLastChecked(Instant& at) {
    std::uint32_t v = 0;
    if (!OpenUserKey(registry_, RegAccess::Read).ReadDword(kLastCheckedValue, v)) return false;
    at = static_cast<Instant>(v);
    return true;
}

void RegistryReminderKeeper::SaveLastChecked(Instant at) {
    if (at < 0 || at > static_cast<Instant>(UINT32_MAX)) return;
    OpenUserKey(registry_, RegAccess::Write).WriteDword(kLastCheckedValue, static_cast<std::uint32_t>(at));
}
