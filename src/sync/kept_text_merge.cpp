#include "sync/kept_text_merge.h"

#include <algorithm>
#include <initializer_list>
#include <set>

#include "core/calendar.h"
#include "interop/event_mapper.h"
#include "interop/ics_reader.h"
#include "interop/ics_values.h"
#include "interop/ics_writer.h"
#include "interop/ics_zone.h"
#include "sync/server_terms.h"

namespace {

constexpr int kEndOfDay = 86399;

IcsComponent* MasterEvent(std::vector<IcsComponent>& calendars, std::vector<IcsComponent>** siblings = nullptr) {
    for (IcsComponent& calendar : calendars)
        for (IcsComponent& c : calendar.components)
            if (c.name == "VEVENT" && c.Find("RECURRENCE-ID") == nullptr) {
                if (siblings != nullptr) *siblings = &calendar.components;
                return &c;
            }
    return nullptr;
}

IcsProperty* FindIn(IcsComponent& c, std::string_view name) {
    for (IcsProperty& p : c.properties)
        if (p.name == name) return &p;
    return nullptr;
}

void Remove(IcsComponent& event, std::initializer_list<std::string_view> names) {
    std::erase_if(event.properties, [&](const IcsProperty& p) {
        return std::find(names.begin(), names.end(), p.name) != names.end();
    });
}

void Take(IcsComponent& event, const IcsComponent& from, std::initializer_list<std::string_view> names) {
    Remove(event, names);
    for (const IcsProperty& p : from.properties)
        if (std::find(names.begin(), names.end(), p.name) != names.end()) event.properties.push_back(p);
}

// Our value in the server's property: its language and other parameters stay.
void TakeText(IcsComponent& event, const IcsComponent& from, std::string_view name) {
    const IcsProperty* ours = from.Find(name);
    IcsProperty* theirs = FindIn(event, name);
    if (ours == nullptr || theirs == nullptr) return Take(event, from, {name});
    theirs->value = ours->value;
    std::erase_if(theirs->params, [](const IcsParam& p) { return p.name == "ALTREP"; });
}

bool IsSeries(const IcsComponent& event) { return event.Find("RRULE") != nullptr || event.Find("RDATE") != nullptr; }
bool IsAllDay(const ScheduleFront& f) { return f.startTime == 0 && f.endTime == kEndOfDay; }

long long LocalDays(Instant t) {
    long long days = 0;
    LocalDaysOf(t, days);
    return days;
}

long long DayFloor(long long wall) { return wall >= 0 ? wall / 86400 : -((-wall + 86399) / 86400); }

IcsTime Floating(IcsTime t) {
    t.dateOnly = false;
    t.utc = false;
    t.tzid.clear();
    return t;
}

IcsProperty TimeProperty(std::string_view name, const IcsTime& t) {
    IcsProperty p;
    p.name = name;
    SetIcsTime(p, t);
    return p;
}

IcsProperty DurationProperty(long long seconds) {
    IcsProperty p;
    p.name = "DURATION";
    p.value = FormatIcsDuration(std::max(0LL, seconds));
    return p;
}

// Every item of a list of times (EXDATE, RDATE, RECURRENCE-ID) through
// `move`; a list this program cannot read (periods) stays as written.
template <class Move>
void MoveTimes(IcsProperty& p, Move move) {
    std::vector<IcsTime> times;
    if (!ParseIcsTimeList(p, times) || times.empty()) return;
    std::string value;
    for (const IcsTime& t : times) {
        const IcsTime moved = move(t);
        if (!value.empty()) value += ',';
        value += FormatIcsValue(moved);
    }
    SetIcsTime(p, move(times.front()));
    p.value = value;
}

class Merge {
public:
    Merge(std::vector<IcsComponent>& calendars, IcsComponent& event, std::vector<IcsComponent>& siblings,
          const IcsComponent& from, const LocalEdit& edit)
        : terms_(calendars), event_(event), siblings_(siblings), from_(from), edit_(edit), now_(edit.now->front) {}

    void Run() {
        const ChangedParts& c = edit_.changed;
        if (c.title) TakeText(event_, from_, "SUMMARY");
        if (c.note) TakeText(event_, from_, "DESCRIPTION");
        if (c.rule) {
            NewRule();
        } else {
            if (c.times) IsSeries(event_) ? SeriesTimes() : SingleTimes();
            if (c.exclusions && IsSeries(event_)) AddExclusions();
        }
        if (c.alarm) Alarm();
        Take(event_, from_, {"DTSTAMP"});
    }

private:
    bool ServerStart(IcsTime& start) const {
        const IcsProperty* p = event_.Find("DTSTART");
        return p != nullptr && ParseIcsTime(*p, start);
    }

    // The form a local time takes: the server's, but a date that now has
    // a time of day becomes a floating time, and a local day that spans
    // whole days stays whole days only where the server wrote days.
    IcsTime FormOf(const IcsTime& server) const {
        return server.dateOnly && !IsAllDay(now_) ? Floating(server) : server;
    }

    // The event as exported, where no server form can be had.
    void TakeOurTimes() { Take(event_, from_, {"DTSTART", "DTEND", "DURATION"}); }

    void SingleTimes() {
        IcsTime server;
        IcsTime start;
        const IcsTime form = ServerStart(server) ? FormOf(server) : IcsTime{};
        const LocalWall localStart{LocalDays(now_.startDate), now_.startTime};
        const LocalWall localEnd{LocalDays(now_.endDate), now_.endTime};
        if (!ServerStart(server) || !terms_.Write(localStart, form, start)) return TakeOurTimes();
        IcsTime end;
        if (form.dateOnly) {
            end = FromWall(start, (localEnd.days + 1) * 86400);
        } else {
            IcsTime endForm = form;
            if (const IcsProperty* p = event_.Find("DTEND"); p != nullptr && !ParseIcsTime(*p, endForm)) endForm = form;
            if (endForm.dateOnly) endForm = form;
            if (!terms_.Write(localEnd, endForm, end)) return TakeOurTimes();
        }
        const bool hadEnd = event_.Find("DTEND") != nullptr;
        const bool hadDuration = event_.Find("DURATION") != nullptr;
        const long long length = form.dateOnly ? (localEnd.days + 1 - localStart.days) * 86400
                                               : (localEnd.days - localStart.days) * 86400 + localEnd.seconds -
                                                     localStart.seconds;
        Remove(event_, {"DTSTART", "DTEND", "DURATION"});
        event_.properties.push_back(TimeProperty("DTSTART", start));
        if (hadDuration && !hadEnd) event_.properties.push_back(DurationProperty(length));
        else if (hadEnd || length > (form.dateOnly ? 86400 : 0)) event_.properties.push_back(TimeProperty("DTEND", end));
    }

    // A series keeps its first day and rule: its time of day moves, and
    // every date that names one of its occurrences moves with it.
    void SeriesTimes() {
        IcsTime server;
        if (!ServerStart(server)) return TakeOurTimes();
        int before = 0;
        LocalWall read;
        if (edit_.synced != nullptr) before = edit_.synced->front.startTime;
        else if (terms_.ToLocal(server, read)) before = read.seconds;
        else return TakeOurTimes();
        const long long delta = now_.startTime - before;
        const bool toTimes = server.dateOnly && !IsAllDay(now_);
        const bool toDays = !server.dateOnly && IsAllDay(now_) && edit_.synced != nullptr && !IsAllDay(edit_.synced->front);
        const long long dayShift = server.dateOnly ? 0 : DayFloor(server.seconds + delta);
        auto move = [&](IcsTime t) {
            if (toTimes) {
                t = Floating(t);
                t.seconds = now_.startTime;
                return t;
            }
            if (t.dateOnly) return FromWall(t, WallSeconds(t) + dayShift * 86400);
            t = FromWall(t, WallSeconds(t) + delta);
            if (toDays) {
                t.dateOnly = true;
                t.utc = false;
                t.tzid.clear();
                t.seconds = 0;
            }
            return t;
        };
        const IcsTime start = move(server);
        for (IcsProperty& p : event_.properties)
            if (p.name == "EXDATE" || p.name == "RDATE") MoveTimes(p, move);
        for (IcsComponent& c : siblings_)
            if (c.name == "VEVENT" && c.Find("RECURRENCE-ID") != nullptr)
                for (IcsProperty& p : c.properties)
                    if (p.name == "RECURRENCE-ID") MoveTimes(p, move);
        long long length = now_.endTime - now_.startTime;
        if (length < 0) length += 86400;
        const bool hadEnd = event_.Find("DTEND") != nullptr;
        const bool hadDuration = event_.Find("DURATION") != nullptr;
        Remove(event_, {"DTSTART", "DTEND", "DURATION"});
        event_.properties.push_back(TimeProperty("DTSTART", start));
        if (start.dateOnly) {
            if (hadEnd) event_.properties.push_back(TimeProperty("DTEND", FromWall(start, WallSeconds(start) + 86400)));
            else if (hadDuration) event_.properties.push_back(DurationProperty(86400));
        } else if (hadEnd && !toTimes) {
            event_.properties.push_back(TimeProperty("DTEND", FromWall(start, WallSeconds(start) + length)));
        } else if (hadEnd || hadDuration || length > 0) {
            event_.properties.push_back(DurationProperty(length));
        }
    }

    // Our rule and dates, in the form the server wrote its start in.
    void NewRule() {
        IcsTime server;
        const bool known = ServerStart(server);
        Take(event_, from_, {"RRULE", "RDATE", "EXRULE", "EXDATE", "DTSTART", "DTEND", "DURATION", "X-ORV-START"});
        if (!known || (!server.dateOnly && !server.utc && server.tzid.empty())) return;  // floating, as exported
        const IcsTime form = FormOf(server);
        auto reform = [&](IcsTime t) {
            IcsTime out;
            const LocalWall local{DaysFromCivil(t.year, t.month, t.day), t.seconds};
            return terms_.Write(local, form, out) ? out : t;
        };
        for (IcsProperty& p : event_.properties) {
            IcsTime t;
            if (p.name == "DTSTART" && ParseIcsTime(p, t)) {
                SetIcsTime(p, reform(t));
            } else if (p.name == "DTEND" && ParseIcsTime(p, t)) {
                IcsTime end = reform(t);
                if (form.dateOnly) end = FromWall(end, WallSeconds(end) + 86400);
                SetIcsTime(p, end);
            } else if (p.name == "EXDATE") {
                MoveTimes(p, reform);
            } else if (p.name == "RRULE") {
                UntilInForm(p, form);
            }
        }
    }

    // A zoned or UTC start takes its UNTIL in UTC; whole days take a date.
    void UntilInForm(IcsProperty& rrule, const IcsTime& form) const {
        const std::size_t at = rrule.value.find("UNTIL=");
        if (at == std::string::npos) return;
        const std::size_t end = std::min(rrule.value.find(';', at), rrule.value.size());
        IcsTime until;
        if (!ParseIcsTime(std::string_view(rrule.value).substr(at + 6, end - at - 6), until)) return;
        IcsTime utc;
        utc.utc = true;
        IcsTime out;
        const LocalWall local{DaysFromCivil(until.year, until.month, until.day), until.seconds};
        if (form.dateOnly) {
            out = until;
            out.dateOnly = true;
        } else if (!terms_.Write(local, utc, out)) {
            return;
        }
        rrule.value.replace(at + 6, end - at - 6, FormatIcsValue(out));
    }

    // Our excluded days the server does not exclude yet, leaving out days
    // it holds a changed occurrence for; written as the series' occurrences are.
    void AddExclusions() {
        IcsTime server;
        if (!ServerStart(server)) return;
        std::set<std::string> days;
        auto day = [](const IcsTime& t) { return FormatIcsDate(t.year, t.month, t.day); };
        auto note = [&](const IcsProperty& p) {
            std::vector<IcsTime> times;
            if (ParseIcsTimeList(p, times))
                for (const IcsTime& t : times) days.insert(day(t));
        };
        for (const IcsProperty* p : event_.FindAll("EXDATE")) note(*p);
        for (const IcsComponent& c : siblings_)
            if (const IcsProperty* id = c.Find("RECURRENCE-ID"); id != nullptr && c.name == "VEVENT") note(*id);
        std::vector<DateKey> excluded = edit_.excluded;
        std::sort(excluded.begin(), excluded.end());
        const long long firstDay = LocalDays(now_.startDate);
        std::string list;
        IcsTime first;
        for (DateKey key : excluded) {
            const long long d = DaysFromCivil(static_cast<int>(key >> 16), (key >> 8) & 0xFF, key & 0xFF);
            IcsTime t;
            if (d < firstDay || !terms_.Write({d, now_.startTime}, server, t) || !days.insert(day(t)).second) continue;
            if (list.empty()) first = t;
            else list += ',';
            list += FormatIcsValue(t);
        }
        if (list.empty()) return;
        IcsProperty p = TimeProperty("EXDATE", first);
        p.value = list;
        event_.properties.push_back(std::move(p));
    }

    // The reminder is the first alarm's trigger; the server's other
    // alarms, and what this one does, stay.
    void Alarm() {
        const IcsComponent* ours = nullptr;
        for (const IcsComponent& c : from_.components)
            if (c.name == "VALARM" && ours == nullptr) ours = &c;
        auto theirs = std::find_if(event_.components.begin(), event_.components.end(),
                                   [](const IcsComponent& c) { return c.name == "VALARM"; });
        if (ours == nullptr) return;
        if (theirs == event_.components.end()) {
            event_.components.push_back(*ours);
            return;
        }
        Take(*theirs, *ours, {"TRIGGER"});
    }

    ServerTerms terms_;
    IcsComponent& event_;
    std::vector<IcsComponent>& siblings_;
    const IcsComponent& from_;
    const LocalEdit& edit_;
    const ScheduleFront& now_;
};

void Write(IcsWriter& w, const IcsComponent& c) {
    w.Begin(c.name);
    for (const IcsProperty& p : c.properties) {
        if (p.name == "BEGIN" || p.name == "END") continue;
        std::string name = p.name;
        for (const IcsParam& param : p.params) {
            name += ';';
            name += param.name;
            name += '=';
            for (std::size_t i = 0; i < param.values.size(); ++i) {
                if (i != 0) name += ',';
                name += ParamValue(param.values[i]);
            }
        }
        w.Property(name, p.value);
    }
    for (const IcsComponent& child : c.components) Write(w, child);
    w.End(c.name);
}

}  // namespace

ChangedParts Compare(const EventPrint& synced, const EventPrint& now) {
    auto differs = [&](PrintPart p) { return synced.Part(p) != now.Part(p); };
    ChangedParts c;
    c.title = differs(PrintPart::Title);
    c.note = differs(PrintPart::Note);
    c.times = differs(PrintPart::Times);
    c.alarm = differs(PrintPart::Alarm);
    c.rule = differs(PrintPart::Rule);
    c.exclusions = differs(PrintPart::Exclusions);
    return c;
}

std::string MergeIntoKeptText(std::string_view kept, std::string_view exported, const LocalEdit& edit) {
    if (edit.now == nullptr) return {};
    IcsReadResult server = ReadIcs(kept);
    const IcsReadResult ours = ReadIcs(exported);
    // A line the reader left out would be lost when the text is written again.
    if (!server.Ok() || !ours.Ok() || server.skippedLines != 0) return {};
    std::vector<IcsComponent>* siblings = nullptr;
    IcsComponent* event = MasterEvent(server.calendars, &siblings);
    std::vector<IcsComponent> oursCopy = ours.calendars;
    const IcsComponent* from = MasterEvent(oursCopy);
    if (event == nullptr || from == nullptr) return {};
    Merge(server.calendars, *event, *siblings, *from, edit).Run();
    IcsWriter w;
    for (const IcsComponent& calendar : server.calendars) Write(w, calendar);
    return w.Result();
}
