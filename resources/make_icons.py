#!/usr/bin/env python3
"""Draws the program's icons (a computer mouse with its wheel highlighted) at every size Windows asks for, as
PNG images with an alpha channel, and writes the resource scripts that make them icon resources.

Run at build time: make_icons.py <output folder>. It writes one PNG per image, one directory per icon group,
icons.rc (the program's three icons) and program_icon.rc (MAINICON alone, for the settings editor).
Standard library only, so any build machine can run it.
"""

import math
import struct
import sys
import zlib
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

# The sizes Windows asks for: the notification area at 100% to 200% scaling (16 to 32 px, from a large icon
# of 32 to 64 px that LoadIconA picks for the scale), window captions, and Explorer's views up to 256 px.
TRAY_SIZES = (16, 20, 24, 32, 40, 48, 64)
PROGRAM_SIZES = TRAY_SIZES + (256,)

# Icon groups: resource name, palette, sizes. The program's icon is the enabled mouse, so it shares those images.
GROUPS = [
    ("MAINICON", "enabled", PROGRAM_SIZES),
    ("RXICONENABLED", "enabled", TRAY_SIZES),
    ("RXICONDISABLED", "disabled", TRAY_SIZES),
]
PALETTES = {"enabled": ENABLED, "disabled": DISABLED}

# Edges are smoothed in this many steps of coverage: the eye cannot tell more apart at these sizes, and fewer
# colours let most images fit a 256-colour palette, which keeps the program within its size budget.
COVERAGE_STEPS = 16


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
    exact = max(0.0, min(1.0, 0.5 - distance / pixel))
    return round(exact * COVERAGE_STEPS) / COVERAGE_STEPS


def Chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def Paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def Filtered(lines, step):
    """PNG row filtering: each row with the filter whose output looks smallest (sum of absolute values)."""
    out = bytearray()
    previous = bytes(len(lines[0]))
    for line in lines:
        best = None
        for kind in range(5):
            row = bytearray([kind])
            for i, value in enumerate(line):
                a = line[i - step] if i >= step else 0
                b = previous[i]
                c = previous[i - step] if i >= step else 0
                guess = (0, a, b, (a + b) // 2, Paeth(a, b, c))[kind]
                row.append((value - guess) & 0xFF)
            cost = sum(v if v < 128 else 256 - v for v in row[1:])
            if best is None or cost < best[0]:
                best = (cost, row)
        out += best[1]
        previous = line
    return bytes(out)


def Compressed(lines, step):
    """The image data compressed: adaptive row filters or none at all (often best for indexed colour)."""
    unfiltered = b"".join(b"\0" + line for line in lines)
    return min(zlib.compress(Filtered(lines, step), 9), zlib.compress(unfiltered, 9), key=len)


def PngBytes(side, rows):
    """The image as a PNG, which Windows Vista and later read in icons: indexed when 256 colours hold it, as
    most sizes are, else true colour with alpha; whichever is smaller."""
    png = lambda header, chunks, data: (b"\x89PNG\r\n\x1a\n" + Chunk(b"IHDR", header) + chunks
                                        + Chunk(b"IDAT", data) + Chunk(b"IEND", b""))
    lines = [bytes(v for pixel in row for v in pixel) for row in rows]
    best = png(struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0), b"", Compressed(lines, 4))
    # Transparent entries first, so that the transparency chunk can stop at the last one.
    colours = sorted({pixel for row in rows for pixel in row}, key=lambda c: c[3])
    if len(colours) <= 256:
        index = {colour: i for i, colour in enumerate(colours)}
        lines = [bytes(index[pixel] for pixel in row) for row in rows]
        alpha = bytes(c[3] for c in colours).rstrip(b"\xff")
        chunks = Chunk(b"PLTE", b"".join(bytes(c[:3]) for c in colours))
        if alpha:
            chunks += Chunk(b"tRNS", alpha)
        indexed = png(struct.pack(">IIBBBBB", side, side, 8, 3, 0, 0, 0), chunks, Compressed(lines, 1))
        if len(indexed) < len(best):
            best = indexed
    return best


def GroupBytes(entries):
    """An icon group resource: the directory of its images, each named by its icon resource number."""
    data = struct.pack("<HHH", 0, 1, len(entries))
    for side, size, number in entries:
        data += struct.pack("<BBBBHHIH", side % 256, side % 256, 0, 0, 1, 32, size, number)
    return data


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_icons.py <output folder>\n")
        return 2
    folder = Path(argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    # Every image once, numbered in order; a group names the numbers of its images.
    numbers = {}
    images = []
    for _, palette, sizes in GROUPS:
        for side in sizes:
            if (palette, side) not in numbers:
                name = f"{palette}-{side}.png"
                (folder / name).write_bytes(PngBytes(side, Render(side, PALETTES[palette])))
                numbers[(palette, side)] = len(images) + 1
                images.append(name)
    scripts = {"icons.rc": [g[0] for g in GROUPS], "program_icon.rc": ["MAINICON"]}
    for script, groups in scripts.items():
        lines = ["// Drawn by make_icons.py. Icon images are resource type 3, icon groups type 14."]
        used = set()
        for group, palette, sizes in GROUPS:
            if group not in groups:
                continue
            entries = []
            for side in sizes:
                number = numbers[(palette, side)]
                entries.append((side, (folder / images[number - 1]).stat().st_size, number))
                if number not in used:
                    used.add(number)
                    lines.append(f'{number} 3 "{images[number - 1]}"')
            (folder / f"{group}.grp").write_bytes(GroupBytes(entries))
            lines.append(f'{group} 14 "{group}.grp"')
        (folder / script).write_text("\n".join(lines) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
