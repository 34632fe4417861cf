#!/usr/bin/env python3
"""Writes KestrTestMarks.ttf: a font holding only the invisible isolation marks
(U+2066 ... U+2069) and a space, with lines as tall as those of the monospaced font a
usual desktop draws these marks from (1.362 em). The user-interface tests draw the marks
from it, whatever fonts the machine has, so a name between marks is laid out the same
everywhere: on lines taller than the main font's, as on that desktop.

Run: python3 make-marks-font.py > KestrTestMarks.ttf
"""
import struct
import sys

FAMILY = "Kestr Test Marks"
UNITS = 1000
ASCENT, DESCENT = 1069, 293
FIRST, LAST = 0x2066, 0x2069
MARK_WIDTH = 600
# .notdef, an empty glyph for each mark, and a space, which the shaper puts in place of
# a mark it hides (without one it drops the mark, and the text after it goes astray).
MARKS = LAST - FIRST + 1
GLYPHS = 1 + MARKS + 1


def checksum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(f">{len(data) // 4}I", data)) & 0xFFFFFFFF


def cmap():
    # Format 4: the space, the marks, and the closing 0xFFFF segment.
    ends, starts = [0x20, LAST, 0xFFFF], [0x20, FIRST, 0xFFFF]
    deltas = [(1 + MARKS - 0x20) & 0xFFFF, (1 - FIRST) & 0xFFFF, 1]
    segments = len(ends)
    body = struct.pack(f">{segments}HH{segments}H{segments}H{segments}H",
                       *ends, 0, *starts, *deltas, *([0] * segments))
    header = struct.pack(">7H", 4, 14 + len(body), 0, segments * 2, 4, 1, 0)
    return struct.pack(">HHHHI", 0, 1, 3, 1, 12) + header + body


def name():
    strings = {1: FAMILY, 2: "Regular", 4: FAMILY, 6: FAMILY.replace(" ", "")}
    records, data = b"", b""
    for name_id, text in strings.items():
        encoded = text.encode("utf-16-be")
        records += struct.pack(">6H", 3, 1, 0x409, name_id, len(encoded), len(data))
        data += encoded
    return struct.pack(">3H", 0, len(strings), 6 + len(records)) + records + data


def os2():
    return (struct.pack(">HhHHH10hh", 4, 0, 400, 5, 0, *([0] * 10), 0) + b"\0" * 10 +
            struct.pack(">4I", 0, 0, 0, 0) + b"NONE" +
            struct.pack(">HHHhhhHHII5H", 0x40, 0x20, LAST, ASCENT, -DESCENT, 0, ASCENT, DESCENT, 0, 0,
                        0, 0, 0, 0x20, 0))


def tables():
    return {
        b"OS/2": os2(),
        b"cmap": cmap(),
        b"glyf": b"",
        b"head": struct.pack(">IIIIHHqqhhhhHHhhh", 0x10000, 0x10000, 0, 0x5F0F3CF5, 0x000B, UNITS, 0, 0,
                             0, -DESCENT, 0, ASCENT, 0, 8, 2, 0, 0),
        b"hhea": struct.pack(">IhhhHhhhhhhhhhhhH", 0x10000, ASCENT, -DESCENT, 0, MARK_WIDTH, 0, 0,
                             0, 1, 0, 0, 0, 0, 0, 0, 0, GLYPHS),
        b"hmtx": struct.pack(f">{GLYPHS * 2}h", 500, 0, *([MARK_WIDTH, 0] * (GLYPHS - 1))),
        b"loca": struct.pack(f">{GLYPHS + 1}H", *([0] * (GLYPHS + 1))),
        b"maxp": struct.pack(">IH13H", 0x10000, GLYPHS, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0),
        b"name": name(),
        b"post": struct.pack(">IihhIIIII", 0x30000, 0, -100, 50, 0, 0, 0, 0, 0),
    }


def font():
    parts = tables()
    count = len(parts)
    power = 1 << (count.bit_length() - 1)
    directory = struct.pack(">IHHHH", 0x10000, count, power * 16, power.bit_length() - 1, count * 16 - power * 16)
    offset = len(directory) + 16 * count
    records, body = b"", b""
    for tag in sorted(parts):
        data = parts[tag]
        records += struct.pack(">4sIII", tag, checksum(data), offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    whole = bytearray(directory + records + body)
    head = whole.index(struct.pack(">I", 0x5F0F3CF5)) - 4
    whole[head:head + 4] = struct.pack(">I", (0xB1B0AFBA - checksum(bytes(whole))) & 0xFFFFFFFF)
    return bytes(whole)


sys.stdout.buffer.write(font())
