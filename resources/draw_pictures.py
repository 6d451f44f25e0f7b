#!/usr/bin/env python3
"""Draws the pictures of Telvane and Quorrel: the tree image strips, the banners, the logo and the
icons.

Shapes are described by signed distance functions and rendered with analytic anti-aliasing, so the
same drawing serves the base size and the doubled one. Run it from anywhere; it writes into
bitmaps/, telvane.ico and quorrel.ico beside this script. The outputs are committed, so building needs no Python.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
UNAVAILABLE = (150, 150, 150)
BOX_BORDER = (74, 90, 110)
BOX_FILL_TOP = (255, 255, 255)
BOX_FILL_BOTTOM = (222, 230, 238)
TICK = (36, 140, 64)
MIXED = (96, 124, 156)
PHONE_BODY = (52, 64, 82)
PHONE_SCREEN = (150, 210, 240)
BADGE = (230, 120, 30)
ENVELOPE = (246, 238, 214)
ENVELOPE_LINE = (150, 120, 70)
SIM_BODY = (60, 110, 170)
SIM_CHIP = (232, 190, 80)
SIM_CHIP_LINE = (170, 130, 40)
PERSON = (90, 150, 90)
ARROW = (70, 70, 70)
CROSS = (200, 50, 50)
BANNER_TOP = (255, 255, 255)
BANNER_BOTTOM = (214, 228, 244)


class Canvas:
    """A straight-alpha RGBA image that shapes are composited onto."""

    def __init__(self, width, height, background=None):
        self.width = width
        self.height = height
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]
        if background:
            for y in range(height):
                colour = background(y / max(1, height - 1))
                self.pixels[y] = [(*colour, 1.0)] * width

    def paint(self, distance, colour, opacity=1.0):
        """Composites colour wherever distance(x, y) < 0, with a one-pixel soft edge."""
        for y in range(self.height):
            for x in range(self.width):
                coverage = min(1.0, max(0.0, 0.5 - distance(x + 0.5, y + 0.5))) * opacity
                if coverage > 0.0:
                    self.pixels[y][x] = blend(self.pixels[y][x], colour, coverage)

    def blit(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                r, g, b, a = other.pixels[y][x]
                if a > 0.0 and 0 <= left + x < self.width and 0 <= top + y < self.height:
                    self.pixels[top + y][left + x] = blend(
                        self.pixels[top + y][left + x], (r, g, b), a)


def blend(under, colour, alpha):
    ur, ug, ub, ua = under
    out_alpha = alpha + ua * (1.0 - alpha)
    if out_alpha <= 0.0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = [(c * alpha + u * ua * (1.0 - alpha)) / out_alpha for c, u in zip(colour, (ur, ug, ub))]
    return (*mix, out_alpha)


def vertical_gradient(top, bottom):
    return lambda t: tuple(a + (b - a) * t for a, b in zip(top, bottom))


# Signed distance functions, in pixels.

def rounded_rect(left, top, right, bottom, radius):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return distance


def ring(shape, width):
    return lambda x, y: abs(shape(x, y) + width / 2) - width / 2


def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def segment(ax, ay, bx, by, width):
    def distance(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - dx * t, py - dy * t) - width / 2
    return distance


def polyline(points, width):
    parts = [segment(*a, *b, width) for a, b in zip(points, points[1:])]
    return lambda x, y: min(part(x, y) for part in parts)


def union(*shapes):
    return lambda x, y: min(shape(x, y) for shape in shapes)


def subtract(shape, hole):
    return lambda x, y: max(shape(x, y), -hole(x, y))


def polygon(points):
    """Distance to a convex polygon given clockwise in screen coordinates."""
    edges = list(zip(points, points[1:] + points[:1]))

    def distance(x, y):
        inside = True
        nearest = float("inf")
        for (ax, ay), (bx, by) in edges:
            nearest = min(nearest, segment(ax, ay, bx, by, 0.0)(x, y))
            if (bx - ax) * (y - ay) - (by - ay) * (x - ax) < 0:
                inside = False
        return -nearest if inside else nearest
    return distance


# Pictures, drawn into a square or rectangle of side `s` (scale 1 = the 25-pixel cell).

def check_box(canvas, s, mark):
    box = rounded_rect(4 * s, 4 * s, 21 * s, 21 * s, 2.5 * s)
    fill = Canvas(canvas.width, canvas.height, vertical_gradient(BOX_FILL_TOP, BOX_FILL_BOTTOM))
    for y in range(canvas.height):
        for x in range(canvas.width):
            coverage = min(1.0, max(0.0, 0.5 - box(x + 0.5, y + 0.5)))
            if coverage > 0:
                canvas.pixels[y][x] = blend(canvas.pixels[y][x], fill.pixels[y][x][:3], coverage)
    canvas.paint(ring(box, 1.6 * s), BOX_BORDER)
    if mark == "tick":
        canvas.paint(polyline([(7.5 * s, 12.5 * s), (11 * s, 16.5 * s), (18 * s, 8 * s)], 2.8 * s),
                     TICK)
    elif mark == "mixed":
        canvas.paint(rounded_rect(8.5 * s, 8.5 * s, 16.5 * s, 16.5 * s, 1.2 * s), MIXED)


def mobile_phone(canvas, s, left=0.0, top=0.0):
    canvas.paint(rounded_rect(left + 7 * s, top + 2.5 * s, left + 18 * s, top + 22.5 * s, 2.5 * s),
                 PHONE_BODY)
    canvas.paint(rounded_rect(left + 9 * s, top + 5 * s, left + 16 * s, top + 12 * s, 0.8 * s),
                 PHONE_SCREEN)
    for row in range(3):
        for col in range(3):
            canvas.paint(circle(left + (9.8 + col * 2.7) * s, top + (14.6 + row * 2.5) * s,
                                0.85 * s), WHITE)


def second_phone(canvas, s):
    mobile_phone(canvas, s, left=-2 * s)
    canvas.paint(circle(18.5 * s, 17.5 * s, 5.5 * s), BADGE)
    two = polyline([(16.3 * s, 15.6 * s), (17.2 * s, 14.4 * s), (19.4 * s, 14.3 * s),
                    (20.4 * s, 15.8 * s), (16.2 * s, 20.6 * s), (20.8 * s, 20.6 * s)], 1.5 * s)
    canvas.paint(two, WHITE)


def envelope(canvas, s):
    body = rounded_rect(3 * s, 6 * s, 22 * s, 19 * s, 1.2 * s)
    canvas.paint(body, ENVELOPE)
    canvas.paint(ring(body, 1.3 * s), ENVELOPE_LINE)
    canvas.paint(polyline([(3.8 * s, 7 * s), (12.5 * s, 13.5 * s), (21.2 * s, 7 * s)], 1.3 * s),
                 ENVELOPE_LINE)


def sim_card(canvas, s, left, top, chip=True):
    """A SIM card 16 × 20 units with its corner cut, at (left, top)."""
    outline = polygon([(left + 0 * s, top + 0 * s), (left + 11 * s, top + 0 * s),
                       (left + 16 * s, top + 5 * s), (left + 16 * s, top + 20 * s),
                       (left + 0 * s, top + 20 * s)])
    canvas.paint(outline, SIM_BODY)
    if not chip:
        return
    contacts = rounded_rect(left + 3.5 * s, top + 8 * s, left + 12.5 * s, top + 16 * s, 1.2 * s)
    canvas.paint(contacts, SIM_CHIP)
    canvas.paint(union(segment(left + 8 * s, top + 8 * s, left + 8 * s, top + 16 * s, 0.7 * s),
                       segment(left + 3.5 * s, top + 12 * s, left + 12.5 * s, top + 12 * s,
                               0.7 * s)), SIM_CHIP_LINE)


def person(canvas, s, left, top):
    """A contact silhouette 16 × 20 units at (left, top)."""
    canvas.paint(circle(left + 8 * s, top + 6 * s, 4.5 * s), PERSON)
    shoulders = subtract(circle(left + 8 * s, top + 21 * s, 8 * s),
                         lambda x, y: (top + 20 * s) - y)
    canvas.paint(lambda x, y: max(shoulders(x, y), y - (top + 20 * s)), PERSON)


def arrow(canvas, s, left, top, length):
    mid = top + 10 * s
    canvas.paint(segment(left, mid, left + length - 4 * s, mid, 2.6 * s), ARROW)
    canvas.paint(polygon([(left + length - 6 * s, mid - 5 * s), (left + length, mid),
                          (left + length - 6 * s, mid + 5 * s)]), ARROW)


def tree_strip(cell):
    """The images of the tree's image list, side by side. The e-mail icon has index 13, so the
    strip holds 14 cells; the cells without a meaning stay transparent."""
    s = cell / 25
    strip = Canvas(14 * cell, cell)
    drawers = {0: lambda c: check_box(c, s, "mixed"), 4: lambda c: check_box(c, s, None),
               7: lambda c: check_box(c, s, "tick"), 10: lambda c: mobile_phone(c, s),
               11: lambda c: second_phone(c, s), 13: lambda c: envelope(c, s)}
    for index, draw in drawers.items():
        image = Canvas(cell, cell)
        draw(image)
        strip.blit(image, index * cell, 0)
    return strip


def banner(width, height, left_icon, right_icon, middle):
    s = height / 32
    canvas = Canvas(width, height, vertical_gradient(BANNER_TOP, BANNER_BOTTOM))
    top = 6 * s
    left_icon(canvas, s, width - 88 * s, top)
    middle(canvas, s, width - 64 * s, top)
    right_icon(canvas, s, width - 26 * s, top)
    return canvas


def arrow_between(canvas, s, left, top):
    arrow(canvas, s, left, top, 28 * s)


def trash_can(canvas, s, left, top):
    """A waste bin 16 × 20 units at (left, top)."""
    body = polygon([(left + 2 * s, top + 5 * s), (left + 14 * s, top + 5 * s),
                    (left + 12.5 * s, top + 20 * s), (left + 3.5 * s, top + 20 * s)])
    canvas.paint(body, CROSS)
    canvas.paint(rounded_rect(left + 0.5 * s, top + 2 * s, left + 15.5 * s, top + 4.2 * s, 0.8 * s),
                 CROSS)
    canvas.paint(rounded_rect(left + 6 * s, top + 0 * s, left + 10 * s, top + 2.5 * s, 0.8 * s),
                 CROSS)
    for x in (5.5, 8, 10.5):
        canvas.paint(segment(left + x * s, top + 8 * s, left + x * s, top + 17.5 * s, 1.1 * s),
                     WHITE)


def retrieve_banner(width, height):
    s = height / 22
    canvas = Canvas(width, height, vertical_gradient(BANNER_TOP, BANNER_BOTTOM))
    person(canvas, s * 0.9, 4 * s, 1.5 * s)
    arrow(canvas, s * 0.9, 23 * s, 1.5 * s, 20 * s)
    sim_card(canvas, s * 0.9, 46 * s, 1.5 * s)
    return canvas


def logo_mark(canvas, s, left, top):
    """The program's mark: a SIM card carrying a T, with signal waves."""
    sim_card(canvas, s, left, top, chip=False)
    canvas.paint(union(segment(left + 4 * s, top + 8 * s, left + 12 * s, top + 8 * s, 2.2 * s),
                       segment(left + 8 * s, top + 8 * s, left + 8 * s, top + 17 * s, 2.2 * s)),
                 WHITE)
    corner_x, corner_y = left + 17 * s, top - 1 * s
    for radius in (2.5, 5.0):
        wave = ring(circle(corner_x, corner_y, radius * s), 1.2 * s)
        canvas.paint(lambda x, y, w=wave: max(w(x, y), corner_x - x, y - corner_y), BADGE)


def logo(width, height):
    canvas = Canvas(width, height, vertical_gradient(BANNER_TOP, BANNER_BOTTOM))
    s = height / 28
    logo_mark(canvas, s, (width - 22 * s) / 2, 6 * s)
    return canvas


def icon_image(size):
    canvas = Canvas(size, size)
    s = size / 24
    logo_mark(canvas, s, 1.5 * s, 3.5 * s)
    return canvas


def plain_check_box(canvas, s, left, colour, tick):
    """Quorrel's check box: a square outline, ticked or not, in one colour."""
    box = rounded_rect(left + 4 * s, 4 * s, left + 21 * s, 21 * s, 1.5 * s)
    canvas.paint(ring(box, 2.2 * s), colour)
    if tick:
        canvas.paint(polyline([(left + 8 * s, 12.5 * s), (left + 11.5 * s, 16.5 * s),
                               (left + 17.5 * s, 8.5 * s)], 3 * s), colour)


def quorrel_check_strip(cell):
    """Eight images side by side: 2 an unavailable box, 3 an empty one, 5 a number already
    copied, 6 a checked one; the others are blank."""
    s = cell / 25
    strip = Canvas(8 * cell, cell)
    for index, colour, tick in ((2, UNAVAILABLE, False), (3, BLACK, False), (5, UNAVAILABLE, True),
                                (6, BLACK, True)):
        plain_check_box(strip, s, index * cell, colour, tick)
    return strip


def quorrel_icon(size):
    canvas = Canvas(size, size)
    s = size / 24
    sim_card(canvas, s * 0.9, 2 * s, 2 * s, chip=True)
    person(canvas, s * 0.7, 12.5 * s, 8.5 * s)
    return canvas


# Writers.

def bgra_rows(canvas, opaque_on=None):
    """Bottom-up rows of BGRA bytes; fully transparent pixels carry white so that a viewer which
    ignores alpha still shows a clean background."""
    rows = []
    for y in reversed(range(canvas.height)):
        row = bytearray()
        for r, g, b, a in canvas.pixels[y]:
            if opaque_on is not None:
                r, g, b, _ = blend((*opaque_on, 1.0), (r, g, b), a)
                a = 1.0
            if a <= 0.0:
                r, g, b = WHITE
            row += bytes((round(b), round(g), round(r), round(a * 255)))
        rows.append(bytes(row))
    return rows


def write_bmp(path, canvas, with_alpha):
    if with_alpha:
        pixel_rows = bgra_rows(canvas)
        bits = 32
    else:
        pixel_rows = []
        for row in bgra_rows(canvas, opaque_on=WHITE):
            packed = bytearray()
            for i in range(0, len(row), 4):
                packed += row[i:i + 3]
            packed += bytes((-len(packed)) % 4)
            pixel_rows.append(bytes(packed))
        bits = 24
    data = b"".join(pixel_rows)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, bits, 0, len(data),
                       3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as out:
        out.write(header + info + data)


def write_ico(path, canvases):
    entries, images = [], []
    offset = 6 + 16 * len(canvases)
    for canvas in canvases:
        xor = b"".join(bgra_rows(canvas))
        mask_stride = ((canvas.width + 31) // 32) * 4
        mask = bytes(mask_stride * canvas.height)
        info = struct.pack("<IiiHHIIiiII", 40, canvas.width, 2 * canvas.height, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        image = info + xor + mask
        entries.append(struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0, 1,
                                   32, len(image), offset))
        images.append(image)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(canvases)) + b"".join(entries) + b"".join(images))


def main():
    out = os.path.join(HERE, "bitmaps")
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "tree_images_25.bmp"), tree_strip(25), with_alpha=True)
    write_bmp(os.path.join(out, "tree_images_50.bmp"), tree_strip(50), with_alpha=True)
    pictures = {
        "copy_banner": lambda k: banner(120 * k, 32 * k, sim_card, person, arrow_between),
        "delete_banner": lambda k: banner(120 * k, 32 * k, sim_card, trash_can, arrow_between),
        "retrieve_banner": lambda k: retrieve_banner(64 * k, 22 * k),
    }
    for name, draw in pictures.items():
        write_bmp(os.path.join(out, name + ".bmp"), draw(1), with_alpha=False)
        write_bmp(os.path.join(out, name + "_hires.bmp"), draw(2), with_alpha=False)
    write_bmp(os.path.join(out, "logo.bmp"), logo(120, 60), with_alpha=False)
    write_ico(os.path.join(HERE, "telvane.ico"), [icon_image(16), icon_image(32), icon_image(48)])
    write_bmp(os.path.join(out, "quorrel_checks.bmp"), quorrel_check_strip(15), with_alpha=False)
    write_ico(os.path.join(HERE, "quorrel.ico"), [quorrel_icon(16), quorrel_icon(32)])


if __name__ == "__main__":
    main()
