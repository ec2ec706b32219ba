#!/usr/bin/env python3
"""Draws the programs' images from the pixel maps below into PNG files.

Each picture is a list of rows; every character is one pixel, looked up in the
picture's palette ('.' is transparent unless the palette says otherwise).
Run it after changing a picture: python3 res/images/draw.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write_png(path, rows, palette):
    height = len(rows)
    width = len(rows[0])
    raw = bytearray()
    for row in rows:
        if len(row) != width:
            raise SystemExit(f"{path}: rows of different length")
        raw.append(0)
        for ch in row:
            r, g, b, a = palette[ch]
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


CLEAR = (0, 0, 0, 0)

# The programs' icon: four switches on a ring.
APP_PALETTE = {
    ".": CLEAR,
    "r": (0, 96, 160, 255),      # ring
    "s": (40, 40, 48, 255),      # switch body
    "g": (0, 200, 80, 255),      # link LED
    "w": (230, 230, 236, 255),   # switch face
}
APP_ICON = [
    "................................",
    "................................",
    "...........ssssssssss...........",
    "...........swwwwwwwws...........",
    "...........swgwgwgwws...........",
    "...........ssssssssss...........",
    "..............rrrr..............",
    ".........rrrrrr..rrrrrr.........",
    ".......rrr............rrr.......",
    "......rr................rr......",
    ".....rr..................rr.....",
    "....rr....................rr....",
    "ssssssss..............ssssssss..",
    "swwwwwws..............swwwwwws..",
    "swgwgwws..............swgwgwws..",
    "ssssssss..............ssssssss..",
    "....rr....................rr....",
    ".....rr..................rr.....",
    "......rr................rr......",
    ".......rrr............rrr.......",
    ".........rrrrrr..rrrrrr.........",
    "..............rrrr..............",
    "...........ssssssssss...........",
    "...........swwwwwwwws...........",
    "...........swgwgwgwws...........",
    "...........ssssssssss...........",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]


# Buttons of the find-all dialog: search, add to project, help, close.
TOOL_PALETTE = {
    ".": CLEAR,
    "k": (40, 40, 48, 255),      # outline
    "b": (0, 96, 160, 255),      # blue
    "l": (170, 215, 245, 255),   # lens glass
    "g": (0, 150, 60, 255),      # green
    "r": (190, 30, 30, 255),     # red
    "w": (255, 255, 255, 255),   # white
}
TOOL_SEARCH = [
    "................",
    "....kkkkk.......",
    "...kllllllk.....",
    "..kllwwlllk.....",
    "..kllwllllk.....",
    "..klllllllk.....",
    "..klllllllk.....",
    "..klllllllk.....",
    "...kllllllk.....",
    "....kkkkkkbb....",
    "..........bbb...",
    "...........bbb..",
    "............bbb.",
    ".............bb.",
    "................",
    "................",
]
TOOL_ADD = [
    "................",
    "......kkkk......",
    "......kggk......",
    "......kggk......",
    "......kggk......",
    "......kggk......",
    ".kkkkkkggkkkkkk.",
    ".kggggggggggggk.",
    ".kggggggggggggk.",
    ".kkkkkkggkkkkkk.",
    "......kggk......",
    "......kggk......",
    "......kggk......",
    "......kggk......",
    "......kkkk......",
    "................",
]
TOOL_HELP = [
    "................",
    ".....bbbbbb.....",
    "...bbbbbbbbbb...",
    "..bbbwwwwwwbbb..",
    "..bbwwbbbbwwbb..",
    ".bbbbbbbbbwwbbb.",
    ".bbbbbbbbwwbbbb.",
    ".bbbbbbbwwbbbbb.",
    ".bbbbbbwwbbbbbb.",
    ".bbbbbbwwbbbbbb.",
    "..bbbbbbbbbbbb..",
    "..bbbbbwwbbbbb..",
    "...bbbbwwbbbb...",
    ".....bbbbbb.....",
    "................",
    "................",
]
TOOL_CLOSE = [
    "................",
    "................",
    "..rr........rr..",
    "..rrr......rrr..",
    "...rrr....rrr...",
    "....rrr..rrr....",
    ".....rrrrrr.....",
    "......rrrr......",
    "......rrrr......",
    ".....rrrrrr.....",
    "....rrr..rrr....",
    "...rrr....rrr...",
    "..rrr......rrr..",
    "..rr........rr..",
    "................",
    "................",
]

PICTURES = {
    "app.png": (APP_ICON, APP_PALETTE),
    "tool_search.png": (TOOL_SEARCH, TOOL_PALETTE),
    "tool_add.png": (TOOL_ADD, TOOL_PALETTE),
    "tool_help.png": (TOOL_HELP, TOOL_PALETTE),
    "tool_close.png": (TOOL_CLOSE, TOOL_PALETTE),
}

if __name__ == "__main__":
    for name, (rows, palette) in PICTURES.items():
        write_png(os.path.join(HERE, name), rows, palette)
