#!/usr/bin/env python3
"""Expands an exported calendar with python3's icalendar and
recurring_ical_events and compares the days of every event, exclusions
applied, with those the program's own engine found."""
import datetime
import sys

import icalendar
import recurring_ical_events


def main(ics_path, days_path):
    with open(ics_path, "rb") as f:
        calendar = icalendar.Calendar.from_ical(f.read())
    expected = {}
    with open(days_path) as f:
        for line in f:
            uid, *days = line.split()
            expected[uid] = set(days)
    start = datetime.datetime(2026, 1, 1)
    end = start + datetime.timedelta(days=730)
    got = {uid: set() for uid in expected}
    for event in recurring_ical_events.of(calendar).between(start, end):
        day = event["DTSTART"].dt
        got.setdefault(str(event["UID"]), set()).add(day.strftime("%Y%m%d"))
    wrong = [uid for uid in expected if got.get(uid) != expected[uid]]
    extra = set(got) - set(expected)
    for uid in wrong[:5]:
        print(uid, "missing", sorted(expected[uid] - got[uid])[:5], "extra", sorted(got[uid] - expected[uid])[:5])
    total = sum(len(d) for d in expected.values())
    print(f"{len(expected)} events, {total} occurrences compared; {len(wrong)} differ, {len(extra)} unexpected")
    return 1 if wrong or extra or total < 5000 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
