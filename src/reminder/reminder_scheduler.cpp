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

// A file the user did not pick is touched only when it is local: even a look
// at a network path connects to that host.
bool UsablePath(const ScheduleItem& item, const std::string& path) {
    return item.filesChosen || IsLocalFilePath(path);
}

}  // namespace

ReminderScheduler::ReminderScheduler(const EventSource& events, const Preferences& prefs, const Clock& clock,
                                     ReminderTimer& timer, ReminderActions& actions, UpcomingLink& upcoming,
                                     ReminderKeeper* keeper, ReminderNotice* notice)
    : events_(events),
      prefs_(prefs),
      clock_(clock),
      timer_(timer),
      actions_(actions),
      upcoming_(upcoming),
      keeper_(keeper),
      notice_(notice) {}

void ReminderScheduler::Notice(const ScheduleItem& item, Instant start) {
    noticed_.push_back({item.title, start, item.note});
}

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
    // Put off after its reminder: the reminder is not run again, the snooze brings it back.
    if (FindSnooze(item.front.id, start) != nullptr) record->fired = record->snoozed = true;
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
    if (std::erase_if(snoozes_, [eventId](const Snooze& s) { return s.eventId == eventId; }) != 0) SaveSnoozes();
}

const ScheduleItem* ReminderScheduler::FindItem(std::uint32_t eventId) const {
    for (const auto& event : events_.Events())
        if (event->front.id == eventId) return event.get();
    return nullptr;
}

const Snooze* ReminderScheduler::FindSnooze(std::uint32_t eventId, Instant start) const {
    const DateKey day = DateKeyOf(start);
    for (const Snooze& s : snoozes_)
        if (s.eventId == eventId && s.day == day && (s.start == 0 || s.start == start)) return &s;
    return nullptr;
}

void ReminderScheduler::SaveSnoozes() {
    if (keeper_ != nullptr) keeper_->SaveSnoozes(snoozes_);
}

void ReminderScheduler::LoadKept(Instant now) {
    if (!snoozesLoaded_ && keeper_ != nullptr) {
        snoozes_ = keeper_->LoadSnoozes();
        Instant at = 0;
        if (keeper_->LoadLastChecked(at)) keptLastCheck_ = at;
    }
    snoozesLoaded_ = true;
    PruneSnoozes(now);
}

void ReminderScheduler::CollectMissed(Instant now, Instant until) {
    std::optional<Instant> since = keptLastCheck_;
    if (dayWindowEnd_ != 0) since = lastCheck_;
    keptLastCheck_.reset();
    if (!since) return;  // the first run: nothing was missed
    // That check handled what began up to its tolerance after it.
    Instant from = std::max(*since + kReminderTolerance + 1, now - kMissedLookBack);
    LocalFields f;
    while (from < until && BreakDownLocal(from, f)) {
        // Day by day, as the records are made: one occurrence an event a day.
        int y = 0, m = 0, d = 0;
        CivilFromDays(DaysFromCivil(f.year, f.month, f.day) + 1, y, m, d);
        Instant nextDay = 0;
        if (!TryMakeLocalTime(y, m, d, 0, 0, 0, nextDay) || nextDay <= from) break;
        const Instant to = std::min(until, nextDay) - 1;
        const DateKey key = MakeDateKey(f.year, f.month, f.day);
        for (const auto& event : events_.Events()) {
            Instant start = 0;
            // One put off comes back through its snooze.
            if (!Excluded(*event, key) && FindOccurrence(*event, from, to, &start) &&
                FindSnooze(event->front.id, start) == nullptr) {
                missed_.push_back({event.get(), start});
            }
        }
        from = nextDay;
    }
    std::stable_sort(missed_.begin(), missed_.end(), [](const Missed& a, const Missed& b) { return a.start < b.start; });
    // The latest ones matter most.
    if (missed_.size() > kMaxMissed) missed_.erase(missed_.begin(), missed_.end() - kMaxMissed);
}

// Shown once, without sound or launch: the moment for them has passed.
void ReminderScheduler::ShowMissed() {
    if (missed_.empty()) return;
    const std::vector<Missed> missed = std::move(missed_);
    missed_.clear();
    std::vector<NoticeEntry> entries;
    for (const Missed& m : missed) entries.push_back({m.item->title, m.start, m.item->note});
    upcoming_.Open();
    if (upcoming_.IsOpen()) {
        for (const Missed& m : missed) {
            PendingReminder record;
            record.item = m.item;
            record.start = m.start;
            record.fired = true;
            upcoming_.Send(kUpcomingMissed, &record);
        }
        upcoming_.Send(kUpcomingRefresh, nullptr);
    }
    if (notice_ != nullptr && prefs_.UewToast != 0) notice_->ShowNotice(entries, true);
}

void ReminderScheduler::PruneSnoozes(Instant now) {
    const std::size_t before = snoozes_.size();
    bool moved = false;
    std::erase_if(snoozes_, [&](Snooze& s) {
        const ScheduleItem* item = FindItem(s.eventId);
        if (item == nullptr || Excluded(*item, s.day)) return true;
        // The stored date is untrusted: a day that is no day has no occurrence.
        const int y = static_cast<int>(s.day >> 16), m = static_cast<int>((s.day >> 8) & 0xFF),
                  d = static_cast<int>(s.day & 0xFF);
        if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return true;
        int y1 = 0, m1 = 0, d1 = 0;
        CivilFromDays(DaysFromCivil(y, m, d) + 1, y1, m1, d1);
        Instant from = 0, next = 0, start = 0;
        if (!TryMakeLocalTime(y, m, d, 0, 0, 0, from) || !TryMakeLocalTime(y1, m1, d1, 0, 0, 0, next) ||
            !FindOccurrence(*item, from, next - 1, &start) || (s.start != 0 && s.start != start)) {
            return true;
        }
        s.start = start;
        if (s.fireAt > now + kLongestSnooze) {
            s.fireAt = now + kLongestSnooze;
            moved = true;
        }
        return false;
    });
    if (moved || snoozes_.size() != before) SaveSnoozes();
}

bool ReminderScheduler::SnoozeOccurrence(std::uint32_t eventId, Instant start, Instant until) {
    if (FindItem(eventId) == nullptr) return false;
    const DateKey day = DateKeyOf(start);
    std::erase_if(snoozes_, [&](const Snooze& s) { return s.eventId == eventId && s.day == day; });
    if (snoozes_.size() >= kMaxSnoozes) snoozes_.erase(snoozes_.begin());  // the oldest made goes
    snoozes_.push_back({eventId, day, until, start});
    for (const auto& record : pending_) {
        if (record->item->front.id == eventId && record->start == start) record->fired = record->snoozed = true;
    }
    SaveSnoozes();
    CheckReminders(clock_.Now(), true);
    return true;
}

Instant ReminderScheduler::FireSnoozes(Instant now, bool& fired) {
    const Instant now5 = now + kReminderTolerance;
    std::vector<Snooze> due;
    bool changed = false;
    Instant next = std::numeric_limits<Instant>::max();
    std::erase_if(snoozes_, [&](Snooze& s) {
        if (s.fireAt <= now5) {
            due.push_back(s);
            return true;
        }
        if (s.fireAt > now + kLongestSnooze) {  // made before the clock was set back
            s.fireAt = now + kLongestSnooze;
            changed = true;
        }
        next = std::min(next, s.fireAt);
        return false;
    });
    // Saved before anything runs: a snooze comes back once, even if the
    // program ends while it does.
    if (changed || !due.empty()) SaveSnoozes();
    std::stable_sort(due.begin(), due.end(), [](const Snooze& a, const Snooze& b) { return a.fireAt < b.fireAt; });
    for (const Snooze& s : due) {
        const ScheduleItem* item = FindItem(s.eventId);
        if (item == nullptr) continue;
        fired = true;
        PendingReminder* record = nullptr;
        for (const auto& r : pending_)
            if (r->item == item && r->start == s.start) record = r.get();
        Notice(*item, s.start);
        if (record != nullptr) {
            record->snoozed = false;  // listed as reminded again
            PlaySoundOf(*item);
            continue;
        }
        // Begun since: it comes back as a notification of its beginning.
        PendingReminder begun;
        begun.item = item;
        begun.start = s.start;
        begun.fired = true;
        PlaySoundOf(*item);
        if (prefs_.UewBeginning != 0 && !upcoming_.IsOpen()) upcoming_.Open();
        if (upcoming_.IsOpen()) upcoming_.Send(kUpcomingBegun, &begun);
    }
    return next;
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
    PruneSnoozes(now);  // an edit that moved the occurrence, or excluded it, ends its snooze
    CheckReminders(now, true);
}

void ReminderScheduler::StartSchedule() {
    dayWindowStart_ = 0;
    dayWindowEnd_ = 0;
    LoadKept(clock_.Now());
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
        CollectMissed(now, *rebuildFrom);
    }
    dayWindowEnd_ = days.endOfToday;
    dayWindowStart_ = now;
    AddDay(days.startOfTomorrow, days.endOfTomorrow, days.tomorrowKey);
    return true;
}

void ReminderScheduler::Perform(const ScheduleItem& item) {
    // A copy: what these calls set off may end with the store freeing the item.
    const std::string launchfile = (item.actions & kActionLaunchFile) != 0 && UsablePath(item, item.launchfile)
                                       ? item.launchfile
                                       : std::string();
    PlaySoundOf(item);
    if (!launchfile.empty() && actions_.FileExists(launchfile)) actions_.OpenFile(launchfile);
}

void ReminderScheduler::PlaySoundOf(const ScheduleItem& item) {
    if ((item.actions & kActionPlaySound) == 0) return;
    actions_.PlaySoundFile(UsablePath(item, item.soundfile) ? item.soundfile : std::string());
}

void ReminderScheduler::Arm(std::uint32_t milliseconds) { timer_.Set(milliseconds); }

void ReminderScheduler::RunCheck(Instant now, bool notify) {
    const bool dayKnown = UpdateDayWindow(now);
    lastCheck_ = now;
    if (keeper_ != nullptr) keeper_->SaveLastChecked(now);
    ShowMissed();
    if (!dayKnown) {
        // A clock outside the years the runtime can break down: no day to fill.
        Arm(kMaxTimerPeriodMs);
        return;
    }
    noticed_.clear();
    CheckDue(now, notify);
    // One notification names everything that fired together.
    if (!noticed_.empty() && notice_ != nullptr && prefs_.UewToast != 0) {
        const std::vector<NoticeEntry> entries = std::move(noticed_);
        noticed_.clear();
        notice_->ShowNotice(entries, false);
    }
}

void ReminderScheduler::CheckDue(Instant now, bool notify) {
    bool snoozeFired = false;
    const Instant snoozeDue = FireSnoozes(now, snoozeFired);
    if (pending_.empty()) {
        if (upcoming_.IsOpen()) {
            if (notify || snoozeFired) upcoming_.Send(kUpcomingRefresh, nullptr);
        } else if (snoozeFired && prefs_.UewNotification != 0) {
            upcoming_.Open();
        }
        Arm(snoozeDue == std::numeric_limits<Instant>::max() ? kMaxTimerPeriodMs : PeriodUntil(snoozeDue, now));
        return;
    }

    const Instant now5 = now + kReminderTolerance;
    const Instant displayLimit = now5 + static_cast<Instant>(prefs_.UewHours) * 3600;
    const Instant soonLimit = now5 + static_cast<Instant>(prefs_.UewHours2) * 3600;
    bool openWanted = false;
    bool actionDone = snoozeFired;
    Instant nextDue = snoozeDue;

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
            Notice(*record.item, record.start);
            Perform(*record.item);
        }
        if (!dropped() && record.start <= now5) {
            // Put off: its snooze, not its beginning, brings it back.
            if (!record.snoozed && prefs_.UewBeginning != 0 && !upcoming_.IsOpen()) upcoming_.Open();
            if (!record.snoozed && !dropped() && upcoming_.IsOpen()) upcoming_.Send(kUpcomingBegun, &record);
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
    Arm(nextDue == std::numeric_limits<Instant>::max() ? kMaxTimerPeriodMs : PeriodUntil(nextDue, now));
}
