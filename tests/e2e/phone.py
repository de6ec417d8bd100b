#!/usr/bin/python3
"""The other device of the sync tests: Python's caldav library on the same
calendar collection.

usage: phone.py URL USER PASSWORD add UID SUMMARY DAY_OFFSET HOUR
       phone.py URL USER PASSWORD retitle UID SUMMARY
       phone.py URL USER PASSWORD delete UID
       phone.py URL USER PASSWORD list        one "summary|RRULE value" line per event, sorted
"""
import datetime
import sys

import caldav


def day(offset, hour):
    base = datetime.datetime.now().replace(hour=hour, minute=0, second=0, microsecond=0)
    return base + datetime.timedelta(days=offset)


def component(event):
    return event.icalendar_instance.walk("VEVENT")[0]


def main():
    url, user, password, verb = sys.argv[1:5]
    args = sys.argv[5:]
    calendar = caldav.DAVClient(url=url, username=user, password=password).calendar(url=url)
    if verb == "add":
        uid, summary, offset, hour = args
        start = day(int(offset), int(hour))
        calendar.save_event(
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//Test//EN\r\nBEGIN:VEVENT\r\n"
            f"UID:{uid}\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:{start:%Y%m%dT%H%M%S}\r\n"
            f"DTEND:{start + datetime.timedelta(hours=1):%Y%m%dT%H%M%S}\r\nSUMMARY:{summary}\r\n"
            "END:VEVENT\r\nEND:VCALENDAR\r\n")
    elif verb == "retitle":
        uid, summary = args
        event = calendar.event_by_uid(uid)
        component(event)["summary"] = summary
        event.save()
    elif verb == "delete":
        calendar.event_by_uid(args[0]).delete()
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
