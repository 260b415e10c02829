#!/usr/bin/env python3
"""Draws the program's pictures and writes them next to this script, in pictures/.

    python3 resources/make_pictures.py

Python 3 standard library only. The output is committed; run this again after changing
a drawing.

- The five list icons are 16 x 16 pixel art in the 16 colours of the default palette,
  with on/off transparency: the list view's image list holds 4-bit colour with a mask,
  so these pictures come through it unchanged.
- The window icon (group 100 and MAINICON) is 16 x 16 with smooth edges in full colour.
- The About box picture comes in two sizes, 87 x 231 for 96 dpi and 108 x 288 for
  120 dpi, drawn from one description with supersampling.
"""

import math
import os

from picture_files import write_bmp, write_ico
from vector_art import Capsule, Circle, Leaf, RoundRect, mix, render

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "pictures")

# ---------------------------------------------------------------------------------------
# Pixel art for the list icons

# The default palette's 16 colours, one letter each; "." is transparent.
PALETTE = {
    "K": (0, 0, 0), "M": (128, 0, 0), "G": (0, 128, 0), "O": (128, 128, 0),
    "N": (0, 0, 128), "P": (128, 0, 128), "T": (0, 128, 128), "S": (192, 192, 192),
    "D": (128, 128, 128), "R": (255, 0, 0), "L": (0, 255, 0), "Y": (255, 255, 0),
    "B": (0, 0, 255), "F": (255, 0, 255), "C": (0, 255, 255), "W": (255, 255, 255),
}

# A person seen from the front: head, a gap, shoulders. Teal, lit from the upper left.
PERSON = [
    "...NNNN...",
    "..NCCTTN..",
    ".NCCTTTTN.",
    ".NCTTTTTN.",
    ".NTTTTTTN.",
    "..NTTTTN..",
    "...NNNN...",
    "..........",
    "..NNNNNN..",
    ".NCCTTTTN.",
    "NCCTTTTTTN",
    "NCTTTTTTTN",
    "NTTTTTTTTN",
    "NNNNNNNNNN",
]

SMALL_PERSON = [
    "..NNNN..",
    ".NCCTTN.",
    ".NCTTTN.",
    ".NTTTTN.",
    "..NNNN..",
    "........",
    ".NNNNNN.",
    "NCCTTTTN",
    "NCTTTTTN",
    "NTTTTTTN",
    "NNNNNNNN",
]

GLOBE = [
    "..NNNNN..",
    ".NBLLBBN.",
    "NBLLLBBCN",
    "NBBLLBBBN",
    "NBBBLBLLN",
    "NBBBBBLLN",
    "NBBBBBLBN",
    ".NBBBBBN.",
    "..NNNNN..",
]

BUBBLE_BACK = [
    ".DDDDDDDDD.",
    "DWWWWWWWWWD",
    "DWDDDDDDWWD",
    "DWWWWWWWWWD",
    "DWDDDDWWWWD",
    "DWWWWWWWWWD",
    ".DDWDDDDDD.",
    "..DWD......",
    "..DD.......",
]

BUBBLE_FRONT = [
    ".OOOOOOOOO.",
    "OYYYYYYYYYO",
    "OYOOOOOOYYO",
    "OYYYYYYYYYO",
    "OYOOOOOYYYO",
    "OYYYYYYYYYO",
    ".OOOOOOYOO.",
    "......OYO..",
    ".......OO..",
]


def recolour(sprite, mapping):
    return ["".join(mapping.get(c, c) for c in row) for row in sprite]


def compose(layers, size=16):
    """layers: (sprite, x, y), drawn in order; later layers cover earlier ones."""
    grid = [["."] * size for _ in range(size)]
    for sprite, ox, oy in layers:
        for y, row in enumerate(sprite):
            for x, c in enumerate(row):
                if c != "." and 0 <= ox + x < size and 0 <= oy + y < size:
                    grid[oy + y][ox + x] = c
    return ["".join(row) for row in grid]


def gear():
    """A cog with eight teeth, drawn by rule and outlined, lit from the upper left."""
    size, c = 16, 7.5
    inside = [[False] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            dx, dy = x - c, y - c
            r = math.hypot(dx, dy)
            tooth = False
            for k in range(8):
                a = k * math.pi / 4
                u = dx * math.cos(a) + dy * math.sin(a)  # along the tooth
                v = -dx * math.sin(a) + dy * math.cos(a)  # across it
                tooth = tooth or (u > 0 and abs(v) < 1.9 and u <= 7.6)
            inside[y][x] = 1.0 < r and (r <= 5.5 or tooth)
    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            if not inside[y][x]:
                row += "."
                continue
            edge = any(not (0 <= x + dx < size and 0 <= y + dy < size and inside[y + dy][x + dx])
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                row += "K"
            elif x + y < 12:
                row += "W"
            elif x + y > 18:
                row += "D"
            else:
                row += "S"
        rows.append(row)
    return rows


def grey_person(sprite):
    return recolour(sprite, {"N": "D", "C": "W", "T": "S"})


LIST_ICONS = {
    "mailuser": compose([(PERSON, 3, 1)]),
    "distlist": compose([(grey_person(SMALL_PERSON), 7, 0), (SMALL_PERSON, 1, 5)]),
    "remote": compose([(SMALL_PERSON, 1, 1), (GLOBE, 7, 7)]),
    "forum": compose([(BUBBLE_BACK, 0, 0), (BUBBLE_FRONT, 5, 6)]),
    "agent": gear(),
}


def pixel_art(grid):
    return [[PALETTE[c] + (255,) if c != "." else (0, 0, 0, 0) for c in row] for row in grid]



TEAL_DEEP = (10, 61, 60)
TEAL = (16, 118, 104)
MINT = (62, 189, 150)
MINT_LIGHT = (150, 228, 196)
LEAF_DARK = (20, 128, 98)
WHITE = (255, 255, 255)


def sprig(cx, top, s):
    """The mint sprig: a stem with a pair of leaves and a small crown leaf, in the box
    centred on cx from top down, s pixels per unit (the sprig is about 40 x 44 units).
    The leaves shade from mint at the top to a darker green at the foot."""

    def p(ux, uy):
        return cx + ux * s, top + uy * s

    def leaf_fill(x, y):
        return mix(MINT, LEAF_DARK, min(1.0, max(0.0, (y - top) / (44 * s))))

    layers = [(Capsule(*p(0, 44), *p(0, 14), 1.6 * s), LEAF_DARK, 1.0)]
    for side in (-1, 1):
        base, tip = p(side * 1, 30), p(side * 19, 12)
        layers.append((Leaf(*base, *tip, 7.0 * s), leaf_fill, 1.0))
        layers.append((Capsule(*p(side * 2, 29), *p(side * 15, 15.5), 0.75 * s), LEAF_DARK, 0.9))
        for k in (0.35, 0.6):
            mx = side * (2 + 13 * k)
            my = 29 - 13.5 * k
            layers.append((Capsule(*p(mx, my), *p(mx + side * 1.5, my - 5.5), 0.5 * s), LEAF_DARK, 0.7))
            layers.append((Capsule(*p(mx, my), *p(mx + side * 4.5, my + 2.0), 0.5 * s), LEAF_DARK, 0.7))
    layers.append((Leaf(*p(0, 17), *p(0, 0), 5.5 * s), leaf_fill, 1.0))
    layers.append((Capsule(*p(0, 15), *p(0, 4), 0.7 * s), LEAF_DARK, 0.9))
    return layers


def about_picture(width, height):
    s = width / 87.0  # the 96 dpi picture is the unit; the 120 dpi one scales it
    vs = height / 231.0

    def background(x, y):
        t = y / height
        return mix(TEAL_DEEP, mix(TEAL, MINT, 0.35), t * t * (3 - 2 * t))

    cx = width / 2.0
    layers = [
        # Soft rings behind everything give the panel depth.
        (Circle(-10 * s, 205 * vs, 70 * s), WHITE, 0.045),
        (Circle(-10 * s, 205 * vs, 48 * s), WHITE, 0.045),
        (Circle(95 * s, 20 * vs, 45 * s), WHITE, 0.04),
        # The badge: a white disc with a faint halo and the sprig inside.
        (Circle(cx, 62 * vs, 34 * s), WHITE, 0.10),
        (Circle(cx, 62 * vs, 29.5 * s), WHITE, 1.0),
    ]
    layers += sprig(cx, (62 - 23) * vs, 0.98 * s)
    # The roster: rows of names under the badge, fading downwards.
    rows = [(128, 44, 0.92), (146, 36, 0.75), (164, 41, 0.58), (182, 30, 0.42), (200, 35, 0.28)]
    for y, length, opacity in rows:
        yy = y * vs
        layers.append((Circle(17 * s, yy, 3.6 * s), MINT_LIGHT, opacity))
        layers.append((RoundRect(26 * s, yy - 2.4 * s, (26 + length) * s, yy + 2.4 * s, 2.4 * s), WHITE,
                       opacity * 0.8))
    pixels = render(width, height, background, layers)
    return [[(r, g, b) for r, g, b, _ in row] for row in pixels]


def window_icon():
    """The sprig in white on a mint tile: the About box's badge reduced to 16 pixels."""

    def tile(x, y):
        return mix(MINT, TEAL, min(1.0, y / 16.0))

    layers = [(RoundRect(0.5, 0.5, 15.5, 15.5, 3.2), tile, 1.0)]
    # Drawn on its own rather than scaled down: at this size the leaves need gaps between them.
    layers += [
        (Capsule(8.0, 14.2, 8.0, 7.5, 0.85), WHITE, 1.0),
        (Leaf(7.4, 10.0, 2.6, 3.6, 1.75), WHITE, 1.0),
        (Leaf(8.6, 10.0, 13.4, 3.6, 1.75), WHITE, 1.0),
        (Leaf(8.0, 7.2, 8.0, 1.4, 1.35), WHITE, 1.0),
    ]
    return render(16, 16, None, layers, samples=8, transparent=True)


def main():
    os.makedirs(OUT, exist_ok=True)
    write_ico(os.path.join(OUT, "app.ico"), window_icon())
    for name, grid in LIST_ICONS.items():
        write_ico(os.path.join(OUT, name + ".ico"), pixel_art(grid))
    write_bmp(os.path.join(OUT, "about96.bmp"), about_picture(87, 231))
    write_bmp(os.path.join(OUT, "about120.bmp"), about_picture(108, 288))


if __name__ == "__main__":
    main()
