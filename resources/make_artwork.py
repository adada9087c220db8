#!/usr/bin/env python3
"""Draws the program's artwork and writes it as PNG files beside this script.

bitmaps/104.png  183 x 81   readout picture: a shot train on a scope grid
bitmaps/106.png  183 x 148  title picture: a marker firing, with sound rings
bitmaps/<id>@2x.png         the same drawn at twice the size, for screens
                            with two pixels to a point
icons/tambrix-<n>.png       application icon at 16, 22, 24, 32, 48, 64, 128 and 256
                            pixels, each scaled down from the 256-pixel drawing
icons/tambrix.svg           the same icon's shapes as a scalable picture

Only the standard library is used, so the output is the same everywhere.
Run again after changing the drawing: python3 resources/make_artwork.py
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# 5 x 7 glyphs for the few letters the artwork writes.
GLYPHS = {
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    " ": ["00000"] * 7,
}


class Canvas:
    """Drawing calls take points; a canvas has `unit` pixels to a point."""

    def __init__(self, width, height, colour, unit=1):
        self.unit = unit
        self.width = width * unit
        self.height = height * unit
        self.pixels = [[tuple(colour) + (255,)] * self.width for _ in range(self.height)]

    def blend(self, x, y, colour, alpha=1.0):
        if not (0 <= x < self.width and 0 <= y < self.height) or alpha <= 0:
            return
        alpha = min(alpha, 1.0)
        r, g, b, a = self.pixels[y][x]
        cr, cg, cb = colour[:3]
        out_a = alpha + (a / 255.0) * (1 - alpha)
        if out_a <= 0:
            return
        def mix(c, base):
            return int(round((c * alpha + base * (a / 255.0) * (1 - alpha)) / out_a))
        self.pixels[y][x] = (mix(cr, r), mix(cg, g), mix(cb, b), int(round(out_a * 255)))

    def vertical_gradient(self, top, bottom):
        for y in range(self.height):
            t = y / max(self.height - 1, 1)
            colour = tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))
            for x in range(self.width):
                self.pixels[y][x] = colour + (255,)

    def rect(self, x0, y0, x1, y1, colour, alpha=1.0):
        x0, y0, x1, y1 = (v * self.unit for v in (x0, y0, x1, y1))
        for y in range(max(int(y0), 0), min(int(y1), self.height)):
            for x in range(max(int(x0), 0), min(int(x1), self.width)):
                self.blend(x, y, colour, alpha)

    def disc(self, cx, cy, radius, colour, alpha=1.0):
        cx, cy, radius = (v * self.unit for v in (cx, cy, radius))
        for y in range(int(cy - radius - 1), int(cy + radius + 2)):
            for x in range(int(cx - radius - 1), int(cx + radius + 2)):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                self.blend(x, y, colour, alpha * max(0.0, min(1.0, radius - d + 0.5)))

    def line(self, x0, y0, x1, y1, width, colour, alpha=1.0):
        """An anti-aliased thick line with round ends."""
        x0, y0, x1, y1, width = (v * self.unit for v in (x0, y0, x1, y1, width))
        half = width / 2.0
        for y in range(int(min(y0, y1) - half - 1), int(max(y0, y1) + half + 2)):
            for x in range(int(min(x0, x1) - half - 1), int(max(x0, x1) + half + 2)):
                px, py = x + 0.5, y + 0.5
                dx, dy = x1 - x0, y1 - y0
                length2 = dx * dx + dy * dy
                t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
                d = math.hypot(px - (x0 + t * dx), py - (y0 + t * dy))
                self.blend(x, y, colour, alpha * max(0.0, min(1.0, half - d + 0.5)))

    def arc(self, cx, cy, radius, start_deg, end_deg, width, colour, alpha=1.0):
        cx, cy, radius, width = (v * self.unit for v in (cx, cy, radius, width))
        half = width / 2.0
        for y in range(int(cy - radius - half - 1), int(cy + radius + half + 2)):
            for x in range(int(cx - radius - half - 1), int(cx + radius + half + 2)):
                px, py = x + 0.5 - cx, y + 0.5 - cy
                angle = math.degrees(math.atan2(-py, px))
                if not start_deg <= angle <= end_deg:
                    continue
                d = abs(math.hypot(px, py) - radius)
                self.blend(x, y, colour, alpha * max(0.0, min(1.0, half - d + 0.5)))

    def text(self, x, y, message, scale, colour):
        for ch in message:
            glyph = GLYPHS[ch]
            for row, bits in enumerate(glyph):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        self.rect(x + col * scale, y + row * scale,
                                  x + (col + 1) * scale, y + (row + 1) * scale, colour)
            x += 6 * scale

    def text_width(self, message, scale):
        return len(message) * 6 * scale - scale

    def scaled(self, size):
        """Box-filtered copy of a square canvas at size x size."""
        out = Canvas(size, size, (0, 0, 0))
        factor = self.width / size
        for y in range(size):
            for x in range(size):
                acc = [0.0, 0.0, 0.0, 0.0]
                count = 0
                for sy in range(int(y * factor), int((y + 1) * factor)):
                    for sx in range(int(x * factor), int((x + 1) * factor)):
                        r, g, b, a = self.pixels[sy][sx]
                        acc[0] += r * a
                        acc[1] += g * a
                        acc[2] += b * a
                        acc[3] += a
                        count += 1
                alpha = acc[3] / count
                if acc[3] > 0:
                    out.pixels[y][x] = (int(round(acc[0] / acc[3])), int(round(acc[1] / acc[3])),
                                        int(round(acc[2] / acc[3])), int(round(alpha)))
                else:
                    out.pixels[y][x] = (0, 0, 0, 0)
        return out

    def write_png(self, path):
        raw = bytearray()
        for row in self.pixels:
            raw.append(0)
            for pixel in row:
                raw.extend(pixel)
        def chunk(tag, data):
            body = tag + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + \
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(png)


NAVY = (16, 28, 54)
DEEP = (6, 12, 26)
STEEL = (150, 160, 178)
DARK_STEEL = (70, 78, 96)
ORANGE = (255, 128, 24)
YELLOW = (255, 214, 64)
GREEN = (64, 230, 110)
GRID = (34, 70, 60)
WHITE = (236, 240, 248)


def draw_marker(c, x, y, s):
    """A side view of a marker pointing right, its top-left near (x, y), at scale s."""
    # hopper
    c.disc(x + 30 * s, y + 10 * s, 11 * s, DARK_STEEL)
    c.rect(x + 24 * s, y + 14 * s, x + 36 * s, y + 24 * s, DARK_STEEL)
    # body and barrel
    c.rect(x + 6 * s, y + 22 * s, x + 62 * s, y + 34 * s, STEEL)
    c.rect(x + 62 * s, y + 25 * s, x + 100 * s, y + 31 * s, STEEL)
    c.rect(x + 6 * s, y + 22 * s, x + 62 * s, y + 24 * s, WHITE, 0.5)
    # grip, trigger guard and trigger
    c.line(x + 24 * s, y + 34 * s, x + 18 * s, y + 56 * s, 9 * s, DARK_STEEL)
    c.arc(x + 38 * s, y + 34 * s, 8 * s, -180, 0, 2 * s, DARK_STEEL)
    c.line(x + 37 * s, y + 35 * s, x + 35 * s, y + 41 * s, 2 * s, WHITE)
    # air tank under the back of the body
    c.rect(x - 16 * s, y + 36 * s, x + 12 * s, y + 46 * s, DARK_STEEL)
    c.disc(x - 16 * s, y + 41 * s, 5 * s, DARK_STEEL)


def draw_blast(c, x, y, s):
    """Muzzle flash, a ball in flight and the sound rings around it."""
    for i, radius in enumerate((12, 22, 32)):
        c.arc(x, y, radius * s, -55, 55, 2.2 * s, YELLOW, 0.9 - 0.25 * i)
    c.disc(x + 4 * s, y, 6 * s, ORANGE)
    c.disc(x + 4 * s, y, 3 * s, YELLOW)
    c.disc(x + 40 * s, y, 4 * s, GREEN)


def title_bitmap(unit):
    c = Canvas(183, 148, NAVY, unit)
    c.vertical_gradient(NAVY, DEEP)
    c.text((183 - c.text_width("TAMBRIX", 3)) // 2, 12, "TAMBRIX", 3, WHITE)
    c.rect(20, 38, 163, 40, ORANGE)
    draw_marker(c, 28, 66, 0.95)
    draw_blast(c, 126, 93, 0.95)
    # a faint shot trace along the bottom
    base = 133
    for x in range(8, 175):
        phase = (x - 8) % 42
        amplitude = 9 * math.exp(-phase / 5.0) if phase < 18 else 0.6
        y = base - amplitude * math.sin(phase * 1.9)
        c.disc(x, y, 0.9, GREEN, 0.9)
    return c


def readout_bitmap(unit):
    c = Canvas(183, 81, DEEP, unit)
    for x in range(0, 183, 15):
        c.rect(x, 0, x + 1, 81, GRID)
    for y in range(0, 81, 10):
        c.rect(0, y, 183, y + 1, GRID)
    middle = 40
    previous = None
    for step in range(183 * unit):
        x = step / unit
        phase = (x - 14) % 44
        if x >= 14 and phase < 20:
            amplitude = 34 * math.exp(-phase / 6.0)
            y = middle - amplitude * math.sin(phase * 2.1)
        else:
            y = middle + 0.8 * math.sin(x * 0.9)
        if previous is not None:
            c.line(previous[0], previous[1], x, y, 1.6, GREEN)
        previous = (x, y)
    for x in range(14, 183, 44):
        c.rect(x - 1, 2, x + 2, 79, (60, 110, 255), 0.7)
    return c


# The icon on a 256-pixel square, as shapes, so that the PNGs and the SVG are
# drawn from the same figure: (kind, centre x, centre y, radius, colour,
# opacity) and for arcs also their start and end angle and stroke width.
ICON_SIZE = 256
ICON_SHAPES = [
    ("disc", 128, 128, 120, DEEP, 1.0),
    ("disc", 128, 128, 114, NAVY, 1.0),
    # sound rings and the ball leaving them
    ("arc", 76, 128, 40, YELLOW, 1.0, -50, 50, 12),
    ("arc", 76, 128, 68, YELLOW, 0.78, -50, 50, 12),
    ("arc", 76, 128, 96, YELLOW, 0.56, -50, 50, 12),
    ("disc", 76, 128, 26, ORANGE, 1.0),
    ("disc", 76, 128, 13, YELLOW, 1.0),
    ("disc", 198, 128, 18, GREEN, 1.0),
]
ICON_PNG_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def icon(size):
    c = Canvas(ICON_SIZE, ICON_SIZE, (0, 0, 0))
    c.pixels = [[(0, 0, 0, 0)] * ICON_SIZE for _ in range(ICON_SIZE)]
    for kind, cx, cy, radius, colour, alpha, *stroke in ICON_SHAPES:
        if kind == "disc":
            c.disc(cx, cy, radius, colour, alpha)
        else:
            start, end, width = stroke
            c.arc(cx, cy, radius, start, end, width, colour, alpha)
    return c.scaled(size) if size != ICON_SIZE else c


def icon_svg():
    """The icon's shapes as SVG: angles count anticlockwise, y grows downwards."""
    def rgb(colour):
        return "#%02x%02x%02x" % colour
    elements = []
    for kind, cx, cy, radius, colour, alpha, *stroke in ICON_SHAPES:
        if kind == "disc":
            elements.append('<circle cx="%g" cy="%g" r="%g" fill="%s" fill-opacity="%g"/>'
                            % (cx, cy, radius, rgb(colour), alpha))
            continue
        start, end, width = stroke
        points = [(cx + radius * math.cos(math.radians(a)), cy - radius * math.sin(math.radians(a)))
                  for a in (start, end)]
        large = 1 if end - start > 180 else 0
        elements.append(
            '<path d="M %.3f %.3f A %g %g 0 %d 0 %.3f %.3f" fill="none" stroke="%s" '
            'stroke-width="%g" stroke-opacity="%g"/>'
            % (points[0][0], points[0][1], radius, radius, large, points[1][0], points[1][1],
               rgb(colour), width, alpha))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
            % ((ICON_SIZE,) * 4) + "".join("  %s\n" % e for e in elements) + "</svg>\n")


def main():
    for unit, suffix in ((1, ""), (2, "@2x")):
        title_bitmap(unit).write_png(os.path.join(HERE, "bitmaps", "106%s.png" % suffix))
        readout_bitmap(unit).write_png(os.path.join(HERE, "bitmaps", "104%s.png" % suffix))
    for size in ICON_PNG_SIZES:
        icon(size).write_png(os.path.join(HERE, "icons", "tambrix-%d.png" % size))
    with open(os.path.join(HERE, "icons", "tambrix.svg"), "w") as out:
        out.write(icon_svg())


if __name__ == "__main__":
    main()
