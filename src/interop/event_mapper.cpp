#include "interop/event_mapper.h"

#include <algorithm>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "interop/ics_recurrence.h"
#include "interop/ics_text.h"

namespace r = import_reason;

namespace {

constexpr std::size_t kMaxExcludedPerEvent = 1000;
constexpr long long kMaxCount = 100000;
// The earliest day whose midnight every runtime can build in every zone.
const long long kFirstDay = DaysFromCivil(1970, 1, 2);

long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

bool IsUtcName(std::string_view tzid) {
    const std::string name = UpperAscii(tzid);
    return name == "UTC" || name == "GMT" || name == "Z" || name == "ETC/UTC" || name == "ETC/GMT";
}

long long LocalDays(Instant t) {
    LocalFields f;
    return BreakDownLocal(t, f) ? DaysFromCivil(f.year, f.month, f.day) : 0;
}

// The occurrence at `day` of a rule whose occurrences start at `start`'s time.
IcsTime OnDay(const IcsTime& start, long long day) { return FromWall(start, day * 86400 + start.seconds); }

// RRULE, RDATE, EXDATE and EXRULE describe the series, not an occurrence.
bool IsSeriesProperty(std::string_view name) {
    return name == "RRULE" || name == "RDATE" || name == "EXDATE" || name == "EXRULE" || name == "RECURRENCE-ID";
}

}  // namespace

IcsTime FromWall(const IcsTime& like, long long wall) {
    IcsTime t = like;
    CivilFromDays(FloorDiv(wall, 86400), t.year, t.month, t.day);
    t.seconds = static_cast<int>(wall - FloorDiv(wall, 86400) * 86400);
    return t;
}

bool MidnightOf(long long days, int seconds, Instant& out) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    return TryMakeLocalTime(y, m, d, seconds / 3600, seconds / 60 % 60, seconds % 60, out);
}

DateKey KeyOfDays(long long days) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    return MakeDateKey(y, m, d);
}

EventMapper::EventMapper(Instant now, Instant windowStart, Instant windowEnd)
    : today_(LocalDays(now)),
      windowFirstDay_(LocalDays(windowStart)),
      windowEndDay_(LocalDays(windowEnd)),
      windowStart_(windowStart),
      windowEnd_(windowEnd) {}

bool EventMapper::IsAbsolute(const IcsTime& t) const {
    return t.utc || (!t.tzid.empty() && (zones.count(t.tzid) != 0 || IsUtcName(t.tzid)));
}

bool EventMapper::ToLocal(const IcsTime& t, LocalTime& out) {
    const long long wall = WallSeconds(t);
    long long instant = wall;
    bool absolute = t.utc;
    if (!t.tzid.empty()) {
        if (auto zone = zones.find(t.tzid); zone != zones.end()) {
            instant = wall - zone->second.OffsetAt(wall);
            absolute = true;
        } else if (IsUtcName(t.tzid)) {
            absolute = true;
        } else {
            notes_.unknownZone = true;
        }
    }
    if (!absolute) {
        out = {DaysFromCivil(t.year, t.month, t.day), t.seconds};
        return true;
    }
    LocalFields f;
    if (instant < kEarliestInstant || instant > kLatestInstant || !BreakDownLocal(instant, f)) return false;
    out = {DaysFromCivil(f.year, f.month, f.day), f.hour * 3600 + f.minute * 60 + f.second};
    return true;
}

// The end of the first occurrence, as ours.
LocalTime EventMapper::ReadEnd(const IcsComponent& event, const IcsTime& start, const LocalTime& first) {
    LocalTime end = first;
    bool hasEnd = false;
    IcsTime endTime;
    long long duration = 0;
    if (const IcsProperty* p = event.Find("DTEND"); p != nullptr && ParseIcsTime(*p, endTime)) {
        hasEnd = ToLocal(endTime, end);
    } else if (const IcsProperty* d = event.Find("DURATION"); d != nullptr && ParseIcsDuration(d->value, duration)) {
        hasEnd = ToLocal(FromWall(start, WallSeconds(start) + std::max(0LL, duration)), end);
    }
    if (start.dateOnly) {
        // Whole days: the end names the day after the last one.
        end.days = hasEnd ? std::max(first.days, end.days - 1) : first.days;
        end.seconds = 86399;
    } else if (!hasEnd || end.Wall() < first.Wall()) {
        end = first;
    }
    return end;
}


// The repeat rule, when it has one of our forms; the reason to skip the
// event, or null. A series in another zone takes its local time from the
// occurrence nearest today (`first` moves to the start of that reading).
const char* EventMapper::ReadSeries(const IcsComponent& event, const IcsTime& start, LocalTime& first,
                                    SeriesPlan& plan) {
    const std::vector<const IcsProperty*> rrules = event.FindAll("RRULE");
    IcsRecurRule rr;
    if (rrules.size() > 1 || event.Find("RDATE") != nullptr || event.Find("EXRULE") != nullptr) {
        plan.firstOnly = r::kExtraDates;
    } else if (!rrules.empty()) {
        if (!ParseRecurRule(rrules[0]->value, rr)) {
            plan.firstOnly = r::kRule;
        } else {
            const long long sourceDays = DaysFromCivil(start.year, start.month, start.day);
            plan.firstOnly = MapRule(rr, start, first.days - sourceDays, first.days, plan.rule, plan.preExcluded);
            if (plan.firstOnly == nullptr && !start.dateOnly && IsAbsolute(start))
                FollowNearestOccurrence(rr, start, first, plan);
        }
        plan.series = plan.firstOnly == nullptr;
    }
    if (plan.series) {
        long long firstDay = 0;
        if (!plan.rule.Days().FirstIn(first.days, LLONG_MAX, firstDay)) return r::kNoOccurrence;
        if (rr.count != 0) {
            // DTSTART counts as the first even when the rule names another day.
            const long long count = rr.count - (firstDay != first.days && rr.count > 1 ? 1 : 0);
            plan.lastDay = plan.rule.Days().Nth(firstDay, std::min(count, kMaxCount));
        } else if (rr.hasUntil) {
            IcsTime until = rr.until;
            if (!until.utc && !until.dateOnly) until.tzid = start.tzid;
            LocalTime u;
            if (ToLocal(until, u)) plan.lastDay = u.days - (!until.dateOnly && u.seconds < first.seconds ? 1 : 0);
            else if (until.year < 1970) plan.lastDay = kFirstDay - 1;
        }
        if (plan.lastDay < firstDay) return r::kNoOccurrence;
        if (plan.lastDay < kFirstDay) return r::kOver;
        if (!start.dateOnly && IsAbsolute(start)) NoteZoneChanges(start, first, std::max(firstDay, windowFirstDay_), plan.lastDay);
        if (plan.rule.startDays < kFirstDay) {
            plan.rule.startDays = plan.rule.Days().PeriodStartFrom(kFirstDay);
            plan.preExcluded.clear();
        }
        // The start date this program wrote when it was not an occurrence.
        IcsTime written;
        if (const IcsProperty* p = event.Find("X-ORV-START"); p != nullptr && ParseIcsTime(p->value, written)) {
            MappedRule stored = plan.rule;
            stored.startDays = DaysFromCivil(written.year, written.month, written.day);
            long long storedFirst = 0;
            if (stored.startDays >= kFirstDay && stored.startDays <= first.days &&
                stored.Days().FirstIn(stored.startDays, LLONG_MAX, storedFirst) && storedFirst == firstDay &&
                stored.Days().Nth(firstDay, 8) == plan.rule.Days().Nth(firstDay, 8)) {
                plan.rule = stored;
                plan.preExcluded.clear();
            }
        }
    }
    return nullptr;
}

// The stored times are this computer's wall clock: a series written in
// another zone is read at its next occurrence, so the coming weeks are
// right, or at its last when it has ended, and noted when the two zones
// change their clocks apart.
void EventMapper::FollowNearestOccurrence(const IcsRecurRule& rr, const IcsTime& start, LocalTime& first,
                                          SeriesPlan& plan) {
    const long long sourceDays = DaysFromCivil(start.year, start.month, start.day);
    MappedRule source;
    std::vector<long long> unused;
    if (MapRule(rr, start, 0, sourceDays, source, unused) != nullptr) return;
    const RecurrenceDays days = source.Days();
    long long next = 0;
    long long last = 0;
    if (!days.FirstIn(sourceDays, LLONG_MAX, next) || !LastOccurrence(rr, start, days, next, last)) return;
    if (last < std::max(sourceDays, today_) || !days.FirstIn(std::max(sourceDays, today_), LLONG_MAX, next))
        next = last;
    LocalTime at;
    if (next == LLONG_MAX || !ToLocal(OnDay(start, next), at)) return;
    if (next == sourceDays) return;
    const LocalTime moved{sourceDays + (at.days - next), at.seconds};
    MappedRule rule;
    std::vector<long long> preExcluded;
    if (MapRule(rr, start, at.days - next, moved.days, rule, preExcluded) != nullptr) return;
    first = moved;
    plan.rule = rule;
    plan.preExcluded = std::move(preExcluded);
}

// The day of a series' last occurrence in its own zone, `firstDay` being its
// first; LLONG_MAX when it has no end. False when the end cannot be read.
bool EventMapper::LastOccurrence(const IcsRecurRule& rr, const IcsTime& start, const RecurrenceDays& days,
                                 long long firstDay, long long& last) {
    const long long sourceDays = DaysFromCivil(start.year, start.month, start.day);
    last = LLONG_MAX;
    if (rr.count != 0) {
        // DTSTART counts as the first even when the rule names another day.
        const long long count = rr.count - (firstDay != sourceDays && rr.count > 1 ? 1 : 0);
        last = days.Nth(firstDay, std::min(count, kMaxCount));
        return true;
    }
    if (!rr.hasUntil) return true;
    IcsTime until = rr.until;
    if (!until.utc && !until.dateOnly) until.tzid = start.tzid;
    LocalTime end;
    if (!until.dateOnly && !ToLocal(until, end)) return false;
    // The zone's own dates for a day; else the zones lie less than a day apart.
    const long long untilDays = DaysFromCivil(until.year, until.month, until.day) + (until.dateOnly ? 0 : 1);
    const auto ends = [&](long long day) {
        LocalTime t;
        return !until.dateOnly && day >= untilDays - 2 && (!ToLocal(OnDay(start, day), t) || t.Wall() > end.Wall());
    };
    // Back from the end in growing steps: a rule from year 1 is not walked from there.
    for (long long span = 64, from = untilDays + 1; last == LLONG_MAX && from > firstDay; span *= 4) {
        const long long to = from - 1;
        from = std::max(firstDay, untilDays - span);
        days.ForEachIn(from, std::max(from, to), [&](long long day) {
            if (!ends(day)) last = day;
        });
    }
    return last != LLONG_MAX;
}

// Whether the series' local time moves within the months shown or the year
// to come: the zone it is written in changes its clocks on other days.
void EventMapper::NoteZoneChanges(const IcsTime& start, const LocalTime& first, long long from, long long last) {
    const long long sourceDays = DaysFromCivil(start.year, start.month, start.day);
    const long long shift = first.days - sourceDays;
    for (long long day = from; day <= std::min(last, today_ + 371); day += 7) {
        LocalTime t;
        if (ToLocal(OnDay(start, day - shift), t) && t.Wall() != day * 86400 + first.seconds) {
            notes_.followsZone = true;
            return;
        }
    }
}

// An event kept as one occurrence keeps its first when the calendar's
// months show it; else the next one from today they show, else the last
// one before today they show. Occurrences past the rule's end, excluded or
// replaced by an override are none.
void EventMapper::ChooseOccurrence(const IcsComponent& event, const IcsTime& start,
                                   const std::set<long long>& excluded, LocalTime& first) {
    const auto shown = [&](const LocalTime& t) { return t.days >= windowFirstDay_ && t.days < windowEndDay_; };
    if (shown(first) && excluded.count(first.days) == 0) return;
    bool hasNext = false;
    bool hasPast = false;
    LocalTime next;
    LocalTime past;
    const auto consider = [&](const LocalTime& t) {
        if (excluded.count(t.days) != 0) return;
        if (t.days >= today_) {
            if (!hasNext || t.Wall() < next.Wall()) next = t;
            hasNext = true;
        } else if (shown(t) && (!hasPast || t.Wall() > past.Wall())) {
            past = t;
            hasPast = true;
        }
    };
    consider(first);
    const long long sourceDays = DaysFromCivil(start.year, start.month, start.day);
    for (const IcsProperty* p : event.FindAll("RRULE")) {
        IcsRecurRule rr;
        if (!ParseRecurRule(p->value, rr)) continue;
        long long untilWall = LLONG_MAX;
        if (rr.hasUntil) {
            IcsTime until = rr.until;
            if (!until.utc && !until.dateOnly) until.tzid = start.tzid;
            LocalTime u;
            if (ToLocal(until, u)) untilWall = until.dateOnly ? u.days * 86400 + 86399 : u.Wall();
        }
        // Far enough for the next occurrence of a yearly rule after the months shown.
        // The zone moves a day by one at most.
        ForEachRuleDay(rr, sourceDays, windowFirstDay_ - 1, windowEndDay_ + 400, expansionBudget_, [&](long long day) {
            LocalTime t;
            if (!ToLocal(OnDay(start, day), t)) return true;
            if (t.Wall() > untilWall) return false;
            consider(t);
            return !(hasNext && next.days < t.days);
        });
    }
    for (const IcsProperty* p : event.FindAll("RDATE")) {
        std::vector<IcsTime> dates;
        if (!ParseIcsTimeList(*p, dates)) continue;
        for (IcsTime t : dates) {
            if (!t.utc && !t.dateOnly && t.tzid.empty()) t.tzid = start.tzid;
            if (t.dateOnly && !start.dateOnly) t = FromWall(start, WallSeconds(t) + start.seconds);
            LocalTime local;
            if (ToLocal(t, local)) consider(local);
        }
    }
    if (hasNext && shown(next)) first = next;
    else if (hasPast) first = past;
    else if (hasNext) first = next;
}

// The stored dates, times and rule; the reason to skip the event, or null.
const char* EventMapper::ReadFront(const SeriesPlan& plan, const LocalTime& first, const LocalTime& end,
                              ScheduleFront& f) {
    Instant startDate = 0;
    if (!MidnightOf(plan.series ? plan.rule.startDays : first.days, 0, startDate) || startDate > kLastStorableInstant)
        return r::kOutOfRange;
    f.startDate = static_cast<std::uint32_t>(startDate);
    f.startTime = first.seconds;
    f.endTime = end.seconds;
    Instant endDate = 0;
    if (plan.series) {
        f.recurKind = plan.rule.kind;
        f.recurPattern = plan.rule.pattern;
        f.recurInterval = static_cast<std::uint8_t>(plan.rule.interval);
        if (plan.lastDay == LLONG_MAX || !MidnightOf(plan.lastDay, 86399, endDate) || endDate > kLastStorableInstant) {
            f.recurFlags = 1;
            endDate = EndOfDay(startDate);
        }
    } else {
        f.recurKind = kKindNone;
        if (!MidnightOf(end.days, 86399, endDate) || endDate > kLastStorableInstant) return r::kOutOfRange;
    }
    f.endDate = static_cast<std::uint32_t>(endDate);
    return nullptr;
}


// The local day of an excluded or replaced occurrence. A series keeps its
// own zone's dates moved by `shift` days, as its rule was; the others are
// read on the local clock.
bool EventMapper::DayOf(IcsTime t, const IcsTime& start, const SeriesPlan& plan, long long shift, long long& day) {
    if (!t.utc && !t.dateOnly && t.tzid.empty()) t.tzid = start.tzid;
    if (plan.series && (t.dateOnly || (t.utc == start.utc && t.tzid == start.tzid))) {
        day = DaysFromCivil(t.year, t.month, t.day) + shift;
        return true;
    }
    LocalTime local;
    if (!ToLocal(t, local)) return false;
    day = local.days;
    return true;
}

// The local days EXDATE and the changed occurrences name.
std::set<long long> EventMapper::ExcludedDays(const IcsComponent& event, const IcsTime& start, const SeriesPlan& plan,
                                              long long shift, const std::vector<IcsTime>& replaced,
                                              std::vector<long long>& replacedDays) {
    std::set<long long> days;
    for (const IcsProperty* p : event.FindAll("EXDATE")) {
        std::vector<IcsTime> dates;
        if (!ParseIcsTimeList(*p, dates)) continue;
        for (const IcsTime& t : dates)
            if (long long day = 0; DayOf(t, start, plan, shift, day)) days.insert(day);
    }
    for (const IcsTime& t : replaced) {
        long long day = LLONG_MIN;
        if (DayOf(t, start, plan, shift, day)) days.insert(day);
        replacedDays.push_back(day);
    }
    return days;
}

// Excluded dates of a series: those that are occurrences; for a single
// event, its own day, which leaves nothing to import (the reason, else null).
const char* EventMapper::ReadExclusions(const std::set<long long>& days, const LocalTime& first,
                                        const SeriesPlan& plan, std::set<DateKey>& excluded) {
    for (long long d : plan.preExcluded) excluded.insert(KeyOfDays(d));
    for (long long d : days) {
        if (!plan.series && d == first.days) return r::kNoOccurrence;
        if (plan.series && excluded.size() < kMaxExcludedPerEvent && d >= plan.rule.startDays &&
            plan.rule.Days().Occurs(d))
            excluded.insert(KeyOfDays(d));
    }
    return nullptr;
}

const char* EventMapper::Map(const IcsComponent& event, const std::vector<IcsTime>& replaced, PlannedEvent& out) {
    notes_ = {};
    if (const IcsProperty* status = event.Find("STATUS"); status != nullptr && UpperAscii(status->value) == "CANCELLED")
        return r::kCancelled;
    const IcsProperty* dtstart = event.Find("DTSTART");
    IcsTime start;
    if (dtstart == nullptr || !ParseIcsTime(*dtstart, start)) return r::kNoStart;
    LocalTime written;
    if (!ToLocal(start, written)) return r::kOutOfRange;

    const LocalTime writtenEnd = ReadEnd(event, start, written);
    LocalTime first = written;
    SeriesPlan plan;
    if (const char* skip = ReadSeries(event, start, first, plan)) return skip;
    const long long shift = first.days - DaysFromCivil(start.year, start.month, start.day);
    const std::set<long long> excludedDays = ExcludedDays(event, start, plan, shift, replaced, out.replacedDays);
    if (!plan.series && plan.firstOnly != nullptr) ChooseOccurrence(event, start, excludedDays, first);
    LocalTime end = writtenEnd;
    end.days += first.days - written.days;
    if (!start.dateOnly) {
        const long long wall = writtenEnd.Wall() + first.Wall() - written.Wall();
        end = {FloorDiv(wall, 86400), static_cast<int>(wall - FloorDiv(wall, 86400) * 86400)};
    }

    auto item = std::make_unique<ScheduleItem>();
    ScheduleFront& f = item->front;
    if (const char* skip = ReadFront(plan, first, end, f)) return skip;
    std::set<DateKey> excluded;
    if (const char* skip = ReadExclusions(excludedDays, first, plan, excluded)) return skip;
    if (f.startDate >= windowEnd_) return r::kTooFarAhead;
    if (!IsEndless(f) && f.endDate < windowStart_) return r::kOver;
    if (plan.series && !FindOccurrence(*item, f.startDate, IsEndless(f) ? kLatestInstant : f.endDate, nullptr))
        return r::kNoOccurrence;

    ReadTexts(event, *item);
    ReadAlarm(event, written, writtenEnd, *item);
    item->uid = out.uidKey;
    notes_.firstOnly = plan.firstOnly;
    if (!plan.series) notes_.followsZone = false;
    out.item = std::move(item);
    out.exclusions.assign(excluded.begin(), excluded.end());
    out.startOffRule = plan.series && excludedDays.count(first.days) == 0 && !plan.rule.Days().Occurs(first.days);
    notes_.firstDayOnly = plan.series && end.days > first.days;
    out.notes = notes_;
    return nullptr;
}

bool EventMapper::RecurrenceTime(const IcsComponent& change, const IcsComponent* master, IcsTime& t) {
    const IcsProperty* id = change.Find("RECURRENCE-ID");
    if (id == nullptr || !ParseIcsTime(*id, t)) return false;
    IcsTime masterStart;
    if (!t.utc && !t.dateOnly && t.tzid.empty() && master != nullptr)
        if (const IcsProperty* p = master->Find("DTSTART"); p != nullptr && ParseIcsTime(*p, masterStart))
            t.tzid = masterStart.tzid;
    return true;
}

const char* EventMapper::MapOverride(const IcsComponent& change, const IcsComponent* master, PlannedEvent& out) {
    IcsComponent one;
    one.name = change.name;
    one.components = change.components;
    for (const IcsProperty& p : change.properties)
        if (!IsSeriesProperty(p.name)) one.properties.push_back(p);
    if (one.Find("DTSTART") == nullptr) {
        if (const IcsProperty* id = change.Find("RECURRENCE-ID")) {
            IcsProperty start = *id;
            start.name = "DTSTART";
            one.properties.push_back(std::move(start));
        }
    }
    if (master != nullptr) {
        for (const char* name : {"SUMMARY", "DESCRIPTION", "X-ORV-SOUNDFILE", "X-ORV-LAUNCHFILE"})
            if (one.Find(name) == nullptr)
                if (const IcsProperty* p = master->Find(name)) one.properties.push_back(*p);
        // The series' length, when the change names none.
        IcsTime s;
        IcsTime e;
        const IcsProperty* ms = master->Find("DTSTART");
        const IcsProperty* me = master->Find("DTEND");
        if (one.Find("DTEND") == nullptr && one.Find("DURATION") == nullptr) {
            if (const IcsProperty* d = master->Find("DURATION")) {
                one.properties.push_back(*d);
            } else if (ms != nullptr && me != nullptr && ParseIcsTime(*ms, s) && ParseIcsTime(*me, e)) {
                IcsProperty d;
                d.name = "DURATION";
                d.value = FormatIcsDuration(std::max(0LL, WallSeconds(e) - WallSeconds(s)));
                one.properties.push_back(std::move(d));
            }
        }
        bool hasAlarm = false;
        for (const IcsComponent& c : one.components) hasAlarm = hasAlarm || c.name == "VALARM";
        if (!hasAlarm)
            for (const IcsComponent& c : master->components)
                if (c.name == "VALARM") one.components.push_back(c);
    }
    return Map(one, {}, out);
}
