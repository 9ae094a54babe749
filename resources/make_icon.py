#!/usr/bin/env python3
"""Draws the program icon, a small keyboard under a key cap marked with a kana stroke, and
writes it as resources/dunvatel.ico: 16 colours, 32x32 and 16x16.

Run it again after changing a picture below; the .ico it writes is committed beside it.
"""
import os
import struct

# The standard 16-colour palette, as (blue, green, red, 0).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]  # entries are (red, green, blue) here and swapped when written

# One letter per pixel: '.' transparent, else an index into COLOURS.
COLOURS = {"k": 0, "n": 4, "g": 8, "s": 7, "w": 15, "r": 9, "b": 12}

ICON_32 = """
................................
................................
................................
................................
..........kkkkkkkkkkkk..........
..........kwwwwwwwwwwk..........
..........kwwwwrrwwwwk..........
..........kwwrrrrrrwwk..........
..........kwwwwrrwwwwk..........
..........kwwwrrrrwwwk..........
..........kwwrrwrrrwwk..........
..........kwwrrrwwrwwk..........
..........kwwwwwwwwwwk..........
..........kggggggggggk..........
..........kkkkkkkkkkkk..........
................................
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
..knnnnnnnnnnnnnnnnnnnnnnnnnnk..
..knwwwnwwwnwwwnwwwnwwwnwwwnnk..
..knwwwnwwwnwwwnwwwnwwwnwwwnnk..
..knnnnnnnnnnnnnnnnnnnnnnnnnnk..
..knnwwwnwwwnbbbnwwwnwwwnwwwnk..
..knnwwwnwwwnbbbnwwwnwwwnwwwnk..
..knnnnnnnnnnnnnnnnnnnnnnnnnnk..
..knwwwnwwwnwwwnwwwnwwwnwwwnnk..
..knwwwnwwwnwwwnwwwnwwwnwwwnnk..
..knnnnnnnnnnnnnnnnnnnnnnnnnnk..
..knnnnnwwwwwwwwwwwwwwwwnnnnnk..
..knnnnnwwwwwwwwwwwwwwwwnnnnnk..
..knnnnnnnnnnnnnnnnnnnnnnnnnnk..
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
................................
"""

ICON_16 = """
.....kkkkkk.....
.....kwwrwk.....
.....kwrrrk.....
.....kwrwrk.....
.....kggggk.....
.....kkkkkk.....
................
kkkkkkkkkkkkkkkk
knnnnnnnnnnnnnnk
knwnwnwnwnwnwnnk
knnwnwnbnwnwnwnk
knwnwnwnwnwnwnnk
knnnwwwwwwwwnnnk
knnnnnnnnnnnnnnk
kkkkkkkkkkkkkkkk
................
"""


def rows_of(picture, size):
    rows = [line for line in picture.strip("\n").split("\n")]
    assert len(rows) == size and all(len(row) == size for row in rows), "picture is not square"
    return rows


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def image_bytes(picture, size):
    rows = rows_of(picture, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    colour = b""
    mask = b""
    for row in reversed(rows):  # bitmaps run bottom-up
        nibbles = [COLOURS.get(pixel, 0) for pixel in row]
        colour += padded(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2)))
        bits = 0
        mask_row = b""
        for i, pixel in enumerate(row):
            bits = (bits << 1) | (1 if pixel == "." else 0)
            if i % 8 == 7:
                mask_row += bytes([bits])
                bits = 0
        mask += padded(mask_row)
    return header + palette + colour + mask


def main():
    images = [(32, image_bytes(ICON_32, 32)), (16, image_bytes(ICON_16, 16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dunvatel.ico")
    with open(path, "wb") as icon:
        icon.write(out)
    print("wrote", path)


if __name__ == "__main__":
    main()
