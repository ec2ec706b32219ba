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

# ---- toolbar buttons -----------------------------------------------------------------
# 16 x 16 pictures on the mask grey (192, 192, 192), which the programs make
# transparent. The bottom row stays empty: menus show 15 rows of each.

class Canvas:
    """A small grid of palette characters with a few drawing helpers."""

    def __init__(self, width=16, height=16, fill="."):
        self.w, self.h = width, height
        self.px = [[fill] * width for _ in range(height)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def box(self, x0, y0, x1, y1, c):  # filled, inclusive
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c)
            self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c)
            self.dot(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                    self.dot(x, y, c)

    def rows(self):
        return ["".join(r) for r in self.px]


def page(c, x0=2, x1=11):
    c.box(x0, 1, x1, 14, "w")
    c.frame(x0, 1, x1, 14, "k")
    c.line(x1 - 3, 1, x1, 4, "k")
    c.box(x1 - 2, 1, x1, 2, ".")
    c.dot(x1, 3, ".")
    for y in (5, 7, 9, 11):
        c.line(x0 + 2, y, x1 - 2, y, "s")


def switch_box(c, y0=6, y1=12):
    c.box(1, y0, 14, y1, "l")
    c.frame(1, y0, 14, y1, "k")
    for x in (3, 6, 9, 12):
        c.dot(x, y0 + 2, "g")
    c.line(3, y1 - 2, 12, y1 - 2, "s")


def plus(c, x, y, col="g"):
    c.box(x - 1, y - 3, x + 1, y + 3, col)
    c.box(x - 3, y - 1, x + 3, y + 1, col)


def cross(c, x, y, col="r"):
    for d in range(-3, 4):
        c.dot(x + d, y + d, col)
        c.dot(x + d + 1, y + d, col)
        c.dot(x + d, y - d, col)
        c.dot(x + d + 1, y - d, col)


def arrow_down(c, x, y0, y1, col="b"):
    c.box(x - 1, y0, x + 1, y1 - 3, col)
    for i in range(4):
        c.line(x - 3 + i, y1 - 3 + i, x + 3 - i, y1 - 3 + i, col)


def arrow_up(c, x, y0, y1, col="b"):
    c.box(x - 1, y0 + 3, x + 1, y1, col)
    for i in range(4):
        c.line(x - 3 + i, y0 + 3 - i, x + 3 - i, y0 + 3 - i, col)


def chip(c):
    c.box(3, 3, 12, 12, "s")
    c.frame(3, 3, 12, 12, "k")
    for i in (5, 8, 11):
        c.dot(i - 1, 1, "k"), c.dot(i - 1, 2, "k"), c.dot(i - 1, 13, "k"), c.dot(i - 1, 14, "k")
        c.dot(1, i - 1, "k"), c.dot(2, i - 1, "k"), c.dot(13, i - 1, "k"), c.dot(14, i - 1, "k")


def icon_new(c):
    page(c)
    c.dot(13, 1, "y"), c.dot(14, 2, "y"), c.dot(12, 2, "y"), c.dot(13, 3, "y")


def icon_open(c):
    c.box(1, 4, 6, 5, "y")
    c.box(1, 5, 13, 13, "y")
    c.frame(1, 5, 13, 13, "k")
    c.line(1, 4, 6, 4, "k")
    c.line(3, 8, 15, 8, "k")
    c.line(3, 8, 1, 13, "k")
    c.line(15, 8, 13, 13, "k")


def icon_save(c):
    c.box(1, 1, 14, 14, "b")
    c.frame(1, 1, 14, 14, "k")
    c.box(4, 1, 11, 5, "w")
    c.box(4, 9, 11, 14, "l")
    c.box(9, 2, 10, 4, "k")


def icon_add_config(c):
    page(c, 1, 10)
    plus(c, 12, 11)


def icon_edit_config(c):
    page(c, 1, 10)
    c.line(7, 14, 14, 7, "o")
    c.line(8, 14, 15, 7, "o")
    c.dot(6, 14, "k"), c.dot(7, 15, "k")


def icon_delete_config(c):
    page(c, 1, 10)
    cross(c, 11, 11)


def icon_copy_config(c):
    page(c, 1, 9)
    c.box(5, 4, 14, 14, "w")
    c.frame(5, 4, 14, 14, "k")
    for y in (7, 9, 11):
        c.line(7, y, 12, y, "s")


def icon_find(c):
    switch_box(c, 8, 14)
    c.disc(6, 5, 4, "k")
    c.disc(6, 5, 3, "c")
    c.line(9, 8, 12, 11, "k")
    c.line(10, 8, 13, 11, "k")


def icon_load(c):
    switch_box(c, 9, 14)
    arrow_down(c, 8, 0, 8)


def icon_warning(c):
    for i in range(13):
        c.line(7 - i // 2, 1 + i, 8 + i // 2, 1 + i, "y")
    c.line(7, 1, 1, 13, "k")
    c.line(8, 1, 14, 13, "k")
    c.line(1, 13, 14, 13, "k")
    c.box(7, 5, 8, 9, "k")
    c.box(7, 11, 8, 11, "k")


def icon_monitor(c):
    c.box(1, 2, 14, 11, "k")
    c.box(2, 3, 13, 10, "d")
    c.line(2, 7, 5, 7, "g"), c.line(5, 7, 7, 4, "g"), c.line(7, 4, 9, 9, "g")
    c.line(9, 9, 10, 6, "g"), c.line(10, 6, 13, 6, "g")
    c.box(6, 12, 9, 13, "s")
    c.line(4, 14, 11, 14, "k")


def icon_about(c):
    c.disc(7.5, 7.5, 6, "b")
    c.box(7, 3, 8, 4, "w")
    c.box(7, 6, 8, 12, "w")


def icon_support(c):
    c.disc(7.5, 7.5, 6, "g")
    c.line(5, 4, 7, 3, "w"), c.line(8, 3, 10, 4, "w"), c.line(10, 5, 10, 6, "w")
    c.line(9, 7, 8, 8, "w"), c.box(7, 9, 8, 9, "w"), c.box(7, 11, 8, 12, "w")


def icon_delete_switch(c):
    switch_box(c, 4, 10)
    cross(c, 11, 11)


def icon_update_firmware(c):
    chip(c)
    arrow_up(c, 8, 4, 11, "y")


def icon_debug_eerom(c):
    chip(c)
    c.box(5, 5, 10, 10, "w")
    c.line(6, 6, 9, 6, "b"), c.line(6, 8, 9, 8, "b")
    c.line(6, 7, 6, 9, "b"), c.line(9, 7, 9, 9, "b")


def icon_output(c):
    page(c, 1, 9)
    c.box(9, 7, 12, 9, "b")
    for i in range(4):
        c.line(12 + i, 4 + i, 12 + i, 12 - i, "b")


def icon_wink(c):
    c.disc(7.5, 7.5, 3, "y")
    for (x0, y0, x1, y1) in ((7, 0, 8, 2), (7, 13, 8, 15), (0, 7, 2, 8), (13, 7, 15, 8)):
        c.box(x0, y0, x1, y1, "o")
    for (x, y) in ((2, 2), (12, 2), (2, 12), (12, 12)):
        c.box(x, y, x + 1, y + 1, "o")


def icon_status(c):
    switch_box(c, 3, 12)
    c.box(3, 9, 6, 10, "g"), c.box(9, 9, 12, 10, "g")


def icon_recover(c):
    switch_box(c, 8, 14)
    for i in range(6):
        c.dot(4 + i, 1 + (i - 2) ** 2 // 3, "b")
    c.line(9, 1, 11, 3, "b"), c.line(11, 3, 8, 4, "b")
    c.line(4, 4, 4, 6, "b")


def icon_copy(c):
    icon_copy_config(c)


def icon_paste(c):
    c.box(2, 2, 11, 14, "o")
    c.frame(2, 2, 11, 14, "k")
    c.box(5, 1, 8, 3, "s")
    c.box(7, 6, 14, 14, "w")
    c.frame(7, 6, 14, 14, "k")
    for y in (8, 10, 12):
        c.line(9, y, 12, y, "s")


ICONS = {
    "new": icon_new, "open": icon_open, "save": icon_save,
    "add_config": icon_add_config, "edit_config": icon_edit_config,
    "delete_config": icon_delete_config, "copy_config": icon_copy_config,
    "find": icon_find, "load": icon_load, "warning": icon_warning,
    "monitor": icon_monitor, "about": icon_about, "support": icon_support,
    "delete_switch": icon_delete_switch, "update_firmware": icon_update_firmware,
    "debug_eerom": icon_debug_eerom, "output": icon_output, "wink": icon_wink,
    "status": icon_status, "recover": icon_recover, "copy": icon_copy, "paste": icon_paste,
}

# Normal buttons are drawn in softer colours; the one under the mouse in full ones.
MASK = (192, 192, 192, 255)
HOT_PALETTE = {
    ".": MASK, "k": (0, 0, 0, 255), "w": (255, 255, 255, 255), "s": (96, 96, 96, 255),
    "l": (224, 224, 224, 255), "b": (0, 80, 200, 255), "g": (0, 170, 60, 255),
    "r": (220, 20, 20, 255), "y": (255, 210, 0, 255), "o": (230, 120, 0, 255),
    "c": (120, 200, 255, 255), "d": (0, 40, 0, 255),
}


def soften(rgba):
    r, g, b, a = rgba
    if rgba == MASK:
        return rgba
    grey = (r + g + b) // 3
    return (r + (grey - r) * 2 // 5, g + (grey - g) * 2 // 5, b + (grey - b) * 2 // 5, a)


NORMAL_PALETTE = {k: soften(v) for k, v in HOT_PALETTE.items()}


def strip(names):
    rows = [""] * 16
    for name in names:
        c = Canvas()
        ICONS[name](c)
        for y, row in enumerate(c.rows()):
            rows[y] += row
    rows[15] = "." * len(rows[15])
    return rows


# The strips, in the order of the buttons of the toolbars with the same id.
CONFIG_TOOLBAR = ["new", "open", "save", "add_config", "edit_config", "find", "load",
                  "warning", "monitor", "about"]
MENU_IMAGES = ["add_config", "edit_config", "delete_config", "copy_config", "delete_switch",
               "load", "update_firmware", "debug_eerom", "output", "support", "wink", "status",
               "recover", "copy", "paste"]
MONITOR_TOOLBAR = ["find", "status", "wink", "about"]

STRIPS = {
    "toolbar_main.png": (CONFIG_TOOLBAR, NORMAL_PALETTE),
    "toolbar_main_hot.png": (CONFIG_TOOLBAR, HOT_PALETTE),
    "toolbar_menu.png": (MENU_IMAGES, HOT_PALETTE),
    "toolbar_monitor.png": (MONITOR_TOOLBAR, NORMAL_PALETTE),
    "toolbar_monitor_hot.png": (MONITOR_TOOLBAR, HOT_PALETTE),
}


# ---- the support logo -------------------------------------------------------------------
# 300 x 75: four switches on a ring beside three rising bars; no words, so it
# suits every language.

def support_logo():
    c = Canvas(300, 75, fill="w")
    cx, cy, r = 60, 37, 28
    for y in range(75):
        for x in range(120):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if r - 2 <= d <= r + 2:
                c.dot(x, y, "b")
    for (x, y) in ((cx - r, cy), (cx + r, cy), (cx, cy - r), (cx, cy + r)):
        c.box(x - 9, y - 6, x + 9, y + 6, "s")
        c.frame(x - 9, y - 6, x + 9, y + 6, "k")
        for k in (-5, 0, 5):
            c.dot(x + k, y - 3, "g")
    for i, h in enumerate((18, 30, 44)):
        x0 = 140 + i * 40
        c.box(x0, 60 - h, x0 + 28, 60, "b")
    c.box(130, 63, 290, 65, "s")
    return c.rows()


LOGO_PALETTE = {"w": (255, 255, 255, 255), "b": (0, 80, 200, 255), "s": (96, 96, 96, 255),
                "k": (0, 0, 0, 255), "g": (0, 170, 60, 255), ".": (255, 255, 255, 255)}

PICTURES = {
    "app.png": (APP_ICON, APP_PALETTE),
    "help.png": (HELP_ICON, BUTTON_PALETTE),
    "close.png": (CLOSE_ICON, BUTTON_PALETTE),
    "copynow.png": (COPY_NOW_ICON, BUTTON_PALETTE),
    "tool_search.png": (TOOL_SEARCH, TOOL_PALETTE),
    "tool_add.png": (TOOL_ADD, TOOL_PALETTE),
    "hand.png": (HAND_CURSOR, HAND_PALETTE),
}

for _name, (_names, _palette) in STRIPS.items():
    PICTURES[_name] = (strip(_names), _palette)
PICTURES["support_logo.png"] = (support_logo(), LOGO_PALETTE)

if __name__ == "__main__":
    for name, (rows, palette) in PICTURES.items():
        write_png(os.path.join(HERE, name), rows, palette)
