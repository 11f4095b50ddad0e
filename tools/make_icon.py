#!/usr/bin/env python3
"""Draws the program icon (three nodes joined by isa links) as a 32x32 PNG, with no libraries."""
import struct
import sys
import zlib

SIZE = 32
BACK = (0, 0, 0, 0)
LINK = (40, 40, 40, 255)
BOX = (255, 250, 235, 255)
EDGE = (30, 60, 140, 255)
CURRENT = (250, 200, 60, 255)


def line(pixels, x0, y0, x1, y1, colour):
    steps = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        for dx in (0, 1):
            pixels[y][x + dx] = colour


def box(pixels, x, y, w, h, fill):
    for j in range(y, y + h):
        for i in range(x, x + w):
            edge = j in (y, y + h - 1) or i in (x, x + w - 1)
            pixels[j][i] = EDGE if edge else fill


def main(path):
    pixels = [[BACK] * SIZE for _ in range(SIZE)]
    line(pixels, 16, 8, 7, 24, LINK)
    line(pixels, 16, 8, 24, 24, LINK)
    box(pixels, 9, 2, 14, 9, CURRENT)
    box(pixels, 1, 21, 13, 9, BOX)
    box(pixels, 18, 21, 13, 9, BOX)
    raw = b"".join(b"\0" + b"".join(struct.pack("4B", *p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/icons/tarvo.png")
