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


# Buttons of the find-all dialog: search and add to project (help and close
# are the copy configuration dialog's).
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

# Buttons of the copy configuration dialog: help, close and copy now (16 x 16).
BUTTON_PALETTE = {
    ".": CLEAR,
    "k": (32, 32, 40, 255),      # outline
    "b": (0, 96, 180, 255),      # blue face
    "w": (250, 250, 252, 255),   # white
    "r": (196, 36, 36, 255),     # red
    "p": (236, 236, 226, 255),   # paper
    "g": (0, 150, 70, 255),      # green arrow
}
HELP_ICON = [
    "................",
    ".....kkkkkk.....",
    "...kkbbbbbbkk...",
    "..kbbbbbbbbbbk..",
    "..kbbbwwwwbbbk..",
    ".kbbbwwbbwwbbbk.",
    ".kbbbbbbbwwbbbk.",
    ".kbbbbbbwwbbbbk.",
    ".kbbbbbwwbbbbbk.",
    ".kbbbbbwwbbbbbk.",
    "..kbbbbbbbbbbk..",
    "..kbbbbwwbbbbk..",
    "...kkbbwwbbkk...",
    ".....kkkkkk.....",
    "................",
    "................",
]
CLOSE_ICON = [
    "................",
    "................",
    "..kk........kk..",
    ".krrk......krrk.",
    ".krrrk....krrrk.",
    "..krrrk..krrrk..",
    "...krrrkkrrrk...",
    "....krrrrrrk....",
    ".....krrrrk.....",
    "....krrrrrrk....",
    "...krrrkkrrrk...",
    "..krrrk..krrrk..",
    ".krrrk....krrrk.",
    ".krrk......krrk.",
    "..kk........kk..",
    "................",
]
COPY_NOW_ICON = [
    "kkkkkkkk........",
    "kppppppk........",
    "kpkkkkpk........",
    "kppppppk........",
    "kpkkkkpkkkkkkkk.",
    "kppppppkppppppk.",
    "kpkkkkpkpkkkkpk.",
    "kppppppkppppppk.",
    "kkkkkkkkpkkkkpk.",
    "....g...ppppppk.",
    "....gg..pkkkkpk.",
    "gggggggkppppppk.",
    "....gg..pkkkkpk.",
    "....g...ppppppk.",
    "........kkkkkkk.",
    "................",
]

# The link cursor: a pointing hand, hot spot at the finger's tip (5, 0).
HAND_PALETTE = {
    ".": CLEAR,
    "k": (0, 0, 0, 255),
    "w": (255, 255, 255, 255),
}
HAND_ROWS = [
    ".....kk",
    "....kwwk",
    "....kwwk",
    "....kwwk",
    "....kwwk",
    "....kwwkkk",
    "....kwwkwwkkk",
    "....kwwkwwkwwkk",
    "....kwwkwwkwwkwk",
    ".kk.kwwkwwkwwkwwk",
    "kwwkkwwwwwwwwkwwk",
    "kwwwkwwwwwwwwwwwk",
    ".kwwkwwwwwwwwwwwk",
    "..kwwwwwwwwwwwwwk",
    "..kwwwwwwwwwwwwwk",
    "...kwwwwwwwwwwwk",
    "...kwwwwwwwwwwwk",
    "....kwwwwwwwwwk",
    "....kwwwwwwwwwk",
    ".....kwwwwwwwk",
    ".....kkkkkkkkk",
]
HAND_CURSOR = [row.ljust(32, ".") for row in HAND_ROWS] + ["." * 32] * (32 - len(HAND_ROWS))

PICTURES = {
    "app.png": (APP_ICON, APP_PALETTE),
    "help.png": (HELP_ICON, BUTTON_PALETTE),
    "close.png": (CLOSE_ICON, BUTTON_PALETTE),
    "copynow.png": (COPY_NOW_ICON, BUTTON_PALETTE),
    "tool_search.png": (TOOL_SEARCH, TOOL_PALETTE),
    "tool_add.png": (TOOL_ADD, TOOL_PALETTE),
    "hand.png": (HAND_CURSOR, HAND_PALETTE),
}

if __name__ == "__main__":
    for name, (rows, palette) in PICTURES.items():
        write_png(os.path.join(HERE, name), rows, palette)
