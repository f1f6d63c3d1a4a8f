#!/usr/bin/env python3
"""Draws the 22 toolbar icons into src/app/icons/ and writes icons.qrc.

Each icon is drawn on a 16 x 15 grid and written at 1x (16 x 15) and 2x (32 x 30, "@2x").
Shapes are anti-aliased by 4 x 4 supersampling; pixel-font text stays crisp.
Usage: tools/make_icons.py [output folder]
"""

import math
import os
import struct
import sys
import zlib

W, H = 16, 15
SS = 4

INK = (40, 40, 48)
GREY = (150, 150, 158)
PAPER = (250, 250, 250)
BLUE = (44, 110, 210)
LIGHT_BLUE = (150, 190, 240)
ORANGE = (240, 140, 20)
RED = (210, 40, 40)
GREEN = (40, 150, 60)
RAINBOW = [(30, 40, 200), (20, 160, 230), (40, 190, 70), (240, 220, 30), (245, 130, 20), (210, 30, 30)]


class Canvas:
    def __init__(self, scale):
        self.s = scale
        self.w, self.h = W * scale, H * scale
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(self.w)] for _ in range(self.h)]

    def _blend(self, x, y, colour, cover):
        if cover <= 0:
            return
        r, g, b = (c / 255.0 for c in colour)
        a = cover
        pr, pg, pb, pa = self.px[y][x]
        oa = a + pa * (1 - a)
        if oa == 0:
            return
        mix = lambda c, pc: (c * a + pc * pa * (1 - a)) / oa
        self.px[y][x] = (mix(r, pr), mix(g, pg), mix(b, pb), oa)

    def fill(self, inside, box, colour):
        """Covers every pixel of the logical box by the share of subsamples for which inside(x, y) holds."""
        x0, y0, x1, y1 = box
        s = self.s
        for py in range(max(0, int(math.floor(y0 * s))), min(self.h, int(math.ceil(y1 * s)))):
            for px in range(max(0, int(math.floor(x0 * s))), min(self.w, int(math.ceil(x1 * s)))):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside((px + (sx + 0.5) / SS) / s, (py + (sy + 0.5) / SS) / s):
                            hits += 1
                self._blend(px, py, colour, hits / (SS * SS))

    def rect(self, x0, y0, x1, y1, colour):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1), colour)

    def frame(self, x0, y0, x1, y1, colour, fill=None):
        """A one-unit outline just inside the box."""
        if fill:
            self.rect(x0, y0, x1, y1, fill)
        self.rect(x0, y0, x1, y0 + 1, colour)
        self.rect(x0, y1 - 1, x1, y1, colour)
        self.rect(x0, y0 + 1, x0 + 1, y1 - 1, colour)
        self.rect(x1 - 1, y0 + 1, x1, y1 - 1, colour)

    def poly(self, pts, colour):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            result = False
            j = len(pts) - 1
            for i in range(len(pts)):
                (xi, yi), (xj, yj) = pts[i], pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result

        self.fill(inside, (min(xs), min(ys), max(xs), max(ys)), colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        n = math.hypot(dx, dy)
        nx, ny = -dy / n * width / 2, dx / n * width / 2
        self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)

    def disc(self, cx, cy, r, colour):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, (cx - r, cy - r, cx + r, cy + r), colour)

    def ring(self, cx, cy, r, width, colour):
        ri, ro = r - width / 2, r + width / 2
        self.fill(lambda x, y: ri * ri <= (x - cx) ** 2 + (y - cy) ** 2 <= ro * ro,
                  (cx - ro, cy - ro, cx + ro, cy + ro), colour)

    def arrow_head(self, tipx, tipy, dirx, diry, length, half_width, colour):
        n = math.hypot(dirx, diry)
        ux, uy = dirx / n, diry / n
        bx, by = tipx - ux * length, tipy - uy * length
        self.poly([(tipx, tipy), (bx - uy * half_width, by + ux * half_width),
                   (bx + uy * half_width, by - ux * half_width)], colour)

    def arc_arrow(self, cx, cy, rx, ry, t0, t1, width, colour, head_at_end=True):
        """Elliptic arc from angle t0 to t1 (y down) with an arrowhead at its end or start."""
        steps = 64
        pts = [(cx + rx * math.cos(t0 + (t1 - t0) * i / steps), cy + ry * math.sin(t0 + (t1 - t0) * i / steps))
               for i in range(steps + 1)]
        if not head_at_end:
            pts.reverse()
        head = 3.6
        tip = pts[-1]
        # the shaft stops under the head so that its point stays sharp
        shaft = [p for p in pts if math.hypot(p[0] - tip[0], p[1] - tip[1]) > head * 0.6]
        for a, b in zip(shaft, shaft[1:]):
            self.line(a[0], a[1], b[0], b[1], width, colour)
        for p in shaft[1:-1]:
            self.disc(p[0], p[1], width / 2, colour)
        before = pts[-3]
        self.arrow_head(tip[0], tip[1], tip[0] - before[0], tip[1] - before[1], head, head * 0.75, colour)

    def text(self, x, y, string, colour, font):
        for ch in string:
            rows = font[ch]
            for j, row in enumerate(rows):
                for i, bit in enumerate(row):
                    if bit == "#":
                        self.rect(x + i, y + j, x + i + 1, y + j + 1, colour)
            x += len(rows[0]) + 1

    def png(self):
        raw = bytearray()
        for row in self.px:
            raw.append(0)
            for r, g, b, a in row:
                raw += bytes(int(round(v * 255)) for v in (r, g, b, a))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
                chunk(b"IEND", b""))


SMALL = {
    "C": ["###", "#..", "#..", "#..", "###"],
    "G": ["###", "#..", "#.#", "#.#", "###"],
    "L": ["#..", "#..", "#..", "#..", "###"],
    "O": ["###", "#.#", "#.#", "#.#", "###"],
    "R": ["##.", "#.#", "##.", "#.#", "#.#"],
    "/": ["..#", "..#", ".#.", "#..", "#.."],
    "1": [".#", "##", ".#", ".#", ".#"],
    "0": ["###", "#.#", "#.#", "#.#", "###"],
}

LARGE = {
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "N": ["#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
}


def copy_image(c):
    c.frame(1, 1, 10, 11, INK, PAPER)
    c.frame(5, 4, 15, 14, INK, PAPER)
    for i, colour in enumerate(RAINBOW[::2]):
        c.rect(7, 6 + 2 * i, 13, 8 + 2 * i, colour)


def rotate_z(direction):
    """A turn about the vertical axis; the head sits in front, pointing left (-) or right (+)."""

    def draw(c):
        c.rect(7.5, 0, 8.5, 15, GREY)
        front, gap = math.pi / 2, 0.7
        if direction < 0:
            c.arc_arrow(8, 7, 6.4, 3.4, front + gap, front + 2 * math.pi, 1.5, BLUE, head_at_end=True)
        else:
            c.arc_arrow(8, 7, 6.4, 3.4, front, front + 2 * math.pi - gap, 1.5, BLUE, head_at_end=False)

    return draw


def rotate_x(direction):
    """A turn about the horizontal axis; the head sits in front, pointing up (-) or down (+)."""

    def draw(c):
        c.rect(0, 7, 16, 8, GREY)
        gap = 0.7
        if direction < 0:
            c.arc_arrow(8, 7.5, 3.4, 6.2, 0, 2 * math.pi - gap, 1.5, BLUE, head_at_end=False)
        else:
            c.arc_arrow(8, 7.5, 3.4, 6.2, -2 * math.pi + gap, 0, 1.5, BLUE, head_at_end=True)

    return draw


def zoom(sign):
    def draw(c):
        c.line(9.6, 9.6, 14.2, 14.2, 2.6, GREY)
        c.disc(6.5, 6.5, 4.6, PAPER)
        c.ring(6.5, 6.5, 4.6, 1.4, INK)
        c.rect(4, 6, 9, 7, RED if sign < 0 else GREEN)
        if sign > 0:
            c.rect(6, 4, 7, 9, GREEN)

    return draw


def mesh(c):
    for x in (1, 4, 9, 14):
        c.rect(x, 1, x + 1, 14, BLUE)
    for y in (1, 5, 9, 13):
        c.rect(1, y, 15, y + 1, BLUE)


def colourbar(c):
    c.frame(5, 0, 11, 15, INK)
    for i, colour in enumerate(reversed(RAINBOW)):
        c.rect(6, 1 + i * 13 / 6, 10, 1 + (i + 1) * 13 / 6, colour)
    for y in (1, 7, 13):
        c.rect(11, y, 13, y + 1, GREY)


def log10(c):
    c.frame(0, 0, 16, 15, GREY, PAPER)
    c.text(2, 2, "LOG", INK, SMALL)
    c.text(4, 8, "10", BLUE, SMALL)


def cond_res(c):
    c.frame(0, 0, 16, 15, GREY, PAPER)
    c.text(2, 5, "C/R", INK, SMALL)


def flip(c):
    c.frame(1, 0, 7, 15, INK)
    for i, colour in enumerate(reversed(RAINBOW)):
        c.rect(2, 1 + i * 13 / 6, 6, 1 + (i + 1) * 13 / 6, colour)
    c.rect(10.8, 3.5, 12.2, 11.5, BLUE)
    c.arrow_head(11.5, 0.5, 0, -1, 3.5, 2.8, BLUE)
    c.arrow_head(11.5, 14.5, 0, 1, 3.5, 2.8, BLUE)


def cut_plane(side):
    def draw(c):
        if side in "TB":
            x0, y0, x1, y1 = 0, 2, 16, 13  # section: wider than deep
        else:
            x0, y0, x1, y1 = 1, 0, 15, 15  # plan view, north up
        c.frame(x0, y0, x1, y1, INK, LIGHT_BLUE)
        slab = {"W": (x0 + 1, y0 + 1, x0 + 4, y1 - 1), "E": (x1 - 4, y0 + 1, x1 - 1, y1 - 1),
                "N": (x0 + 1, y0 + 1, x1 - 1, y0 + 4), "S": (x0 + 1, y1 - 4, x1 - 1, y1 - 1),
                "T": (x0 + 1, y0 + 1, x1 - 1, y0 + 3), "B": (x0 + 1, y1 - 3, x1 - 1, y1 - 1)}[side]
        c.rect(*slab, ORANGE)
        x, y = {"W": (7, 4), "E": (4, 4), "N": (6, 6), "S": (6, 2), "T": (6, 5), "B": (6, 3)}[side]
        c.text(x, y, side, INK, LARGE)

    return draw


def cut_move(direction):
    def draw(c):
        sheet_y = 11 if direction > 0 else 1
        c.poly([(1, sheet_y + 3), (11, sheet_y + 3), (15, sheet_y), (5, sheet_y)], ORANGE)
        c.line(1, sheet_y + 3, 11, sheet_y + 3, 1, INK)
        if direction > 0:
            c.rect(7, 4.5, 9, 11, BLUE)
            c.arrow_head(8, 0, 0, -1, 5, 4, BLUE)
        else:
            c.rect(7, 4, 9, 10.5, BLUE)
            c.arrow_head(8, 15, 0, 1, 5, 4, BLUE)

    return draw


def diagonal(c):
    c.frame(1, 0, 15, 15, INK, (225, 225, 230))
    c.poly([(2, 1), (14, 1), (14, 14)], LIGHT_BLUE)
    c.poly([(14, 1), (14, 14), (7, 14)], LIGHT_BLUE)
    c.line(4, 15, 13, 0, 1.6, ORANGE)


def mouse_cut(c):
    c.frame(0, 0, 12, 12, INK, (225, 225, 230))
    c.poly([(1, 1), (11, 1), (11, 11)], LIGHT_BLUE)
    c.line(2, 12, 10, 0, 1.5, ORANGE)
    cursor = [(8, 6), (8, 15), (10.3, 12.8), (12, 15.5), (13.4, 14.8), (11.8, 12), (14.8, 12)]
    c.poly(cursor, INK)
    inner = [(8.9, 8.2), (8.9, 13), (10.5, 11.5), (12.3, 14.6), (12.6, 14.4), (10.9, 11.3), (12.8, 11.3)]
    c.poly(inner, PAPER)


ICONS = [
    ("copy", copy_image),
    ("rotate-z-minus", rotate_z(-1)),
    ("rotate-z-plus", rotate_z(+1)),
    ("rotate-x-minus", rotate_x(-1)),
    ("rotate-x-plus", rotate_x(+1)),
    ("zoom-out", zoom(-1)),
    ("zoom-in", zoom(+1)),
    ("mesh", mesh),
    ("colourbar", colourbar),
    ("log10", log10),
    ("cond-res", cond_res),
    ("flip", flip),
    ("cut-west", cut_plane("W")),
    ("cut-east", cut_plane("E")),
    ("cut-south", cut_plane("S")),
    ("cut-north", cut_plane("N")),
    ("cut-top", cut_plane("T")),
    ("cut-bottom", cut_plane("B")),
    ("cut-forward", cut_move(+1)),
    ("cut-backward", cut_move(-1)),
    ("diagonal-cut", diagonal),
    ("mouse-cut", mouse_cut),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "app", "icons")
    os.makedirs(out, exist_ok=True)
    names = []
    for icon, draw in ICONS:
        for scale, suffix in ((1, ""), (2, "@2x")):
            c = Canvas(scale)
            draw(c)
            name = f"{icon}{suffix}.png"
            with open(os.path.join(out, name), "wb") as f:
                f.write(c.png())
            names.append(name)
    with open(os.path.join(out, "icons.qrc"), "w") as f:
        f.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n  <qresource prefix="/icons">\n')
        for name in names:
            f.write(f"    <file>{name}</file>\n")
        f.write("  </qresource>\n</RCC>\n")


if __name__ == "__main__":
    main()
