"""Draws the wizard's pictures as PPM files: the three pictures of the left panel and the
splash. Every picture is computed from signed distances of simple shapes, anti-aliased by
coverage, so a rebuild gives the same pixels.

Usage: draw_pictures.py OUTPUT-FOLDER
"""
import math
import os
import sys

# The left panel's colour: red 0x59, green 0x91, blue 0xDE.
PANEL = (0x59, 0x91, 0xDE)
DEEP = (0x1E, 0x3F, 0x7A)
PAPER = (0xF4, 0xF7, 0xFC)
AMBER = (0xF2, 0xB1, 0x3C)
GREEN = (0x5C, 0xC2, 0x7E)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def coverage(distance):
    """Share of a pixel inside a shape whose edge is `distance` pixels away."""
    return max(0.0, min(1.0, 0.5 - distance))


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def box(x0, y0, x1, y1, radius=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def distance(x, y):
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - radius
    return distance


def segment(x0, y0, x1, y1, width):
    def distance(x, y):
        vx, vy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy)))
        return math.hypot(x - x0 - vx * t, y - y0 - vy * t) - width / 2
    return distance


def render(width, height, background, shapes):
    """shapes: (distance function, colour, opacity) drawn in order over background(x, y)."""
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            px, py = x + 0.5, y + 0.5
            colour = background(px, py)
            for distance, paint, opacity in shapes:
                share = coverage(distance(px, py)) * opacity
                if share > 0.0:
                    colour = mix(colour, paint, share)
            row.extend(int(round(c)) for c in colour)
        rows.append(bytes(row))
    return rows


def write_ppm(path, width, rows):
    with open(path, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (width, len(rows)))
        for row in rows:
            out.write(row)


def document(x, y, w, h, colour, opacity=1.0):
    """A sheet with a folded corner and three text lines."""
    fold = w * 0.28
    shapes = [(box(x, y, x + w, y + h, 2.5), colour, opacity),
              (segment(x + w - fold, y, x + w, y + fold, 2.0), PANEL, opacity * 0.6)]
    for line in range(3):
        ly = y + h * (0.45 + 0.15 * line)
        shapes.append((segment(x + w * 0.2, ly, x + w * 0.8, ly, 2.0), DEEP, opacity * 0.45))
    return shapes


def platter(cx, cy, r, opacity=1.0):
    """A disk platter: rings around a hub, with a read arm."""
    shapes = [(circle(cx, cy, r), mix(PANEL, PAPER, 0.35), opacity)]
    for share in (0.85, 0.68, 0.51):
        shapes.append((ring(cx, cy, r * share, 1.6), PANEL, opacity * 0.7))
    shapes.append((circle(cx, cy, r * 0.16), DEEP, opacity))
    shapes.append((segment(cx + r * 0.95, cy + r * 0.95, cx + r * 0.3, cy + r * 0.1, r * 0.09),
                   AMBER, opacity))
    return shapes


def magnifier(cx, cy, r):
    return [(circle(cx, cy, r), PAPER, 0.25),
            (ring(cx, cy, r, r * 0.22), PAPER, 1.0),
            (segment(cx + r * 0.75, cy + r * 0.75, cx + r * 1.7, cy + r * 1.7, r * 0.3), DEEP, 1.0)]


def vertical(top, bottom, height):
    return lambda x, y: mix(top, bottom, y / height)


def left_top():
    w, h = 160, 200
    shapes = platter(72, 92, 52) + magnifier(104, 124, 24)
    return w, render(w, h, vertical(mix(PANEL, PAPER, 0.25), PANEL, h), shapes)


def left_mid():
    w, h = 160, 220
    shapes = []
    for k in range(-4, 8):  # faint diagonal bands
        x0 = k * 40
        shapes.append((segment(x0, h, x0 + 160, 0, 6.0), mix(PANEL, PAPER, 0.2), 0.35))
    return w, render(w, h, lambda x, y: PANEL, shapes)


def left_bottom():
    w, h = 160, 160
    shapes = []
    for i, (x, y, colour) in enumerate([(24, 70, PAPER), (66, 46, PAPER), (108, 22, GREEN)]):
        shapes += document(x, y, 34, 44, colour, 0.9 - 0.1 * (2 - i))
    shapes.append((segment(20, 140, 140, 140, 3.0), PAPER, 0.6))
    return w, render(w, h, vertical(PANEL, mix(PANEL, DEEP, 0.45), h), shapes)


def splash():
    w, h = 480, 300
    shapes = [(box(0, 0, w, 56), DEEP, 0.55)]
    shapes += platter(150, 170, 92)
    shapes += magnifier(206, 226, 34)
    for i, (x, y) in enumerate([(300, 90), (352, 120), (404, 150)]):
        shapes += document(x, y, 46, 60, GREEN if i == 2 else PAPER, 0.95)
    shapes.append((box(290, 240, 450, 252, 6.0), PAPER, 0.5))
    shapes.append((box(290, 240, 400, 252, 6.0), AMBER, 1.0))
    return w, render(w, h, vertical(mix(PANEL, DEEP, 0.35), mix(PANEL, PAPER, 0.3), h), shapes)


def main():
    out = sys.argv[1]
    for name, draw in [("left_top", left_top), ("left_mid", left_mid),
                       ("left_bottom", left_bottom), ("splash", splash)]:
        width, rows = draw()
        write_ppm(os.path.join(out, name + ".ppm"), width, rows)


if __name__ == "__main__":
    main()
