#!/usr/bin/env python3
"""Draws kwix.exe's icon and writes it as an .ico file: the pad in keypad mode, its keys in
the default colours (black keys with silver edges, yellow captions on black), at 16, 24, 32,
48 and 256 pixels. Everything is drawn from the shapes below with the standard library alone,
and the script compresses the images itself (no time stamps either), so every build gives the
same bytes, whatever Python and zlib run it.

    kwix-icon.py OUTPUT.ico [PNG_FOLDER]   (PNG_FOLDER: each size also as a PNG, to look at)
"""
import math
import os
import struct
import sys
import zlib

BLACK, SILVER, YELLOW = (0, 0, 0), (0xC0, 0xC0, 0xC0), (0xFF, 0xFF, 0)  # BGColor/BtnColor, PenColor, BtnTextColor
SIZES = (16, 24, 32, 48, 256)
KEYS = ("789", "456", "123", "0.=")  # the keypad mode's keys, row by row

# Seven-segment captions on a grid 4 units wide and 7 high, each stroke a box
# (x0, y0, x1, y1): at 48 pixels a unit is one pixel, so they stay sharp.
SEGMENTS = {"a": (1, 0, 3, 1), "b": (3, 1, 4, 3), "c": (3, 4, 4, 6), "d": (1, 6, 3, 7), "e": (0, 4, 1, 6),
            "f": (0, 1, 1, 3), "g": (1, 3, 3, 4)}
DIGITS = {"0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc", "5": "afgcd", "6": "afgedc",
          "7": "abc", "8": "abcdefg", "9": "abcdfg"}
SIGNS = {".": [(1, 5, 3, 7)], "=": [(0, 2, 4, 3), (0, 4, 4, 5)]}


def box_coverage(x, y, box, radius):
    """How much of the pixel at (x, y) a rounded box covers: from its signed distance, 0 to 1."""
    x0, y0, x1, y1 = box
    r = min(radius, (x1 - x0) / 2, (y1 - y0) / 2)
    dx = max(x0 + r - x, x - (x1 - r), 0.0)
    dy = max(y0 + r - y, y - (y1 - r), 0.0)
    inside = min(max(x0 + r - x, x - (x1 - r), y0 + r - y, y - (y1 - r)), 0.0)
    d = math.sqrt(dx * dx + dy * dy) + inside - r  # sqrt, unlike a power, is rounded alike everywhere
    return min(max(0.5 - d, 0.0), 1.0)


class Canvas:
    def __init__(self, size):
        self.size, self.pixels = size, [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, box, colour, radius=0.0):
        """Composites a rounded box over the image (straight alpha)."""
        lo_x, lo_y = max(int(box[0]) - 1, 0), max(int(box[1]) - 1, 0)
        hi_x, hi_y = min(int(box[2]) + 2, self.size), min(int(box[3]) + 2, self.size)
        for y in range(lo_y, hi_y):
            for x in range(lo_x, hi_x):
                a = box_coverage(x + 0.5, y + 0.5, box, radius)
                if a > 0:
                    p = self.pixels[y * self.size + x]
                    out = a + p[3] * (1 - a)
                    for i in range(3):
                        p[i] = (colour[i] * a + p[i] * p[3] * (1 - a)) / out
                    p[3] = out

    def edged(self, box, radius, pen, face, edge=SILVER):
        self.fill(box, edge, radius)
        self.fill((box[0] + pen, box[1] + pen, box[2] - pen, box[3] - pen), face, max(radius - pen, 0))

    def rgba(self):
        return [tuple(round(min(max(v, 0), 255)) for v in p[:3]) + (round(p[3] * 255),) for p in self.pixels]


def spans(lo, hi, count, gap):
    """count runs of whole pixels from lo to hi, gap pixels apart."""
    edges = [int(lo + k * (hi - lo + gap) / count + 0.5) for k in range(count + 1)]
    return [(edges[k], edges[k + 1] - gap) for k in range(count)]


def draw(size):
    c = Canvas(size)
    margin, pen, gap = int(size / 32 + 0.5), 1 if size <= 48 else size // 80, max(1, size // 32)
    body = (margin, margin, size - margin, size - margin)
    c.edged(body, size / 8, pen, BLACK)  # the pad's body
    inner = body[0] + pen + gap, body[2] - pen - gap
    for (y0, y1), keys in zip(spans(*inner, 4, gap), KEYS):
        for (x0, x1), key in zip(spans(*inner, 3, gap), keys):
            if size < 32:  # too small for edges and captions: lit keys
                c.fill((x0, y0, x1, y1), YELLOW)
                continue
            c.edged((x0, y0, x1, y1), size / 32, pen, BLACK)
            if size < 48:  # a caption as a yellow mark
                c.fill(((x0 + x1) // 2 - 1, (y0 + y1) // 2 - 1, (x0 + x1) // 2 + 1, (y0 + y1) // 2 + 1), YELLOW)
                continue
            unit = max(1, int((y1 - y0) * 0.75 / 7))  # the caption about three quarters of the key's height
            gx, gy = (x0 + x1 - 4 * unit) // 2, (y0 + y1 - 7 * unit) // 2
            for a, b, d, e in SIGNS.get(key) or [SEGMENTS[g] for g in DIGITS[key]]:
                c.fill((gx + a * unit, gy + b * unit, gx + d * unit, gy + e * unit), YELLOW, unit / 3)
    return c.rgba()


# Deflate's length and distance codes: the first length or distance of each, and its extra bits.
LENGTH_EXTRA = [max(0, k // 4 - 1) for k in range(28)] + [0]
LENGTH_BASE = [3 + sum(1 << e for e in LENGTH_EXTRA[:k]) for k in range(28)] + [258]
DISTANCE_EXTRA = [max(0, k // 2 - 1) for k in range(30)]
DISTANCE_BASE = [1 + sum(1 << e for e in DISTANCE_EXTRA[:k]) for k in range(30)]


def deflate(data, stride):
    """A zlib stream of data (rows stride bytes apart) as one deflate block in deflate's fixed
    codes, a run that repeats a pixel nearby (one or two to the left, above, above and one to
    either side, two above) sent as a match. The script decides every bit: zlib's own compressor
    may choose other matches in another version, and did not promise the same bytes."""
    bits = []  # strings of bits in the order they go out, least significant bit of a byte first

    def put(value, count):  # a number, least significant bit first
        bits.append(format(value, "0%db" % count)[::-1] if count else "")

    def code(symbol):  # a literal byte, 256 (the end) or a length code: most significant bit first
        value, count = ((0x30 + symbol, 8) if symbol < 144 else (0x190 + symbol - 144, 9) if symbol < 256 else
                        (symbol - 256, 7) if symbol < 280 else (0xC0 + symbol - 280, 8))
        bits.append(format(value, "0%db" % count))

    def repeats(p, distance):
        n = 0
        while p >= distance and p + n < len(data) and n < 258 and data[p + n] == data[p + n - distance]:
            n += 1
        return n

    put(1, 1), put(1, 2)  # the last block, fixed codes
    p = 0
    while p < len(data):
        length, distance = max((repeats(p, d), d) for d in (4, 8, stride - 4, stride, stride + 4, 2 * stride))
        if length < 3:
            code(data[p])
            p += 1
            continue
        k = max(i for i, base in enumerate(LENGTH_BASE) if base <= length)
        code(257 + k), put(length - LENGTH_BASE[k], LENGTH_EXTRA[k])
        k = max(i for i, base in enumerate(DISTANCE_BASE) if base <= distance)
        bits.append(format(k, "05b")), put(distance - DISTANCE_BASE[k], DISTANCE_EXTRA[k])
        p += length
    code(256)
    stream = "".join(bits)
    stream += "0" * (-len(stream) % 8)
    body = bytes(int(stream[i:i + 8][::-1], 2) for i in range(0, len(stream), 8))
    return b"\x78\x01" + body + struct.pack(">I", zlib.adler32(data))


def png(size, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(v for p in pixels[y * size:(y + 1) * size] for v in p) for y in range(size))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", deflate(rows, 1 + 4 * size)) + chunk(b"IEND", b""))


def main():
    out, shots = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None
    images = []
    for size in SIZES:
        pixels = draw(size)
        # PNG at every size: Windows reads it in icons since Vista, and it is a third of the
        # size of the uncompressed bitmaps.
        images.append(png(size, pixels))
        if shots:
            with open(os.path.join(shots, "kwix-%d.png" % size), "wb") as f:
                f.write(png(size, pixels))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(SIZES, images):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(out, "wb") as f:
        f.write(directory + b"".join(images))


if __name__ == "__main__":
    main()
