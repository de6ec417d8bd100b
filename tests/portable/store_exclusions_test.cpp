#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/memory/faulty_registry.h"
#include "platform/memory/memory_registry.h"
#include "portable/core_zone.h"
#include "portable/store_fakes.h"
#include "store/event_store.h"
#include "store/registry_paths.h"

namespace {

std::string Entry(DateKey date, std::uint32_t id) {
    std::string b;
    for (std::uint32_t v : {date, id})
        for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<char>((v >> shift) & 0xFF));
    return b;
}

class ExclusionTest : public testing::Test {
protected:
    SettableClock clock{Local(2025, 6, 15, 12)};
    MemoryRegistry memory;
    FaultyRegistry reg{memory};
    RecordingSchedule schedule;
    RecordingNotifier notifier;
    EventStore store{reg, clock, schedule, notifier};

    // The last start the program recorded: old entries are judged by it.
    void LastRun(Instant at) { OpenUserKey(reg, RegAccess::Write).WriteDword(kLastRunValue, static_cast<std::uint32_t>(at)); }

    void Add(std::uint32_t id, std::uint8_t kind) {
        auto e = std::make_unique<ScheduleItem>();
        e->front.id = id;
        e->front.recurKind = kind;
        e->title.assign(1, 'x');
        ASSERT_TRUE(store.SaveEvent(e, true, true));
        schedule.calls.clear();
        notifier.calls.clear();
    }

    // "EventExcluded" as stored, or "absent".
    std::string Stored() {
        RegType type{};
        std::string bytes;
        if (!memory.Peek(std::string(kUserKeyPath) + "\\" + std::string(kUserId), "EventExcluded", type, bytes))
            return "absent";
        EXPECT_EQ(type, RegType::Binary);
        return bytes;
    }

    void Load(const std::string& bytes) {
        store.LoadExclusions(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
};

TEST_F(ExclusionTest, RecurringEventsExcludeOneDateAtATime) {
    Add(3, kKindWeekly);
    const DateKey june20 = MakeDateKey(2025, 6, 20);
    store.ToggleExclusion(3, 2025, 6, 20, kKindWeekly);
    store.ToggleExclusion(3, 2025, 6, 27, kKindWeekly);
    EXPECT_TRUE(store.IsExcluded(3, june20, kKindWeekly));
    EXPECT_TRUE(store.IsExcluded(3, MakeDateKey(2025, 6, 27), kKindWeekly));
    EXPECT_FALSE(store.IsExcluded(3, MakeDateKey(2025, 6, 21), kKindWeekly));
    EXPECT_FALSE(store.IsExcluded(4, june20, kKindWeekly));

    store.ToggleExclusion(3, 2025, 6, 20, kKindWeekly);  // the same date again includes it
    EXPECT_FALSE(store.IsExcluded(3, june20, kKindWeekly));
    EXPECT_EQ(store.Exclusions(), (std::vector<Exclusion>{{MakeDateKey(2025, 6, 27), 3}}));
    EXPECT_EQ(schedule.calls, (Calls{"drop 3", "reschedule 3", "drop 3", "reschedule 3", "drop 3", "reschedule 3"}));
    EXPECT_EQ(notifier.calls, (Calls{"calendar", "calendar", "calendar"}));
}

TEST_F(ExclusionTest, AnEntryExcludesANonRecurringEventWhateverItsDate) {
    Add(8, kKindNone);
    store.ToggleExclusion(8, 2025, 6, 10, kKindNone);
    EXPECT_TRUE(store.IsExcluded(8, MakeDateKey(2025, 6, 11), kKindNone));
    EXPECT_TRUE(store.IsExcluded(8, MakeDateKey(2030, 1, 1), 29));
    EXPECT_FALSE(store.IsExcluded(8, MakeDateKey(2025, 6, 11), kKindDaily));  // by date for recurring kinds
    store.ToggleExclusion(8, 2025, 6, 12, kKindNone);  // another date: included again
    EXPECT_FALSE(store.IsExcluded(8, MakeDateKey(2025, 6, 10), kKindNone));
    EXPECT_TRUE(store.Exclusions().empty());

    store.ToggleExclusion(99, 2025, 6, 12, kKindNone);  // no such event
    EXPECT_TRUE(store.Exclusions().empty());
    EXPECT_EQ(notifier.calls, (Calls{"calendar", "calendar"}));
}

TEST_F(ExclusionTest, EveryToggleReachesTheRegistryAtOnce) {
    Add(3, kKindDaily);
    Add(5, kKindDaily);
    EXPECT_EQ(Stored(), "absent");
    store.ToggleExclusion(5, 2025, 7, 1, kKindDaily);
    store.ToggleExclusion(3, 2025, 6, 30, kKindDaily);
    // In list order, date then id, little-endian.
    EXPECT_EQ(Stored(), Entry(0x07E90701, 5) + Entry(0x07E9061E, 3));
    EXPECT_EQ(store.SaveExclusions(), Stored());

    // A store started now (as after a crash) finds both.
    EventStore next{reg, clock, schedule, notifier};
    const std::string stored = Stored();
    next.LoadExclusions(reinterpret_cast<const std::uint8_t*>(stored.data()), stored.size());
    EXPECT_EQ(next.Exclusions(), store.Exclusions());

    store.ToggleExclusion(5, 2025, 7, 1, kKindDaily);
    store.ToggleExclusion(3, 2025, 6, 30, kKindDaily);
    EXPECT_EQ(Stored(), "absent");  // an empty list is no value at all
}

TEST_F(ExclusionTest, LoadTakesWholeEntriesAndPrunesOldOnes) {
    // The last run was now, mid-June 2025: entries before 1 January 2025 are gone.
    LastRun(clock.Now());
    Load(Entry(MakeDateKey(2025, 1, 1), 1) + Entry(MakeDateKey(2024, 12, 31), 2) + Entry(MakeDateKey(2026, 2, 1), 3) +
         std::string("\x01\x02\x03\x04", 4));  // 20 bytes: two whole entries and a stub
    EXPECT_EQ(store.Exclusions(), (std::vector<Exclusion>{{MakeDateKey(2025, 1, 1), 1}, {MakeDateKey(2026, 2, 1), 3}}));

    // Twenty bytes, both entries recent enough: two entries.
    EventStore other{reg, clock, schedule, notifier};
    const std::string twenty = Entry(MakeDateKey(2025, 6, 1), 4) + Entry(MakeDateKey(2025, 6, 2), 5) + "tail";
    other.LoadExclusions(reinterpret_cast<const std::uint8_t*>(twenty.data()), twenty.size());
    EXPECT_EQ(other.Exclusions().size(), 2u);
}

// Only what the calendar can no longer show goes: everything from the first
// day of the month five months back stays, across the year's end too.
TEST_F(ExclusionTest, PruningKeepsEveryMonthTheCalendarShows) {
    struct Row {
        Instant lastRun;
        DateKey firstKept;
        DateKey lastPruned;
    } rows[] = {
        {Local(2025, 6, 15, 12), MakeDateKey(2025, 1, 1), MakeDateKey(2024, 12, 31)},
        {Local(2025, 2, 10, 12), MakeDateKey(2024, 9, 1), MakeDateKey(2024, 8, 31)},
        {Local(2025, 1, 31, 12), MakeDateKey(2024, 8, 1), MakeDateKey(2024, 7, 31)},
        {Local(2025, 5, 1, 0), MakeDateKey(2024, 12, 1), MakeDateKey(2024, 11, 30)},
    };
    for (const Row& row : rows) {
        clock.Set(row.lastRun);
        LastRun(clock.Now());
        EventStore next{reg, clock, schedule, notifier};
        const std::string bytes = Entry(row.lastPruned, 1) + Entry(row.firstKept, 2) + Entry(row.firstKept + 2, 3);
        next.LoadExclusions(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        EXPECT_EQ(next.Exclusions(), (std::vector<Exclusion>{{row.firstKept, 2}, {row.firstKept + 2, 3}}))
            << row.firstKept;
    }
}

// An imported biweekly rule may start a week before its first occurrence
// and leave out the days between: those entries outlive the pruning, or the
// days would show before the series began.
TEST_F(ExclusionTest, OldEntriesThatAlignASeriesFirstWeekStay) {
    for (std::uint32_t id : {1u, 2u}) {
        auto e = std::make_unique<ScheduleItem>();
        e->front.id = id;
        e->front.recurKind = id == 1 ? kKindWeekly : kKindDaily;
        e->front.recurFlags = 1;
        e->front.startDate = static_cast<std::uint32_t>(Local(2024, 11, 4));  // a Monday
        e->front.endDate = static_cast<std::uint32_t>(Local(2024, 11, 4, 23, 59, 59));
        e->title.assign(1, 'x');
        ASSERT_TRUE(store.SaveEvent(e, true, true));
    }
    LastRun(clock.Now());  // mid-June: entries before January are old
    EventStore next{reg, clock, schedule, notifier};
    const std::string bytes = Entry(MakeDateKey(2024, 11, 5), 1) + Entry(MakeDateKey(2024, 11, 10), 1) +
                              Entry(MakeDateKey(2024, 11, 11), 1) + Entry(MakeDateKey(2024, 11, 5), 2) +
                              Entry(MakeDateKey(2024, 11, 5), 7) + Entry(MakeDateKey(2025, 5, 6), 1);
    next.LoadExclusions(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    next.LoadEvents();
    EXPECT_EQ(next.Exclusions(), (std::vector<Exclusion>{{MakeDateKey(2025, 5, 6), 1},
                                                         {MakeDateKey(2024, 11, 5), 1},
                                                         {MakeDateKey(2024, 11, 10), 1}}));
}

TEST_F(ExclusionTest, RemoveExclusionsTakesEveryEntryOfTheEvent) {
    Add(1, kKindDaily);
    Add(2, kKindDaily);
    store.ToggleExclusion(1, 2025, 6, 20, kKindDaily);
    store.ToggleExclusion(2, 2025, 6, 20, kKindDaily);
    store.ToggleExclusion(1, 2025, 6, 22, kKindDaily);
    store.RemoveExclusions(1);
    EXPECT_EQ(store.Exclusions(), (std::vector<Exclusion>{{MakeDateKey(2025, 6, 20), 2}}));
    EXPECT_EQ(Stored(), Entry(MakeDateKey(2025, 6, 20), 2));
}

// Entries of an id no event has (their event's deletion could not rewrite
// the value) stay inert until a new event takes the id, and then go.
TEST_F(ExclusionTest, ANewEventTakesNoEntriesOfItsIdOver) {
    Load(Entry(MakeDateKey(2025, 6, 20), 4) + Entry(MakeDateKey(2025, 6, 21), 2));
    Add(2, kKindDaily);
    EXPECT_FALSE(store.IsExcluded(2, MakeDateKey(2025, 6, 21), kKindDaily));
    EXPECT_EQ(store.Exclusions(), (std::vector<Exclusion>{{MakeDateKey(2025, 6, 20), 4}}));
    EXPECT_EQ(Stored(), Entry(MakeDateKey(2025, 6, 20), 4));
    store.ToggleExclusion(2, 2025, 6, 22, kKindDaily);
    auto edited = std::make_unique<ScheduleItem>(*store.FindEvent(2));
    ASSERT_TRUE(store.SaveEvent(edited, true, false));  // an edit keeps its own
    EXPECT_TRUE(store.IsExcluded(2, MakeDateKey(2025, 6, 22), kKindDaily));
}

}  // namespace
