#include "sync/server_terms.h"

#include <algorithm>

#include "core/calendar.h"
#include "interop/event_mapper.h"
#include "interop/ics_text.h"

namespace {

bool InstantOf(const LocalWall& local, Instant& out) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(local.days, y, m, d);
    return TryMakeLocalTime(y, m, d, local.seconds / 3600, local.seconds / 60 % 60, local.seconds % 60, out);
}

long long DayFloor(long long wall) { return wall >= 0 ? wall / 86400 : -((-wall + 86399) / 86400); }

void RemoveParam(IcsProperty& p, std::string_view name) {
    std::erase_if(p.params, [&](const IcsParam& param) { return param.name == name; });
}

}  // namespace

bool IsUtcZoneName(std::string_view tzid) {
    const std::string name = UpperAscii(tzid);
    return name == "UTC" || name == "GMT" || name == "Z" || name == "ETC/UTC" || name == "ETC/GMT";
}

ServerTerms::ServerTerms(const std::vector<IcsComponent>& calendars) {
    for (const IcsComponent& calendar : calendars)
        for (const IcsComponent& c : calendar.components) {
            const IcsProperty* tzid = c.Find("TZID");
            IcsZone zone;
            if (c.name == "VTIMEZONE" && tzid != nullptr && IcsZone::FromComponent(c, zone))
                zones_[ZoneName(tzid->value)] = std::move(zone);
        }
}

const IcsZone* ServerTerms::Zone(const IcsTime& t) const {
    if (t.utc || t.dateOnly || t.tzid.empty()) return nullptr;
    const auto found = zones_.find(t.tzid);
    return found != zones_.end() ? &found->second : nullptr;
}

bool ServerTerms::Write(const LocalWall& local, const IcsTime& like, IcsTime& out) const {
    out = like;
    if (like.dateOnly) {
        out = FromWall(like, local.days * 86400);
        out.seconds = 0;
        return true;
    }
    const IcsZone* zone = Zone(like);
    const bool absolute = like.utc || zone != nullptr || (!like.tzid.empty() && IsUtcZoneName(like.tzid));
    if (!absolute) {
        out = FromWall(like, local.days * 86400 + local.seconds);
        return true;
    }
    Instant instant = 0;
    if (!InstantOf(local, instant)) return false;
    long long wall = instant;
    if (zone != nullptr) {
        // The offset that holds at the wall-clock time it gives.
        int offset = zone->OffsetAt(instant);
        offset = zone->OffsetAt(instant + offset);
        wall = instant + offset;
    }
    if (wall < 0) return false;
    out = FromWall(like, wall);
    return true;
}

bool ServerTerms::ToLocal(const IcsTime& t, LocalWall& out) const {
    const long long wall = WallSeconds(t);
    const IcsZone* zone = Zone(t);
    if (!t.utc && zone == nullptr && (t.tzid.empty() || !IsUtcZoneName(t.tzid))) {
        out = {DayFloor(wall), static_cast<int>(wall - DayFloor(wall) * 86400)};
        return true;
    }
    const long long instant = zone != nullptr ? wall - zone->OffsetAt(wall) : wall;
    LocalFields f;
    if (instant < kEarliestInstant || instant > kLatestInstant || !BreakDownLocal(instant, f)) return false;
    out = {DaysFromCivil(f.year, f.month, f.day), f.hour * 3600 + f.minute * 60 + f.second};
    return true;
}

std::string FormatIcsValue(const IcsTime& t) {
    return t.dateOnly ? FormatIcsDate(t.year, t.month, t.day)
                      : FormatIcsDateTime(t.year, t.month, t.day, t.seconds, t.utc);
}

void SetIcsTime(IcsProperty& p, const IcsTime& t) {
    p.value = FormatIcsValue(t);
    RemoveParam(p, "VALUE");
    if (t.dateOnly) p.params.push_back({"VALUE", {"DATE"}});
    const bool zoned = !t.utc && !t.dateOnly && !t.tzid.empty();
    if (!zoned) {
        RemoveParam(p, "TZID");
    } else if (const std::string* tzid = p.Param("TZID"); tzid == nullptr || ZoneName(*tzid) != t.tzid) {
        RemoveParam(p, "TZID");
        p.params.push_back({"TZID", {t.tzid == kEmptyTzid ? std::string() : t.tzid}});
    }
}
