// "Snoozed" and "LastChecked" of any type and length beside a few events:
// the start prunes the snoozes and fires those due, the user puts one off,
// and a restart finds in the registry what the last run held.
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

bool SameList(const std::vector<Snooze>& a, const std::vector<Snooze>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].eventId != b[i].eventId || a[i].day != b[i].day || a[i].fireAt != b[i].fireAt) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    SelectZone(in.Byte());
    const Instant now = SelectNow(in.Byte());
    MemoryRegistry registry;
    {
        // Up to three events around now, stored as the editor stores them.
        StoreRig first(registry, now);
        first.store.LoadEvents();
        const int count = in.Byte() % 4;
        for (int i = 0; i < count; ++i) {
            auto item = std::make_unique<ScheduleItem>();
            item->front.id = static_cast<std::uint32_t>(i + 1);
            const Instant day = now + (static_cast<std::int8_t>(in.Byte()) % 9) * kSecondsPerDay;
            Instant midnight = 0;
            LocalFields f;
            if (!BreakDownLocal(day, f) || !TryMakeLocalTime(f.year, f.month, f.day, 0, 0, 0, midnight)) continue;
            item->front.startDate = static_cast<std::int32_t>(midnight);
            item->front.endDate = static_cast<std::int32_t>(EndOfDay(midnight) + (in.Byte() % 10) * kSecondsPerDay);
            item->front.startTime = static_cast<std::int32_t>(in.U32() % kSecondsPerDay);
            item->front.endTime = item->front.startTime;
            item->front.recurKind = (in.Byte() & 1) != 0 ? 30 : 0;  // daily or once
            item->front.recurFlags = 1;
            item->front.recurInterval = 1;
            item->remindMinutes = static_cast<std::int16_t>(in.U16());
            item->title = "E";
            first.store.SaveEvent(item, true, true);
        }
    }
    const std::string userKey = std::string(kUserKeyPath) + "\\" + std::string(kUserId);
    if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, userKey, kSnoozedValue, *v);
    if (const std::optional<FuzzValue> v = in.Value()) Plant(registry, userKey, kLastCheckedValue, *v);

    std::vector<Snooze> held;
    {
        StoreRig rig(registry, now, true);
        rig.store.LoadEvents();
        const std::vector<Snooze>& snoozes = rig.scheduler.Snoozes();
        ORV_FUZZ_CHECK(snoozes.size() <= kMaxSnoozes);
        for (const Snooze& s : snoozes) {
            // Each names a stored event's occurrence on its day, and is still ahead, no further than the longest.
            ORV_FUZZ_CHECK(rig.store.FindEvent(s.eventId) != nullptr);
            ORV_FUZZ_CHECK(DateKeyOf(s.start) == s.day);
            ORV_FUZZ_CHECK(s.fireAt > now + kReminderTolerance && s.fireAt <= now + kLongestSnooze);
        }
        if (!rig.scheduler.Pending().empty()) {
            const PendingReminder& first = *rig.scheduler.Pending().front();
            ORV_FUZZ_CHECK(rig.scheduler.SnoozeOccurrence(first.item->front.id, first.start, now + 600));
            // What the user put off is in the registry at once.
            ORV_FUZZ_CHECK(SameList(rig.keeper.LoadSnoozes(), rig.scheduler.Snoozes()));
        }
        held = rig.scheduler.Snoozes();
    }
    ORV_FUZZ_CHECK(registry.OpenHandleCount() == 0);
    if (!held.empty()) {
        // Killed and started again at once: the same snoozes, none lost, none fired.
        StoreRig again(registry, now, true);
        again.store.LoadEvents();
        ORV_FUZZ_CHECK(SameList(again.scheduler.Snoozes(), held));
    }
    return 0;
}
