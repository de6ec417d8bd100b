#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/time_types.h"
#include "platform/registry.h"

// An occurrence put off by the user: the event, the local date the
// occurrence starts on and the instant it comes back.
struct Snooze {
    std::uint32_t eventId = 0;
    DateKey day = 0;
    Instant fireAt = 0;
    // Not stored: the occurrence's start, found again at load. An edit that
    // moves it ends the snooze.
    Instant start = 0;
};

// The per-user value: 12 bytes an entry, event id, date key and the instant
// (unsigned seconds), each little-endian.
constexpr char kSnoozedValue[] = "Snoozed";
constexpr std::size_t kSnoozeEntryBytes = 12;
// More than any user puts off at once; a larger value is not believed.
constexpr std::size_t kMaxSnoozes = 256;

std::string EncodeSnoozes(const std::vector<Snooze>& snoozes);
// Complete entries only, at most kMaxSnoozes; starts are left 0.
std::vector<Snooze> DecodeSnoozes(const std::uint8_t* data, std::size_t size);

// The per-user value of the last reminder check, unsigned seconds: what
// began after it and before the next start was missed.
constexpr char kLastCheckedValue[] = "LastChecked";

// What the scheduler keeps between runs. Failures are silent.
class ReminderKeeper {
public:
    virtual ~ReminderKeeper() = default;
    virtual std::vector<Snooze> LoadSnoozes() = 0;
    // Deletes the value when the list is empty.
    virtual void SaveSnoozes(const std::vector<Snooze>& snoozes) = 0;
    // False when none is stored.
    virtual bool LoadLastChecked(Instant& at) = 0;
    virtual void SaveLastChecked(Instant at) = 0;
};

class RegistryReminderKeeper final : public ReminderKeeper {
public:
    explicit RegistryReminderKeeper(Registry& registry) : registry_(registry) {}
    std::vector<Snooze> LoadSnoozes() override;
    void SaveSnoozes(const std::vector<Snooze>& snoozes) override;
    bool LoadLastChecked(Instant& at) override;
    void SaveLastChecked(Instant at) override;

private:
    Registry& registry_;
};
