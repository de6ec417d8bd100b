#pragma once
// Stand-ins for the clock, timer 55, the reminder actions, the upcoming-events
// window and the event store, recording what the scheduler asks of them.
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/calendar.h"
#include "platform/memory/memory_registry.h"
#include "portable/core_zone.h"
#include "reminder/reminder_scheduler.h"
#include "store/snoozes.h"

struct FakeClock final : Clock {
    Instant now = 0;
    Instant Now() const override { return now; }
};

struct FakeTimer final : ReminderTimer {
    explicit FakeTimer(const FakeClock& c) : clock(c) {}
    void Set(std::uint32_t milliseconds) override {
        armed = true;
        period = milliseconds;
        armedAt = clock.now;
        periods.push_back(milliseconds);
    }
    void Kill() override {
        armed = false;
        ++kills;
    }
    Instant DueAt() const { return armedAt + period / 1000; }

    const FakeClock& clock;
    bool armed = false;
    std::uint32_t period = 0;
    Instant armedAt = 0;
    int kills = 0;
    std::vector<std::uint32_t> periods;
};

// One line per thing done, in order, shared by the actions and the window.
using Log = std::vector<std::string>;

struct Done {
    std::string what;
    Instant at = 0;
    bool operator==(const Done&) const = default;
};

struct FakeActions final : ReminderActions {
    FakeActions(const FakeClock& c, Log& l) : clock(c), log(l) {}
    void PlaySoundFile(const std::string& soundfile) override {
        log.push_back("sound " + soundfile);
        sounds.push_back({soundfile, clock.now});
        if (onSound) onSound(soundfile);
    }
    bool FileExists(const std::string& path) override {
        asked.push_back(path);
        return existing.count(path) != 0;
    }
    void OpenFile(const std::string& path) override {
        log.push_back("open " + path);
        opened.push_back(path);
        if (onOpen) onOpen(path);
    }

    const FakeClock& clock;
    Log& log;
    std::set<std::string> existing;
    std::vector<Done> sounds;
    std::vector<std::string> asked;
    std::vector<std::string> opened;
    std::function<void(const std::string&)> onSound;
    std::function<void(const std::string&)> onOpen;
};

struct FakeUpcoming final : UpcomingLink {
    FakeUpcoming(const FakeClock& c, Log& l) : clock(c), log(l) {}
    bool IsOpen() const override { return open; }
    void Open() override {
        if (open) return;
        open = true;
        ++opens;
        log.push_back("show");
    }
    void Send(std::uintptr_t code, PendingReminder* record) override {
        if (code == kUpcomingBegun) {
            // The record is freed once this returns: keep copies.
            const std::string title = record != nullptr && record->item != nullptr ? record->item->title : "?";
            log.push_back("begun " + title);
            begun.push_back({title, record != nullptr ? record->start : -1});
            beganAt.push_back(clock.now);
        } else if (code == kUpcomingMissed) {
            const std::string title = record != nullptr && record->item != nullptr ? record->item->title : "?";
            log.push_back("missed " + title);
            missed.push_back({title, record != nullptr ? record->start : -1});
        } else {
            log.push_back(code == kUpcomingRefresh && record == nullptr ? "refresh" : "send?");
        }
    }

    const FakeClock& clock;
    Log& log;
    bool open = false;
    int opens = 0;
    std::vector<Done> begun;   // title and start of each begun record
    std::vector<Done> missed;  // and of each missed one
    std::vector<Instant> beganAt;
};

// The tray notifications asked for: the titles each names.
struct FakeNotice final : ReminderNotice {
    void ShowNotice(const std::vector<NoticeEntry>& entries, bool missed) override {
        std::string names = missed ? "missed:" : "";
        for (const NoticeEntry& e : entries) names += (names.empty() || names == "missed:" ? "" : ",") + e.title;
        shown.push_back(names);
    }
    std::vector<std::string> shown;
};

struct FakeEvents final : EventSource {
    const EventList& Events() const override { return items; }
    const std::vector<Exclusion>& Exclusions() const override { return excluded; }
    void Remove(const ScheduleItem& item) {
        std::erase_if(items, [&](const auto& p) { return p.get() == &item; });
    }

    EventList items;
    std::vector<Exclusion> excluded;
};

struct Day {
    int y, m, d;
    Day Plus(int n) const {
        Day r{};
        CivilFromDays(DaysFromCivil(y, m, d) + n, r.y, r.m, r.d);
        return r;
    }
    Instant At(int h, int mi = 0, int s = 0) const { return Local(y, m, d, h, mi, s); }
    DateKey Key() const { return MakeDateKey(y, m, d); }
};

// A day on which no tested zone changes its clocks, nor the day after.
constexpr Day kQuietDay{2026, 6, 10};

struct ReminderRig {
    // A one-off event; sound and launch paths are named after the title.
    ScheduleItem& Add(const std::string& title, Day day, int h, int mi, int lead,
                      std::uint8_t actions = kActionPlaySound) {
        auto item = std::make_unique<ScheduleItem>();
        item->front.id = nextId++;
        item->front.startDate = static_cast<std::int32_t>(day.At(0));
        item->front.startTime = h * 3600 + mi * 60;
        item->front.endDate = static_cast<std::int32_t>(EndOfDay(day.At(12)));
        item->front.endTime = item->front.startTime;
        item->actions = actions;
        item->remindMinutes = static_cast<std::int16_t>(lead);
        item->title = title;
        item->soundfile = title + ".wav";
        item->launchfile = title + ".exe";
        item->filesChosen = true;  // picked in the editor: any path goes
        events.items.push_back(std::move(item));
        return *events.items.back();
    }

    // Every day without end, from `from`.
    ScheduleItem& AddDaily(const std::string& title, Day from, int h, int mi, int lead) {
        ScheduleItem& item = Add(title, from, h, mi, lead);
        item.front.recurKind = kKindDaily;
        item.front.recurFlags = 1;
        return item;
    }

    // A check at t as the clock reads it.
    void CheckAt(Instant t, bool notify = false) {
        clock.now = t;
        scheduler.CheckReminders(t, notify);
    }

    // Lets timer 55 fire, as the message loop would, until `until`.
    void RunUntil(Instant until) {
        while (timer.armed && timer.DueAt() <= until) {
            clock.now = timer.DueAt();
            checks.push_back(clock.now);
            scheduler.OnTimer();
        }
        clock.now = until;
    }

    std::vector<std::string> PendingTitles() const {
        std::vector<std::string> out;
        for (const auto& p : scheduler.Pending()) out.push_back(p->item->title);
        return out;
    }
    std::vector<Instant> PendingStarts() const {
        std::vector<Instant> out;
        for (const auto& p : scheduler.Pending()) out.push_back(p->start);
        return out;
    }

    std::uint32_t nextId = 1;
    Log log;
    FakeClock clock;
    FakeTimer timer{clock};
    FakeActions actions{clock, log};
    FakeUpcoming upcoming{clock, log};
    FakeEvents events;
    Preferences prefs;
    std::vector<Instant> checks;
    MemoryRegistry registry;
    RegistryReminderKeeper keeper{registry};
    FakeNotice notice;
    ReminderScheduler scheduler{events, prefs, clock, timer, actions, upcoming, &keeper, &notice};
};
