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
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "pictures")

# ---------------------------------------------------------------------------------------
# File writers


def write_ico(path, pixels, size=16):
    """One size x size image, 32 bits per pixel; pixels is a list of rows of (r, g, b, a)."""
    xor = bytearray()
    for row in reversed(pixels):  # bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:  # transparent where the picture has no alpha
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


def write_bmp(path, pixels):
    """24 bits per pixel, bottom-up; pixels is a list of rows of (r, g, b)."""
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(file_header + info + bytes(data))


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


# ---------------------------------------------------------------------------------------
# Vector drawing with supersampling, for the window icon and the About box picture


class Circle:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r
        self.box = (cx - r, cy - r, cx + r, cy + r)

    def contains(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r * self.r


class RoundRect:
    def __init__(self, x0, y0, x1, y1, r):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r
        self.box = (x0, y0, x1, y1)

    def contains(self, x, y):
        if not (self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1):
            return False
        cx = min(max(x, self.x0 + self.r), self.x1 - self.r)
        cy = min(max(y, self.y0 + self.r), self.y1 - self.r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= self.r * self.r


class Capsule:
    """A thick line with round ends."""

    def __init__(self, ax, ay, bx, by, r):
        self.ax, self.ay, self.bx, self.by, self.r = ax, ay, bx, by, r
        self.box = (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r)

    def contains(self, x, y):
        vx, vy = self.bx - self.ax, self.by - self.ay
        t = ((x - self.ax) * vx + (y - self.ay) * vy) / (vx * vx + vy * vy)
        t = min(max(t, 0.0), 1.0)
        px, py = self.ax + t * vx, self.ay + t * vy
        return (x - px) ** 2 + (y - py) ** 2 <= self.r * self.r


class Leaf:
    """A pointed leaf from base to tip: the overlap of two circles, half-width w at its middle."""

    def __init__(self, ax, ay, bx, by, w):
        length = math.hypot(bx - ax, by - ay)
        radius = (length * length / 4 + w * w) / (2 * w)
        mx, my = (ax + bx) / 2, (ay + by) / 2
        nx, ny = -(by - ay) / length, (bx - ax) / length
        d = radius - w
        self.c1 = (mx + nx * d, my + ny * d)
        self.c2 = (mx - nx * d, my - ny * d)
        self.r2 = radius * radius
        self.box = (min(ax, bx) - w, min(ay, by) - w, max(ax, bx) + w, max(ay, by) + w)

    def contains(self, x, y):
        return ((x - self.c1[0]) ** 2 + (y - self.c1[1]) ** 2 <= self.r2
                and (x - self.c2[0]) ** 2 + (y - self.c2[1]) ** 2 <= self.r2)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def render(width, height, background, layers, samples=4, transparent=False):
    """layers: (shape, colour, opacity); colour is an (r, g, b) or a function of (x, y).
    Returns rows of (r, g, b, a) with straight (not premultiplied) colour."""
    out = []
    n = samples
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    x = px + (sx + 0.5) / n
                    y = py + (sy + 0.5) / n
                    if transparent:
                        colour, alpha = (0.0, 0.0, 0.0), 0.0
                    else:
                        colour, alpha = background(x, y), 1.0
                    for shape, fill, opacity in layers:
                        x0, y0, x1, y1 = shape.box
                        if x < x0 or x > x1 or y < y0 or y > y1 or not shape.contains(x, y):
                            continue
                        c = fill(x, y) if callable(fill) else fill
                        out_alpha = opacity + alpha * (1 - opacity)
                        colour = tuple((c[i] * opacity + colour[i] * alpha * (1 - opacity)) / out_alpha
                                       for i in range(3))
                        alpha = out_alpha
                    acc[0] += colour[0] * alpha
                    acc[1] += colour[1] * alpha
                    acc[2] += colour[2] * alpha
                    acc[3] += alpha
            a = acc[3] / (n * n)
            if a <= 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(min(255.0, acc[i] / acc[3]))) for i in range(3))
                           + (int(round(a * 255)),))
        out.append(row)
    return out


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
