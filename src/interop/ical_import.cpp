#include "interop/ical_import.h"

#include <algorithm>
#include <set>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "interop/event_mapper.h"
#include "interop/exchange_id.h"
#include "interop/ics_text.h"

namespace r = import_reason;

namespace {

std::string Counted(int n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// The key an event is matched by: its UID; without one, the same start and
// title are the same event. A changed occurrence adds its RECURRENCE-ID, so
// importing the file again finds it.
std::string EventKey(const IcsComponent& event) {
    const IcsProperty* uid = event.Find("UID");
    std::string key = uid != nullptr ? UnescapeText(uid->value) : std::string();
    if (key.empty()) {
        const IcsProperty* dtstart = event.Find("DTSTART");
        const IcsProperty* summary = event.Find("SUMMARY");
        key = "~" + (dtstart ? dtstart->value : "") + "\n" + (summary ? summary->value : "");
    }
    return key;
}

}  // namespace

std::string OverrideKey(const IcsComponent& change) {
    const IcsProperty* id = change.Find("RECURRENCE-ID");
    const std::string* zone = id->Param("TZID");
    return UidKey(EventKey(change) + "#" + (zone != nullptr ? *zone + ":" : "") + id->value);
}

bool IsCancelled(const IcsComponent& event) {
    const IcsProperty* status = event.Find("STATUS");
    return status != nullptr && UpperAscii(status->value) == "CANCELLED";
}

bool SameOccurrence(const ScheduleItem& change, const ScheduleItem& series, long long day) {
    const ScheduleFront& c = change.front;
    const ScheduleFront& s = series.front;
    Instant midnight = 0;
    return MidnightOf(day, 0, midnight) && c.startDate == midnight && c.endDate == EndOfDay(midnight) &&
           c.startTime == s.startTime && c.endTime == s.endTime && change.title == series.title &&
           change.note == series.note && change.remindMinutes == series.remindMinutes;
}

namespace {

// A changed occurrence that is not saved leaves its day to its series,
// which shows the occurrence as it was rather than not at all.
void GiveDayBack(PlannedEvent& series, DateKey day, ImportReport& report) {
    if (!series.item || std::erase(series.exclusions, day) == 0) return;
    ++report.movedNotKept;
}

// Every event of the file as planned, changed occurrences after their
// series; what is skipped is counted in the report.
std::vector<PlannedEvent> PlanEvents(const IcsReadResult& read, EventMapper& mapper, ImportReport& report) {
    // Changed occurrences by the key of their series, which leaves their days out.
    std::map<std::string, std::vector<const IcsComponent*>> changes;
    std::vector<const IcsComponent*> events;
    for (const IcsComponent& calendar : read.calendars)
        for (const IcsComponent& c : calendar.components)
            if (c.name == "VEVENT") (c.Find("RECURRENCE-ID") != nullptr ? changes[UidKey(EventKey(c))].push_back(&c)
                                                                       : events.push_back(&c));
    std::set<std::string> seen;
    std::map<std::string, const IcsComponent*> masters;
    std::map<std::string, std::size_t> series;  // the plan of each saved one
    std::map<const IcsComponent*, long long> replacedDay;  // in its series' local days
    std::vector<PlannedEvent> planned;
    const auto keep = [&](PlannedEvent&& p, const char* skip) {
        if (skip == nullptr && !seen.insert(p.uidKey).second) skip = r::kDuplicate;
        if (skip != nullptr) {
            ++report.skipped[skip];
            return false;
        }
        planned.push_back(std::move(p));
        return true;
    };
    for (const IcsComponent* c : events) {
        PlannedEvent p;
        p.uidKey = UidKey(EventKey(*c));
        std::vector<IcsTime> replaced;
        std::vector<const IcsComponent*> replacing;
        if (seen.count(p.uidKey) == 0) {
            for (const IcsComponent* change : changes[p.uidKey]) {
                if (IcsTime t; EventMapper::RecurrenceTime(*change, c, t)) {
                    replaced.push_back(t);
                    replacing.push_back(change);
                }
            }
        }
        const char* skip = mapper.Map(*c, replaced, p);
        for (std::size_t i = 0; i < p.replacedDays.size(); ++i) replacedDay[replacing[i]] = p.replacedDays[i];
        const std::string key = p.uidKey;
        masters.emplace(key, c);
        const bool startOffRule = skip == nullptr && p.startOffRule;
        if (keep(std::move(p), skip)) series[key] = planned.size() - 1;
        // DTSTART is an occurrence even where the rule names other days:
        // one our rules cannot hold comes as an event of its own.
        if (PlannedEvent start; startOffRule) {
            start.uidKey = UidKey(EventKey(*c) + "#DTSTART");
            if (mapper.MapOverride(*c, nullptr, start) == nullptr) keep(std::move(start), nullptr);
        }
    }
    for (auto& [key, list] : changes) {
        const auto saved = series.find(key);
        const auto found = masters.find(key);
        const IcsComponent* master = found != masters.end() ? found->second : nullptr;
        for (const IcsComponent* change : list) {
            // A cancelled occurrence is an excluded date of its series.
            if (IsCancelled(*change) && saved != series.end()) continue;
            PlannedEvent p;
            p.uidKey = OverrideKey(*change);
            const char* skip = mapper.MapOverride(*change, master, p);
            const auto day = replacedDay.find(change);
            if (saved != series.end() && day != replacedDay.end()) {
                PlannedEvent& whole = planned[saved->second];
                if (skip == nullptr && whole.item->front.recurKind != kKindNone &&
                    SameOccurrence(*p.item, *whole.item, day->second)) {
                    std::erase(whole.exclusions, KeyOfDays(day->second));
                    continue;
                }
                p.series = saved->second;
                p.seriesDay = KeyOfDays(day->second);
            }
            const std::size_t series = p.series;
            const DateKey seriesDay = p.seriesDay;
            // One already over leaves nothing the calendar shows; a repeat
            // leaves the first, which was saved.
            if (!keep(std::move(p), skip) && series != SIZE_MAX && skip != r::kOver && skip != r::kDuplicate)
                GiveDayBack(planned[series], seriesDay, report);
        }
    }
    return planned;
}

// Matches the planned events with the calendar's by key and drops the new
// ones farthest from today that find no room; false when none fits at all.
bool FitIntoStore(std::vector<PlannedEvent>& planned, EventStore& store, std::string_view exchangeId, Instant now,
                  ImportPlan& plan) {
    std::map<std::string, std::uint32_t> known;
    for (const auto& event : store.Events()) known[UidKey(EventUid(*event, exchangeId))] = event->front.id;
    std::vector<PlannedEvent*> fresh;
    for (PlannedEvent& p : planned) {
        if (auto match = known.find(p.uidKey); match != known.end()) {
            p.replaces = match->second;
            // One of this installation's own events keeps its key as it was.
            const ScheduleItem* mine = store.FindEvent(match->second);
            if (mine != nullptr && mine->uid.empty()) p.item->uid.clear();
        } else {
            p.distance = DistanceFromNow(*p.item, now);
            fresh.push_back(&p);
        }
    }
    const std::size_t room = kMaxEvents - std::min(kMaxEvents, store.Count());
    if (fresh.size() <= room) return true;
    if (room == 0 && fresh.size() == planned.size()) {
        plan.error = "The file holds " + Counted(static_cast<int>(fresh.size()), "new event", "new events") +
                     ", but the calendar has no room for more (it keeps at most " + std::to_string(kMaxEvents) +
                     "). Nothing was imported.";
        plan.storeFull = true;
        return false;
    }
    // The nearest to today come in; the rest wait for room.
    std::stable_sort(fresh.begin(), fresh.end(),
                     [](const PlannedEvent* a, const PlannedEvent* b) { return a->distance < b->distance; });
    for (std::size_t i = room; i < fresh.size(); ++i) fresh[i]->item.reset();
    plan.report.skipped[r::kNoRoom] += static_cast<int>(fresh.size() - room);
    for (std::size_t i = room; i < fresh.size(); ++i)
        if (fresh[i]->series != SIZE_MAX) GiveDayBack(planned[fresh[i]->series], fresh[i]->seriesDay, plan.report);
    return true;
}

}  // namespace

ImportPlan PlanImport(std::string_view fileText, EventStore& store, const Clock& clock,
                      std::string_view exchangeId, const IcsLimits& limits) {
    store.FinishLoad();  // matching goes by the "uid" values
    ImportPlan plan;
    IcsReadResult read = ReadIcs(fileText, limits);
    if (!read.Ok()) {
        plan.error = read.error;
        return plan;
    }
    plan.report.unreadLines = read.skippedLines;
    plan.report.unreadAt = read.skippedAt;
    plan.report.replacedBytes = read.replacedBytes;
    for (const IcsComponent& calendar : read.calendars)
        for (const IcsComponent& c : calendar.components) plan.report.todosLeftOut += c.name == "VTODO" ? 1 : 0;
    Instant windowStart = 0;
    Instant windowEnd = 0;
    GetRollingWindow(clock, windowStart, windowEnd);
    EventMapper mapper(clock.Now(), windowStart, windowEnd);
    for (const IcsComponent& calendar : read.calendars) {
        for (const IcsComponent& c : calendar.components) {
            const IcsProperty* tzid = c.Find("TZID");
            IcsZone zone;
            if (c.name == "VTIMEZONE" && tzid != nullptr && IcsZone::FromComponent(c, zone))
                mapper.zones[ZoneName(tzid->value)] = std::move(zone);
        }
    }
    std::vector<PlannedEvent> planned = PlanEvents(read, mapper, plan.report);
    if (!FitIntoStore(planned, store, exchangeId, clock.Now(), plan)) return plan;
    for (PlannedEvent& p : planned) {
        if (!p.item) continue;
        ++(p.replaces != 0 ? plan.report.updated : plan.report.imported);
        plan.report.Count(p.notes, p.item->title);
        plan.events.push_back(std::move(p));
    }
    return plan;
}

void ApplyImport(ImportPlan& plan, EventStore& store) {
    if (!plan.error.empty()) return;
    bool excluded = false;
    for (PlannedEvent& planned : plan.events) {
        std::uint32_t id = planned.replaces;
        if (id == 0) id = store.NextEventId();
        planned.item->front.id = id;
        const std::uint8_t kind = planned.item->front.recurKind;
        if (!store.SaveEvent(planned.item, true, true)) ++plan.report.saveFailures;
        if (store.FindEvent(id) == nullptr) continue;
        store.RemoveExclusions(id);
        for (DateKey key : planned.exclusions)
            store.ToggleExclusion(id, static_cast<int>(key >> 16), (key >> 8) & 0xFF, key & 0xFF, kind);
        excluded = excluded || !planned.exclusions.empty() || planned.replaces != 0;
    }
    if (excluded) store.WriteExclusions();
}
