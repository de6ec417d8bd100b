#!/usr/bin/env python3
"""Writes the fuzz targets' seed inputs (tests/fuzz/corpus/<target>/): valid
values as the program writes them, in the byte layout the targets read
(tests/fuzz/fuzz_support.h): a registry value is a tag (1 text, 2 binary,
3 number; 0 absent), a 16-bit little-endian length and the bytes. Zone 0 is
UTC and "now" 0 is 2026-06-15 12:00 UTC, so the dates below are local ones."""
import datetime
import os
import shutil
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fuzz", "corpus")


def day(y, m, d):
    return int(datetime.datetime(y, m, d, tzinfo=datetime.timezone.utc).timestamp())


def end_of(y, m, d):
    return day(y, m, d) + 86399


def value(tag, data):
    if isinstance(data, str):
        data = data.encode("latin-1")
    return bytes([tag]) + struct.pack("<H", len(data)) + data


def text(s, terminated=True):
    return value(1, s + ("\0" if terminated else ""))


def binary(b):
    return value(2, b)


def multi(strings, terminated=True):
    data = "".join(x + "\0" for x in strings) + ("\0" if terminated else "")
    return value(4, data)


def number(n):
    return value(3, struct.pack("<I", n & 0xFFFFFFFF))


ABSENT = b"\x00"


def front(id, start, start_time, end, kind=1, pattern=0, interval=1, flags=0, parent=0, link=0):
    return struct.pack("<IIB3xiiiiBBHB3x", id, parent, link, start, start_time, end, start_time + 3600,
                       flags, kind, pattern, interval)


def priv(actions=0, minutes=10):
    return struct.pack("<BxH", actions, minutes & 0xFFFF)


def event_key(name, f, p, title, note="", sound="", launch="", terminated=True):
    return (text(name, False) + binary(f) + binary(p) + text(title, terminated) + text(note, terminated) +
            text(sound, terminated) + text(launch, terminated))


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


EVENTS = [
    ("one_off", front(1, day(2026, 6, 20), 9 * 3600, end_of(2026, 6, 20)), priv(1, 15), "Dentist", "bring card",
     "C:\\Sounds\\chime.wav", ""),
    ("daily_endless", front(2, day(2026, 3, 2), 8 * 3600, end_of(2026, 3, 2), kind=30, flags=1), priv(0, 0),
     "Standup", "", "", ""),
    ("weekly", front(3, day(2026, 1, 5), 18 * 3600, end_of(2026, 12, 31), kind=60, pattern=0x0A, interval=2),
     priv(3, 30), "Choir", "Mon and Wed", "C:\\a.wav", "C:\\Program Files\\notes.exe"),
    ("monthly_nth", front(4, day(2026, 1, 1), 12 * 3600, end_of(2026, 12, 31), kind=91, pattern=4 << 4 | 5),
     priv(0, 60), "Pay day", "", "", ""),
    ("yearly", front(5, day(2026, 5, 10), 10 * 3600, end_of(2026, 5, 10), kind=121, pattern=5 << 8 | 1 << 4,
                     flags=1), priv(0, 999), "Mother's day", "", "", ""),
    ("span", front(6, day(2026, 6, 14), 0, end_of(2026, 6, 17)), priv(), "Trip", "four days", "", ""),
]


def seeds_event_key():
    for name, f, p, title, note, sound, launch in EVENTS:
        ident = str(struct.unpack_from("<I", f)[0])
        write("event_key", name, b"\x00\x00\x00" + event_key(ident, f, p, title, note, sound, launch))
    # Strings without terminators, several keys, a linked record, an expired event.
    _, f, p, title, note, sound, launch = EVENTS[2]
    write("event_key", "unterminated", b"\x00\x00\x00" + event_key("3", f, p, title, note, sound, launch, False))
    keys = b"".join(event_key(str(struct.unpack_from("<I", f)[0]), f, p, t, n, s, l)
                    for _, f, p, t, n, s, l in EVENTS[:4])
    write("event_key", "four_keys", b"\x00\x00\x03" + keys)
    linked = front(9, day(2026, 6, 20), 9 * 3600, end_of(2026, 6, 20), parent=1, link=1)
    expired = front(8, day(2025, 6, 20), 9 * 3600, end_of(2025, 6, 20))
    write("event_key", "linked_and_expired", b"\x00\x00\x01" + event_key("9", linked, priv(), "Linked") +
          event_key("8", expired, priv(), "Old"))
    # Found by fuzzing: a key not named by its id; a name too long for an id before a good key.
    _, f, p, title, *_ = EVENTS[0]
    write("event_key", "found_name_not_id", b"\x00\x00\x00" + event_key("5", f, p, title))
    write("event_key", "found_long_name", b"\x00\x00\x01" + event_key("n" * 30, f, p, title) +
          event_key("1", f, p, title))


def seeds_exclusions():
    entries = b"".join(struct.pack("<II", (2026 << 16) | (m << 8) | d, i) for m, d, i in
                       [(6, 16, 1), (6, 17, 2), (3, 1, 1), (7, 1, 3), (6, 20, 7)])
    write("exclusions", "entries", b"\x00\x00" + binary(entries) + b"\x03\x00\x01\x01\x00\x02\x01" +
          bytes([0, 4, 1, 2, 2, 0x80, 1]))
    write("exclusions", "ragged", b"\x00\x00" + binary(entries + b"\x01\x02\x03") + b"\x01\x00\x01")
    # Found by fuzzing: entries of the id the next new event gets.
    write("exclusions", "found_entries_of_next_id", b"\x00\x00" + binary(struct.pack("<II", (2026 << 16) | (6 << 8) | 20, 2)) +
          b"\x01\x00\x01")
    write("exclusions", "none", b"\x00\x00" + ABSENT + b"\x02\x02\x01\x03\x00" + bytes([0, 3, 1, 3, 0x81]))


def seeds_preferences():
    rect = struct.pack("<iiii", 494, 338, 974, 715)
    coord = struct.pack("<ii", 1014, 738)
    prefs = (number(0xFFFFFF) + text("C:\\Users\\me\\Pictures\\lake.jpg") + number(1) + number(1) + number(160) +
             number(0) + number(1) + number(1) + number(1) + number(1) + number(4) + number(2) + binary(rect) +
             binary(coord))
    area = bytes([0, 0]) + struct.pack("<HH", 1024, 738)
    write("preferences", "stored", prefs + ABSENT + ABSENT + ABSENT + area)
    write("preferences", "fresh_with_wallpaper", ABSENT * 14 + text("C:\\Windows\\Web\\tile.bmp") + text("1") +
          text("C:\\Program Files\\OrvCalendar") + area)
    write("preferences", "fresh_with_folder", ABSENT * 14 + text("tile.bmp") + text("0") +
          text("  D:\\Orv\\ ") + area)
    # Found by fuzzing: an installation folder leaving no room for the sample's name.
    write("preferences", "found_long_install_path", ABSENT * 16 + text("C:\\" + "d" * 250) + area)
    odd = (number(0x1FF) + text("") + binary(b"\x01") + ABSENT * 9 + binary(rect[:12]) +
           binary(struct.pack("<ii", -50, 99999)))
    write("preferences", "odd_values", odd + ABSENT * 3 + bytes([0, 0]) + struct.pack("<HH", 1024, 768))


ENGLISH_DAYS = ["Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"]
ENGLISH_MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August", "September",
                  "October", "November", "December"]


def seeds_app_values():
    names = ([text(d, False) for d in ENGLISH_DAYS] + [text(d[:3], False) for d in ENGLISH_DAYS] +
             [text(m, False) for m in ENGLISH_MONTHS] + [text(m[:3], False) for m in ENGLISH_MONTHS])
    rules = b"".join(struct.pack("<BHBB", k, p, n, m) for k, p, n, m in
                     [(1, 0, 1, 1), (30, 0, 3, 6), (60, 0x2A, 2, 12), (90, 31, 2, 2), (91, 0x15, 1, 5),
                      (120, 5 << 8 | 10, 1, 9), (121, 9 << 8 | 0x01, 2, 3), (200, 0, 0, 0)])
    write("app_values", "installed", number(1) + text("C:\\Program Files\\OrvCalendar") + b"".join(names) + rules)
    write("app_values", "bare", ABSENT + text("  \t") + ABSENT * 38 + rules[:10])


def seeds_occurrence():
    for name, f, *_ in EVENTS:
        start = struct.unpack_from("<i", f, 12)[0]
        write("occurrence", name, b"\x00\x00" + f + struct.pack("<iI", 40 * 86400 + 36000, 86399))
        write("occurrence", name + "_year", b"\x00\x00" + f + struct.pack("<iI", 0, 400 * 86400))
    # Found by fuzzing: a time of day far outside the day.
    far = front(4, day(2026, 1, 1), -1207195456, end_of(2026, 12, 31), kind=91, pattern=0x45)
    write("occurrence", "found_time_outside_day", b"\x00\x00" + far + struct.pack("<iI", 0, 400 * 86400))
    f = EVENTS[3][1]
    write("occurrence", "raw_window", b"\x00\x01" + f + struct.pack("<qq", day(2026, 2, 28) + 43200, end_of(2026, 3, 31)))


def seeds_month_layout():
    body = b""
    for i, (_, f, _, title, *_) in enumerate(EVENTS):
        body += f + bytes([len(title[:7])]) + title[:7].encode() + bytes([1 if i % 2 else 0])
        if i % 2:
            body += bytes([17])
    clicks = b"".join(struct.pack("<hhB", x, y, r) for x, y, r in
                      [(40, 80, 0), (200, 150, 1), (5, 61, 0), (-3, 400, 1), (470, 370, 0)])
    area = struct.pack("<HH", 480, 377)
    for month in (6, 3, 11):
        write("month_layout", "month_%d" % month,
              b"\x00" + struct.pack("<H", 2026 - 1965) + bytes([month, len(EVENTS)]) + body + area + clicks)


def seeds_recent_files():
    sounds = ["C:\\Sounds\\chime.wav", "D:\\Music\\bell.wav", "clock.wav"]
    launches = ["C:\\Program Files\\notes.exe", "C:\\Users\\me\\plan.doc"]
    folder = text("C:\\Program Files\\OrvCalendar")
    write("recent_files", "both", multi(sounds) + multi(launches) + folder)
    write("recent_files", "default_sound", ABSENT + ABSENT + folder)
    # Found by fuzzing: a path longer than an event's sound file can hold.
    write("recent_files", "found_long_path", multi(["C:\\" + "x" * 300 + ".wav", "C:\\a.wav"]) + ABSENT + ABSENT)
    write("recent_files", "twelve_unterminated", multi(["C:\\s%d.wav" % i for i in range(12)], False) +
          binary(b"C:\\a.exe") + ABSENT)


def seeds_snoozes():
    # Zone, now, three events (day offset, extra days, start time, daily, lead), then "Snoozed" and "LastChecked".
    events = b"\x03" + b"".join(bytes([off, 0]) + struct.pack("<I", t) + bytes([kind]) + struct.pack("<H", lead)
                                for off, t, kind, lead in [(0, 13 * 3600, 0, 15), (1, 9 * 3600, 1, 10),
                                                           (0, 11 * 3600, 1, 120)])
    key = (2026 << 16) | (6 << 8)
    entries = b"".join(struct.pack("<III", i, key | d, at) for i, d, at in
                       [(1, 15, day(2026, 6, 15) + 12 * 3600 + 600), (2, 16, day(2026, 6, 16) + 9 * 3600),
                        (3, 15, day(2026, 6, 15) + 11 * 3600 + 300), (9, 15, 1)])
    write("snoozes", "entries", b"\x00\x00" + events + binary(entries) + number(day(2026, 6, 12)))
    write("snoozes", "ragged_and_due", b"\x00\x00" + events + binary(entries[:-5]) + number(day(2026, 6, 15)))
    write("snoozes", "none", b"\x01\x03" + events + ABSENT + ABSENT)


if __name__ == "__main__":
    # Only the folders written here; other targets' seeds are written by hand.
    for target in ("event_key", "exclusions", "preferences", "app_values", "occurrence", "month_layout",
                   "recent_files", "snoozes"):
        shutil.rmtree(os.path.join(ROOT, target), ignore_errors=True)
    seeds_event_key()
    seeds_exclusions()
    seeds_preferences()
    seeds_app_values()
    seeds_occurrence()
    seeds_month_layout()
    seeds_recent_files()
    seeds_snoozes()
