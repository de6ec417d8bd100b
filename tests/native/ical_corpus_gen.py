#!/usr/bin/env python3
"""Writes a seeded corpus of .ics files in the shapes real producers write,
and manifest.json naming each file's producer and each UID's repeat shape.

usage: ical_corpus_gen.py OUTDIR [--seed N] [--files N]
"""
import argparse
import datetime
import json
import os
import random
import sys
import zoneinfo

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ical_corpus_shapes as shapes  # noqa: E402
import ical_corpus_zones as zones  # noqa: E402

D = datetime.date
DAY = datetime.timedelta(days=1)
ZONES = ["berlin", "new_york", "melbourne", "tokyo"]
TITLES = ["Team meeting", "Standup", "Dentist", "Yoga", "Board review", "Café with Jürgen", "Müll rausbringen",
          "Release planning", "Sprint review", "Choir practice", "Rent", "Book club", "Call with Sydney office",
          "Ünïcödé ✓ check", "Tax deadline", "Parent-teacher evening", "Gym", "Piano lesson"]
PEOPLE = ["Anna Schmidt", "Bob Miller", "Chen Wei", "Dana Ó Súilleabháin", "Eve Adams", "Frank Zhao"]


class Event:
    """One series or single event and its changed occurrences."""

    def __init__(self, uid, shape, start, time, zone, minutes, title):
        self.uid, self.shape, self.start, self.time, self.zone = uid, shape, start, time, zone
        self.minutes, self.title = minutes, title
        self.count = self.until = None
        self.until_style = "day-end"
        self.exdates, self.rdates, self.overrides = [], [], []
        self.props = []  # producer-specific lines


def occurrence_k(ev, k):
    """The k-th occurrence of a shape with a fixed step, else the first."""
    st = shapes.step(ev.shape) if ev.shape else None
    return ev.start + DAY * (st * k) if st else ev.start


def k_into(ev, rng, window):
    """A k whose occurrence lies inside the compared months, when the step allows."""
    st = shapes.step(ev.shape)
    if not st:
        return 0
    target = window[0] + DAY * rng.randrange((window[1] - window[0]).days)
    return max(0, -(-(target - ev.start).days // st))


def make_event(rng, producer, uid, window, zone_choices):
    allday = rng.random() < 0.18
    single = rng.random() < 0.3
    if producer == "website":
        single = rng.random() < 0.85
    shape = None if single else rng.choice(sorted(shapes.SHAPES))
    if shape == "hourly" and allday:
        allday = False
    lo = D(2024, 1, 1) if not single else D(2025, 8, 1)
    start = lo + DAY * rng.randrange((D(2026, 12, 20) - lo).days)
    if shape:
        start = shapes.align(shape, start)
    if allday:
        time, zone = None, "floating"
    else:
        # Early and late hours move the day in other zones.
        time = (rng.choice([0, 1, 7, 8, 9, 10, 12, 14, 17, 19, 22, 23]), rng.choice([0, 15, 30, 45]))
        zone = rng.choice(zone_choices)
    ev = Event(uid, shape, start, time, zone, rng.choice([30, 60, 90, 1440]) if not allday else 1440,
               rng.choice(TITLES))
    if shape and shape != "hourly":
        r = rng.random()
        if r < 0.2:
            ev.count = rng.randrange(3, 40)
        elif r < 0.4:
            ev.until = start + DAY * rng.randrange(20, 500)
            ev.until_style = rng.choice(["day-end", "last-start"])
        if ev.count is None and ev.until is None:
            if rng.random() < 0.35:
                k = k_into(ev, rng, window)
                ev.exdates.append(occurrence_k(ev, k))
                if rng.random() < 0.3:  # a date the rule never reaches
                    ev.exdates.append(occurrence_k(ev, k) + DAY * 2 if shapes.step(shape) != 1 else start - DAY)
            if rng.random() < 0.12:
                ev.rdates.append(window[0] + DAY * rng.randrange(300))
            if producer in ("google", "outlook", "apple", "nextcloud", "thunderbird") and rng.random() < 0.35:
                for kind in rng.sample(["moved", "retitled", "cancelled"], rng.randrange(1, 3)):
                    k = k_into(ev, rng, window)
                    orig = occurrence_k(ev, k)
                    if orig in ev.exdates or any(o[1] == orig for o in ev.overrides):
                        continue
                    new = orig + DAY if kind == "moved" else orig
                    newtime = ((ev.time[0] + 2) % 24, ev.time[1]) if kind == "moved" and ev.time else ev.time
                    ev.overrides.append((kind, orig, new, newtime))
    return ev


def birthday(rng, uid):
    born = D(rng.randrange(1955, 2010), 1, 1) + DAY * rng.randrange(365)
    if rng.random() < 0.1:
        born = D(rng.choice([1964, 1988, 2000]), 2, 29)
    ev = Event(uid, "birthday", born, None, "floating", 1440, "🎂 %s (%d)" % (rng.choice(PEOPLE), born.year))
    ev.rule = "FREQ=YEARLY"
    return ev


# Writing

def fold(line):
    """Folds at 75 octets, never inside a UTF-8 sequence."""
    out, cur, size = [], "", 0
    for ch in line:
        n = len(ch.encode("utf-8"))
        if size + n > 75:
            out.append(cur)
            cur, size = " ", 1
        cur += ch
        size += n
    out.append(cur)
    return out


def esc(text):
    return text.replace("\\", "\\\\").replace(";", "\\;").replace(",", "\\,").replace("\n", "\\n")


def tzid_for(producer, zone, rng_pick):
    if producer == "outlook":
        return zones.OUTLOOK_LONG[zone] if rng_pick else zones.WINDOWS[zone]
    if producer == "notes":
        return zones.NOTES[zone]
    return zones.OLSON[zone]


class Writer:
    def __init__(self, producer, long_names, empty_style):
        self.producer, self.long_names, self.empty_style = producer, long_names, empty_style
        self.used = set()

    def when(self, name, ev, day, time):
        """A DTSTART-like property for the event's form of time."""
        if time is None:
            return "%s;VALUE=DATE:%s" % (name, day.strftime("%Y%m%d"))
        stamp = "%sT%02d%02d00" % (day.strftime("%Y%m%d"), time[0], time[1])
        if ev.zone == "utc":
            return "%s:%sZ" % (name, stamp)
        if ev.zone == "floating":
            return "%s:%s" % (name, stamp)
        if ev.zone == "empty":
            return "%s;TZID=%s:%s" % (name, self.empty_style, stamp)
        tzid = tzid_for(self.producer, ev.zone, self.long_names)
        self.used.add((ev.zone, tzid))
        return "%s;TZID=%s:%s" % (name, zones.param(tzid), stamp)

    def until(self, ev):
        if ev.time is None or ev.zone == "floating":
            return ev.until.strftime("%Y%m%d") if ev.time is None else ev.until.strftime("%Y%m%dT235959")
        local = datetime.datetime.combine(ev.until, datetime.time(23, 59, 59) if ev.until_style == "day-end"
                                          else datetime.time(*ev.time))
        if ev.zone in zones.OLSON:
            local = local.replace(tzinfo=zoneinfo.ZoneInfo(zones.OLSON[ev.zone]))
        else:
            local = local.replace(tzinfo=datetime.timezone.utc)
        return local.astimezone(datetime.timezone.utc).strftime("%Y%m%dT%H%M%SZ")

    def end(self, ev, day, time):
        if time is None:
            return self.when("DTEND", ev, day + DAY * max(1, ev.minutes // 1440), None)
        if self.producer == "website":
            return "DURATION:PT%dH%dM" % divmod(ev.minutes, 60)
        t = datetime.datetime.combine(day, datetime.time(*time)) + datetime.timedelta(minutes=ev.minutes)
        return self.when("DTEND", ev, t.date(), (t.hour, t.minute))

    def vevent(self, ev, stamp, seq=0):
        lines = ["BEGIN:VEVENT"]
        if self.producer in ("google", "nextcloud", "apple"):
            lines += ["DTSTAMP:" + stamp, "CREATED:" + stamp, "LAST-MODIFIED:" + stamp]
        else:
            lines.append("DTSTAMP:" + stamp)
        lines += ["UID:" + ev.uid, "SUMMARY:" + esc(ev.title), self.when("DTSTART", ev, ev.start, ev.time),
                  self.end(ev, ev.start, ev.time)]
        rule = getattr(ev, "rule", None) or (shapes.rule_text(ev.shape, ev.start) if ev.shape else None)
        if rule:
            if ev.count:
                rule += ";COUNT=%d" % ev.count
            if ev.until:
                rule += ";UNTIL=" + self.until(ev)
            if self.producer == "outlook" and "WKST" not in rule:
                rule += ";WKST=SU"
            lines.append("RRULE:" + rule)
        for d in ev.exdates:
            lines.append(self.when("EXDATE", ev, d, ev.time))
        for d in ev.rdates:
            lines.append(self.when("RDATE", ev, d, ev.time))
        lines += ["SEQUENCE:%d" % seq] + ev.props
        lines.append("END:VEVENT")
        for kind, orig, new, newtime in ev.overrides:
            lines += ["BEGIN:VEVENT", "DTSTAMP:" + stamp, "UID:" + ev.uid,
                      self.when("RECURRENCE-ID", ev, orig, ev.time),
                      "SUMMARY:" + esc(ev.title + (" (moved)" if kind == "moved" else
                                                   " – new room" if kind == "retitled" else "")),
                      self.when("DTSTART", ev, new, newtime), self.end(ev, new, newtime), "SEQUENCE:1"]
            if kind == "cancelled":
                lines.append("STATUS:CANCELLED")
            lines.append("END:VEVENT")
        return lines


HEADERS = {
    "google": ["PRODID:-//Google Inc//Google Calendar 70.9054//EN", "VERSION:2.0", "CALSCALE:GREGORIAN",
               "METHOD:PUBLISH", "X-WR-CALNAME:Work"],
    "outlook": ["PRODID:-//Microsoft Corporation//Outlook 16.0 MIMEDIR//EN", "VERSION:2.0", "METHOD:PUBLISH",
                "X-MS-OLK-FORCEINSPECTOROPEN:TRUE"],
    "apple": ["VERSION:2.0", "PRODID:-//Apple Inc.//macOS 14.5//EN", "CALSCALE:GREGORIAN"],
    "thunderbird": ["PRODID:-//Mozilla.org/NONSGML Mozilla Calendar V1.1//EN", "VERSION:2.0"],
    "korganizer": ["PRODID:-//K Desktop Environment//NONSGML libkcal 4.3//EN", "VERSION:2.0",
                   "X-KDE-ICAL-IMPLEMENTATION-VERSION:1.0"],
    "notes": ["VERSION:2.0", "PRODID:-//Lotus Development Corporation//NONSGML Notes 9.0.1//EN_C",
              "METHOD:PUBLISH"],
    "nextcloud": ["VERSION:2.0", "PRODID:-//IDN nextcloud.com//Calendar app 4.7.6//EN", "CALSCALE:GREGORIAN"],
    "website": ["VERSION:2.0", "PRODID:-//Meetup//RemoteApi//EN", "METHOD:PUBLISH", "X-ORIGINAL-URL:https://example.org/"],
}
ZONE_CHOICES = {
    "google": ZONES, "outlook": ZONES + ["utc", "empty"], "apple": ZONES + ["floating"],
    "thunderbird": ZONES + ["utc"], "korganizer": ZONES + ["utc", "floating"], "notes": ZONES,
    "nextcloud": ZONES, "website": ["utc"],
}
BAD_LINES = ["THIS LINE HAS NO COLON", "X-BROKEN;PARAM=\"unterminated:value", ";:", "X-EMPTY-NAME-NEXT",
             "ATTENDEE;CN=Missing quote\" here:mailto:someone@example.org"]


def producer_props(rng, producer, ev, n):
    if producer == "apple" and rng.random() < 0.6:
        title = rng.choice(["Café \\; Bar", "Hall A\\; Room 3", "Main St 1"])
        ev.props.append('X-APPLE-STRUCTURED-LOCATION;VALUE=URI;X-ADDRESS="Unter den Linden 1\\\\n10117 Berlin";'
                        'X-APPLE-RADIUS=70.5;X-TITLE="%s":geo:52.517,13.389' % title)
        ev.props.append("LOCATION:" + esc(title.replace("\\;", ";")))
        ev.props += ["BEGIN:VALARM", "ACTION:DISPLAY", "TRIGGER:-PT15M", "DESCRIPTION:Reminder",
                     "X-WR-ALARMUID:%08X" % n, "END:VALARM"]
    elif producer == "outlook":
        ev.props += ["CLASS:PUBLIC", "PRIORITY:5", "TRANSP:OPAQUE", "X-MICROSOFT-CDO-BUSYSTATUS:BUSY"]
        if ev.time is None:
            ev.props.append("X-MICROSOFT-CDO-ALLDAYEVENT:TRUE")
    elif producer == "thunderbird":
        ev.props += ["X-MOZ-GENERATION:%d" % rng.randrange(1, 9), "TRANSP:OPAQUE"]
    elif producer == "korganizer":
        ev.props += ["X-KDE-ktimezone-extra:1", "CLASS:PUBLIC", "PRIORITY:0"]
    elif producer == "google":
        ev.props += ["STATUS:CONFIRMED", "TRANSP:OPAQUE"]
    elif producer == "website":
        ev.props += ["URL:https://example.org/e/%d" % n, "GEO:48.137;11.575"]


def make_file(rng, producer, index, window):
    uid_n = [0]

    def uid():
        uid_n[0] += 1
        n = index * 1000 + uid_n[0]
        if producer == "outlook":
            return "040000008200E00074C5B7101A82E00800000000%016X00000000000000001000000%08X" % (
                rng.getrandbits(64), n)
        if producer == "google":
            return "%026x@google.com" % rng.getrandbits(100)
        if producer in ("apple", "nextcloud"):
            h = "%032X" % rng.getrandbits(128)
            return "%s-%s-%s-%s-%s" % (h[:8], h[8:12], h[12:16], h[16:20], h[20:])
        return "%s-%d-%x@corpus.example" % (producer, n, rng.getrandbits(32))

    events = []
    if producer == "nextcloud" and rng.random() < 0.4:
        events = [birthday(rng, uid()) for _ in range(rng.randrange(2, 9))]
    else:
        events = [make_event(rng, producer, uid(), window, ZONE_CHOICES[producer]) for _ in range(rng.randrange(1, 9))]
    for n, ev in enumerate(events):
        producer_props(rng, producer, ev, n)
    return events


def render(rng, producer, events, main_zone):
    w = Writer(producer, rng.random() < 0.4, rng.choice(["", '""']))
    stamp = "20260301T101500Z"
    body = []
    for ev in events:
        body += w.vevent(ev, stamp)
    if rng.random() < 0.06:
        # A producer's slip inside one event: the line a strict reader chokes on.
        at = next(i for i, line in enumerate(body) if line.startswith("SUMMARY"))
        body.insert(at + 1, rng.choice(BAD_LINES))
    head = list(HEADERS[producer])
    if producer == "google":
        head.append("X-WR-TIMEZONE:" + zones.OLSON[main_zone])
    style = {"outlook": "outlook", "notes": "notes"}.get(producer, "olson")
    for zone, tzid in sorted(w.used):
        head += zones.vtimezone(zone, tzid, style)
    lines = ["BEGIN:VCALENDAR"] + head + body + ["END:VCALENDAR"]
    if producer != "notes":
        lines = [part for line in lines for part in fold(line)]
    return "\r\n".join(lines) + "\r\n"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("outdir")
    ap.add_argument("--seed", type=int, default=5545)
    ap.add_argument("--files", type=int, default=260)
    args = ap.parse_args()
    rng = random.Random(args.seed)
    window = (D(2025, 10, 1), D(2026, 10, 1))
    os.makedirs(args.outdir, exist_ok=True)
    for old in os.listdir(args.outdir):
        if old.endswith(".ics"):
            os.remove(os.path.join(args.outdir, old))
    producers = sorted(HEADERS)
    manifest = {}
    for i in range(args.files):
        producer = producers[i % len(producers)]
        events = make_file(rng, producer, i, window)
        if i == 7:
            # A long history: most of it over, some of it in the months shown.
            for n in range(380):
                ev = Event("history-%d@corpus.example" % n, None, D(2024, 1, 3) + DAY * (n * 2 if n < 300 else 380 + n),
                           (18, 30), "utc", 120, "Meetup #%d" % n)
                events.append(ev)
        text = render(rng, producer, events, rng.choice(ZONES))
        name = "%03d_%s.ics" % (i, producer)
        # Some exports come in the system's code page rather than UTF-8.
        cp1252 = producer in ("outlook", "website") and rng.random() < 0.15
        data = text.encode("cp1252", "replace") if cp1252 else text.encode("utf-8")
        with open(os.path.join(args.outdir, name), "wb") as f:
            f.write(data)
        manifest[name] = {"producer": producer, "cp1252": cp1252,
                          "shapes": {ev.uid: ev.shape or "single" for ev in events}}
    with open(os.path.join(args.outdir, "manifest.json"), "w") as f:
        json.dump(manifest, f, indent=1, sort_keys=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
