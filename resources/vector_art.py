"""Shapes drawn with supersampling, for the window icon and the About box picture."""

import math

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
