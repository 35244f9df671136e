#!/usr/bin/env python3
"""Draws the program's two icons: a golden star inside a green laurel wreath.

Usage: make_icons.py OUTPUT_DIR

Writes laurelight.ico (the class icon, 101) and laurelight_small.ico (the small icon, 102):
one 64x64 image of 32 bits per pixel each, stored as a BMP payload with straight alpha and
an AND mask. The small icon has fewer, larger leaves and a larger star so that it still
reads when the system shrinks it to 16x16. Standard library only; the output is the same
on every run.
"""

import math
import os
import struct
import sys

SIZE = 64
SUPERSAMPLE = 4  # samples per pixel along each axis

LEAF_DARK = (46, 125, 50)
LEAF_LIGHT = (76, 175, 80)
LEAF_VEIN = (27, 94, 32)
STEM = (51, 105, 30)
STAR_GOLD = (255, 193, 7)
STAR_HIGHLIGHT = (255, 236, 140)
STAR_EDGE = (178, 106, 0)
RIBBON = (198, 40, 40)
RIBBON_DARK = (142, 0, 0)


class Leaf:
    """A pointed leaf (two arcs meeting at the tips) along a local x axis."""

    def __init__(self, cx, cy, angle, length, width, colour):
        self.cx, self.cy = cx, cy
        self.cos, self.sin = math.cos(angle), math.sin(angle)
        self.half_length, self.half_width = length / 2, width / 2
        self.colour = colour

    def colour_at(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        u = (dx * self.cos + dy * self.sin) / self.half_length
        v = -dx * self.sin + dy * self.cos
        if abs(u) > 1:
            return None
        reach = self.half_width * (1 - u * u)
        if abs(v) > reach:
            return None
        if abs(v) < 0.35 and abs(u) < 0.85:
            return LEAF_VEIN
        # Lighter towards one edge, as if lit from above.
        return mix(self.colour, LEAF_LIGHT, 0.5 * max(0.0, -v / max(reach, 1e-6)))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def star_points(cx, cy, outer, inner):
    points = []
    for k in range(10):
        radius = outer if k % 2 == 0 else inner
        angle = -math.pi / 2 + k * math.pi / 5
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points


def inside_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def distance_to_segment(x, y, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


class Design:
    def __init__(self, leaves_per_side, leaf_length, leaf_width, star_outer, star_inner, stem_width):
        self.centre = (32.0, 33.0)
        self.radius = 23.0
        self.stem_width = stem_width
        self.star = star_points(32.0, 31.5, star_outer, star_inner)
        self.star_top, self.star_bottom = 31.5 - star_outer, 31.5 + star_outer
        self.leaves = self._wreath(leaves_per_side, leaf_length, leaf_width)

    def _wreath(self, count, length, width):
        """Pairs of leaves on both branches, from the ribbon at the bottom up to the open top."""
        leaves = []
        cx, cy = self.centre
        first, last = math.radians(32), math.radians(150)  # from straight down, up each side
        for side in (-1, 1):
            for k in range(count):
                t = first + (last - first) * k / (count - 1)
                px = cx + side * self.radius * math.sin(t)
                py = cy + self.radius * math.cos(t)
                growth = math.atan2(-math.sin(t), side * math.cos(t))  # along the branch, upwards
                normal_x, normal_y = side * math.sin(t), math.cos(t)  # away from the centre
                for outward in (1, -1):
                    lx = px + outward * 3.4 * normal_x
                    ly = py + outward * 3.4 * normal_y
                    # Leaves lean away from the stem and point the way the branch grows.
                    angle = growth - side * outward * 0.6
                    shade = 0.0 if (k + (outward > 0)) % 2 else 0.35
                    leaves.append(Leaf(lx, ly, angle, length, width, mix(LEAF_DARK, LEAF_LIGHT, shade)))
        return leaves

    def colour_at(self, x, y):
        """The colour of the topmost shape at (x, y), or None for transparent."""
        if inside_polygon(x, y, self.star):
            edge = min(distance_to_segment(x, y, self.star[i], self.star[(i + 1) % 10]) for i in range(10))
            if edge < 1.1:
                return STAR_EDGE
            t = (y - self.star_top) / (self.star_bottom - self.star_top)
            return mix(STAR_HIGHLIGHT, STAR_GOLD, min(1.0, t * 1.6))
        ribbon = self._ribbon(x, y)
        if ribbon is not None:
            return ribbon
        for leaf in reversed(self.leaves):
            colour = leaf.colour_at(x, y)
            if colour is not None:
                return colour
        cx, cy = self.centre
        if abs(math.hypot(x - cx, y - cy) - self.radius) < self.stem_width / 2 and y > 14:
            return STEM
        return None

    def _ribbon(self, x, y):
        cx, cy = self.centre[0], self.centre[1] + self.radius
        if math.hypot(x - cx, y - cy) < 2.6:
            return RIBBON_DARK
        # Two tails hanging down and out from the knot.
        for side in (-1, 1):
            tail = [(cx, cy), (cx + side * 7.5, cy + 6.5), (cx + side * 3.5, cy + 7.5)]
            if inside_polygon(x, y, tail):
                return RIBBON
        return None


def render(design):
    """Returns SIZE*SIZE straight-alpha RGBA tuples, top row first."""
    pixels = []
    step = 1.0 / SUPERSAMPLE
    samples = SUPERSAMPLE * SUPERSAMPLE
    for row in range(SIZE):
        for column in range(SIZE):
            red = green = blue = covered = 0.0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    colour = design.colour_at(column + (sx + 0.5) * step, row + (sy + 0.5) * step)
                    if colour is not None:
                        red += colour[0]
                        green += colour[1]
                        blue += colour[2]
                        covered += 1
            if covered == 0:
                pixels.append((0, 0, 0, 0))
            else:
                pixels.append((round(red / covered), round(green / covered), round(blue / covered),
                               round(255 * covered / samples)))
    return pixels


def ico_bytes(pixels):
    """One 32-bpp image: BITMAPINFOHEADER (double height), BGRA rows bottom-up, AND mask."""
    colour_rows = []
    mask_rows = []
    for row in reversed(range(SIZE)):
        line = pixels[row * SIZE:(row + 1) * SIZE]
        colour_rows.append(b"".join(struct.pack("<BBBB", b, g, r, a) for r, g, b, a in line))
        bits = 0
        for column, (_, _, _, alpha) in enumerate(line):
            if alpha == 0:
                bits |= 1 << (SIZE - 1 - column)
        mask_rows.append(bits.to_bytes(SIZE // 8, "big"))  # 8 bytes: already 4-aligned
    colour = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


DESIGNS = {
    "laurelight.ico": Design(leaves_per_side=6, leaf_length=8.5, leaf_width=4.2,
                             star_outer=14.0, star_inner=6.0, stem_width=1.6),
    "laurelight_small.ico": Design(leaves_per_side=4, leaf_length=11.0, leaf_width=5.6,
                                   star_outer=17.0, star_inner=7.5, stem_width=2.6),
}


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icons.py OUTPUT_DIR")
    output = sys.argv[1]
    os.makedirs(output, exist_ok=True)
    for name, design in DESIGNS.items():
        with open(os.path.join(output, name), "wb") as out:
            out.write(ico_bytes(render(design)))


if __name__ == "__main__":
    main()
