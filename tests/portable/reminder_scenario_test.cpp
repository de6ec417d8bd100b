// A year of use of the reminder schedule with the 361-event mix, in the zone
// the tests run under: awake stretches, sleeps of minutes to days, midnights
// slept through, the clock set back and forward, the zone changed for days.
// Checked against what the occurrence engine says each day holds: every
// reminder due while the program ran, or earlier on the day it woke, fires
// exactly once; none fires early, none twice, none of an excluded or
// invented occurrence; one due while it ran fires within the timer's ten
// minutes. ORV_LONG_SCENARIOS=n runs n years, each with its own dice;
// ORV_SCENARIO_YEAR=k runs year k alone; ORV_SCENARIO_TRACE=1 prints every
// stretch the program ran.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "event_mix.h"
#include "core/occurrence.h"
#include "portable/core_zone.h"
#include "reminder/reminder_scheduler.h"
#include "support/local_midnight.h"

namespace {

std::optional<std::string> BaseZone() {
    const char* tz = std::getenv("TZ");
    return tz != nullptr ? std::optional<std::string>(tz) : std::nullopt;
}

// Zones a user may switch to for a while, fixed offsets both runtimes read:
// one east and one west of every tested zone's neighbours.
const char* const kOtherZones[] = {"XST-9", "YST+7"};

struct Clocked final : Clock {
    Instant now = 0;
    Instant Now() const override { return now; }
};

// Timer 55: due after its period of real time, which a clock change does not shorten.
struct Timer final : ReminderTimer {
    void Set(std::uint32_t ms) override {
        armed = true;
        due = clock->now + ms / 1000;
    }
    void Kill() override { armed = false; }
    const Clocked* clock = nullptr;
    bool armed = false;
    Instant due = 0;
};

struct Fire {
    std::uint32_t id;
    Instant start;
    Instant remindAt;
    Instant at;
    std::size_t span;  // the stretch of clock time it fired in
};

// The sound file names the event; the record being handled is the one of
// that event fired and not yet seen, marked through its window text.
struct Actions final : ReminderActions {
    void PlaySoundFile(const std::string& soundfile) override {
        const std::uint32_t id = static_cast<std::uint32_t>(std::stoul(soundfile.substr(1)));
        int found = 0;
        for (auto& p : scheduler->Pending()) {
            if (p->item->front.id == id && p->fired && p->text.empty()) {
                p->text = "seen";
                fires.push_back({id, p->start, p->remindAt, clock->now, *span});
                ++found;
            }
        }
        EXPECT_EQ(found, 1) << "sound of event " << id << " without its record";
    }
    bool FileExists(const std::string&) override { return false; }
    void OpenFile(const std::string&) override {}
    const Clocked* clock = nullptr;
    ReminderScheduler* scheduler = nullptr;
    const std::size_t* span = nullptr;
    std::vector<Fire> fires;
};

struct Window final : UpcomingLink {
    bool IsOpen() const override { return open; }
    void Open() override { open = true; }
    void Send(std::uintptr_t, PendingReminder*) override {}
    bool open = false;
};

struct Store final : EventSource {
    const EventList& Events() const override { return items; }
    const std::vector<Exclusion>& Exclusions() const override { return excluded; }
    EventList items;
    std::vector<Exclusion> excluded;
};

// A stretch of clock time the program ran through, and the zone it ran in.
struct Span {
    Instant from;
    Instant to;
    int zone;
    const char* after = "start";  // what began it
    int checks = 0;               // timer 55 fired in it
};

struct Counts {
    int steps = 0, sleeps = 0, midnights = 0, setBack = 0, setForward = 0, zoneChanges = 0;
    int occurrences = 0, requiredAwake = 0, requiredOnWaking = 0, fires = 0, firedWithoutBeingDue = 0;
};

class Scenario {
public:
    explicit Scenario(unsigned seed) : rng_(seed) {
        timer_.clock = &clock_;
        actions_.clock = &clock_;
        actions_.scheduler = &scheduler_;
        actions_.span = &spanIndex_;
        events_.items = MakeEventMix(361, 2026, 1, 12, seed);
        for (const auto& e : events_.items) {
            e->soundfile = std::string(1, '#').append(std::to_string(e->front.id));
            e->filesChosen = true;
        }
        // Some occurrences excluded, of recurring and one-off events alike.
        for (int i = 0; i < 60; ++i) {
            const std::uint32_t id = static_cast<std::uint32_t>(Pick(1, 361));
            LocalFields f;
            BreakDownLocal(Local(2026, 1, 1, 12) + Pick(0, 370) * kSecondsPerDay, f);
            events_.excluded.push_back({MakeDateKey(f.year, f.month, f.day), id});
        }
    }

    void Run(Instant start, Instant end) {
        clock_.now = start;
        from_ = start;
        scheduler_.StartSchedule();
        while (clock_.now < end) {
            ++counts_.steps;
            const int dice = Pick(0, 99);
            if (dice < 50) {
                Awake(clock_.now + Pick(5 * 60, 36 * 3600));
            } else if (dice < 70) {
                const int kind = Pick(0, 9);
                Sleep(kind < 5 ? Pick(60, 2 * 3600) : kind < 8 ? Pick(2 * 3600, 20 * 3600) : Pick(1, 4) * kSecondsPerDay + Pick(0, 86399));
            } else if (dice < 78) {
                SleepThroughMidnight();
            } else if (dice < 86) {
                SetClock(-Pick(60, 6 * 3600));
            } else if (dice < 93) {
                SetClock(Pick(60, 6 * 3600));
            } else {
                ChangeZone();
            }
        }
        if (zone_ != 0) ChangeZone();
        Close();
    }

    // Judges the run; the counts go to the report.
    Counts Judge() {
        std::map<std::pair<std::uint32_t, Instant>, int> fired;
        for (const Fire& f : actions_.fires) {
            const auto key = std::make_pair(f.id, f.start);
            EXPECT_EQ(++fired[key], 1) << "event " << f.id << " at " << f.start << " fired twice, again at " << f.at;
            EXPECT_GE(f.at, f.remindAt - kReminderTolerance) << "event " << f.id << " fired early";
            EXPECT_TRUE(Real(f)) << "event " << f.id << " fired for " << f.start << ", no occurrence of it";
        }
        counts_.fires = static_cast<int>(actions_.fires.size());
        for (int zone = 0; zone <= static_cast<int>(std::size(kOtherZones)); ++zone) JudgeZone(zone, fired);
        return counts_;
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    void Close() {
        spans_.push_back({from_, clock_.now, zone_, why_, checks_});
        if (std::getenv("ORV_SCENARIO_TRACE") != nullptr) {
            std::printf("ran %lld..%lld in zone %d after %s, %d checks; day window %lld..%lld\n",
                        static_cast<long long>(from_), static_cast<long long>(clock_.now), zone_, why_, checks_,
                        static_cast<long long>(scheduler_.DayWindowStart()),
                        static_cast<long long>(scheduler_.DayWindowEnd()));
        }
        spanIndex_ = spans_.size();
        checks_ = 0;
    }

    void Awake(Instant until) {
        while (timer_.armed && timer_.due <= until) {
            clock_.now = std::max(clock_.now, timer_.due);
            ++checks_;
            scheduler_.OnTimer();
        }
        clock_.now = until;
    }

    // The machine sleeps; an overdue timer fires on waking.
    void Sleep(Instant seconds) {
        ++counts_.sleeps;
        Close();
        wakes_.push_back({clock_.now, clock_.now + seconds, zone_});
        clock_.now += seconds;
        from_ = clock_.now;
        why_ = "sleep";
        if (timer_.armed && timer_.due <= clock_.now) {
            ++checks_;
            scheduler_.OnTimer();
        }
    }

    // Up to a few minutes before a midnight, asleep until a little after it.
    void SleepThroughMidnight() {
        ++counts_.midnights;
        const Instant midnight = EndOfDay(clock_.now) + 1;
        Awake(midnight - Pick(1, 600));
        Sleep(midnight + Pick(1, 1800) - clock_.now);
    }

    // The user corrects the clock; the timer keeps its real time to go.
    void SetClock(Instant delta) {
        ++(delta < 0 ? counts_.setBack : counts_.setForward);
        Close();
        if (delta > 0) wakes_.push_back({clock_.now, clock_.now + delta, zone_});
        clock_.now += delta;
        timer_.due += delta;
        from_ = clock_.now;
        why_ = delta < 0 ? "back" : "forward";
    }

    void ChangeZone() {
        ++counts_.zoneChanges;
        Close();
        zone_ = zone_ == 0 ? Pick(1, static_cast<int>(std::size(kOtherZones))) : 0;
        ApplyZone(zone_);
        from_ = clock_.now;
        why_ = "zone";
    }

    // The zone of the run (as the tests were started) or one switched to.
    void ApplyZone(int zone) const {
        if (zone != 0) {
            ScopedZone::Switch(kOtherZones[zone - 1]);
        } else if (base_) {
            ScopedZone::Switch(base_->c_str());
        } else {
#ifdef _WIN32
            _putenv("TZ=");
            _tzset();
#else
            unsetenv("TZ");
            tzset();
#endif
            ResetLocalTimeCache();
        }
    }

    // Runs f with the zone of the index in force.
    template <typename F>
    void InZone(int zone, F f) {
        ApplyZone(zone);
        f();
        ApplyZone(zone_);
    }

    const ScheduleItem* Find(std::uint32_t id) const {
        for (const auto& e : events_.items)
            if (e->front.id == id) return e.get();
        return nullptr;
    }

    // The occurrence of the event on its day starts then, not excluded, in
    // some zone of the run.
    bool Real(const Fire& f) {
        const ScheduleItem* item = Find(f.id);
        bool real = false;
        for (int zone = 0; zone <= static_cast<int>(std::size(kOtherZones)) && !real; ++zone) {
            InZone(zone, [&] {
                Instant start = 0;
                real = FindOccurrence(*item, LocalMidnight(f.start), EndOfDay(f.start), &start) && start == f.start &&
                       !events_.IsExcluded(f.id, DateKeyOf(f.start), item->front.recurKind);
            });
        }
        return real;
    }

    void JudgeZone(int zone, const std::map<std::pair<std::uint32_t, Instant>, int>& fired) {
        InZone(zone, [&] {
            std::set<long long> days;
            auto dayOf = [](Instant t) {
                LocalFields f;
                BreakDownLocal(t, f);
                return DaysFromCivil(f.year, f.month, f.day);
            };
            for (const Span& s : spans_)
                if (s.zone == zone)
                    for (long long d = dayOf(s.from) - 1; d <= dayOf(s.to) + 1; ++d) days.insert(d);
            for (long long d : days) {
                int y = 0, m = 0, dd = 0;
                CivilFromDays(d, y, m, dd);
                const Instant midnight = Local(y, m, dd);
                const Instant endOfDay = Local(y, m, dd + 1) - 1;
                for (const auto& e : events_.items) {
                    Instant start = 0;
                    if (!FindOccurrence(*e, midnight, endOfDay, &start)) continue;
                    if (events_.IsExcluded(e->front.id, MakeDateKey(y, m, dd), e->front.recurKind)) continue;
                    // In a zone east of the one it was made in, an event's last
                    // day reaches past its end instant; a window from such an
                    // occurrence's start refuses it, so it may or may not fire.
                    if (!FindOccurrence(*e, start, start, nullptr)) continue;
                    ++counts_.occurrences;
                    const Instant remindAt = start - e->remindMinutes * 60;
                    Judge(zone, *e, start, remindAt, fired);
                }
            }
        });
    }

    void Judge(int zone, const ScheduleItem& e, Instant start, Instant remindAt,
               const std::map<std::pair<std::uint32_t, Instant>, int>& fired) {
        // Running then, in a stretch the timer saw (not one the clock or the
        // zone was changed again before the program could look).
        bool awake = false;
        std::size_t in = 0;
        for (std::size_t i = 0; i < spans_.size(); ++i) {
            const Span& s = spans_[i];
            if (s.zone == zone && s.from <= remindAt && remindAt <= s.to && s.checks > 0) {
                awake = true;
                in = i;
            }
        }
        // Woken on that day; the timer had come after the last change before
        // the sleep (or the program could not know when it began) and comes
        // again before the next one.
        bool onWaking = false;
        for (const Span& w : wakes_) {
            if (w.zone != zone || w.from >= remindAt || remindAt >= w.to || DateKeyOf(remindAt) != DateKeyOf(w.to))
                continue;
            bool seenBefore = false;
            bool seenAfter = false;
            for (const Span& s : spans_) {
                seenBefore = seenBefore || (s.to == w.from && s.zone == zone && s.checks > 0);
                seenAfter = seenAfter || (s.from == w.to && s.zone == zone && s.checks > 0);
            }
            onWaking = onWaking || (seenBefore && seenAfter);
        }
        const bool done = fired.count({e.front.id, start}) != 0;
        if (awake) {
            ++counts_.requiredAwake;
            EXPECT_TRUE(done) << "event " << e.front.id << " '" << e.title << "' due at " << remindAt
                              << " while the program ran (zone " << zone << "), start " << start << ", "
                              << remindAt - spans_[in].from << " s after " << spans_[in].after;
            if (done) {
                // Within the timer's ten minutes, unless it fired before the clock went back.
                for (const Fire& f : actions_.fires) {
                    if (f.id == e.front.id && f.start == start && f.span == in) {
                        EXPECT_LE(f.at, remindAt + 600) << "event " << e.front.id << " fired late";
                    }
                }
            }
        } else if (onWaking) {
            ++counts_.requiredOnWaking;
            EXPECT_TRUE(done) << "event " << e.front.id << " due at " << remindAt << " on the day the program woke";
        } else if (done) {
            ++counts_.firedWithoutBeingDue;
        }
    }

    std::mt19937 rng_;
    Clocked clock_;
    Timer timer_;
    Actions actions_;
    Window window_;
    Store events_;
    Preferences prefs_;
    ReminderScheduler scheduler_{events_, prefs_, clock_, timer_, actions_, window_};
    std::vector<Span> spans_;
    std::vector<Span> wakes_;  // from: asleep, to: awake again
    Instant from_ = 0;
    std::size_t spanIndex_ = 0;  // of the stretch under way
    int checks_ = 0;
    const char* why_ = "start";
    int zone_ = 0;
    std::optional<std::string> base_ = BaseZone();
    Counts counts_;
};

int Years() {
    const char* long_ = std::getenv("ORV_LONG_SCENARIOS");
    return long_ != nullptr && std::atoi(long_) > 0 ? std::atoi(long_) : 1;
}

TEST(ReminderScenarioTest, AYearOfSleepsClockChangesAndZoneChanges) {
    const TestZone zone = CurrentZone();
    if (zone != TestZone::Berlin && zone != TestZone::NewYork && zone != TestZone::Santiago &&
        zone != TestZone::LordHowe) {
        GTEST_SKIP() << "run in the zones with daylight saving of both hemispheres";
    }
    const char* only = std::getenv("ORV_SCENARIO_YEAR");
    const int first = only != nullptr ? std::atoi(only) : 0;
    for (int year = first; year < (only != nullptr ? first + 1 : Years()); ++year) {
        Scenario s(2026u + static_cast<unsigned>(year) * 7919u);
        s.Run(Local(2026, 1, 1, 8), Local(2027, 1, 1));
        const Counts c = s.Judge();
        std::printf("scenario %d: %d steps (%d sleeps, %d over midnight, clock %d back %d forward, %d zone changes); "
                    "%d occurrences, %d due while running, %d due earlier on a waking day, %d fired, %d of them "
                    "allowed without being due so (before the start, asleep on an earlier day, read in another zone)\n",
                    year, c.steps, c.sleeps, c.midnights, c.setBack, c.setForward, c.zoneChanges, c.occurrences,
                    c.requiredAwake, c.requiredOnWaking, c.fires, c.firedWithoutBeingDue);
        if (HasFailure()) break;
    }
}

}  // namespace
