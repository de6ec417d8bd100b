#include "sync/event_print.h"

#include <algorithm>

#include "core/little_endian.h"
#include "store/server_copy.h"

namespace {

// FNV-1a, 64 bits.
class Digest {
public:
    Digest& Add(std::string_view bytes) {
        for (char c : bytes) {
            hash_ ^= static_cast<unsigned char>(c);
            hash_ *= 0x100000001b3ull;
        }
        // The length ends the field, so "ab"+"c" and "a"+"bc" differ.
        return Add32(static_cast<std::uint32_t>(bytes.size()));
    }
    Digest& Add32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            hash_ ^= (v >> (8 * i)) & 0xFF;
            hash_ *= 0x100000001b3ull;
        }
        return *this;
    }
    std::uint64_t Value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

std::uint32_t U(std::int32_t v) { return static_cast<std::uint32_t>(v); }

}  // namespace

std::string EventPrint::Encode() const {
    std::string bytes;
    for (std::uint64_t p : parts) {
        AppendLe32(bytes, static_cast<std::uint32_t>(p));
        AppendLe32(bytes, static_cast<std::uint32_t>(p >> 32));
    }
    return bytes;
}

bool EventPrint::Decode(const std::string& bytes, EventPrint& out) {
    if (bytes.size() != kBytes) return false;
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t i = 0; i < out.parts.size(); ++i)
        out.parts[i] = GetLe32(b + 8 * i) | (static_cast<std::uint64_t>(GetLe32(b + 8 * i + 4)) << 32);
    return true;
}

EventPrint PrintOf(const ScheduleItem& item, std::vector<DateKey> excluded) {
    const ScheduleFront& f = item.front;
    const bool recurring = IsRecurring(f.recurKind);
    EventPrint p;
    auto set = [&](PrintPart part, const Digest& d) { p.parts[static_cast<std::size_t>(part)] = d.Value(); };
    set(PrintPart::Title, Digest().Add(item.title));
    set(PrintPart::Note, Digest().Add(item.note));
    // A series' dates say when it runs, not when an occurrence is.
    Digest times;
    times.Add32(U(f.startTime)).Add32(U(f.endTime));
    if (!recurring) times.Add32(f.startDate).Add32(f.endDate);
    set(PrintPart::Times, times);
    set(PrintPart::Alarm, Digest().Add32(U(item.remindMinutes)));
    Digest rule;
    rule.Add32(recurring ? f.recurKind : kKindNone);
    if (recurring) {
        rule.Add32(f.recurPattern).Add32(f.recurInterval).Add32(IsEndless(f) ? 1 : 0).Add32(f.startDate);
        if (!IsEndless(f)) rule.Add32(f.endDate);
    }
    set(PrintPart::Rule, rule);
    std::sort(excluded.begin(), excluded.end());
    excluded.erase(std::unique(excluded.begin(), excluded.end()), excluded.end());
    Digest days;
    for (DateKey key : excluded) days.Add32(key);
    set(PrintPart::Exclusions, days);
    return p;
}

bool ReadSyncedPrint(const RegKey& eventKey, EventPrint& out) {
    std::string bytes;
    return eventKey.ReadBinary(kSyncedPrintValue, EventPrint::kBytes, bytes) && EventPrint::Decode(bytes, out);
}

bool WriteSyncedPrint(const RegKey& eventKey, const EventPrint& print) {
    const std::string bytes = print.Encode();
    return eventKey.WriteBinary(kSyncedPrintValue, bytes.data(), bytes.size());
}
