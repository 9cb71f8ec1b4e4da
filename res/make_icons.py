#!/usr/bin/env python3
"""Draw Vantora's icons and link cursor and write them as .ico/.cur files.

The art is generated rather than kept as hand-edited binaries so that it can
be reviewed, tweaked and rebuilt from a text diff. Only the standard library
is used, so any Python 3 can regenerate the files without extra packages.

Usage:
    python3 make_icons.py [--out DIR] [--preview FILE.png]

Output goes next to this script unless --out is given. --preview writes an
enlarged contact sheet of every image on light, mid and dark backgrounds.
"""

import argparse
import colorsys
import math
import os
import struct
import zlib

# ---------------------------------------------------------------------------
# Vector drawing: every shape is a signed distance function (negative inside),
# sampled on a sub-pixel grid. Distances make outlines and insets trivial and
# keep all sizes consistent without a graphics library.
# ---------------------------------------------------------------------------

SUPERSAMPLE = 8


def sd_round_box(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return f


def sd_convex_polygon(points):
    # Points must be clockwise in y-down coordinates. Exact inside, slightly
    # pointy outside, which is fine: it is only ever grown by a pixel or so.
    edges = []
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        ex, ey = bx - ax, by - ay
        n = math.hypot(ex, ey)
        edges.append((ax, ay, ey / n, -ex / n))

    def f(x, y):
        return max((x - ax) * nx + (y - ay) * ny for ax, ay, nx, ny in edges)
    return f


def sd_polyline(points, width):
    half = width / 2
    segs = list(zip(points, points[1:]))

    def f(x, y):
        best = float("inf")
        for (ax, ay), (bx, by) in segs:
            ex, ey = bx - ax, by - ay
            t = ((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey)
            t = min(max(t, 0.0), 1.0)
            best = min(best, math.hypot(x - ax - t * ex, y - ay - t * ey))
        return best - half
    return f


def grow(sd, amount):
    return lambda x, y: sd(x, y) - amount


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def solid(rgb, alpha=1.0):
    colour = (rgb[0] / 255, rgb[1] / 255, rgb[2] / 255, alpha)
    return lambda x, y: colour


def vertical_gradient(top_rgb, bottom_rgb, y0, y1):
    def f(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple((a + (b - a) * t) / 255
                     for a, b in zip(top_rgb, bottom_rgb)) + (1.0,)
    return f


def render(size, layers):
    """Return size*size RGBA tuples (straight alpha, 0..1), row 0 on top."""
    n = SUPERSAMPLE
    offsets = [(i + 0.5) / n for i in range(n)]
    pixels = []
    for py in range(size):
        for px in range(size):
            acc_r = acc_g = acc_b = acc_a = 0.0
            for oy in offsets:
                y = py + oy
                for ox in offsets:
                    x = px + ox
                    r = g = b = a = 0.0  # premultiplied
                    for shape, paint in layers:
                        if shape(x, y) <= 0:
                            lr, lg, lb, la = paint(x, y)
                            k = 1 - la
                            r, g, b, a = (lr * la + r * k, lg * la + g * k,
                                          lb * la + b * k, la + a * k)
                    acc_r += r
                    acc_g += g
                    acc_b += b
                    acc_a += a
            if acc_a > 0:
                pixels.append((acc_r / acc_a, acc_g / acc_a, acc_b / acc_a,
                               acc_a / (n * n)))
            else:
                pixels.append((0.0, 0.0, 0.0, 0.0))
    return pixels


# ---------------------------------------------------------------------------
# Artwork
# ---------------------------------------------------------------------------

OUTLINE = (38, 44, 58)
BEZEL_TOP = (226, 231, 239)
BEZEL_BOTTOM = (160, 169, 184)
SCREEN_TOP = (30, 62, 118)
SCREEN_BOTTOM = (10, 22, 52)
STAND_SMALL = (92, 102, 122)

# Hand-fitted per size: at 16-48 px a purely scaled drawing lands edges on
# half pixels and turns blurry, so every box sits on whole pixels.
MONITOR_LAYOUT = {
    #     body box          radius bezel  neck box         base box        ring R, width
    16: ((0, 0, 16, 13), 2.0, 2, (6, 13, 10, 14), (3, 14, 13, 16), 2.8, 1.6),
    24: ((0, 2, 24, 19), 2.5, 2, (9, 19, 15, 21), (5, 21, 19, 23), 3.9, 2.0),
    32: ((1, 3, 31, 25), 3.0, 2, (12, 25, 20, 28), (7, 28, 25, 31), 5.4, 2.6),
    48: ((1, 4, 47, 37), 4.0, 3, (18, 37, 30, 42), (10, 42, 38, 46), 8.2, 3.8),
}

# The arrow runs clockwise (angles grow clockwise with y pointing down) and
# leaves a gap near the top so it reads as "cycle", like a refresh symbol.
ARC_START = math.radians(-40)
ARC_END = math.radians(235)


def arc_colour(t):
    # One trip through the hue wheel along the arrow suggests a sequence of
    # different screensavers taking turns.
    r, g, b = colorsys.hsv_to_rgb((0.98 + 0.62 * t) % 1.0, 0.72, 1.0)
    return (r, g, b, 1.0)


def cycle_arrow(cx, cy, radius, width):
    sweep = ARC_END - ARC_START

    def param(x, y):
        ang = math.atan2(y - cy, x - cx)
        return ((ang - ARC_START) % (2 * math.pi)) / sweep

    def band(x, y):
        t = param(x, y)
        radial = abs(math.hypot(x - cx, y - cy) - radius) - width / 2
        return radial if t <= 1.0 else 1.0

    ex, ey = cx + radius * math.cos(ARC_END), cy + radius * math.sin(ARC_END)
    tx, ty = -math.sin(ARC_END), math.cos(ARC_END)   # direction of travel
    nx, ny = math.cos(ARC_END), math.sin(ARC_END)    # outward
    half, length = width * 1.15, width * 1.35
    head = sd_convex_polygon([
        (ex + nx * half, ey + ny * half),
        (ex + tx * length, ey + ty * length),
        (ex - nx * half, ey - ny * half),
    ])
    end_colour = arc_colour(1.0)
    return [
        (band, lambda x, y: arc_colour(min(param(x, y), 1.0))),
        (head, lambda x, y: end_colour),
    ]


def monitor_layers(size):
    body, radius, bezel, neck, base, ring_r, ring_w = MONITOR_LAYOUT[size]
    x0, y0, x1, y1 = body
    sx0, sy0, sx1, sy1 = x0 + bezel, y0 + bezel, x1 - bezel, y1 - bezel
    outer = sd_round_box(x0, y0, x1, y1, radius)
    screen = sd_round_box(sx0, sy0, sx1, sy1, max(radius - bezel, 0.5))

    layers = []
    # Stand first so the body's outline overlaps the joint cleanly.
    for box, r in ((neck, 0.0), (base, 1.0 if size < 32 else 1.5)):
        sd = sd_round_box(*box, r)
        if box[3] - box[1] > 2:
            layers.append((sd, solid(OUTLINE)))
            layers.append((grow(sd, -1),
                           vertical_gradient(BEZEL_TOP, BEZEL_BOTTOM,
                                             box[1], box[3])))
        else:
            # Too thin for outline plus fill; a mid tone stays visible on
            # both light and dark backgrounds.
            layers.append((sd, solid(STAND_SMALL)))
    layers += [
        (outer, solid(OUTLINE)),
        (grow(outer, -1), vertical_gradient(BEZEL_TOP, BEZEL_BOTTOM, y0, y1)),
        (screen, vertical_gradient(SCREEN_TOP, SCREEN_BOTTOM, sy0, sy1)),
    ]
    cx, cy = (sx0 + sx1) / 2, (sy0 + sy1) / 2
    layers += cycle_arrow(cx, cy, ring_r, ring_w)
    if size >= 24:
        # A faint diagonal sheen makes the dark panel read as glass.
        sheen = sd_convex_polygon([(sx0, sy0), (sx1, sy0),
                                   (sx1, sy0 + (sy1 - sy0) * 0.2),
                                   (sx0, sy0 + (sy1 - sy0) * 0.75)])
        layers.append((intersect(screen, sheen), solid((255, 255, 255), 0.10)))
    return layers


def tick_layers():
    path = [(2.6, 8.6), (6.2, 12.2), (13.4, 3.8)]
    return [
        (sd_polyline(path, 4.2), solid((22, 92, 40))),
        (sd_polyline(path, 2.2), vertical_gradient((110, 214, 110),
                                                   (40, 160, 70), 3, 13)),
    ]


def play_layers():
    tri = sd_convex_polygon([(4.0, 2.0), (14.0, 8.0), (4.0, 14.0)])
    return [
        (grow(tri, 0.6), solid((24, 60, 130))),
        (grow(tri, -0.6), vertical_gradient((120, 180, 255),
                                            (40, 110, 215), 2, 14)),
    ]


# A 1-bit cursor cannot be antialiased, so it is drawn pixel by pixel.
# '#' black, '.' white, ' ' transparent. The fingertip is the hotspot.
HAND = [
    "      ##",
    "     #..#",
    "     #..#",
    "     #..#",
    "     #..#",
    "     #..###",
    "     #..#..###",
    "     #..#..#..###",
    "     #..#..#..#..#",
    "     #..#..#..#..#",
    " ##  #..#..#..#..#",
    "#..# #..#..#..#..#",
    "#...##...........#",
    " #...............#",
    " #...............#",
    "  #..............#",
    "  #..............#",
    "   #.............#",
    "   #............#",
    "    #...........#",
    "    #..........#",
    "     #.........#",
    "     #.........#",
    "     ###########",
]
HAND_HOTSPOT = (6, 0)


# ---------------------------------------------------------------------------
# File encoding
# ---------------------------------------------------------------------------

def _row_bytes(bits_per_pixel, width):
    return ((width * bits_per_pixel + 31) // 32) * 4


def _pack_mask(bits, size):
    """Pack 0/1 values (row 0 on top) into a bottom-up 1-bpp bitmap."""
    stride = _row_bytes(1, size)
    out = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if bits[y * size + x]:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def _bitmap_header(size, bpp, image_bytes, colours):
    # ICO/CUR images are DIBs whose height counts the XOR and AND masks.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                       image_bytes, 0, 0, colours, 0)


def _to_bytes(pixels):
    return [tuple(int(round(c * 255)) for c in p) for p in pixels]


def encode_32bpp(size, pixels):
    px = _to_bytes(pixels)
    xor = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = px[y * size + x]
            xor += bytes((b, g, r, a)) if a else bytes(4)
    mask = _pack_mask([p[3] == 0 for p in px], size)
    return _bitmap_header(size, 32, len(xor) + len(mask), 0) + bytes(xor) + mask


def median_cut(colours, limit):
    """Reduce a {rgb: count} histogram to at most `limit` colours."""
    boxes = [list(colours.items())]
    while len(boxes) < limit:
        best, best_spread, best_axis = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                vals = [c[axis] for c, _ in box]
                spread = (max(vals) - min(vals)) * sum(n for _, n in box)
                if spread > best_spread:
                    best, best_spread, best_axis = i, spread, axis
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: item[0][best_axis])
        total, running, cut = sum(n for _, n in box), 0, 1
        for cut, (_, n) in enumerate(box, 1):
            running += n
            if running * 2 >= total:
                break
        cut = min(max(cut, 1), len(box) - 1)
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[k] * n for c, n in box) / total))
                             for k in range(3)))
    return palette


def encode_8bpp(size, pixels):
    px = _to_bytes(pixels)
    # Without an alpha channel, a half-covered edge pixel is either in or out;
    # cutting at one half keeps outlines the same weight as in the 32-bpp art.
    opaque = [p[3] >= 128 for p in px]
    hist = {}
    for p, keep in zip(px, opaque):
        if keep:
            hist[p[:3]] = hist.get(p[:3], 0) + 1
    # Index 0 stays black: transparent pixels need a black XOR colour so the
    # AND mask leaves the background untouched.
    palette = [(0, 0, 0)] + median_cut(hist, 255)
    cache = {}

    def nearest(rgb):
        if rgb not in cache:
            cache[rgb] = min(range(1, len(palette)), key=lambda i: sum(
                (a - b) ** 2 for a, b in zip(palette[i], rgb)))
        return cache[rgb]

    stride = _row_bytes(8, size)
    xor = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            i = y * size + x
            if opaque[i]:
                row[x] = nearest(px[i][:3])
        xor += row
    mask = _pack_mask([not o for o in opaque], size)
    palette += [(0, 0, 0)] * (256 - len(palette))
    rgbquads = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return (_bitmap_header(size, 8, len(xor) + len(mask), 256) + rgbquads
            + bytes(xor) + mask)


def encode_1bpp_cursor(size, art):
    xor_bits, and_bits = [], []
    for y in range(size):
        line = art[y] if y < len(art) else ""
        for x in range(size):
            ch = line[x] if x < len(line) else " "
            xor_bits.append(ch == ".")
            and_bits.append(ch == " ")
    xor = _pack_mask(xor_bits, size)
    mask = _pack_mask(and_bits, size)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    return (_bitmap_header(size, 1, len(xor) + len(mask), 2) + palette
            + xor + mask)


def build_directory(kind, entries):
    """entries: (size, colour_count, field_a, field_b, image_bytes).

    For icons field_a/field_b are planes and bit count; for cursors they hold
    the hotspot, which is why the fields are kept generic here.
    """
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = len(out) + 16 * len(entries)
    body = b""
    for size, ncolours, a, b, data in entries:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, ncolours, 0,
                           a, b, len(data), offset + len(body))
        body += data
    return out + body


def icon_file(images):
    """images: (size, bpp, pixels)."""
    entries = []
    for size, bpp, pixels in images:
        data = encode_8bpp(size, pixels) if bpp == 8 else encode_32bpp(size, pixels)
        entries.append((size, 0, 1, bpp, data))
    return build_directory(1, entries)


def cursor_file(art, hotspot, size=32):
    data = encode_1bpp_cursor(size, art)
    return build_directory(2, [(size, 2, hotspot[0], hotspot[1], data)])


# ---------------------------------------------------------------------------
# Preview sheet (PNG), for checking the art by eye
# ---------------------------------------------------------------------------

def write_png(path, width, height, rgb_rows):
    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(row) for row in rgb_rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2,
                                           0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def write_preview(path, tiles, zoom=6, pad=8):
    """tiles: (size, pixels) with straight-alpha RGBA in 0..1."""
    backgrounds = [(255, 255, 255), (128, 128, 128), (24, 24, 24)]
    lefts, width = [], pad
    for size, _ in tiles:
        lefts.append(width)
        width += size * zoom + pad + size + 2 * pad
    band = max(s for s, _ in tiles) * zoom + 2 * pad
    height = band * len(backgrounds)
    canvas = []
    for bg in backgrounds:
        canvas += [list(bg) * width for _ in range(band)]
    for bi, bg in enumerate(backgrounds):
        for (size, pixels), left in zip(tiles, lefts):
            top = bi * band + pad
            for scale, ox in ((zoom, 0), (1, size * zoom + pad)):
                for y in range(size * scale):
                    row = canvas[top + y]
                    for x in range(size * scale):
                        r, g, b, a = pixels[(y // scale) * size + x // scale]
                        px = (left + ox + x) * 3
                        for k, c in enumerate((r, g, b)):
                            row[px + k] = int(round(c * 255 * a
                                                    + bg[k] * (1 - a)))
    write_png(path, width, height, canvas)


def quantised_view(size, pixels):
    """What the 8-bpp image will look like: decode the encoded bytes."""
    data = encode_8bpp(size, pixels)
    palette = data[40:40 + 1024]
    stride = _row_bytes(8, size)
    xor = data[40 + 1024:40 + 1024 + stride * size]
    mask = data[40 + 1024 + stride * size:]
    mstride = _row_bytes(1, size)
    out = []
    for y in range(size):
        for x in range(size):
            by = size - 1 - y
            transparent = mask[by * mstride + x // 8] & (0x80 >> (x % 8))
            i = xor[by * stride + x]
            b, g, r = palette[i * 4:i * 4 + 3]
            out.append((0, 0, 0, 0) if transparent
                       else (r / 255, g / 255, b / 255, 1.0))
    return out


def cursor_view(art, size=32):
    out = []
    for y in range(size):
        line = art[y] if y < len(art) else ""
        for x in range(size):
            ch = line[x] if x < len(line) else " "
            out.append({"#": (0, 0, 0, 1.0), ".": (1, 1, 1, 1.0)}.get(
                ch, (0, 0, 0, 0)))
    return out


# ---------------------------------------------------------------------------

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=here)
    parser.add_argument("--preview", metavar="PNG")
    args = parser.parse_args()

    monitor = {s: render(s, monitor_layers(s)) for s in sorted(MONITOR_LAYOUT)}
    tick = render(16, tick_layers())
    play = render(16, play_layers())

    # Largest and deepest first, so viewers that only show the first image
    # of a file show the best one.
    images = [(s, bpp, monitor[s]) for bpp in (32, 8)
              for s in sorted(monitor, reverse=True)]
    outputs = {
        "vantora.ico": icon_file(images),
        "small1.ico": icon_file([(16, 32, tick)]),
        "small2.ico": icon_file([(16, 32, play)]),
        "hand.cur": cursor_file(HAND, HAND_HOTSPOT),
    }
    for name, data in outputs.items():
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)
        print(f"wrote {name} ({len(data)} bytes)")

    if args.preview:
        tiles = [(s, monitor[s]) for s in sorted(monitor)]
        tiles += [(s, quantised_view(s, monitor[s])) for s in sorted(monitor)]
        tiles += [(16, tick), (16, play), (32, cursor_view(HAND))]
        write_preview(args.preview, tiles)
        print(f"wrote preview {args.preview}")


if __name__ == "__main__":
    main()
