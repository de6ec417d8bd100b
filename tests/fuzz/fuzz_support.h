#pragma once
// What every fuzz target shares: a reader that turns the fuzzer's bytes into
// registry values, zones and instants; the check that stops the run on a
// broken rule; and stand-ins for the timer, the actions and the windows, so
// the real store and scheduler run against the in-memory registry.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/calendar.h"
#include "core/clock.h"
#include "core/local_zone.h"
#include "platform/memory/memory_registry.h"
#include "reminder/reminder_scheduler.h"
#include "store/event_store.h"
#include "store/preferences.h"
#include "store/registry_paths.h"
#include "store/snoozes.h"

// A broken rule is a finding like a crash: libFuzzer keeps the input.
#define ORV_FUZZ_CHECK(cond)                                                           \
    do {                                                                               \
        if (!(cond)) {                                                                 \
            std::fprintf(stderr, "%s:%d: rule broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

// A registry value as the input describes it: its type and its bytes, or absent.
struct FuzzValue {
    RegType type = RegType::Binary;
    std::string bytes;
};

// Reads the input front to back; past its end every read yields zeros, so
// every input is a valid description.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(U16()) | static_cast<std::uint32_t>(U16()) << 16; }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::int64_t I64() {
        const std::uint64_t low = U32();
        return static_cast<std::int64_t>(low | static_cast<std::uint64_t>(U32()) << 32);
    }

    // Up to length bytes, fewer when the input ends first.
    std::string Bytes(std::size_t length) {
        const std::size_t n = std::min(length, size_ - at_);
        std::string out(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return out;
    }

    // A tag (low three bits: 0 absent, 4 multi-string; otherwise the low two:
    // 1 text, 2 binary, 3 number), a 16-bit length and the bytes.
    std::optional<FuzzValue> Value() {
        const std::uint8_t tag = Byte() & 7;
        if (tag == 0) return std::nullopt;
        const std::uint16_t length = U16();
        FuzzValue v;
        v.type = tag == 4       ? RegType::MultiSz
                 : (tag & 3) == 1 ? RegType::Sz
                 : (tag & 3) == 2 ? RegType::Binary
                                  : RegType::Dword;
        v.bytes = Bytes(length);
        return v;
    }

    bool AtEnd() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The zones the tests run under; switched only when another one is asked for.
inline void SelectZone(std::uint8_t selector) {
    static const char* const kZones[] = {"UTC", "Europe/Berlin", "America/New_York", "America/Santiago",
                                         "Australia/Lord_Howe", "Asia/Kolkata"};
    static int current = -1;
    const int index = selector % 6;
    if (index == current) return;
    setenv("TZ", kZones[index], 1);
    tzset();
    ResetLocalTimeCache();  // as the program does on WM_TIMECHANGE
    current = index;
}

inline Instant UtcInstant(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DaysFromCivil(y, mo, d) * kSecondsPerDay + h * 3600 + mi * 60 + s;
}

// "Now" for a run: mid-year, daylight-saving days of the zones, the turn of a year.
inline Instant SelectNow(std::uint8_t selector) {
    const Instant nows[] = {UtcInstant(2026, 6, 15, 12),     UtcInstant(2026, 3, 29, 1, 30),
                            UtcInstant(2026, 11, 1, 6, 30),  UtcInstant(2026, 12, 31, 23, 59, 59),
                            UtcInstant(2026, 1, 1),          UtcInstant(2026, 4, 5, 3),
                            UtcInstant(2026, 9, 6, 4),       UtcInstant(2027, 2, 28, 23, 30)};
    return nows[selector % 8];
}

inline void Plant(Registry& registry, std::string_view keyPath, std::string_view name, const FuzzValue& value) {
    const RegKey key = RegKey::Create(registry, keyPath, RegAccess::All);
    if (key) {
        registry.SetValue(key.Handle(), name, value.type, value.bytes.data(),
                          static_cast<std::uint32_t>(value.bytes.size()));
    }
}

struct ManualClock final : Clock {
    Instant now = 0;
    Instant Now() const override { return now; }
};

struct NullTimer final : ReminderTimer {
    void Set(std::uint32_t) override {}
    void Kill() override {}
};

struct NullActions final : ReminderActions {
    void PlaySoundFile(const std::string&) override {}
    bool FileExists(const std::string&) override { return true; }
    void OpenFile(const std::string&) override {}
};

struct NullUpcoming final : UpcomingLink {
    bool IsOpen() const override { return false; }
    void Open() override {}
    void Send(std::uintptr_t, PendingReminder*) override {}
};

struct NullNotifier final : ScheduleNotifier {
    void CalendarChanged() override {}
    void UpcomingEventsDeleted() override {}
};

// The last start the program recorded, as a start with the right clock leaves it.
inline void PlantLastRun(Registry& registry, Instant at) {
    OpenUserKey(registry, RegAccess::Write).WriteDword(kLastRunValue, static_cast<std::uint32_t>(at));
}

// The store with the real scheduler behind it, as the main frame holds them;
// kept, the scheduler keeps its snoozes and last check in the registry.
struct StoreRig {
    explicit StoreRig(Registry& r, Instant now, bool kept = false) : registry(r), keeper(r), keep(kept) {
        clock.now = now;
    }

    Registry& registry;
    ManualClock clock;
    Preferences prefs;
    NullTimer timer;
    NullActions actions;
    NullUpcoming upcoming;
    NullNotifier notifier;
    RegistryReminderKeeper keeper;
    bool keep;
    // The two refer to each other; neither uses the other while being built.
    EventStore store{registry, clock, scheduler, notifier};
    ReminderScheduler scheduler{store, prefs, clock, timer, actions, upcoming, keep ? &keeper : nullptr};
};
