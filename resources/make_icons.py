#!/usr/bin/env python3
"""Draws the program's icons (a computer mouse with its wheel highlighted) into 32-bit ICO files.

Run at build time: make_icons.py <output folder>. Standard library only, so any build machine can run it.
"""

import math
import struct
import sys
from pathlib import Path

# The drawing, in units of the icon's side (0..1, y downwards), painted in order. Each shape is a rounded box
# (left, top, right, bottom, corner radius) or a line (x0, y0, x1, y1, half width) with a colour role; the
# outline role is painted around every filled shape first, so the mouse reads on light and dark taskbars.
SHAPES = [
    # cable leaving the mouse's nose
    ("line", (0.50, 0.13, 0.50, 0.04), 0.035, "cable"),
    ("line", (0.50, 0.04, 0.70, 0.00), 0.035, "cable"),
    # body
    ("box", (0.20, 0.12, 0.80, 0.94), 0.30, "body"),
    # left and right buttons, parted by a seam
    ("box", (0.20, 0.12, 0.80, 0.50), 0.30, "buttons"),
    ("line", (0.50, 0.12, 0.50, 0.48), 0.018, "seam"),
    ("line", (0.22, 0.49, 0.78, 0.49), 0.018, "seam"),
    # the wheel, the part the program is about
    ("box", (0.41, 0.17, 0.59, 0.42), 0.09, "wheel"),
    ("line", (0.45, 0.25, 0.55, 0.25), 0.014, "wheel_ridge"),
    ("line", (0.45, 0.34, 0.55, 0.34), 0.014, "wheel_ridge"),
]

# Colours as (red, green, blue, alpha).
ENABLED = {
    "outline": (24, 34, 52, 255),
    "cable": (60, 70, 90, 255),
    "body": (222, 230, 242, 255),
    "buttons": (96, 150, 232, 255),
    "seam": (24, 34, 52, 255),
    "wheel": (255, 150, 20, 255),
    "wheel_ridge": (170, 70, 0, 255),
}


# The hook is off: the same mouse in greys, the wheel still set apart from the buttons.
DISABLED = {
    "outline": (72, 72, 72, 255),
    "cable": (110, 110, 110, 255),
    "body": (214, 214, 214, 255),
    "buttons": (168, 168, 168, 255),
    "seam": (72, 72, 72, 255),
    "wheel": (118, 118, 118, 255),
    "wheel_ridge": (64, 64, 64, 255),
}

# Icon files: name, side in pixels, palette.
ICONS = [
    ("rollix.ico", 48, ENABLED),
    ("rx_enabled.ico", 16, ENABLED),
    ("rx_disabled.ico", 16, DISABLED),
]


def BoxDistance(x, y, box, radius):
    left, top, right, bottom = box
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0) - radius


def LineDistance(x, y, line, halfWidth):
    x0, y0, x1, y1 = line
    vx, vy = x1 - x0, y1 - y0
    length2 = vx * vx + vy * vy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * vx + (y - y0) * vy) / length2))
    return math.hypot(x - (x0 + t * vx), y - (y0 + t * vy)) - halfWidth


def Distance(shape, x, y, grow):
    kind, geometry, size, _ = shape
    if kind == "box":
        return BoxDistance(x, y, geometry, size) - grow
    return LineDistance(x, y, geometry, size) - grow


def Over(dest, colour, coverage):
    """Paints colour over dest (both straight alpha, 0..1 floats) with the given coverage."""
    r, g, b, a = (c / 255 for c in colour)
    a *= coverage
    dr, dg, db, da = dest
    outA = a + da * (1 - a)
    if outA == 0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = lambda s, d: (s * a + d * da * (1 - a)) / outA
    return (mix(r, dr), mix(g, dg), mix(b, db), outA)


def Render(side, palette):
    """Rows top-down of (r, g, b, a) bytes. Edges are smoothed from the distance to each shape."""
    pixel = 1.0 / side
    # At least one whole pixel of outline, or a 16-pixel mouse melts into the taskbar.
    outlineWidth = max(pixel, 0.035)
    rows = []
    for py in range(side):
        row = []
        for px in range(side):
            x, y = (px + 0.5) * pixel, (py + 0.5) * pixel
            colour = (0.0, 0.0, 0.0, 0.0)
            for shape in SHAPES:
                if shape[3] in ("body", "cable"):
                    d = Distance(shape, x, y, outlineWidth)
                    colour = Over(colour, palette["outline"], Coverage(d, pixel))
            for shape in SHAPES:
                d = Distance(shape, x, y, 0.0)
                colour = Over(colour, palette[shape[3]], Coverage(d, pixel))
            row.append(tuple(int(round(c * 255)) for c in colour))
        rows.append(row)
    return rows


def Coverage(distance, pixel):
    return max(0.0, min(1.0, 0.5 - distance / pixel))


def IcoBytes(side, rows):
    """One 32-bit image: BITMAPINFOHEADER (height doubled for the mask), BGRA rows bottom-up, then the AND mask."""
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    maskStride = ((side + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(maskStride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    image = bytes(pixels + mask)
    header = struct.pack("<IiiHHIIiiII", 40, side, side * 2, 1, 32, 0, len(image), 0, 0, 0, 0)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", side % 256, side % 256, 0, 0, 1, 32, len(header) + len(image), 6 + 16)
    return directory + entry + header + image


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_icons.py <output folder>\n")
        return 2
    folder = Path(argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for name, side, palette in ICONS:
        data = IcoBytes(side, Render(side, palette))
        (folder / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
