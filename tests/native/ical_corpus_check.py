#!/usr/bin/env python3
"""Compares what the calendar holds after importing each corpus file
(ical_corpus_import's output) with python3's icalendar and
recurring_ical_events expanding the same file over the same days in the
zone of the run (TZ). Prints the counts and the differences grouped by
cause; exits non-zero on any difference not allowed below.

usage: ical_corpus_check.py CORPUS-DIR IMPORTED.txt IMPORT-DAY FIRST-DAY END-DAY
"""
import collections
import datetime
import json
import os
import sys
import zoneinfo

import icalendar
import recurring_ical_events

# Differences traced to the expander itself, by (file, UID), each with the
# reason it is the expander's. None so far.
ALLOWED = {}

DAY = datetime.timedelta(days=1)


def parse_day(text):
    return datetime.date(int(text[:4]), int(text[4:6]), int(text[6:]))


def shown_window(day):
    """The months the calendar shows on a day: five back, seven ahead."""
    def month_start(months):
        y, m = divmod(day.year * 12 + day.month - 1 + months, 12)
        return datetime.date(y, m + 1, 1)
    return month_start(-5), month_start(7)


class Expander:
    def __init__(self, path, local):
        with open(path, "rb") as f:
            self.calendar = icalendar.Calendar.from_ical(f.read())
        self.local = local
        self.unfolded = recurring_ical_events.of(self.calendar)

    def stamp(self, value):
        """Local start as the calendar shows it: floating and zoned times on
        the local clock, a wall time in a spring-forward gap read with the
        offset before the gap."""
        if not isinstance(value, datetime.datetime):
            return value.strftime("%Y%m%dT000000")
        if value.tzinfo is None:
            value = value.replace(tzinfo=self.local, fold=0)
        return value.astimezone(datetime.timezone.utc).astimezone(self.local).strftime("%Y%m%dT%H%M%S")

    def count_read_apart(self):
        """UID -> the last start of a series whose DTSTART is off its rule
        and has a COUNT: the expander counts DTSTART on top of COUNT,
        RFC 5545 counts it as the first of them, and so does the calendar."""
        last = {}
        for c in self.calendar.walk("VEVENT"):
            rule = c.get("RRULE")
            if rule is None or "RECURRENCE-ID" in c or "COUNT" not in rule or "RDATE" in c:
                continue
            alone = icalendar.Calendar()
            for zone in self.calendar.walk("VTIMEZONE"):
                alone.add_component(zone)
            alone.add_component(c)
            starts = sorted(self.stamp(e["DTSTART"].dt) for e in recurring_ical_events.of(alone).between(
                datetime.datetime(1900, 1, 1), datetime.datetime(2200, 1, 1)))
            uid = str(c.get("UID", ""))
            if len(starts) == int(rule["COUNT"][0]) + 1:
                last[uid] = starts[-1]
        return last

    def occurrences(self, first, end):
        """UID -> local starts of the occurrences starting on [first, end);
        cancelled occurrences are none."""
        found = collections.defaultdict(set)
        lo, hi = first.strftime("%Y%m%d"), end.strftime("%Y%m%d")
        span = (datetime.datetime.combine(first - 2 * DAY, datetime.time()),
                datetime.datetime.combine(end + 2 * DAY, datetime.time()))
        for event in self.unfolded.between(*span):
            if str(event.get("STATUS", "")).upper() == "CANCELLED":
                continue
            s = self.stamp(event["DTSTART"].dt)
            if lo <= s[:8] < hi:
                found[str(event.get("UID", ""))].add(s)
        return found


def read_imported(path):
    files = collections.OrderedDict()
    cur = None
    with open(path, encoding="latin-1") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if parts[0] == "FILE":
                cur = files[parts[1]] = {"error": None, "counts": {}, "skipped": {}, "firstOnly": {}, "events": []}
            elif parts[0] == "ERROR":
                cur["error"] = parts[1]
            elif parts[0] == "COUNT":
                cur["counts"][parts[1]] = int(parts[2])
            elif parts[0] == "SKIP":
                cur["skipped"][parts[1]] = int(parts[2])
            elif parts[0] == "FIRSTONLY":
                cur["firstOnly"][parts[1]] = int(parts[2])
            elif parts[0] == "EVENT":
                cur["events"].append({"uid": parts[1], "kind": int(parts[2]), "first": parts[3],
                                      "days": set(parts[4].split()), "follows": parts[5] == "1"})
    return files


def masters_of(calendar):
    """UID -> what the file says of it: repeats, changed occurrences' days, zone."""
    out = {}
    for c in calendar.walk("VEVENT"):
        uid = str(c.get("UID", ""))
        m = out.setdefault(uid, {"recurring": False, "overrides": set(), "cancelled": False, "tzid": "", "count": 0,
                                  "start": None})
        m["count"] += 1
        if "RECURRENCE-ID" in c:
            for key in ("RECURRENCE-ID", "DTSTART"):
                v = c[key].dt
                m["overrides"].add(v.strftime("%Y%m%d"))
            continue
        m["recurring"] = "RRULE" in c or "RDATE" in c
        m["start"] = c["DTSTART"].dt if "DTSTART" in c else None
        m["cancelled"] = str(c.get("STATUS", "")).upper() == "CANCELLED"
        m["tzid"] = c["DTSTART"].params.get("TZID", "(utc)" if getattr(c["DTSTART"].dt, "tzinfo", None) else "(local)") \
            if "DTSTART" in c else ""
    return out


def shift_days(days, by):
    return {(parse_day(d) + by * DAY).strftime("%Y%m%d") for d in days}


def near_overrides(override_days):
    """Days an override moves an occurrence from or to, seen on the local clock."""
    return override_days | shift_days(override_days, 1) | shift_days(override_days, -1)


def parse_stamp(s):
    return datetime.datetime.strptime(s, "%Y%m%dT%H%M%S")


def near(a, b):
    """Two local starts at most two hours apart: Melbourne and Berlin change
    their clocks in opposite directions."""
    return abs((parse_stamp(a) - parse_stamp(b)).total_seconds()) <= 7200


def follows_zone(want, got, import_day, first, end):
    """A series the report names as following another zone's clock changes
    keeps the local time of its next occurrence: that one exact, each other
    one near one of the file's (those near the ends of the days compared
    may fall outside them)."""
    edge = {first.strftime("%Y%m%d"), (first + DAY).strftime("%Y%m%d"), (end - DAY).strftime("%Y%m%d"),
            (end - 2 * DAY).strftime("%Y%m%d")}
    for a, b in ((want, got), (got, want)):
        if any(s[:8] not in edge and not any(near(s, t) for t in b) for s in a):
            return False
    after = import_day.strftime("%Y%m%d")
    nxt = [s for s in sorted(want) if s[:8] >= after][:1]
    return not nxt or nxt[0] in got


def series_cause(expected, got, override_days, start):
    miss, extra = expected - got, got - expected
    md, xd = {s[:8] for s in miss}, {s[:8] for s in extra}
    if override_days and (md | xd) <= near_overrides(override_days):
        return "changed occurrences (RECURRENCE-ID) not applied"
    if miss == {start} and not extra:
        return "DTSTART off the rule not counted as an occurrence"
    if md == xd:
        return "time of day differs"
    if md and (shift_days(md, 1) == xd or shift_days(md, -1) == xd):
        return "every occurrence a day off"
    if not extra:
        return "occurrences missing"
    if not miss:
        return "extra occurrences"
    return "different days"


def main(corpus, imported_path, import_day, first_day, end_day):
    tz = os.environ.get("TZ")
    if not tz:
        print("TZ must name the zone of the run")
        return 2
    local = zoneinfo.ZoneInfo(tz)
    import_day, first, end = parse_day(import_day), parse_day(first_day), parse_day(end_day)
    if shown_window(import_day) != (first, end):
        print("the days compared are not the months shown on", import_day)
        return 2
    with open(os.path.join(corpus, "manifest.json")) as f:
        manifest = json.load(f)
    imported = read_imported(imported_path)
    if set(imported) != set(manifest):
        print("the import and the corpus name different files")
        return 2

    totals = collections.Counter()
    skipped, first_only, refused = collections.Counter(), collections.Counter(), collections.Counter()
    groups = collections.defaultdict(list)  # (cause, shape) -> [(file, uid, detail)]

    def differ(cause, name, uid, detail):
        shape = manifest[name]["shapes"].get(uid, "?")
        if (name, uid) in ALLOWED:
            totals["allowed"] += 1
            return
        groups[(cause, shape)].append((name, uid, detail))

    for name, result in imported.items():
        totals["files"] += 1
        path = os.path.join(corpus, name)
        try:
            ex = Expander(path, local)
            expected = ex.occurrences(first, end)
            for uid, stamp in ex.count_read_apart().items():
                expected.get(uid, set()).discard(stamp)
        except Exception as e:  # the comparison needs the expander's reading
            differ("the expander cannot read the file", name, "", repr(e)[:120])
            continue
        masters = masters_of(ex.calendar)
        totals["vevents"] += sum(m["count"] for m in masters.values())
        totals["series in file"] += sum(1 for m in masters.values() if m["recurring"])
        totals["overrides in file"] += sum(len(m["overrides"]) and m["count"] - 1 for m in masters.values())
        if result["error"]:
            refused[result["error"]] += 1
        skipped.update(result["skipped"])
        first_only.update(result["firstOnly"])
        totals["imported"] += result["counts"].get("imported", 0)
        totals["unknown zones"] += result["counts"].get("unknownZones", 0)
        by_uid = collections.defaultdict(list)
        for event in result["events"]:
            uid = event["uid"] if event["uid"] in masters else next(
                (u for u in sorted(masters, key=len, reverse=True) if u and event["uid"].startswith(u)), None)
            if uid is None:
                differ("an event the file does not hold", name, event["uid"], "")
                continue
            by_uid[uid].append(event)
        if len(result["events"]) != result["counts"].get("imported", 0) + result["counts"].get("updated", 0):
            differ("report counts disagree with the calendar", name, "",
                   "%d events, report says %d imported" % (len(result["events"]), result["counts"].get("imported", 0)))
        inferred_first_only = 0
        for uid, m in masters.items():
            want = expected.get(uid, set())
            events = by_uid.get(uid, [])
            totals["compared occurrences"] += len(want)
            if not events:
                if want:
                    cause = "not imported: file refused" if result["error"] else "not imported though it occurs"
                    differ(cause, name, uid, "%d occurrences, e.g. %s; file: %s" % (
                        len(want), min(want), result["error"] or result["skipped"]))
                continue
            totals["events compared"] += 1
            before = sum(len(v) for v in groups.values())
            # Every start the calendar shows first must be one the file has.
            for event in events:
                s = event["first"]
                if s == "-":
                    differ("no occurrence shown", name, uid, "kind %d" % event["kind"])
                    continue
                day = parse_day(s[:8])
                around = ex.occurrences(day - DAY, day + 2 * DAY).get(uid, set())
                if s not in around and not (event["follows"] and any(near(s, a) for a in around)):
                    if s[:8] in near_overrides(m["overrides"]):
                        cause = "changed occurrences (RECURRENCE-ID) not applied"
                    elif around:
                        cause = "first occurrence at another time of day"
                    else:
                        cause = "first occurrence not one of the file's"
                    differ(cause, name, uid, "shown %s, file %s" % (s, sorted(around)[:3]))
            got = set().union(*(e["days"] for e in events))
            series = [e for e in events if e["kind"] >= 30]
            # A changed occurrence ("UID#RECURRENCE-ID") is an event of its own, not the series kept once.
            own = [e for e in events if e["uid"] == uid]
            if m["recurring"] and not series and own:
                inferred_first_only += 1
                totals["first-only"] += 1
                if want and not got:
                    differ("first-only event outside the months shown", name, uid,
                           "kept %s; file has %d in the months shown, first %s" % (
                               events[0]["first"], len(want), min(want)))
                elif got - want:
                    cause = "first-only event not one of the file's occurrences"
                    if {d[:8] for d in got - want} <= near_overrides(m["overrides"]):
                        cause = "changed occurrences (RECURRENCE-ID) not applied"
                    differ(cause, name, uid, sorted(got - want)[:3])
                elif sum(len(v) for v in groups.values()) == before:
                    totals["events matching"] += 1
                continue
            if series and all(e["follows"] for e in series) and follows_zone(want, got, import_day, first, end):
                totals["zone followers"] += 1
            elif got != want:
                cause = series_cause(want, got, m["overrides"], ex.stamp(m["start"]) if m["start"] else "")
                differ(cause, name, uid, "zone %s; missing %s; extra %s" % (
                    m["tzid"], sorted(want - got)[:3], sorted(got - want)[:3]))
            if sum(len(v) for v in groups.values()) == before:
                totals["events matching"] += 1
        if inferred_first_only != sum(result["firstOnly"].values()):
            differ("report counts disagree with the calendar", name, "",
                   "%d first-only events, report says %d" % (inferred_first_only, sum(result["firstOnly"].values())))

    print("zone %s, import day %s, days %s..%s" % (tz, import_day, first, end - DAY))
    print("%(files)d files, %(vevents)d VEVENTs (%(series in file)d series, %(overrides in file)d changed "
          "occurrences); %(imported)d imported, %(first-only)d of them first-only; %(unknown zones)d in unknown zones"
          % totals)
    print("refused whole: %d" % sum(refused.values()))
    for error, n in sorted(refused.items()):
        print("  %3d  %s" % (n, error))
    print("skipped: %d" % sum(skipped.values()))
    for reason, n in sorted(skipped.items()):
        print("  %3d  %s" % (n, reason))
    print("first-only by the report: %d" % sum(first_only.values()))
    for reason, n in sorted(first_only.items()):
        print("  %3d  %s" % (n, reason))
    print("compared: %(events compared)d events, %(compared occurrences)d occurrences in the months shown; "
          "%(events matching)d events match, %(zone followers)d of them series that follow another zone's "
          "clock changes" % totals)
    mismatches = sum(len(v) for v in groups.values())
    print("mismatches: %d (%d allowed)" % (mismatches, totals["allowed"]))
    by_cause = collections.Counter()
    for (cause, shape), items in groups.items():
        by_cause[cause] += len(items)
    for cause, n in by_cause.most_common():
        print("  %4d  %s" % (n, cause))
        shown = sorted(((shape, items) for (c, shape), items in groups.items() if c == cause),
                       key=lambda kv: (-len(kv[1]), kv[0]))
        for shape, items in shown[:6]:
            name, uid, detail = items[0]
            print("        %3d  %-28s e.g. %s %s: %s" % (len(items), shape, name, uid[:60], str(detail)[:200]))
        if len(shown) > 6:
            print("             and %d more shapes" % (len(shown) - 6))
    # A corpus that compares next to nothing proves nothing.
    if totals["files"] < 100 or totals["compared occurrences"] < 2000:
        print("too little compared")
        return 1
    return 1 if mismatches else 0


if __name__ == "__main__":
    if len(sys.argv) != 6:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(*sys.argv[1:]))
