#!/usr/bin/env python3
"""What a phone sees of the texts the sync merged an edit into: python3's
icalendar with recurring_ical_events expands each text before and after,
and the occurrences must differ only as the edit says:
"shift N" moves every occurrence of the series but the moved ones by N
seconds, "days N" moves them by N days, "exclude YYYYMMDD" removes the one
on that day, "same" changes no occurrence."""
import datetime
import glob
import sys

import icalendar
import recurring_ical_events

START = datetime.datetime(2026, 11, 1)
END = datetime.datetime(2027, 3, 1)


def occurrences(path):
    with open(path, "rb") as f:
        calendar = icalendar.Calendar.from_ical(f.read())
    out = []
    for event in recurring_ical_events.of(calendar).between(START, END):
        start = event["DTSTART"].dt
        moved = "RECURRENCE-ID" in event
        out.append((start, moved))
    return sorted(out, key=lambda o: (str(type(o[0])), o[0]))


def expected(before, rule):
    kind, _, arg = rule.partition(" ")
    if kind == "same":
        return before
    if kind == "shift":
        delta = datetime.timedelta(seconds=int(arg))
        return sorted(((s if moved else s + delta), moved) for s, moved in before)
    if kind == "days":
        return sorted(((s if moved else s + datetime.timedelta(days=int(arg))), moved) for s, moved in before)
    if kind == "exclude":
        return [(s, moved) for s, moved in before if s.strftime("%Y%m%d") != arg]
    raise ValueError(rule)


def main(folder):
    checked = 0
    failed = 0
    for expect_path in sorted(glob.glob(folder + "/merge-*.expect")):
        base = expect_path[: -len(".expect")]
        with open(expect_path) as f:
            rule, name = f.read().splitlines()[:2]
        before = occurrences(base + ".before.ics")
        after = occurrences(base + ".after.ics")
        want = expected(before, rule)
        checked += 1
        if sorted(after) != sorted(want) or not before:
            failed += 1
            print("differs:", name, rule)
            print("  before", [str(s) for s, _ in before][:6])
            print("  after ", [str(s) for s, _ in after][:6])
            print("  wanted", [str(s) for s, _ in want][:6])
    print(f"{checked} merges compared; {failed} differ")
    return 1 if failed or checked < 5 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
