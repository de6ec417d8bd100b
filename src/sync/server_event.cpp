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
    }
    return std::all_of(event.components.begin(), event.components.end(),
                       [](const IcsComponent& c) { return c.name == "VALARM"; });
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
    for (const IcsComponent* change : changes)
        if (IcsTime t; EventMapper::RecurrenceTime(*change, master, t)) replaced.push_back(t);
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
    out.distance = DistanceFromNow(*planned.item, now);
    out.item = std::move(planned.item);
    out.exclusions = std::move(planned.exclusions);
    return out;
}
