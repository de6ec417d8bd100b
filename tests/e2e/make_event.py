#!/usr/bin/env python3
"""Prints `wine reg add` lines that store one event, as the program stores it.

usage: make_event.py KEY ID START_DAY_OFFSET START_SECONDS END_DAY_OFFSET KIND REMIND TITLE [LAUNCH]
Day offsets count local days from today; the end is 23:59:59 of its day.
"""
import struct
import sys
import time


def local_midnight(day_offset):
    t = time.localtime()
    return int(time.mktime((t.tm_year, t.tm_mon, t.tm_mday + day_offset, 0, 0, 0, 0, 0, -1)))


def main():
    key, ident, start_off, start_secs, end_off, kind, remind, title = sys.argv[1:9]
    launch = sys.argv[9] if len(sys.argv) > 9 else ""
    start_date = local_midnight(int(start_off))
    end_date = local_midnight(int(end_off)) + 86399
    front = struct.pack("<IIB3xiiiiBBHB3x", int(ident), 0, 0, start_date, int(start_secs), end_date,
                        int(start_secs) + 3600, 0, int(kind), 0, 1)
    actions = 2 if launch else 0
    priv = struct.pack("<BxH", actions, int(remind) & 0xFFFF)
    sub = f"{key}\\{ident}"
    print(f"wine reg add '{sub}' /v front /t REG_BINARY /d {front.hex()} /f")
    print(f"wine reg add '{sub}' /v priv /t REG_BINARY /d {priv.hex()} /f")
    print(f"wine reg add '{sub}' /v title /t REG_SZ /d '{title}' /f")
    print(f"wine reg add '{sub}' /v note /t REG_SZ /d '' /f")
    print(f"wine reg add '{sub}' /v soundfile /t REG_SZ /d '' /f")
    print(f"wine reg add '{sub}' /v launchfile /t REG_SZ /d '{launch}' /f")


if __name__ == "__main__":
    main()
