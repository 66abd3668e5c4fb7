#!/usr/bin/env python3
"""Writes the tile-map job cases' pictures, and the expected text of the ones
made by rule: run from tests/jobs. The levels' texts (level-*.data) are
worked out by hand and not written here."""
import struct


def unpack(value):
    """The colour a colour byte stands for (red, green, blue)."""
    red_green = [round(level * 255 / 7) for level in range(8)]
    return red_green[value & 7], red_green[(value >> 3) & 7], (value >> 6) * 85


def bmp24(name, rows):
    """rows: lists of (red, green, blue), top row first."""
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) // 4 * 4
    pixels = b""
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        pixels += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    open(name, "wb").write(header + info + pixels)


def bmp8(name, rows):
    """rows: lists of colour bytes, top row first; the palette holds each byte's colour."""
    width, height = len(rows[0]), len(rows)
    stride = (width + 3) // 4 * 4
    pixels = b"".join(bytes(row) + bytes(stride - width) for row in reversed(rows))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in map(unpack, range(256)))
    offset = 54 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    open(name, "wb").write(header + info + palette + pixels)


def level():
    """9 x 5: tiles of 2 x 2 in 4 columns and 2 rows, and a column and a row of
    blue left over. A is red at its top left, B all green, C white on the left."""
    a = [[7, 0], [0, 0]]
    b = [[56, 56], [56, 56]]
    c = [[255, 0], [255, 0]]
    left_right = lambda t: [row[::-1] for row in t]
    upside_down = lambda t: t[::-1]
    tiles = [[a, b, left_right(a), c],
             [upside_down(a), upside_down(left_right(a)), b, left_right(c)]]
    rows = []
    for tile_row in tiles:
        for y in range(2):
            rows.append([v for tile in tile_row for v in tile[y]] + [192])
    rows.append([192] * 9)
    bmp24("level.bmp", [[unpack(v) for v in row] for row in rows])


def distinct(count):
    """count x 2, cut into tiles of 1 x 2: tile i is colour byte i % 256 over
    i // 256, so every tile differs. Its text, worked out by rule."""
    columns = [(i % 256, i // 256) for i in range(count)]
    bmp24(f"distinct-{count}.bmp", [[unpack(c[y]) for c in columns] for y in range(2)])
    name = f"distinct-{count}"
    open(f"{name}.job", "w").write(f"input = {name}.bmp\nlabel = d\ntile width = 1\ntile height = 2\n")
    tiles = "".join(f"{top},\n{bottom},\n" for top, bottom in columns)
    directive = ".byte" if count <= 256 else ".half"
    entries = "".join(f"{i}," for i in range(count))
    text = (f"d_tiles: .word 1, {2 * count}\n.byte {tiles}\n\n"
            f"d_map: .word {count}, 1, 1, 2\n{directive} {entries}\n\n\n")
    open(f"{name}.data", "w").write(text)


def too_many_mirrored():
    """16,385 tiles of 1 x 2, no two alike even turned upside down: one more
    than a map with mirror bits can number."""
    pairs = [(a, b) for a in range(256) for b in range(a, 256)][:16385]
    bmp8("many-mirrored.bmp", [[p[y] for p in pairs] for y in range(2)])


level()
distinct(256)
distinct(257)
too_many_mirrored()
