#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/memory/faulty_registry.h"
#include "platform/memory/memory_registry.h"
#include "portable/core_zone.h"
#include "portable/store_fakes.h"
#include "store/event_store.h"
#include "store/registry_paths.h"

namespace {

std::unique_ptr<ScheduleItem> Event(std::uint32_t id, int hour, int minute = 0, std::string title = "Event") {
    auto item = std::make_unique<ScheduleItem>();
    item->front.id = id;
    item->front.startDate = static_cast<std::int32_t>(Local(2025, 6, 10));
    item->front.endDate = static_cast<std::int32_t>(Local(2025, 6, 10, 23, 59, 59));
    item->front.startTime = hour * 3600 + minute * 60;
    item->front.endTime = item->front.startTime + 1800;
    item->title = std::move(title);
    return item;
}

class EventStoreTest : public testing::Test {
protected:
    SettableClock clock{Local(2025, 6, 15, 12)};
    MemoryRegistry memory;
    FaultyRegistry reg{memory};
    RecordingSchedule schedule;
    RecordingNotifier notifier;
    std::unique_ptr<EventStore> store = Restart();

    // A fresh store over the same registry, as at the next start.
    std::unique_ptr<EventStore> Restart() {
        schedule.calls.clear();
        notifier.calls.clear();
        return std::make_unique<EventStore>(reg, clock, schedule, notifier);
    }

    RegKey EventKey(const std::string& name) {
        return RegKey::Create(RegKey::Create(memory, kEventsKeyPath, RegAccess::All), name, RegAccess::All);
    }

    // Writes an event's key in the stored layout.
    void Put(const std::string& name, const ScheduleItem& item) {
        const RegKey key = EventKey(name);
        const auto front = item.front.Encode();
        const auto priv = item.Actions().Encode();
        ASSERT_TRUE(key.WriteBinary("front", front.data(), front.size()));
        ASSERT_TRUE(key.WriteBinary("priv", priv.data(), priv.size()));
        ASSERT_TRUE(key.WriteString("title", item.title));
        ASSERT_TRUE(key.WriteString("note", item.note));
        ASSERT_TRUE(key.WriteString("soundfile", item.soundfile));
        ASSERT_TRUE(key.WriteString("launchfile", item.launchfile));
    }

    // The last start the program recorded: old events are judged by it.
    void LastRun(Instant at) { OpenUserKey(memory, RegAccess::Write).WriteDword(kLastRunValue, static_cast<std::uint32_t>(at)); }
    std::uint32_t StoredLastRun() {
        std::uint32_t at = 0;
        OpenUserKey(memory, RegAccess::Read).ReadDword(kLastRunValue, at);
        return at;
    }

    std::set<std::string> StoredKeys() {
        std::set<std::string> names;
        const RegKey sc = RegKey::Open(memory, kEventsKeyPath, RegAccess::Read);
        std::string name;
        for (std::uint32_t i = 0; sc.EnumSubkey(i, 19, name); ++i) names.insert(name);
        return names;
    }

    std::vector<std::uint32_t> Ids() const {
        std::vector<std::uint32_t> ids;
        for (const auto& e : store->Events()) ids.push_back(e->front.id);
        return ids;
    }

    void TearDown() override { EXPECT_EQ(memory.OpenHandleCount(), 0u) << "a key was left open"; }
};

TEST_F(EventStoreTest, LoadKeepsGoodEventsAndDeletesExpiredAndLinkedOnes) {
    LastRun(clock.Now());
    auto good = Event(1, 9);
    good->title = "  Dentist \t";
    good->note = "\n bring card  ";
    good->soundfile = " chime.wav";
    good->actions = kActionPlaySound;
    good->remindMinutes = 25;
    Put("1", *good);

    auto endedBefore = Event(2, 9);  // ended the second before day 1 of the month five back
    endedBefore->front.endDate = static_cast<std::int32_t>(Local(2025, 1, 1) - 1);
    Put("2", *endedBefore);
    auto endedOnStart = Event(3, 9);
    endedOnStart->front.endDate = static_cast<std::int32_t>(Local(2025, 1, 1));
    Put("3", *endedOnStart);
    auto endless = Event(4, 9);  // recurs without end: never too old
    endless->front.recurKind = kKindDaily;
    endless->front.recurFlags = 1;
    endless->front.startDate = endless->front.endDate = static_cast<std::int32_t>(Local(2020, 3, 1));
    Put("4", *endless);
    auto endlessFlagIgnored = Event(5, 9);  // the flag means nothing without recurrence
    endlessFlagIgnored->front.recurFlags = 1;
    endlessFlagIgnored->front.endDate = static_cast<std::int32_t>(Local(2020, 3, 1));
    Put("5", *endlessFlagIgnored);
    auto future = Event(6, 9);  // starts on day 1 of the month seven ahead: kept, shown when the window comes
    future->front.recurKind = kKindDaily;
    future->front.recurFlags = 1;
    future->front.startDate = static_cast<std::int32_t>(Local(2026, 1, 1));
    Put("6", *future);
    auto lastDay = Event(7, 9);
    lastDay->front.startDate = static_cast<std::int32_t>(Local(2026, 1, 1) - 1);
    lastDay->front.endDate = static_cast<std::int32_t>(Local(2026, 1, 1) + 3600);
    Put("7", *lastDay);
    auto linked = Event(8, 9);
    linked->front.linkKind = 1;
    linked->front.parentId = 1;
    Put("8", *linked);

    EXPECT_TRUE(store->LoadEvents());  // nothing damaged
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{1, 3, 4, 6, 7}));
    EXPECT_EQ(StoredKeys(), (std::set<std::string>{"1", "3", "4", "6", "7"}));
    const ScheduleItem* dentist = store->FindEvent(1);
    ASSERT_NE(dentist, nullptr);
    EXPECT_EQ(dentist->title, "Dentist");
    EXPECT_EQ(dentist->note, "bring card");
    EXPECT_EQ(dentist->soundfile, " chime.wav");  // paths are taken as they are
    EXPECT_EQ(dentist->actions, kActionPlaySound);
    EXPECT_EQ(dentist->remindMinutes, 25);
    EXPECT_FALSE(dentist->filesChosen);  // older data does not say: not the user's
    EXPECT_EQ(dentist->front, good->front);
    EXPECT_TRUE(store->Loaded());
    EXPECT_EQ(schedule.calls, Calls{"start"});
    EXPECT_TRUE(notifier.calls.empty());
}

// A clock set wrong for one start (a dead battery, a restored snapshot)
// deletes nothing that the last correct start would not have deleted.
TEST_F(EventStoreTest, AWrongClockDeletesNothingTheLastRunWouldNotHave) {
    const Instant real = Local(2025, 6, 15, 12);
    const auto ending = [](std::uint32_t id, Instant end) {
        auto e = Event(id, 9);
        e->front.endDate = static_cast<std::int32_t>(end);
        return e;
    };
    const struct {
        const char* clock;
        Instant lastRun;  // 0: none recorded (an older version ran last)
        Instant now;
        std::set<std::string> kept;
    } starts[] = {
        {"right, first start of this version", 0, real, {"1", "2", "3", "4", "5"}},
        {"right", real - 86400, real, {"2", "3", "4", "5"}},
        {"three months behind", real, Local(2025, 3, 15, 12), {"1", "2", "3", "4", "5"}},
        {"seven months ahead", real, Local(2026, 1, 15, 12), {"2", "3", "4", "5"}},
        {"right again after one ahead", Local(2026, 1, 15, 12), real, {"1", "2", "3", "4", "5"}},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.clock);
        Put("1", *ending(1, Local(2024, 12, 20)));                 // over before January
        Put("2", *ending(2, Local(2025, 3, 1)));                   // over, within the window
        Put("3", *ending(3, Local(2025, 6, 16, 23, 59, 59)));      // tomorrow
        auto ahead = Event(4, 9);                                  // 129 days ahead
        ahead->front.startDate = static_cast<std::int32_t>(Local(2025, 10, 22));
        ahead->front.endDate = static_cast<std::int32_t>(Local(2025, 10, 22, 23, 59, 59));
        Put("4", *ahead);
        auto series = ending(5, Local(2025, 8, 31, 23, 59, 59));  // daily until August
        series->front.recurKind = kKindDaily;
        Put("5", *series);
        if (start.lastRun != 0) LastRun(start.lastRun);
        clock.Set(start.now);
        store = Restart();
        EXPECT_TRUE(store->LoadEvents());
        EXPECT_EQ(StoredKeys(), start.kept);
        EXPECT_EQ(StoredLastRun(), static_cast<std::uint32_t>(start.now));
    }
}

// A title longer than the read limit (a restored export, another tool) is
// an event all the same: cut at the limit, never inside a character.
TEST_F(EventStoreTest, ALongTitleIsCutAtTheLimitNotTakenForDamage) {
    const std::string e9 = "\xC3\xA9";  // U+00E9 in UTF-8: one character, two bytes
    const std::string smile = "\xF0\x9F\x99\x82";  // U+1F642: two UTF-16 units
    struct Row {
        std::string stored;
        std::string loaded;  // empty: the event is deleted as damaged
    } rows[] = {
        {std::string(61, 'x'), std::string(60, 'x')},
        {std::string(500, 'y'), std::string(60, 'y')},
        {std::string(59, 'u') + e9 + "zz", std::string(59, 'u') + e9},
        {std::string(59, 'u') + smile + "z", std::string(59, 'u')},
        {"   " + std::string(70, 's'), std::string(57, 's')},
        {std::string(64 * 1024 - 1, 'w'), std::string(60, 'w')},  // with its zero, the longest read
        {std::string(64 * 1024, 'w'), ""},
    };
    std::uint32_t id = 1;
    for (const Row& row : rows) {
        Put(std::to_string(id), *Event(id, 9));
        EventKey(std::to_string(id)).WriteString("title", row.stored);
        ++id;
    }
    store->LoadEvents();
    id = 1;
    for (const Row& row : rows) {
        const ScheduleItem* e = store->FindEvent(id++);
        EXPECT_EQ(e != nullptr ? e->title : std::string(), row.loaded) << row.stored.size();
    }
}

TEST_F(EventStoreTest, TheSecondHalfOfTheLoadReadsWhatNoPaintShowsAndIsFinishedByAnyEdit) {
    auto dentist = Event(1, 10, 0, "Dentist");
    dentist->note = "bring card";
    dentist->soundfile = "chime.wav";
    Put("1", *dentist);
    Put("2", *Event(2, 11));

    const std::uint32_t before = reg.Calls(RegOp::Read);
    EXPECT_TRUE(store->BeginLoad());
    EXPECT_EQ(reg.Calls(RegOp::Read) - before, 1 + 2u * 3);  // the last run; front, priv, title
    EXPECT_EQ(store->Events().front()->title, "Dentist");
    EXPECT_EQ(store->Events().front()->note, "");
    EXPECT_FALSE(store->Loaded());
    EXPECT_TRUE(schedule.calls.empty());  // no reminder runs on half an event

    ASSERT_TRUE(EventKey("1").WriteString("note", "read late"));
    store->FinishLoad();
    EXPECT_EQ(store->Events().front()->note, "read late");
    EXPECT_EQ(store->Events().front()->soundfile, "chime.wav");
    EXPECT_TRUE(store->Loaded());
    EXPECT_EQ(schedule.calls, Calls{"start"});
    store->FinishLoad();
    EXPECT_EQ(schedule.calls, Calls{"start"});

    // An edit reached before the posted second half finds the event whole.
    store = Restart();
    ASSERT_TRUE(store->BeginLoad());
    const ScheduleItem* found = store->FindEvent(1);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->note, "read late");
    EXPECT_EQ(schedule.calls, Calls{"start"});
}

TEST_F(EventStoreTest, LoadDeletesDamagedRecordsAndReportsThem) {
    const auto base = Event(1, 10);
    const auto front = base->front.Encode();
    const auto priv = base->Actions().Encode();
    {
        RegKey noFront = EventKey("10");
        noFront.WriteString("title", "x");
        RegKey emptyFront = EventKey("11");
        emptyFront.WriteBinary("front", front.data(), 0);
        emptyFront.WriteBinary("priv", priv.data(), priv.size());
        emptyFront.WriteString("title", "x");
        RegKey longFront = EventKey("12");  // longer than its 36 bytes: unreadable
        const std::string longer(reinterpret_cast<const char*>(front.data()), front.size());
        longFront.WriteBinary("front", (longer + "!").data(), longer.size() + 1);
        longFront.WriteBinary("priv", priv.data(), priv.size());
        longFront.WriteString("title", "x");
        RegKey noPriv = EventKey("13");
        noPriv.WriteBinary("front", front.data(), front.size());
        noPriv.WriteString("title", "x");
        RegKey longPriv = EventKey("14");
        longPriv.WriteBinary("front", front.data(), front.size());
        longPriv.WriteBinary("priv", "12345", 5);
        longPriv.WriteString("title", "x");
        RegKey blankTitle = EventKey("15");
        blankTitle.WriteBinary("front", front.data(), front.size());
        blankTitle.WriteBinary("priv", priv.data(), priv.size());
        blankTitle.WriteString("title", "   \t ");
    }
    // A short front reads as far as it goes, the rest zero: still an event.
    auto shortFront = Event(20, 8);
    shortFront->front.recurInterval = 3;
    Put("20", *shortFront);
    EventKey("20").WriteBinary("front", shortFront->front.Encode().data(), 32);

    // So does a short priv.
    auto shortPriv = Event(21, 8);
    shortPriv->remindMinutes = 30;
    Put("21", *shortPriv);
    EventKey("21").WriteBinary("priv", "\x03", 1);

    // An event under a key not named by its id could never be replaced or
    // deleted for good; a name too long for any id hides nothing after it.
    Put("22", *Event(23, 8));
    Put(std::string(30, 'n'), *Event(1, 8));
    Put("24", *Event(24, 8));

    EXPECT_FALSE(store->LoadEvents());
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{20, 21, 24}));
    EXPECT_EQ(store->FindEvent(20)->front.recurInterval, 0);
    EXPECT_EQ(store->FindEvent(20)->front.startTime, shortFront->front.startTime);
    EXPECT_EQ(store->FindEvent(21)->actions, kActionPlaySound | kActionLaunchFile);
    EXPECT_EQ(store->FindEvent(21)->remindMinutes, 0);
    EXPECT_EQ(StoredKeys(), (std::set<std::string>{"20", "21", "24"}));
    EXPECT_EQ(schedule.calls, Calls{"start"});
}

TEST_F(EventStoreTest, StoredTextIsBoundedByItsBuffer) {
    auto item = Event(1, 9);
    Put("1", *item);
    {
        const RegKey key = EventKey("1");
        // Stored without terminators, filling their buffers exactly.
        const std::string title(61, 't');
        const std::string note(256, 'n');
        const std::string sound(260, 's');
        key.WriteBinary("title", title.data(), title.size());
        key.WriteBinary("note", note.data(), note.size());
        key.WriteBinary("soundfile", sound.data(), sound.size());
        key.WriteString("launchfile", std::string(260, 'l'));  // 261 bytes: left empty
    }
    EXPECT_TRUE(store->LoadEvents());
    const ScheduleItem* e = store->FindEvent(1);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->title, std::string(60, 't'));
    EXPECT_EQ(e->note, std::string(255, 'n'));
    EXPECT_EQ(e->soundfile, std::string(259, 's'));
    EXPECT_EQ(e->launchfile, "");
}

TEST_F(EventStoreTest, LoadSurvivesRegistryFailures) {
    Put("1", *Event(1, 9));
    Put("2", *Event(2, 9));
    reg.FailName(RegOp::Open, "2");  // that key cannot be opened: skipped, kept, reported
    EXPECT_FALSE(store->LoadEvents());
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(StoredKeys(), (std::set<std::string>{"1", "2"}));

    reg.Heal();
    reg.FailName(RegOp::Open, "sc");
    store = Restart();
    EXPECT_TRUE(store->LoadEvents());
    EXPECT_TRUE(store->Events().empty());
    EXPECT_EQ(schedule.calls, Calls{"start"});  // the first check runs regardless
    EXPECT_TRUE(store->Loaded());

    reg.Heal();
    reg.FailName(RegOp::Read, "note");  // optional fields failing are no damage
    store = Restart();
    EXPECT_TRUE(store->LoadEvents());
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{1, 2}));
}

TEST_F(EventStoreTest, EqualTimesKeepTheirOrderOfArrival) {
    for (auto [id, hour, minute] : {std::tuple{1u, 9, 0}, {2u, 9, 0}, {3u, 8, 0}, {4u, 9, 0}, {5u, 8, 59}}) {
        auto e = Event(id, hour, minute);
        ASSERT_TRUE(store->SaveEvent(e, true, true));
    }
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{3, 5, 1, 2, 4}));

    // After a restart, equal times follow the order in which the registry
    // enumerates the keys.
    memory.DeleteKey(memory.CurrentUser(), std::string(kEventsKeyPath) + "\\1");
    Put("1", *Event(1, 9));
    store = Restart();
    ASSERT_TRUE(store->LoadEvents());
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{3, 5, 2, 4, 1}));
}

TEST_F(EventStoreTest, NextIdAndCapacity) {
    EXPECT_EQ(store->NextEventId(), 1u);
    for (std::uint32_t id : {7u, 1u, 2u}) {
        auto e = Event(id, 9);
        store->SaveEvent(e, true, true);
    }
    EXPECT_EQ(store->NextEventId(), 8u);
    store->DeleteEvent(2, 0, false);
    EXPECT_EQ(store->NextEventId(), 8u);  // no reuse below the largest
    auto big = Event(0x80000000u, 9);      // compared unsigned
    store->SaveEvent(big, true, true);
    EXPECT_EQ(store->NextEventId(), 0x80000001u);

    // An id at the top of the range must not wrap onto one in use.
    auto top = Event(0xFFFFFFFFu, 9);
    store->SaveEvent(top, true, true);
    EXPECT_EQ(store->NextEventId(), 2u);

    EXPECT_TRUE(store->CanAddEvent());
    for (std::uint32_t id = 100; store->Count() < 360; ++id) {
        auto e = Event(id, 9);
        store->SaveEvent(e, true, true);
    }
    EXPECT_TRUE(store->CanAddEvent());  // the 361st may still be added
    auto last = Event(1000, 9);
    store->SaveEvent(last, true, true);
    EXPECT_EQ(store->Count(), kMaxEvents);
    EXPECT_FALSE(store->CanAddEvent());
}

TEST_F(EventStoreTest, NewEventIsTakenAndWrittenInFull) {
    auto item = Event(5, 9, 30, "Standup");
    item->note = "room 4";
    item->soundfile = "C:\\a.wav";
    item->launchfile = "";
    item->actions = kActionPlaySound | kActionLaunchFile;
    item->remindMinutes = 15;
    item->filesChosen = true;
    const ScheduleItem copy = *item;
    ASSERT_TRUE(store->SaveEvent(item, true, true));
    EXPECT_EQ(item, nullptr);  // the store owns it now

    // The key is marked unfinished by an empty "front" until the real one, written last.
    EXPECT_EQ(reg.Writes(), (Calls{"front", "priv", "soundfile", "launchfile", "fileschosen", "title", "note", "front"}));
    EXPECT_EQ(schedule.calls, Calls{"reschedule 5"});
    EXPECT_EQ(notifier.calls, Calls{"calendar"});

    const std::string key = std::string(kEventsKeyPath) + "\\5";
    RegType type{};
    std::string bytes;
    ASSERT_TRUE(memory.Peek(key, "front", type, bytes));
    EXPECT_EQ(type, RegType::Binary);
    const auto front = copy.front.Encode();
    EXPECT_EQ(bytes, std::string(front.begin(), front.end()));
    ASSERT_TRUE(memory.Peek(key, "priv", type, bytes));
    EXPECT_EQ(type, RegType::Binary);
    EXPECT_EQ(bytes, std::string("\x03\0\x0F\0", 4));
    ASSERT_TRUE(memory.Peek(key, "title", type, bytes));
    EXPECT_EQ(type, RegType::Sz);
    EXPECT_EQ(bytes, std::string("Standup\0", 8));
    ASSERT_TRUE(memory.Peek(key, "launchfile", type, bytes));
    EXPECT_EQ(bytes, std::string("\0", 1));

    store = Restart();
    ASSERT_TRUE(store->LoadEvents());
    const ScheduleItem* back = store->FindEvent(5);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->front, copy.front);
    EXPECT_EQ(back->Actions(), copy.Actions());
    EXPECT_EQ(back->title, copy.title);
    EXPECT_EQ(back->note, copy.note);
    EXPECT_EQ(back->soundfile, copy.soundfile);
    EXPECT_TRUE(back->filesChosen);
}

TEST_F(EventStoreTest, StructuralEditReplacesTheEventAndKeepsItsActions) {
    auto first = Event(1, 9);
    first->soundfile = "old.wav";
    first->remindMinutes = 5;
    first->filesChosen = true;
    store->SaveEvent(first, true, true);
    auto other = Event(2, 10);
    store->SaveEvent(other, true, true);
    reg.ClearWrites();
    schedule.calls.clear();

    // Edited front and title, actions untouched: the stored actions win.
    auto edit = Event(1, 11, 0, "Moved");
    edit->soundfile = "ignored.wav";
    edit->remindMinutes = 99;
    ASSERT_TRUE(store->SaveEvent(edit, true, false));
    EXPECT_EQ(edit, nullptr);
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{2, 1}));  // placed again by its new time
    const ScheduleItem* e = store->FindEvent(1);
    EXPECT_EQ(e->title, "Moved");
    EXPECT_EQ(e->soundfile, "old.wav");
    EXPECT_EQ(e->remindMinutes, 5);
    EXPECT_TRUE(e->filesChosen);
    EXPECT_EQ(reg.Writes(), (Calls{"front", "title", "note", "front"}));
    EXPECT_EQ(schedule.calls, (Calls{"drop 1", "reschedule 1"}));
    EXPECT_EQ(store->Count(), 2u);
}

// The calendar's month points at events; it may paint while the reminder
// check of a save runs a message loop, before it has been told to rebuild.
TEST_F(EventStoreTest, ReplacedEventOutlivesTheCheckOfItsSave) {
    auto first = Event(1, 9, 0, "Before");
    store->SaveEvent(first, true, true);
    const ScheduleItem* shown = store->FindEvent(1);
    std::string seen;
    schedule.onReschedule = [&] { seen = shown->title; };
    auto edit = Event(1, 10, 0, "After");
    ASSERT_TRUE(store->SaveEvent(edit, true, false));
    EXPECT_EQ(seen, "Before");
    EXPECT_EQ(store->FindEvent(1)->title, "After");
}

TEST_F(EventStoreTest, ActionOnlyEditCopiesIntoTheStoredEvent) {
    auto first = Event(1, 9);
    store->SaveEvent(first, true, true);
    auto second = Event(2, 9);
    store->SaveEvent(second, true, true);
    const ScheduleItem* stored = store->FindEvent(1);
    reg.ClearWrites();
    schedule.calls.clear();
    notifier.calls.clear();

    auto edit = Event(1, 23, 0, "not saved");
    edit->soundfile = "new.wav";
    edit->launchfile = "notes.txt";
    edit->actions = kActionLaunchFile;
    edit->remindMinutes = 60;
    ASSERT_TRUE(store->SaveEvent(edit, false, true));
    ASSERT_NE(edit, nullptr);  // the caller keeps its copy
    EXPECT_EQ(store->FindEvent(1), stored);
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{1, 2}));  // keeps its place
    EXPECT_EQ(stored->title, "Event");
    EXPECT_EQ(stored->front.startTime, 9 * 3600);
    EXPECT_EQ(stored->soundfile, "new.wav");
    EXPECT_EQ(stored->launchfile, "notes.txt");
    EXPECT_EQ(stored->actions, kActionLaunchFile);
    EXPECT_EQ(stored->remindMinutes, 60);
    EXPECT_EQ(reg.Writes(), (Calls{"front", "priv", "soundfile", "launchfile", "fileschosen", "front"}));
    EXPECT_EQ(schedule.calls, (Calls{"drop 1", "reschedule 1"}));
    EXPECT_EQ(notifier.calls, Calls{"calendar"});

    // Nothing to copy into: nothing happens.
    reg.ClearWrites();
    schedule.calls.clear();
    notifier.calls.clear();
    auto stranger = Event(9, 9);
    EXPECT_FALSE(store->SaveEvent(stranger, false, true));
    EXPECT_NE(stranger, nullptr);
    EXPECT_EQ(store->Count(), 2u);
    EXPECT_TRUE(reg.Writes().empty());
    EXPECT_TRUE(schedule.calls.empty());
    EXPECT_TRUE(notifier.calls.empty());
}

TEST_F(EventStoreTest, FailedSaveLeavesNoHalfWrittenKey) {
    reg.FailName(RegOp::Write, "title");
    auto item = Event(4, 9);
    EXPECT_FALSE(store->SaveEvent(item, true, true));
    EXPECT_EQ(reg.Writes(), (Calls{"front", "priv", "soundfile", "launchfile", "fileschosen", "title"}));  // stops there
    EXPECT_EQ(StoredKeys(), std::set<std::string>{});
    EXPECT_NE(store->FindEvent(4), nullptr);  // stays for this run
    EXPECT_EQ(notifier.calls, Calls{"calendar"});

    reg.Heal();
    reg.FailName(RegOp::Open, "sc");
    auto other = Event(5, 9);
    EXPECT_FALSE(store->SaveEvent(other, true, true));
    EXPECT_EQ(StoredKeys(), std::set<std::string>{});

    reg.Heal();
    reg.FailNth(RegOp::Write, 1);
    auto third = Event(6, 9);
    EXPECT_FALSE(store->SaveEvent(third, true, true));
    EXPECT_EQ(StoredKeys(), std::set<std::string>{});

    store = Restart();
    EXPECT_TRUE(store->LoadEvents());
    EXPECT_TRUE(store->Events().empty());
}

TEST_F(EventStoreTest, AFailingRegistryLeavesNoMixtureOfTwoVersions) {
    auto stored = Event(4, 9, 0, "Stored");
    stored->soundfile = "old.wav";
    ASSERT_TRUE(store->SaveEvent(stored, true, true));

    // Nothing written: the stored version stays whole.
    reg.FailNth(RegOp::Write, 1);
    auto edit = Event(4, 10, 0, "Edited");
    edit->soundfile = "new.wav";
    EXPECT_FALSE(store->SaveEvent(edit, true, true));
    store = Restart();
    store->LoadEvents();
    ASSERT_NE(store->FindEvent(4), nullptr);
    EXPECT_EQ(store->FindEvent(4)->title, "Stored");
    EXPECT_EQ(store->FindEvent(4)->soundfile, "old.wav");

    // Failing from the title on, the deletion of the key too: the new sound
    // and the old title never load together.
    reg.Heal();
    reg.FailName(RegOp::Write, "title");
    reg.FailName(RegOp::Delete, "4");
    auto again = Event(4, 10, 0, "Edited");
    again->soundfile = "new.wav";
    EXPECT_FALSE(store->SaveEvent(again, true, true));
    reg.Heal();
    store = Restart();
    EXPECT_FALSE(store->LoadEvents());  // damaged, and deleted now
    EXPECT_EQ(store->FindEvent(4), nullptr);
    EXPECT_TRUE(StoredKeys().empty());
}

// A deletion or an exclusion the registry refuses says so: the window tells
// the user instead of showing a change the next start undoes.
TEST_F(EventStoreTest, RefusedDeletionsAndExclusionsAreReported) {
    for (std::uint32_t id : {1u, 2u}) {
        auto e = Event(id, 9);
        e->front.recurKind = kKindDaily;
        store->SaveEvent(e, true, true);
    }
    EXPECT_TRUE(store->ToggleExclusion(1, 2025, 6, 20, kKindDaily));
    reg.FailName(RegOp::Write, "EventExcluded");
    EXPECT_FALSE(store->ToggleExclusion(2, 2025, 6, 20, kKindDaily));
    reg.Heal();
    reg.FailName(RegOp::Delete, "1");
    EXPECT_FALSE(store->DeleteEvent(1, 0, true));
    EXPECT_EQ(StoredKeys(), (std::set<std::string>{"1", "2"}));  // back at the next start
    reg.Heal();
    EXPECT_TRUE(store->DeleteEvent(2, 0, true));
    EXPECT_TRUE(store->DeleteEvent(42, 0, true));  // nothing to delete is no failure
}

TEST_F(EventStoreTest, DeleteTakesTheEventItsExclusionsAndItsKey) {
    for (std::uint32_t id : {1u, 2u}) {
        auto e = Event(id, 9);
        e->front.recurKind = kKindDaily;
        store->SaveEvent(e, true, true);
    }
    store->ToggleExclusion(1, 2025, 6, 20, kKindDaily);
    store->ToggleExclusion(2, 2025, 6, 21, kKindDaily);
    schedule.calls.clear();
    notifier.calls.clear();

    store->DeleteEvent(1, 0, false);
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(store->Exclusions(), (std::vector<Exclusion>{{MakeDateKey(2025, 6, 21), 2}}));
    EXPECT_EQ(StoredKeys(), (std::set<std::string>{"2"}));
    EXPECT_EQ(schedule.calls, (Calls{"drop 1", "forget 1"}));
    EXPECT_EQ(notifier.calls, Calls{"upcoming"});  // the calendar only when asked
    // The stored exclusions follow at once, so a later event given id 1
    // cannot inherit them.
    RegType type{};
    std::string bytes;
    ASSERT_TRUE(memory.Peek(std::string(kUserKeyPath) + "\\Default_Id", "EventExcluded", type, bytes));
    EXPECT_EQ(bytes, store->SaveExclusions());

    notifier.calls.clear();
    store->DeleteEvent(2, 0, true);
    EXPECT_EQ(notifier.calls, (Calls{"calendar", "upcoming"}));
    EXPECT_FALSE(memory.Peek(std::string(kUserKeyPath) + "\\Default_Id", "EventExcluded", type, bytes));

    notifier.calls.clear();
    store->DeleteEvent(42, 0, true);  // nothing deleted, nobody told
    EXPECT_TRUE(notifier.calls.empty());

    // A key that cannot be deleted keeps its exclusions, stored and in memory,
    // so that the event comes back at the next start as it was.
    auto kept = Event(3, 9);
    kept->front.recurKind = kKindDaily;
    store->SaveEvent(kept, true, true);
    store->ToggleExclusion(3, 2025, 6, 22, kKindDaily);
    reg.FailName(RegOp::Delete, "3");
    store->DeleteEvent(3, 0, true);
    EXPECT_EQ(store->FindEvent(3), nullptr);
    EXPECT_EQ(store->Exclusions(), (std::vector<Exclusion>{{MakeDateKey(2025, 6, 22), 3}}));
    reg.Heal();
    store = Restart();
    store->LoadEvents();
    ASSERT_NE(store->FindEvent(3), nullptr);
    ASSERT_TRUE(memory.Peek(std::string(kUserKeyPath) + "\\Default_Id", "EventExcluded", type, bytes));
    EXPECT_EQ(bytes, std::string("\x16\x06\xE9\x07\x03\0\0\0", 8));
}

TEST_F(EventStoreTest, DeleteWithParentTakesTheLinkedRecords) {
    auto parent = Event(10, 9);
    store->SaveEvent(parent, true, true);
    for (std::uint32_t id : {11u, 12u}) {
        auto link = Event(id, 9);
        link->front.parentId = 10;
        link->front.linkKind = 1;
        store->SaveEvent(link, true, true);
    }
    auto unlinked = Event(13, 9);  // same parent, but not a link
    unlinked->front.parentId = 10;
    store->SaveEvent(unlinked, true, true);
    schedule.calls.clear();

    store->DeleteEvent(10, 10, true);
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{13}));
    EXPECT_EQ(StoredKeys(), (std::set<std::string>{"13"}));
    EXPECT_EQ(schedule.calls, (Calls{"drop 10", "forget 10", "drop 11", "forget 11", "drop 12", "forget 12"}));

    // A key that cannot be deleted leaves the memory list changed all the same.
    reg.FailName(RegOp::Delete, "13");
    store->DeleteEvent(13, 0, false);
    EXPECT_TRUE(store->Events().empty());
    EXPECT_EQ(StoredKeys(), (std::set<std::string>{"13"}));
}

TEST_F(EventStoreTest, AnIdUnderTwoKeyNamesIsDeletedForGood) {
    // A registry edited by hand can hold one id under two key names; only the
    // key named by the id is the event's, so its deletion cannot be undone by
    // the other one at the next start.
    auto twin = Event(7, 9, 0, "first");
    Put("7", *twin);
    twin->title = "second";
    Put("07", *twin);
    EXPECT_FALSE(store->LoadEvents());
    ASSERT_EQ(store->Count(), 1u);
    EXPECT_EQ(store->FindEvent(7)->title, "first");
    store->DeleteEvent(7, 0, false);
    store = Restart();
    store->LoadEvents();
    EXPECT_TRUE(store->Events().empty());
    EXPECT_TRUE(StoredKeys().empty());
}

}  // namespace
