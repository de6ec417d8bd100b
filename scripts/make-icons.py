#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files.

A calendar page: white sheet, red header band, two binding rings, a grid of
day marks with one highlighted day. Each size has its own layout on whole
pixels so that 16 x 16 stays sharp; only rounded corners are antialiased
(drawn 8 times larger and averaged down).

    scripts/make-icons.py                 rewrite res/*.ico
    scripts/make-icons.py --preview DIR   also write a PNG of every image to DIR

Standard library only.
"""

import argparse
import os
import struct
import zlib

SUPER = 8  # supersampling factor for antialiased edges

INK = (58, 64, 74)          # outline, rings and day marks
PAPER = (255, 255, 255)
PAPER_SHADE = (226, 230, 236)
RED = (214, 48, 40)
RED_DARK = (158, 28, 24)
RING_LIGHT = (150, 156, 166)
TODAY = (38, 110, 214)


class Canvas:
    """RGBA image drawn at SUPER times its size."""

    def __init__(self, size):
        self.size = size
        n = size * SUPER
        self.n = n
        self.px = [[None] * n for _ in range(n)]  # None = transparent

    def rounded_rect(self, x0, y0, x1, y1, radius, color):
        """Fills [x0, x1) x [y0, y1) in pixel units, corners rounded by radius."""
        s = SUPER
        r = radius * s
        for sy in range(max(0, int(y0 * s)), min(self.n, int(y1 * s))):
            cy = sy + 0.5
            for sx in range(max(0, int(x0 * s)), min(self.n, int(x1 * s))):
                cx = sx + 0.5
                if r > 0:
                    # distance to the nearest corner centre when inside a corner box
                    ccx = min(max(cx, x0 * s + r), x1 * s - r)
                    ccy = min(max(cy, y0 * s + r), y1 * s - r)
                    if (cx - ccx) ** 2 + (cy - ccy) ** 2 > r * r:
                        continue
                self.px[sy][sx] = color

    def rect(self, x0, y0, x1, y1, color):
        self.rounded_rect(x0, y0, x1, y1, 0, color)

    def pixels(self):
        """Rows of (r, g, b, a), top row first, averaged down to the real size."""
        s = SUPER
        out = []
        for y in range(self.size):
            row = []
            for x in range(self.size):
                tr = tg = tb = count = 0
                for sy in range(y * s, y * s + s):
                    for sx in range(x * s, x * s + s):
                        c = self.px[sy][sx]
                        if c is not None:
                            tr += c[0]
                            tg += c[1]
                            tb += c[2]
                            count += 1
                if count == 0:
                    row.append((0, 0, 0, 0))
                else:
                    a = round(255 * count / (s * s))
                    row.append((round(tr / count), round(tg / count), round(tb / count), a))
            out.append(row)
        return out


def draw_16():
    c = Canvas(16)
    c.rounded_rect(1, 2, 15, 16, 1, INK)          # outline
    c.rect(2, 3, 14, 15, PAPER)                   # sheet
    c.rect(2, 3, 14, 7, RED)                      # header band
    c.rect(2, 6, 14, 7, RED_DARK)
    for x in (4, 10):                             # rings over the header
        c.rounded_rect(x, 0, x + 2, 5, 1, INK)
        c.rect(x, 1, x + 1, 4, RING_LIGHT)
    # day marks: 3 columns x 3 rows with a pixel of paper round them, the
    # highlighted day in blue
    for row in range(3):
        for col in range(3):
            x = 3 + col * 4
            y = 8 + row * 2
            color = TODAY if (row, col) == (1, 1) else INK
            if (row, col) == (2, 2):
                continue  # the month ends early: a page, not a grid
            c.rect(x, y, x + 2, y + 1, color)
    return c


def draw_32():
    c = Canvas(32)
    c.rounded_rect(2, 4, 30, 31, 3, INK)
    c.rounded_rect(3, 5, 29, 30, 2, PAPER)
    c.rect(3, 28, 29, 30, PAPER_SHADE)            # the sheet's lower edge
    c.rounded_rect(3, 5, 29, 13, 2, RED)
    c.rect(3, 9, 29, 13, RED)
    c.rect(3, 12, 29, 13, RED_DARK)
    for x in (8, 20):
        c.rounded_rect(x, 1, x + 4, 10, 2, INK)
        c.rect(x + 1, 2, x + 2, 8, RING_LIGHT)
    for row in range(4):
        for col in range(5):
            if (row, col) == (3, 4):
                continue
            x = 5 + col * 5
            y = 15 + row * 3
            color = TODAY if (row, col) == (1, 3) else INK
            c.rect(x, y, x + 3, y + 2, color)
    return c


def draw_48():
    c = Canvas(48)
    c.rounded_rect(3, 6, 45, 46, 4, INK)
    c.rounded_rect(5, 8, 43, 44, 3, PAPER)
    c.rect(5, 41, 43, 44, PAPER_SHADE)
    c.rounded_rect(5, 8, 43, 19, 3, RED)
    c.rect(5, 13, 43, 19, RED)
    c.rect(5, 18, 43, 19, RED_DARK)
    for x in (12, 30):
        c.rounded_rect(x, 1, x + 6, 14, 3, INK)
        c.rect(x + 1.5, 3, x + 3, 11, RING_LIGHT)
    for row in range(4):
        for col in range(6):
            if (row, col) == (3, 5):
                continue
            x = 8 + col * 6
            y = 22 + row * 5
            color = TODAY if (row, col) == (1, 4) else INK
            c.rect(x, y, x + 4, y + 3, color)
    return c


def ico_image(rows):
    """A 32-bit icon image: BITMAPINFOHEADER, BGRA bottom-up, AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    count = len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, count))
    offset = 6 + 16 * count
    blobs = []
    for rows in images:
        blob = ico_image(rows)
        size = len(rows)
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


def write_png(path, rows):
    size = len(rows)
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--out", default=os.path.join(here, "..", "res"))
    parser.add_argument("--preview", help="directory for PNG previews")
    args = parser.parse_args()

    drawn = {size: draw().pixels() for size, draw in ((16, draw_16), (32, draw_32), (48, draw_48))}
    # The program icon carries a large image for the About box and Explorer;
    # the tray and window icon needs only the small ones.
    write_ico(os.path.join(args.out, "calendar.ico"), [drawn[16], drawn[32], drawn[48]])
    write_ico(os.path.join(args.out, "tray.ico"), [drawn[16], drawn[32]])
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for size, rows in drawn.items():
            write_png(os.path.join(args.preview, "icon_%d.png" % size), rows)


if __name__ == "__main__":
    main()
