#include "sync/server_event.h"

#include <algorithm>
#include <set>
#include <string>

#include "core/calendar.h"
#include "core/occurrence.h"
#include "interop/event_mapper.h"
#include "interop/exchange_id.h"
#include "interop/ics_reader.h"
#include "interop/ics_text.h"
#include "interop/ics_values.h"
#include "store/event_store.h"

namespace {

// What an export writes of an event: a copy holding nothing else is all ours.
const std::set<std::string, std::less<>> kExportedProperties = {
    "UID",     "DTSTAMP", "DTSTART",   "DTEND",       "SUMMARY",         "DESCRIPTION",      "RRULE",
    "EXDATE",  "CREATED", "LAST-MODIFIED", "SEQUENCE", "X-ORV-START",    "X-ORV-SOUNDFILE",  "X-ORV-LAUNCHFILE"};

bool AllOurs(const IcsComponent& event) {
    for (const IcsProperty& p : event.properties) {
        if (kExportedProperties.count(p.name) == 0) return false;
        if ((p.name == "DTSTART" || p.name == "DTEND") && p.Param("TZID") != nullptr) return false;
        if ((p.name == "DTSTART" || p.name == "DTEND") && !p.value.empty() && p.value.back() == 'Z') return false;
        // Whole days: an export writes times of day.
        if ((p.name == "DTSTART" || p.name == "DTEND") && p.value.find('T') == std::string::npos) return false;
    }
    // One alarm, as an export writes it: the reminder of the event's title.
    if (event.components.size() > 1) return false;
    const IcsProperty* summary = event.Find("SUMMARY");
    for (const IcsComponent& alarm : event.components) {
        if (alarm.name != "VALARM" || !alarm.components.empty()) return false;
        for (const IcsProperty& p : alarm.properties) {
            if (p.name == "DESCRIPTION" && (summary == nullptr || p.value != summary->value)) return false;
            if (p.name == "TRIGGER" && !p.params.empty()) return false;
            if (p.name != "DESCRIPTION" && p.name != "TRIGGER" && p.name != "ACTION" && p.name != "ATTACH") return false;
        }
    }
    return true;
}

}  // namespace

ServerEvent MapServerText(std::string_view text, Instant now, Instant windowStart,
                          Instant windowEnd) {
    ServerEvent out;
    const IcsReadResult read = ReadIcs(text);
    if (!read.Ok()) return out;
    EventMapper mapper(now, windowStart, windowEnd);
    const IcsComponent* master = nullptr;
    std::vector<const IcsComponent*> changes;
    int events = 0;
    bool others = false;
    for (const IcsComponent& calendar : read.calendars) {
        for (const IcsComponent& c : calendar.components) {
            if (c.name == "VTIMEZONE") {
                const IcsProperty* tzid = c.Find("TZID");
                IcsZone zone;
                if (tzid != nullptr && IcsZone::FromComponent(c, zone)) mapper.zones[ZoneName(tzid->value)] = std::move(zone);
                others = true;
            } else if (c.name == "VEVENT") {
                ++events;
                if (c.Find("RECURRENCE-ID") != nullptr) changes.push_back(&c);
                else if (master == nullptr) master = &c;
            } else {
                others = true;
            }
        }
    }
    if (master == nullptr) return out;
    std::vector<IcsTime> replaced;
    std::vector<const IcsComponent*> replacing;
    for (const IcsComponent* change : changes) {
        if (IcsTime t; EventMapper::RecurrenceTime(*change, master, t)) {
            replaced.push_back(t);
            replacing.push_back(change);
        }
    }
    PlannedEvent planned;
    const IcsProperty* uid = master->Find("UID");
    // Stored as an import stores it, so an import of the same event finds it.
    const std::string rawUid = uid != nullptr ? UnescapeText(uid->value) : std::string();
    if (!rawUid.empty()) planned.uidKey = UidKey(rawUid);
    if (mapper.Map(*master, replaced, planned) != nullptr || !planned.item) return out;
    const ImportNotes& n = planned.notes;
    out.exact = events == 1 && !others && read.calendars.size() == 1 && read.skippedLines == 0 &&
                n.firstOnly == nullptr && !n.unknownZone && n.replacedCharacters == 0 && n.shortened == 0 &&
                !n.launchLeftOff && n.refusedPaths == 0 && AllOurs(*master) && !rawUid.empty() &&
                planned.uidKey == rawUid;
    for (const IcsComponent* change : changes) {
        if (IsCancelled(*change)) continue;  // its day stays excluded
        PlannedEvent p;
        p.uidKey = OverrideKey(*change);
        if (mapper.MapOverride(*change, master, p) != nullptr || !p.item) continue;
        const auto at = std::find(replacing.begin(), replacing.end(), change);
        const auto i = static_cast<std::size_t>(at - replacing.begin());
        if (i < planned.replacedDays.size() && planned.item->front.recurKind != kKindNone &&
            SameOccurrence(*p.item, *planned.item, planned.replacedDays[i])) {
            std::erase(planned.exclusions, KeyOfDays(planned.replacedDays[i]));
            continue;
        }
        out.parts.push_back({std::move(p.item), std::move(p.exclusions)});
    }
    // DTSTART is an occurrence even where the rule names other days.
    if (PlannedEvent start; planned.startOffRule && !rawUid.empty()) {
        start.uidKey = UidKey(rawUid + "#DTSTART");
        if (mapper.MapOverride(*master, nullptr, start) == nullptr && start.item)
            out.parts.push_back({std::move(start.item), std::move(start.exclusions)});
    }
    out.exact = out.exact && out.parts.empty();
    out.distance = DistanceFromNow(*planned.item, now);
    out.item = std::move(planned.item);
    out.exclusions = std::move(planned.exclusions);
    return out;
}
