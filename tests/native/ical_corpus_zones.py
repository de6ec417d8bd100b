"""VTIMEZONE blocks as the producers write them. One text per TZID across
the whole corpus: python3-icalendar remembers a zone by its TZID for the
life of the process, so two definitions under one name would mislead the
comparator."""

# name -> (standard, daylight) as (dtstart, rrule, offset from, offset to, tzname);
# daylight None for a zone without changes.
_RULES = {
    "berlin": (("19701025T030000", "FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU", "+0200", "+0100", "CET"),
               ("19700329T020000", "FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", "+0100", "+0200", "CEST")),
    "new_york": (("19701101T020000", "FREQ=YEARLY;BYMONTH=11;BYDAY=1SU", "-0400", "-0500", "EST"),
                 ("19700308T020000", "FREQ=YEARLY;BYMONTH=3;BYDAY=2SU", "-0500", "-0400", "EDT")),
    "melbourne": (("19700405T030000", "FREQ=YEARLY;BYMONTH=4;BYDAY=1SU", "+1100", "+1000", "AEST"),
                  ("19701004T020000", "FREQ=YEARLY;BYMONTH=10;BYDAY=1SU", "+1000", "+1100", "AEDT")),
    "tokyo": (("19700101T000000", None, "+0900", "+0900", "JST"), None),
}

OLSON = {"berlin": "Europe/Berlin", "new_york": "America/New_York", "melbourne": "Australia/Melbourne",
         "tokyo": "Asia/Tokyo"}
WINDOWS = {"berlin": "W. Europe Standard Time", "new_york": "Eastern Standard Time",
           "melbourne": "AUS Eastern Standard Time", "tokyo": "Tokyo Standard Time"}
# Outlook's display names, which hold spaces, commas and brackets.
OUTLOOK_LONG = {"berlin": "(UTC+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna",
                "new_york": "(UTC-05:00) Eastern Time (US & Canada)",
                "melbourne": "(UTC+10:00) Canberra, Melbourne, Sydney",
                "tokyo": "(UTC+09:00) Osaka, Sapporo, Tokyo"}
NOTES = {"berlin": "W. Europe", "new_york": "Eastern", "melbourne": "AUS Eastern", "tokyo": "Tokyo"}


def _part(kind, p, style):
    dtstart, rule, frm, to, name = p
    lines = ["BEGIN:" + kind]
    if style == "outlook":
        lines.append("DTSTART:1601" + dtstart[4:])
    elif style == "notes":
        lines.append("DTSTART:1950" + dtstart[4:])
    else:
        lines.append("DTSTART:" + dtstart)
    if rule:
        if style == "notes":
            # Notes names the hour of the change in the rule itself.
            h = dtstart[9:11].lstrip("0") or "0"
            rule = "FREQ=YEARLY;BYMINUTE=0;BYHOUR=%s;%s" % (h, rule[len("FREQ=YEARLY;"):])
        lines.append("RRULE:" + rule)
    lines += ["TZOFFSETFROM:" + frm, "TZOFFSETTO:" + to]
    if style != "outlook":
        lines.append("TZNAME:" + name)
    lines.append("END:" + kind)
    return lines


def vtimezone(zone, tzid, style):
    """style: olson (with X-LIC-LOCATION), outlook, notes."""
    standard, daylight = _RULES[zone]
    lines = ["BEGIN:VTIMEZONE", "TZID:" + tzid]
    if style == "olson":
        lines.append("X-LIC-LOCATION:" + tzid)
    if daylight:
        lines += _part("DAYLIGHT", daylight, style)
    lines += _part("STANDARD", standard, style)
    lines.append("END:VTIMEZONE")
    return lines


def param(tzid):
    """A TZID as a property parameter."""
    return '"%s"' % tzid if any(c in tzid for c in ",:;") else tzid
