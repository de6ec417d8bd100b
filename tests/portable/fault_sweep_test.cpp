// Every operation that writes to the registry, with its n-th registry call
// failing, for every n from the first call it makes to the last, once as a
// single failure and once as a registry that stops working from that call
// on. After each case the next start reads the registry afresh: every event
// is its old or its new self or absent, never a mixture; an event's
// exclusions belong to the version of it that loads; whatever else the
// operation writes is old or new value by value. Memory always holds the
// operation's outcome; where the registry could not follow, the difference
// is one the rules allow (a failed save keeps the event in memory only, a key
// that cannot be deleted comes back, an unwritten value keeps its old self).
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/memory/faulty_registry.h"
#include "platform/memory/fixed_desktop.h"
#include "platform/memory/memory_locale.h"
#include "platform/memory/memory_registry.h"
#include "portable/core_zone.h"
#include "portable/store_fakes.h"
#include "store/app_values.h"
#include "store/event_store.h"
#include "store/recent_files.h"
#include "store/settings.h"
#include "upcoming/due_list_model.h"

namespace {

const ScreenRect kWork{0, 0, 1024, 738};

bool SameItem(const ScheduleItem& a, const ScheduleItem& b) {
    return a.front == b.front && a.Actions() == b.Actions() && a.title == b.title && a.note == b.note &&
           a.soundfile == b.soundfile && a.launchfile == b.launchfile;
}

// Each preference as text, so that a mixture can be judged value by value.
std::map<std::string, std::string> PreferenceValues(const Preferences& p) {
    const ScreenRect& r = p.ScheRect;
    return {{"BkgColor", std::to_string(p.BkgColor)},
            {"BkgImgFile", p.BkgImgFile},
            {"BkgImgFit", std::to_string(p.BkgImgFit)},
            {"BkgImgRetainRatio", std::to_string(p.BkgImgRetainRatio)},
            {"BkgAlpha", std::to_string(p.BkgAlpha)},
            {"UewStartup", std::to_string(p.UewStartup)},
            {"UewNotification", std::to_string(p.UewNotification)},
            {"UewBeginning", std::to_string(p.UewBeginning)},
            {"UewUpcoming", std::to_string(p.UewUpcoming)},
            {"UewSoon", std::to_string(p.UewSoon)},
            {"UewHours", std::to_string(p.UewHours)},
            {"UewHours2", std::to_string(p.UewHours2)},
            {"ScheRect", std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                             std::to_string(r.bottom)}};
}

// What the program holds, or what a start finds in the registry.
struct State {
    std::map<std::uint32_t, ScheduleItem> events;
    std::map<std::uint32_t, std::vector<DateKey>> exclusions;  // by event, in list order
    std::map<std::string, std::string> values;                 // preferences, anchor, data version
};

// The program: store, preferences, upcoming-window anchor, data version.
struct Program {
    Program(Registry& r, const Clock& c) : registry(r), clock(c) {}

    // The start-up reads, in the frame's order.
    void Start() {
        MemoryLocaleSource locale = MemoryLocaleSource::English();
        LocaleNames names;
        AppValues app;
        LoadAppValues(registry, locale, app, names);
        dataVer = app.dataVer;
        const FixedDesktop desktop(kWork);
        LoadSettings(registry, desktop, "", store, prefs);
        store.LoadEvents();
        anchor.LoadPosition(registry, FixedDesktop(kWork));
        LoadRecentFiles(registry, "", sounds, launches);
    }

    State Held() const {
        State s;
        for (const auto& e : store.Events()) s.events.emplace(e->front.id, *e);
        for (const Exclusion& x : store.Exclusions()) s.exclusions[x.eventId].push_back(x.date);
        s.values = PreferenceValues(prefs);
        s.values["DueEventCoord"] = std::to_string(anchor.anchorX) + "," + std::to_string(anchor.anchorY);
        s.values["DataVer"] = std::to_string(dataVer);
        s.values["SoundFiles"] = FormatRecentFiles(sounds);
        s.values["LaunchFiles"] = FormatRecentFiles(launches);
        return s;
    }

    Registry& registry;
    const Clock& clock;
    RecordingSchedule schedule;
    RecordingNotifier notifier;
    EventStore store{registry, clock, schedule, notifier};
    Preferences prefs;
    DueAnchor anchor;
    std::uint32_t dataVer = 0;
    RecentFiles sounds;
    RecentFiles launches;
};

State NextStart(MemoryRegistry& memory, const Clock& clock) {
    Program p(memory, clock);
    p.Start();
    return p.Held();
}

std::unique_ptr<ScheduleItem> MakeEvent(std::uint32_t id, std::uint8_t kind, int day, int hour, const char* title) {
    auto e = std::make_unique<ScheduleItem>();
    e->front.id = id;
    e->front.recurKind = kind;
    e->front.recurFlags = IsRecurring(kind) ? 1 : 0;
    e->front.recurPattern = kind == kKindWeekly ? 0x22 : 0;
    e->front.startDate = static_cast<std::int32_t>(Local(2025, 6, day));
    e->front.endDate = static_cast<std::int32_t>(Local(2025, 6, day, 23, 59, 59));
    e->front.startTime = hour * 3600;
    e->front.endTime = e->front.startTime + 1800;
    e->actions = kActionPlaySound;
    e->remindMinutes = 15;
    e->title = title;
    e->note = std::string(title) + " note";
    e->soundfile = std::string("C:\\") + title + ".wav";
    e->launchfile = "C:\\notes.txt";
    return e;
}

// What the user has before each case: three events, exclusions of two of
// them, preferences and a window position of their own; no data version yet.
void Populate(Registry& registry, const Clock& clock) {
    Program p(registry, clock);
    p.Start();
    auto dentist = MakeEvent(1, kKindNone, 20, 9, "Dentist");
    auto standup = MakeEvent(2, kKindDaily, 2, 8, "Standup");
    auto choir = MakeEvent(3, kKindWeekly, 3, 18, "Choir");
    ASSERT_TRUE(p.store.SaveEvent(dentist, true, true));
    ASSERT_TRUE(p.store.SaveEvent(standup, true, true));
    ASSERT_TRUE(p.store.SaveEvent(choir, true, true));
    p.store.ToggleExclusion(2, 2025, 6, 20, kKindDaily);
    p.store.ToggleExclusion(2, 2025, 6, 22, kKindDaily);
    p.store.ToggleExclusion(3, 2025, 6, 17, kKindWeekly);
    p.prefs.BkgColor = MakeRgb(10, 20, 30);
    p.prefs.BkgImgFile = "C:\\lake.jpg";
    p.prefs.UewHours = 6;
    SaveSettings(registry, kPreferenceGroup, p.prefs, p.store);
    p.prefs.ScheRect = {100, 100, 580, 477};
    SaveSettings(registry, kExitGroup, p.prefs, p.store);
    p.anchor.SetStored(900, 700, kWork);
    p.anchor.SavePosition(registry);
    SaveRecentFiles(registry, {"C:\\Dentist.wav", "C:\\Standup.wav"}, {"C:\\notes.txt"});
}

struct Operation {
    const char* name;
    std::function<void(Program&)> prepare;  // before the failures are armed
    std::function<void(Program&)> act;
};

std::unique_ptr<ScheduleItem> Edited(Program& p, std::uint32_t id) {
    return std::make_unique<ScheduleItem>(*p.store.FindEvent(id));
}

std::vector<Operation> Operations() {
    auto nothing = [](Program&) {};
    return {
        {"save a new event", nothing,
         [](Program& p) {
             auto e = MakeEvent(p.store.NextEventId(), kKindMonthlyDay, 5, 11, "Rent");
             e->front.recurPattern = 5;
             p.store.SaveEvent(e, true, true);
         }},
        {"save a structural edit keeping the actions", nothing,
         [](Program& p) {
             auto e = Edited(p, 2);
             e->title = "Standup, room 4";
             e->front.startTime = 10 * 3600;
             p.store.SaveEvent(e, true, false);
         }},
        {"save a structural edit with new actions", nothing,
         [](Program& p) {
             auto e = Edited(p, 1);
             e->front.startTime = 14 * 3600;
             e->note = "bring the card";
             e->actions = kActionPlaySound | kActionLaunchFile;
             e->remindMinutes = 45;
             e->soundfile = "C:\\bell.wav";
             p.store.SaveEvent(e, true, true);
         }},
        {"save an action-only edit", nothing,
         [](Program& p) {
             auto e = Edited(p, 3);
             e->actions = kActionLaunchFile;
             e->remindMinutes = 5;
             e->soundfile = "C:\\gong.wav";
             e->launchfile = "C:\\score.pdf";
             p.store.SaveEvent(e, false, true);
         }},
        {"delete an event with exclusions", nothing, [](Program& p) { p.store.DeleteEvent(2, 0, true); }},
        {"toggle an exclusion on", nothing,
         [](Program& p) { p.store.ToggleExclusion(3, 2025, 6, 24, kKindWeekly); }},
        {"toggle an exclusion off", nothing,
         [](Program& p) { p.store.ToggleExclusion(2, 2025, 6, 20, kKindDaily); }},
        {"save the preference group", nothing,
         [](Program& p) {
             p.prefs.BkgColor = MakeRgb(200, 210, 220);
             p.prefs.BkgImgFile = "D:\\sea.png";
             p.prefs.BkgImgFit = 0;
             p.prefs.BkgAlpha = 90;
             p.prefs.UewStartup = 1;
             p.prefs.UewSoon = 0;
             p.prefs.UewHours = 12;
             p.prefs.UewHours2 = 8;
             SaveSettings(p.registry, kPreferenceGroup, p.prefs, p.store);
         }},
        {"save the exit group", nothing,
         [](Program& p) {
             p.prefs.ScheRect = {30, 40, 510, 417};
             SaveSettings(p.registry, kExitGroup, p.prefs, p.store);
         }},
        {"save the exit group without exclusions",
         [](Program& p) {
             // Taken off while the registry was failing: memory has none, the registry all three.
             auto* faulty = static_cast<FaultyRegistry*>(&p.registry);
             faulty->FailFromCall(1);
             p.store.ToggleExclusion(2, 2025, 6, 20, kKindDaily);
             p.store.ToggleExclusion(2, 2025, 6, 22, kKindDaily);
             p.store.ToggleExclusion(3, 2025, 6, 17, kKindWeekly);
             faulty->Heal();
         },
         [](Program& p) {
             p.prefs.ScheRect = {30, 40, 510, 417};
             SaveSettings(p.registry, kExitGroup, p.prefs, p.store);
         }},
        {"save DueEventCoord", nothing,
         [](Program& p) {
             p.anchor.SetStored(12, 34, kWork);
             p.anchor.SavePosition(p.registry);
         }},
        {"save the recent lists", nothing,
         [](Program& p) {
             p.sounds.push_front("C:\\bell.wav");
             p.launches.clear();
             SaveRecentFiles(p.registry, p.sounds, p.launches);
         }},
        {"write the data version", nothing,
         [](Program& p) {
             WriteDataVersion(p.registry);
             p.dataVer = 1;
         }},
    };
}

std::string Describe(const std::map<std::uint32_t, ScheduleItem>& events, std::uint32_t id) {
    auto it = events.find(id);
    return it == events.end() ? std::string("absent") : std::string(1, '\'').append(it->second.title).append("'");
}

// The rules of the next start, given the state before and after the
// operation; an empty text when they hold.
std::string Judge(const State& before, const State& after, const State& found, int& orphans) {
    std::ostringstream bad;
    std::map<std::uint32_t, bool> ids;
    for (const State* s : {&before, &after, &found})
        for (const auto& [id, e] : s->events) ids[id] = true;
    for (const auto& [id, unused] : ids) {
        auto b = before.events.find(id);
        auto a = after.events.find(id);
        auto f = found.events.find(id);
        const bool hasB = b != before.events.end();
        const bool hasA = a != after.events.end();
        const bool hasF = f != found.events.end();
        const bool untouched = hasB == hasA && (!hasB || SameItem(b->second, a->second));
        const bool isBefore = hasF && hasB && SameItem(f->second, b->second);
        const bool isAfter = hasF && hasA && SameItem(f->second, a->second);
        if (untouched ? (hasF != hasB || (hasF && !isBefore)) : (hasF && !isBefore && !isAfter)) {
            bad << "event " << id << " is " << Describe(found.events, id) << ", not " << Describe(before.events, id)
                << " or " << Describe(after.events, id) << "; ";
        }
        const auto excl = [id](const State& s) {
            auto it = s.exclusions.find(id);
            return it == s.exclusions.end() ? std::vector<DateKey>() : it->second;
        };
        if (!hasF) {
            if (!excl(found).empty()) ++orphans;  // inert: a new event of this id drops them
        } else if (untouched) {
            if (excl(found) != excl(before) && excl(found) != excl(after)) bad << "exclusions of " << id << " mixed; ";
        } else if (excl(found) != (isBefore ? excl(before) : excl(after))) {
            bad << "exclusions of " << id << " belong to the other version; ";
        }
    }
    for (const auto& [name, value] : found.values) {
        // A look-ahead written before a failed threshold is raised to the threshold at load.
        const bool raised = name == "UewHours" && value == found.values.at("UewHours2");
        if (value != before.values.at(name) && value != after.values.at(name) && !raised)
            bad << name << " is " << value << "; ";
    }
    return bad.str();
}

bool SameState(const State& a, const State& b) {
    if (a.events.size() != b.events.size() || a.exclusions != b.exclusions || a.values != b.values) return false;
    for (const auto& [id, e] : a.events) {
        auto it = b.events.find(id);
        if (it == b.events.end() || !SameItem(e, it->second)) return false;
    }
    return true;
}

State WithoutOrphans(State s) {
    std::erase_if(s.exclusions, [&](const auto& entry) { return s.events.count(entry.first) == 0; });
    return s;
}

enum class Failure { Single, FromThenOn };

TEST(FaultSweepTest, EveryWriteFailingAtEveryCall) {
    SettableClock clock{Local(2025, 6, 15, 12)};
    int cases = 0;
    int divergent = 0;
    int orphans = 0;
    std::ostringstream counts;
    for (const Operation& op : Operations()) {
        // A run without failures gives the calls to fail and the two states.
        State before;
        State after;
        State held;
        std::uint32_t calls = 0;
        {
            MemoryRegistry memory;
            Populate(memory, clock);
            FaultyRegistry reg(memory);
            Program p(reg, clock);
            p.Start();
            op.prepare(p);
            before = NextStart(memory, clock);
            const std::uint32_t first = reg.TotalCalls();
            op.act(p);
            calls = reg.TotalCalls() - first;
            after = NextStart(memory, clock);
            held = p.Held();
            ASSERT_TRUE(SameState(held, after)) << op.name << ": without failures memory and registry agree";
        }
        ASSERT_GT(calls, 0u) << op.name;
        int opCases = 0;
        int opDivergent = 0;
        for (Failure mode : {Failure::Single, Failure::FromThenOn}) {
            for (std::uint32_t n = 1; n <= calls; ++n) {
                const std::string where = std::string(op.name) +
                                          (mode == Failure::Single ? ", call " : ", calls from ") + std::to_string(n);
                MemoryRegistry memory;
                Populate(memory, clock);
                FaultyRegistry reg(memory);
                Program p(reg, clock);
                p.Start();
                op.prepare(p);
                if (mode == Failure::Single) reg.FailNthCall(n);
                else reg.FailFromCall(n);
                op.act(p);
                reg.Heal();
                EXPECT_EQ(memory.OpenHandleCount(), 0u) << where;
                // Memory holds the outcome whatever the registry did, and keeps
                // the exclusions of an event whose key could not be deleted.
                EXPECT_TRUE(SameState(WithoutOrphans(p.Held()), held)) << where;
                const State found = NextStart(memory, clock);
                EXPECT_EQ(Judge(before, after, found, orphans), "") << where;
                ++opCases;
                if (!SameState(found, held)) ++opDivergent;
            }
        }
        cases += opCases;
        divergent += opDivergent;
        counts << "  " << op.name << ": " << calls << " calls, " << opCases << " cases, " << opDivergent
               << " where the next start differs from memory\n";
    }
    std::printf("fault sweep: %d cases, %d where the next start differs from memory as allowed, %d with "
                "exclusions of an absent event left\n%s",
                cases, divergent, orphans, counts.str().c_str());
}

}  // namespace
