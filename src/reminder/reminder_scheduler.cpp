#include "reminder/reminder_scheduler.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

#include "core/calendar.h"
#include "core/local_path.h"
#include "core/occurrence.h"

namespace {

std::uint32_t PeriodUntil(Instant due, Instant now) {
    const Instant seconds = due - now;
    if (seconds >= static_cast<Instant>(kMaxTimerPeriodMs / 1000)) return kMaxTimerPeriodMs;
    if (seconds * 1000 < static_cast<Instant>(kMinTimerPeriodMs)) return kMinTimerPeriodMs;
    return static_cast<std::uint32_t>(seconds * 1000);
}

}  // namespace

ReminderScheduler::ReminderScheduler(const EventSource& events, const Preferences& prefs, const Clock& clock,
                                     ReminderTimer& timer, ReminderActions& actions, UpcomingLink& upcoming)
    : events_(events), prefs_(prefs), clock_(clock), timer_(timer), actions_(actions), upcoming_(upcoming) {}

// Day bounds come from local calendar dates, never from adding 86400 seconds:
// days are 23 or 25 hours long on daylight-saving days. A day ends one second
// before the next one starts rather than at the first 23:59:59 reading, which
// in a zone that turns its clocks back at midnight is an hour early.
bool ReminderScheduler::DaysOf(Instant now, Days& out) {
    LocalFields f;
    if (!BreakDownLocal(now, f)) return false;
    out.today = DaysFromCivil(f.year, f.month, f.day);
    int y1 = 0, m1 = 0, d1 = 0, y2 = 0, m2 = 0, d2 = 0;
    CivilFromDays(out.today + 1, y1, m1, d1);
    CivilFromDays(out.today + 2, y2, m2, d2);
    Instant dayAfterTomorrow = 0;
    if (!TryMakeLocalTime(y1, m1, d1, 0, 0, 0, out.startOfTomorrow) ||
        !TryMakeLocalTime(y2, m2, d2, 0, 0, 0, dayAfterTomorrow)) {
        return false;
    }
    if (!TryMakeLocalTime(f.year, f.month, f.day, 0, 0, 0, out.startOfToday)) return false;
    out.todayKey = MakeDateKey(f.year, f.month, f.day);
    out.tomorrowKey = MakeDateKey(y1, m1, d1);
    out.endOfToday = out.startOfTomorrow - 1;
    out.endOfTomorrow = dayAfterTomorrow - 1;
    return true;
}

bool ReminderScheduler::Excluded(const ScheduleItem& item, DateKey key) const {
    return events_.IsExcluded(item.front.id, key, item.front.recurKind);
}

void ReminderScheduler::AddDay(Instant from, Instant to, DateKey key) {
    for (const auto& event : events_.Events()) {
        if (!Excluded(*event, key)) AddPending(*event, from, to);
    }
}

bool ReminderScheduler::AddPending(const ScheduleItem& item, Instant from, Instant to) {
    Instant start = 0;
    if (!FindOccurrence(item, from, to, &start)) return false;
    auto record = std::make_unique<PendingReminder>();
    record->item = &item;
    record->start = start;
    record->remindAt = start - static_cast<Instant>(item.remindMinutes) * 60;
    // Made again after its actions ran: they do not run twice.
    if (const FiredOccurrence* done = FindFired(item.front.id, DateKeyOf(start)))
        record->fired = record->remindAt <= done->remindAt;
    // Records mostly arrive in start order, so the place is sought from the
    // back: after the last record that does not start later.
    auto pos = pending_.end();
    while (pos != pending_.begin() && (*std::prev(pos))->start > start) --pos;
    pending_.insert(pos, std::move(record));
    return true;
}

ReminderScheduler::FiredOccurrence* ReminderScheduler::FindFired(std::uint32_t eventId, DateKey day) {
    for (FiredOccurrence& f : fired_)
        if (f.eventId == eventId && f.day == day) return &f;
    return nullptr;
}

// A deleted event's id may be given to a new one, whose reminders are its own.
void ReminderScheduler::ForgetFired(std::uint32_t eventId) {
    std::erase_if(fired_, [eventId](const FiredOccurrence& f) { return f.eventId == eventId; });
}

void ReminderScheduler::DropPending(const ScheduleItem& item) {
    for (auto it = pending_.begin(); it != pending_.end();) {
        const auto next = std::next(it);
        if ((*it)->item == &item) {
            if (walking_ && it == cursor_) cursor_ = next;
            if (it->get() == handling_) {
                // Kept alive until the check that is handling it gets control back.
                droppedWhileHandled_.splice(droppedWhileHandled_.end(), pending_, it);
            } else {
                pending_.erase(it);
            }
        }
        it = next;
    }
}

void ReminderScheduler::RescheduleEvent(const ScheduleItem& item) {
    const Instant now = clock_.Now();
    Days days;
    if (DaysOf(now, days)) {
        if (!Excluded(item, days.todayKey)) AddPending(item, now, days.endOfToday);
        // Without a current window the check below rebuilds tomorrow anyway.
        if (dayWindowStart_ <= now && now <= dayWindowEnd_ && !Excluded(item, days.tomorrowKey)) {
            AddPending(item, days.startOfTomorrow, days.endOfTomorrow);
        }
    }
    CheckReminders(now, true);
}

void ReminderScheduler::StartSchedule() {
    dayWindowStart_ = 0;
    dayWindowEnd_ = 0;
    CheckReminders(clock_.Now(), false);
}

void ReminderScheduler::OnTimer() {
    timer_.Kill();
    CheckReminders(clock_.Now(), false);
}

void ReminderScheduler::CheckReminders(Instant now, bool notify) {
    if (checking_) {
        recheckWanted_ = true;
        recheckNow_ = std::max(recheckNow_, now);
        recheckNotify_ = recheckNotify_ || notify;
        return;
    }
    struct Running {
        ReminderScheduler& s;
        explicit Running(ReminderScheduler& scheduler) : s(scheduler) { s.checking_ = true; }
        ~Running() {
            s.checking_ = false;
            s.walking_ = false;
            s.handling_ = nullptr;
            s.droppedWhileHandled_.clear();
            s.recheckWanted_ = false;
            s.recheckNotify_ = false;
            s.recheckNow_ = 0;
        }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
    } running(*this);

    RunCheck(now, notify);
    while (recheckWanted_) {
        const Instant again = recheckNow_;
        const bool againNotify = recheckNotify_;
        recheckWanted_ = false;
        recheckNotify_ = false;
        recheckNow_ = 0;
        RunCheck(again, againNotify);
    }
}

// The window ends at the last second of a local day; after a change of zone
// that instant reads another time, and the days below the records have moved.
bool ReminderScheduler::ZoneMoved() const {
    LocalFields end;
    return dayWindowEnd_ != 0 &&
           (!BreakDownLocal(dayWindowEnd_, end) || end.hour != 23 || end.minute != 59 || end.second != 59);
}

bool ReminderScheduler::UpdateDayWindow(Instant now) {
    const bool zoneMoved = ZoneMoved();
    if (!zoneMoved && dayWindowStart_ <= now && now <= dayWindowEnd_) return true;
    Days days;
    if (!DaysOf(now, days)) return false;

    // Where today's records are made afresh from; the first check makes them from now.
    std::optional<Instant> rebuildFrom = now;
    LocalFields last;
    if (dayWindowEnd_ != 0) {
        if (!zoneMoved && now >= dayWindowStart_ && BreakDownLocal(dayWindowEnd_, last) &&
            days.today == DaysFromCivil(last.year, last.month, last.day) + 1) {
            rebuildFrom.reset();  // made the day before as tomorrow's
        } else {
            // The clock set back, the zone changed, or woken on a later day:
            // what fell due today since the last check fires now, as on waking
            // the day after. A clock set back since that check can have landed
            // no earlier than the timer's longest wait before now.
            const Instant since = lastCheck_ <= now ? lastCheck_ : now - kMaxTimerPeriodMs / 1000;
            rebuildFrom = std::max(days.startOfToday, since);
        }
    }
    std::erase_if(fired_, [now](const FiredOccurrence& f) { return f.start < now - 2 * kSecondsPerDay; });
    if (rebuildFrom) {
        pending_.clear();
        AddDay(*rebuildFrom, days.endOfToday, days.todayKey);
    }
    dayWindowEnd_ = days.endOfToday;
    dayWindowStart_ = now;
    AddDay(days.startOfTomorrow, days.endOfTomorrow, days.tomorrowKey);
    return true;
}

void ReminderScheduler::Perform(const ScheduleItem& item) {
    // Copies: what these calls set off may end with the store freeing the item.
    // A file the user did not pick is touched only when it is local: even
    // a look at a network path connects to that host.
    const std::uint8_t actions = item.actions;
    const auto usable = [&item](const std::string& path) { return item.filesChosen || IsLocalFilePath(path); };
    const std::string soundfile = (actions & kActionPlaySound) != 0 && usable(item.soundfile) ? item.soundfile
                                                                                              : std::string();
    const std::string launchfile = (actions & kActionLaunchFile) != 0 && usable(item.launchfile) ? item.launchfile
                                                                                                 : std::string();
    if ((actions & kActionPlaySound) != 0) actions_.PlaySoundFile(soundfile);
    if (!launchfile.empty() && actions_.FileExists(launchfile)) actions_.OpenFile(launchfile);
}

void ReminderScheduler::Arm(std::uint32_t milliseconds) { timer_.Set(milliseconds); }

void ReminderScheduler::RunCheck(Instant now, bool notify) {
    const bool dayKnown = UpdateDayWindow(now);
    lastCheck_ = now;
    if (!dayKnown) {
        // A clock outside the years the runtime can break down: no day to fill.
        Arm(kMaxTimerPeriodMs);
        return;
    }
    if (pending_.empty()) {
        if (notify && upcoming_.IsOpen()) upcoming_.Send(kUpcomingRefresh, nullptr);
        Arm(kMaxTimerPeriodMs);
        return;
    }

    const Instant now5 = now + kReminderTolerance;
    const Instant displayLimit = now5 + static_cast<Instant>(prefs_.UewHours) * 3600;
    const Instant soonLimit = now5 + static_cast<Instant>(prefs_.UewHours2) * 3600;
    bool openWanted = false;
    bool actionDone = false;
    Instant nextDue = std::numeric_limits<Instant>::max();

    walking_ = true;
    cursor_ = pending_.begin();
    while (cursor_ != pending_.end()) {
        const auto it = cursor_++;
        PendingReminder& record = **it;
        handling_ = &record;
        const auto dropped = [this] { return !droppedWhileHandled_.empty(); };

        if (prefs_.UewUpcoming != 0 && !record.shownUpcoming && record.start <= displayLimit) {
            record.shownUpcoming = true;
            openWanted = true;
        }
        if (prefs_.UewSoon != 0 && !record.shownSoon && record.start <= soonLimit) {
            record.shownSoon = true;
            openWanted = true;
        }
        if (!record.fired && record.remindAt <= now5) {
            record.fired = true;
            const DateKey day = DateKeyOf(record.start);
            if (FiredOccurrence* done = FindFired(record.item->front.id, day)) {
                done->remindAt = record.remindAt;
                done->start = record.start;
            } else {
                fired_.push_back({record.item->front.id, day, record.remindAt, record.start});
            }
            actionDone = true;
            Perform(*record.item);
        }
        if (!dropped() && record.start <= now5) {
            if (prefs_.UewBeginning != 0 && !upcoming_.IsOpen()) upcoming_.Open();
            if (!dropped() && upcoming_.IsOpen()) upcoming_.Send(kUpcomingBegun, &record);
            if (!dropped()) pending_.erase(it);
        } else if (!dropped()) {
            // A negative lead puts remindAt after start; the start comes first then.
            const Instant next = record.fired ? record.start : std::min(record.remindAt, record.start);
            nextDue = std::min(nextDue, next);
        }
        handling_ = nullptr;
        droppedWhileHandled_.clear();
    }
    walking_ = false;

    if (upcoming_.IsOpen()) {
        upcoming_.Send(kUpcomingRefresh, nullptr);
    } else if ((actionDone && prefs_.UewNotification != 0) || openWanted) {
        upcoming_.Open();
    }
    // Records added by a nested call are not in nextDue: the check they asked
    // for runs next and arms the timer again.
    Arm(pending_.empty() || nextDue == std::numeric_limits<Instant>::max() ? kMaxTimerPeriodMs
                                                                           : PeriodUntil(nextDue, now));
}
