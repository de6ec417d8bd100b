#!/usr/bin/python3
"""The other device of the sync tests: Python's caldav library on the same
calendar collection.

usage: phone.py URL USER PASSWORD add UID SUMMARY DAY_OFFSET HOUR
       phone.py URL USER PASSWORD weekly UID SUMMARY DAY_OFFSET HOUR OVERRIDE_SUMMARY
                                  (the second week's one has its own summary, an hour later)
       phone.py URL USER PASSWORD parts UID    one "summary|RRULE|RECURRENCE-ID" line per component
       phone.py URL USER PASSWORD many PREFIX COUNT DAY_OFFSET
                                  (the collection's only events: "PREFIX 0".., three a day
                                  at 9, 10 and 11 from the day on)
       phone.py URL USER PASSWORD retitle UID SUMMARY
       phone.py URL USER PASSWORD delete UID
       phone.py URL USER PASSWORD list        one "summary|RRULE value" line per event, sorted
       phone.py URL USER PASSWORD berlin UID SUMMARY  weekly from next Monday 19:00 in Berlin, its
                                  second week cancelled, its third moved to the Tuesday (SUMMARY on Tuesday)
       phone.py URL USER PASSWORD allday UID SUMMARY DAY_OFFSET
       phone.py URL USER PASSWORD raw UID     the text the server holds
"""
import datetime
import sys

import caldav


def day(offset, hour):
    base = datetime.datetime.now().replace(hour=hour, minute=0, second=0, microsecond=0)
    return base + datetime.timedelta(days=offset)


def vevent(uid, summary, start, extra):
    return (f"BEGIN:VEVENT\r\nUID:{uid}\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:{start:%Y%m%dT%H%M%S}\r\n"
            f"DTEND:{start + datetime.timedelta(hours=1):%Y%m%dT%H%M%S}\r\nSUMMARY:{summary}\r\n{extra}END:VEVENT\r\n")


BERLIN = ("BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
          "DTSTART:19700329T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
          "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nDTSTART:19701025T030000\r\n"
          "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n")


def berlin_series(uid, summary):
    today = datetime.date.today()
    monday = today + datetime.timedelta(days=7 - today.weekday())
    week = datetime.timedelta(days=7)
    at = lambda d, hour=19: f";TZID=Europe/Berlin:{d:%Y%m%d}T{hour:02d}0000"
    master = (f"BEGIN:VEVENT\r\nUID:{uid}\r\nDTSTAMP:20260101T000000Z\r\nDTSTART{at(monday)}\r\n"
              f"DTEND{at(monday, 20)}\r\nRRULE:FREQ=WEEKLY;BYDAY=MO\r\nEXDATE{at(monday + week)}\r\n"
              f"SUMMARY:{summary}\r\nEND:VEVENT\r\n")
    moved = monday + 2 * week
    change = (f"BEGIN:VEVENT\r\nUID:{uid}\r\nDTSTAMP:20260101T000000Z\r\nRECURRENCE-ID{at(moved)}\r\n"
              f"DTSTART{at(moved + datetime.timedelta(days=1))}\r\nDTEND{at(moved + datetime.timedelta(days=1), 20)}\r\n"
              f"SUMMARY:{summary} on Tuesday\r\nEND:VEVENT\r\n")
    return BERLIN + master + change


def all_day(uid, summary, offset):
    first = datetime.date.today() + datetime.timedelta(days=offset)
    return (f"BEGIN:VEVENT\r\nUID:{uid}\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:{first:%Y%m%d}\r\n"
            f"DTEND;VALUE=DATE:{first + datetime.timedelta(days=1):%Y%m%d}\r\nSUMMARY:{summary}\r\nEND:VEVENT\r\n")


def component(event):
    return event.icalendar_instance.walk("VEVENT")[0]


def main():
    url, user, password, verb = sys.argv[1:5]
    args = sys.argv[5:]
    calendar = caldav.DAVClient(url=url, username=user, password=password).calendar(url=url)
    if verb in ("add", "weekly"):
        uid, summary, offset, hour = args[:4]
        start = day(int(offset), int(hour))
        text = vevent(uid, summary, start, "RRULE:FREQ=WEEKLY;COUNT=4\r\n" if verb == "weekly" else "")
        if verb == "weekly":
            moved = start + datetime.timedelta(days=7)
            text += vevent(uid, args[4], moved + datetime.timedelta(hours=1),
                           f"RECURRENCE-ID:{moved:%Y%m%dT%H%M%S}\r\n")
        calendar.save_event("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//Test//EN\r\n" + text +
                            "END:VCALENDAR\r\n")
    elif verb in ("berlin", "allday"):
        text = berlin_series(*args[:2]) if verb == "berlin" else all_day(args[0], args[1], int(args[2]))
        calendar.save_event("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//Test//EN\r\n" + text +
                            "END:VCALENDAR\r\n")
    elif verb == "raw":
        print(calendar.event_by_uid(args[0]).data.replace("\r\n", "\n"))
    elif verb == "many":
        # One upload of the whole collection: Radicale makes a resource of each UID.
        prefix, count, offset = args[0], int(args[1]), int(args[2])
        events = "".join(vevent(f"{prefix}-{i}@phone", f"{prefix} {i}", day(offset + i // 3, 9 + i % 3), "")
                         for i in range(count))
        calendar.client.put(url, "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//Test//EN\r\n" + events +
                            "END:VCALENDAR\r\n", {"Content-Type": "text/calendar; charset=utf-8"})
    elif verb == "retitle":
        uid, summary = args
        event = calendar.event_by_uid(uid)
        component(event)["summary"] = summary
        event.save()
    elif verb == "delete":
        calendar.event_by_uid(args[0]).delete()
    elif verb == "parts":
        lines = []
        for c in calendar.event_by_uid(args[0]).icalendar_instance.walk("VEVENT"):
            rule = c.get("rrule")
            rid = c.get("recurrence-id")
            lines.append(f"{c.get('summary')}|{rule.to_ical().decode() if rule else ''}|"
                         f"{rid.to_ical().decode() if rid else ''}")
        print("\n".join(sorted(lines)))
    elif verb == "list":
        lines = []
        for event in calendar.events():
            c = component(event)
            rule = c.get("rrule")
            lines.append(f"{c.get('summary')}|{rule.to_ical().decode() if rule else ''}")
        print("\n".join(sorted(lines)))
    else:
        sys.exit(2)


main()
