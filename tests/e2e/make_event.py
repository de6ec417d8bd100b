#!/usr/bin/env python3
"""Prints a registry file (REGEDIT4, for `wine reg import`) that stores one
event, as the program stores it: one import is much quicker than a `reg add`
a value.

usage: make_event.py KEY ID START_DAY_OFFSET START_SECONDS END_DAY_OFFSET KIND REMIND TITLE [LAUNCH]
Day offsets count local days from today; the end is 23:59:59 of its day.
"""
import struct
import sys
import time


def local_midnight(day_offset):
    t = time.localtime()
    return int(time.mktime((t.tm_year, t.tm_mon, t.tm_mday + day_offset, 0, 0, 0, 0, 0, -1)))


def text(value):
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    key, ident, start_off, start_secs, end_off, kind, remind, title = sys.argv[1:9]
    launch = sys.argv[9] if len(sys.argv) > 9 else ""
    start_date = local_midnight(int(start_off))
    end_date = local_midnight(int(end_off)) + 86399
    front = struct.pack("<IIB3xiiiiBBHB3x", int(ident), 0, 0, start_date, int(start_secs), end_date,
                        int(start_secs) + 3600, 0, int(kind), 0, 1)
    actions = 2 if launch else 0
    priv = struct.pack("<BxH", actions, int(remind) & 0xFFFF)
    sub = f"{key}\\{ident}".replace("HKCU\\", "HKEY_CURRENT_USER\\", 1)
    # REGEDIT4 is read in the code page; text outside ASCII goes in the
    # UTF-16 form, as the registry holds it.
    wide = not (title + launch).isascii()
    lines = ["Windows Registry Editor Version 5.00" if wide else "REGEDIT4", "", f"[{sub}]",
             f'"front"=hex:{front.hex(",")}',
             f'"priv"=hex:{priv.hex(",")}',
             f'"title"={text(title)}',
             f'"note"={text("")}',
             f'"soundfile"={text("")}',
             f'"launchfile"={text(launch)}', ""]
    if wide:
        sys.stdout.buffer.write("\ufeff".encode("utf-16-le") + "\r\n".join(lines).encode("utf-16-le"))
    else:
        sys.stdout.write("\r\n".join(lines))


if __name__ == "__main__":
    main()
