// The stored date fields are unsigned seconds: a series running past
// 2038-01-19 is stored, read back, drawn and reminded like any other, in
// every test zone and in both runtimes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "calendar/month_layout.h"
#include "core/occurrence.h"
#include "dialogs/schedule_model.h"
#include "platform/memory/memory_registry.h"
#include "portable/core_zone.h"
#include "portable/store_fakes.h"
#include "store/event_store.h"
#include "store/registry_paths.h"

namespace {

// Mondays at nine from 2037-12-07 to 2040-06-01.
ScheduleItem MondaysInto2040() {
    ScheduleItem item;
    item.front.id = 1;
    item.front.recurKind = kKindWeekly;
    item.front.recurPattern = 1 << 1;
    item.front.startDate = static_cast<std::uint32_t>(Local(2037, 12, 7));
    item.front.endDate = static_cast<std::uint32_t>(Local(2040, 6, 1, 23, 59, 59));
    item.front.startTime = 9 * 3600;
    item.front.endTime = 10 * 3600;
    item.title = "Standup";
    return item;
}

TEST(DatesAfter2038, TheRecordHoldsThemAsUnsignedSeconds) {
    ScheduleFront f = MondaysInto2040().front;
    f.endDate = 0xFFFFFFFF;  // 2106-02-07 06:28:15 UTC, the last one
    const auto bytes = f.Encode();
    EXPECT_EQ(ScheduleFront::Decode(bytes.data(), bytes.size()), f);
    EXPECT_GT(static_cast<Instant>(ScheduleFront::Decode(bytes.data(), bytes.size()).endDate), Local(2040, 6, 1));
}

TEST(DatesAfter2038, TheEngineAndTheMonthFindTheOccurrencesAcrossTheLimit) {
    const ScheduleItem item = MondaysInto2040();
    Instant start = 0;
    ASSERT_TRUE(FindOccurrence(item, Local(2038, 1, 19), item.front.endDate, &start));
    EXPECT_EQ(start, Local(2038, 1, 25, 9));
    ASSERT_TRUE(FindOccurrence(item, Local(2040, 5, 26), item.front.endDate, &start));
    EXPECT_EQ(start, Local(2040, 5, 28, 9));
    EXPECT_FALSE(FindOccurrence(item, Local(2040, 5, 29), item.front.endDate, nullptr));

    struct OneEvent final : EventSource {
        const EventList& Events() const override { return items; }
        const std::vector<Exclusion>& Exclusions() const override { return none; }
        std::vector<Exclusion> none;
        EventList items;
    } events;
    events.items.push_back(std::make_unique<ScheduleItem>(item));
    MonthLayout layout(events);
    layout.SetClientSize(400, 400);
    ASSERT_TRUE(layout.SetupMonth(2038, 1));
    std::vector<int> days;
    for (int d = 1; d <= 31; ++d)
        if (layout.slots[d][1].event != nullptr) days.push_back(d);
    EXPECT_EQ(days, (std::vector<int>{4, 11, 18, 25}));
}

TEST(DatesAfter2038, AStoredSeriesEndingIn2040Or2100LoadsAndTheEditorSavesOne) {
    MemoryRegistry registry;
    SettableClock clock(Local(2037, 12, 1, 12));
    OpenUserKey(registry, RegAccess::Write).WriteDword(kLastRunValue, static_cast<std::uint32_t>(clock.Now()));
    RecordingSchedule schedule;
    RecordingNotifier notifier;
    for (const int endYear : {2040, 2100}) {
        auto item = std::make_unique<ScheduleItem>(MondaysInto2040());
        item->front.endDate = static_cast<std::uint32_t>(Local(endYear, 6, 1, 23, 59, 59));
        {
            EventStore store(registry, clock, schedule, notifier);
            store.LoadEvents();
            ASSERT_TRUE(store.SaveEvent(item, true, true));
        }
        EventStore next(registry, clock, schedule, notifier);
        EXPECT_TRUE(next.LoadEvents());
        ASSERT_NE(next.FindEvent(1), nullptr) << endYear;
        EXPECT_EQ(static_cast<Instant>(next.FindEvent(1)->front.endDate), Local(endYear, 6, 1, 23, 59, 59));
    }

    // Typed into the editor: saved with its end, not refused for its rule.
    EditorFields f;
    f.title = "Standup";
    f.startDate = {2037, 12, 7};
    f.endDate = {2040, 6, 1};
    f.startTime = 9 * 3600;
    f.endTime = 10 * 3600;
    f.recurKind = kKindWeekly;
    f.recurPattern = 1 << 1;
    std::unique_ptr<ScheduleItem> edited;
    bool structure = false, actions = false;
    ASSERT_EQ(ApplyEditorFields(f, clock, edited, structure, actions), EditorRefusal::None);
    EXPECT_EQ(static_cast<Instant>(edited->front.endDate), Local(2040, 6, 1, 23, 59, 59));
    f.endDate = {2106, 2, 10};  // past what the fields hold
    edited.reset();
    EXPECT_EQ(ApplyEditorFields(f, clock, edited, structure, actions), EditorRefusal::DateOutOfRange);
}

}  // namespace
