#!/usr/bin/env python3
"""Draw the GearRack Installer icon and write gearrack.ico and preview.png.

The icon shows a blue gear meshing with an amber toothed rack on a
transparent background.  Each size (48, 32 and 16 pixels) is drawn on its
own with proportions tuned for that size, and every pixel is supersampled
for smooth edges.  Each size is stored at 4, 8 and 32 bits per pixel: the
palette images take the nearest colour of the 16-colour system palette or
of a 256-colour cube, and are transparent where the drawing is mostly so.  Only the Python standard library is used and the output
is byte-for-byte the same on every run.

Usage, from the repository root:
    python3 res/art/make_icon.py
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ICO_PATH = os.path.join(HERE, "gearrack.ico")
PREVIEW_PATH = os.path.join(HERE, "preview.png")

SUPERSAMPLE = 4  # samples per pixel along each axis


# ---------------------------------------------------------------------------
# Geometry helpers
# ---------------------------------------------------------------------------

def polygon_sdf(poly, x, y):
    """Signed distance from (x, y) to a closed polygon: negative inside."""
    best = float("inf")
    inside = False
    n = len(poly)
    x1, y1 = poly[-1]
    for i in range(n):
        x2, y2 = poly[i]
        dx, dy = x2 - x1, y2 - y1
        px, py = x - x1, y - y1
        seg = dx * dx + dy * dy
        t = (px * dx + py * dy) / seg if seg else 0.0
        if t < 0.0:
            t = 0.0
        elif t > 1.0:
            t = 1.0
        ex, ey = px - t * dx, py - t * dy
        d = ex * ex + ey * ey
        if d < best:
            best = d
        if (y1 > y) != (y2 > y):
            if x < x1 + (y - y1) * dx / dy:
                inside = not inside
        x1, y1 = x2, y2
    d = math.sqrt(best)
    return -d if inside else d


def arc(cx, cy, r, a0, a1, steps):
    """Points along a circular arc from angle a0 to a1 (inclusive)."""
    return [(cx + r * math.cos(a0 + (a1 - a0) * i / steps),
             cy + r * math.sin(a0 + (a1 - a0) * i / steps))
            for i in range(steps + 1)]


def gear_outline(cx, cy, teeth, r_root, r_tip, tip_frac, root_frac, phase):
    """Closed outline of a spur gear with trapezoidal teeth.

    tip_frac and root_frac are the fractions of one tooth pitch taken by the
    flat top of a tooth and by the gap floor between two teeth; the rest is
    split evenly between the two flanks.
    """
    pitch = 2.0 * math.pi / teeth
    flank = (1.0 - tip_frac - root_frac) / 2.0 * pitch
    pts = []
    for k in range(teeth):
        a = phase + k * pitch - tip_frac * pitch / 2.0   # tip start
        tip0, tip1 = a, a + tip_frac * pitch
        root0 = tip1 + flank
        root1 = root0 + root_frac * pitch
        pts += arc(cx, cy, r_tip, tip0, tip1, 4)
        pts += arc(cx, cy, r_root, root0, root1, 4)
    return pts


def rack_outline(x0, x1, y_base_top, y_bottom, y_tip, centres, top_w, base_w):
    """Closed outline of a rack bar: rectangle with trapezoidal teeth on top.

    centres are the x positions of the tooth centre lines; top_w and base_w
    are the widths of a tooth at its tip and where it meets the bar.
    """
    pts = [(x0, y_bottom), (x0, y_base_top)]
    for c in centres:
        pts += [(c - base_w / 2.0, y_base_top), (c - top_w / 2.0, y_tip),
                (c + top_w / 2.0, y_tip), (c + base_w / 2.0, y_base_top)]
    pts += [(x1, y_base_top), (x1, y_bottom)]
    return pts


def mix(a, b, t):
    t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def hexrgb(s):
    return tuple(int(s[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


# Palette
GEAR_LIGHT = hexrgb("8cc4f2")
GEAR_MID = hexrgb("3d7fcf")
GEAR_DARK = hexrgb("1a3f8f")
GEAR_EDGE = hexrgb("0c1d45")
HUB_LIGHT = hexrgb("d6ebff")
HUB_DARK = hexrgb("5b93d6")
RACK_LIGHT = hexrgb("ffd166")
RACK_DARK = hexrgb("e8750c")
RACK_EDGE = hexrgb("5c2a00")


# ---------------------------------------------------------------------------
# Per-size layouts
# ---------------------------------------------------------------------------

def layout(size):
    """Return the drawing parameters for one icon size, in pixel units."""
    if size == 48:
        g = dict(cx=24.0, cy=18.6, teeth=10, r_root=13.4, r_tip=17.4,
                 tip_frac=0.36, root_frac=0.34, hole=4.4, boss=7.8,
                 edge=1.15, ring=0.8)
        r = dict(x0=2.5, x1=45.5, y_tip=33.4, y_base_top=37.2,
                 y_bottom=44.5, edge=1.15, teeth=4)
    elif size == 32:
        g = dict(cx=16.0, cy=12.4, teeth=8, r_root=8.7, r_tip=11.7,
                 tip_frac=0.38, root_frac=0.32, hole=2.8, boss=5.0,
                 edge=1.0, ring=0.7)
        r = dict(x0=1.5, x1=30.5, y_tip=22.2, y_base_top=25.0,
                 y_bottom=29.8, edge=1.0, teeth=3)
    elif size == 16:
        g = dict(cx=8.0, cy=6.4, teeth=6, r_root=4.5, r_tip=6.4,
                 tip_frac=0.40, root_frac=0.30, hole=1.7, boss=0.0,
                 edge=0.8, ring=0.0)
        r = dict(x0=0.5, x1=15.5, y_tip=11.0, y_base_top=12.8,
                 y_bottom=15.5, edge=0.8, teeth=3)
    else:
        raise ValueError(size)
    return g, r


def build_scene(size):
    g, r = layout(size)
    teeth = g["teeth"]
    n = r["teeth"]
    # The rack's tooth spacing matches the gear's pitch on its pitch circle.
    r_pitch = (g["r_root"] + g["r_tip"]) / 2.0
    pitch = 2.0 * math.pi * r_pitch / teeth
    # Rack teeth are centred under the gear.  With an even count a gear
    # tooth points straight down (angle +90 degrees, y grows downwards) into
    # the middle gap of the rack; with an odd count the gear is turned half
    # a tooth so the middle rack tooth rises into a gap of the gear.
    phase = math.pi / 2.0
    if n % 2:
        phase += math.pi / teeth
    gear = gear_outline(g["cx"], g["cy"], teeth, g["r_root"], g["r_tip"],
                        g["tip_frac"], g["root_frac"], phase)
    centres = [g["cx"] + (i - (n - 1) / 2.0) * pitch for i in range(n)]
    depth = r["y_base_top"] - r["y_tip"]
    top_w = pitch * 0.40
    base_w = top_w + 2.0 * depth * 0.40
    rack = rack_outline(r["x0"], r["x1"], r["y_base_top"], r["y_bottom"],
                        r["y_tip"], centres, top_w, base_w)
    return g, r, gear, rack


# ---------------------------------------------------------------------------
# Rendering
# ---------------------------------------------------------------------------

def shade_gear(g, x, y, sd, rr):
    """Colour of the gear at a sample that lies inside it."""
    if sd > -g["edge"]:
        return GEAR_EDGE
    span = 2.0 * g["r_tip"]
    # diagonal light from the upper left
    t = ((x - g["cx"]) * 0.45 + (y - g["cy"]) * 0.9) / span + 0.5
    if t < 0.5:
        col = mix(GEAR_LIGHT, GEAR_MID, t / 0.5)
    else:
        col = mix(GEAR_MID, GEAR_DARK, (t - 0.5) / 0.5)
    # soft bevel just inside the outline: lit on the upper left
    bevel = g["edge"] + (1.0 if g["ring"] else 0.0)
    if g["ring"] and sd > -bevel:
        dx, dy = x - g["cx"], y - g["cy"]
        n = math.hypot(dx, dy) or 1.0
        lit = -(dx * 0.6 + dy * 0.8) / n
        if lit > 0:
            col = mix(col, (1.0, 1.0, 1.0), 0.35 * lit)
    boss = g["boss"]
    if boss:
        if rr < boss - g["ring"] and rr > g["hole"]:
            # raised hub, lit from the upper left
            tb = ((x - g["cx"]) * 0.6 + (y - g["cy"]) * 0.8) / (2 * boss) + 0.5
            col = mix(HUB_LIGHT, HUB_DARK, tb)
        elif boss - g["ring"] <= rr < boss:
            col = mix(GEAR_EDGE, GEAR_DARK, 0.35)
    return col


def shade_rack(r, x, y, sd):
    if sd > -r["edge"]:
        return RACK_EDGE
    t = (y - r["y_tip"]) / (r["y_bottom"] - r["y_tip"])
    col = mix(RACK_LIGHT, RACK_DARK, t)
    # highlight strip along the top of the bar
    if r["edge"] >= 1.0 and sd > -r["edge"] - 0.9 and y < r["y_base_top"] + 1.5:
        col = mix(col, (1.0, 0.97, 0.85), 0.45)
    return col


def render(size):
    """Return rows of straight-alpha (r, g, b, a) floats in 0..1."""
    g, r, gear, rack = build_scene(size)
    ss = SUPERSAMPLE
    cx, cy = g["cx"], g["cy"]
    r_tip, r_root, hole = g["r_tip"], g["r_root"], g["hole"]
    band = g["edge"] + 1.2
    rack_bbox = (r["x0"], r["y_tip"], r["x1"], r["y_bottom"])
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                y = py + (sy + 0.5) / ss
                for sx in range(ss):
                    x = px + (sx + 0.5) / ss
                    col = None
                    # gear (drawn on top of the rack)
                    rr = math.hypot(x - cx, y - cy)
                    if hole < rr <= r_tip + 0.01:
                        if hole + band < rr < r_root - band:
                            sd = -min(rr - hole, r_root - rr)
                        else:
                            sd = max(polygon_sdf(gear, x, y), hole - rr)
                        if sd < 0:
                            col = shade_gear(g, x, y, sd, rr)
                    if col is None and (rack_bbox[0] <= x <= rack_bbox[2]
                                        and rack_bbox[1] <= y <= rack_bbox[3]):
                        sd = polygon_sdf(rack, x, y)
                        if sd < 0:
                            col = shade_rack(r, x, y, sd)
                    if col is not None:
                        acc[0] += col[0]
                        acc[1] += col[1]
                        acc[2] += col[2]
                        acc[3] += 1.0
            n = float(ss * ss)
            a = acc[3] / n
            if acc[3]:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def to_bytes(rows):
    """Quantise to 8-bit straight-alpha RGBA tuples."""
    out = []
    for row in rows:
        q = []
        for (cr, cg, cb, ca) in row:
            a = int(round(ca * 255))
            if a == 0:
                q.append((0, 0, 0, 0))
            else:
                q.append((int(round(cr * 255)), int(round(cg * 255)),
                          int(round(cb * 255)), a))
        out.append(q)
    return out


# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------

BIT_DEPTHS = [4, 8, 32]

# The 16 colours of the system palette, in its order.
PALETTE_16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
              (128, 0, 128), (0, 128, 128), (192, 192, 192), (128, 128, 128),
              (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
              (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# 256 colours: a 6 x 6 x 6 cube, then 40 greys.
PALETTE_256 = ([(r * 51, g * 51, b * 51) for r in range(6) for g in range(6)
                for b in range(6)]
               + [(round(i * 255 / 39),) * 3 for i in range(40)])


def palette_for(bpp):
    return PALETTE_16 if bpp == 4 else PALETTE_256


def opaque(bpp, a):
    """Whether a pixel is drawn: any alpha at 32 bits, mostly opaque with a palette."""
    return a != 0 if bpp == 32 else a >= 128


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((p - c) ** 2 for p, c in zip(palette[i], rgb)))


def row_stride(w, bpp):
    return ((w * bpp + 31) // 32) * 4


def ico_image(pixels, bpp):
    """One ICO entry: BITMAPINFOHEADER, palette, colour rows bottom-up, AND mask."""
    h = len(pixels)
    w = len(pixels[0])
    xor = bytearray()
    colours = b""
    if bpp == 32:
        for row in reversed(pixels):
            for (r, g, b, a) in row:
                xor += bytes((b, g, r, a))
    else:
        palette = palette_for(bpp)
        colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
        for row in reversed(pixels):
            line = bytearray(row_stride(w, bpp))
            for x, (r, g, b, a) in enumerate(row):
                index = nearest(palette, (r, g, b)) if opaque(bpp, a) else 0
                if bpp == 8:
                    line[x] = index
                else:
                    line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            xor += line
    mask_stride = row_stride(w, 1)
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if not opaque(bpp, a):
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + colours + bytes(xor) + bytes(mask)


def ico_file(images):
    """images: list of (size, bpp, pixels)."""
    count = len(images)
    blobs = [ico_image(p, bpp) for _, bpp, p in images]
    out = struct.pack("<HHH", 0, 1, count)
    offset = 6 + 16 * count
    for (size, bpp, _), blob in zip(images, blobs):
        dim = 0 if size >= 256 else size
        colour_count = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", dim, dim, colour_count, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def check_ico(data, expected):
    """Parse an ICO back and check its structure; raise on any fault.
    expected: list of (size, bpp)."""
    if len(data) < 6:
        raise ValueError("ico: truncated header")
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("ico: bad header")
    if count != len(expected):
        raise ValueError("ico: expected %d images, found %d"
                         % (len(expected), count))
    if 6 + 16 * count > len(data):
        raise ValueError("ico: directory runs past end of file")
    spans = []
    for i in range(count):
        w, h, colours, res, planes, bpp, nbytes, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        w = w or 256
        h = h or 256
        size, depth = expected[i]
        if (w, h) != (size, size) or planes != 1 or bpp != depth \
                or colours != (16 if depth == 4 else 0) or res:
            raise ValueError("ico: entry %d has wrong attributes" % i)
        if offset < 6 + 16 * count or offset + nbytes > len(data):
            raise ValueError("ico: entry %d lies outside the file" % i)
        spans.append((offset, offset + nbytes))
        (bsize, bw, bh, bplanes, bbpp, comp, simg) = struct.unpack_from(
            "<IiiHHII", data, offset)
        if bsize != 40 or bw != size or bh != 2 * size or bplanes != 1 \
                or bbpp != depth or comp != 0:
            raise ValueError("ico: entry %d has a bad bitmap header" % i)
        palette_bytes = 0 if depth == 32 else 4 * len(palette_for(depth))
        bits = row_stride(size, depth) * size + row_stride(size, 1) * size
        want = 40 + palette_bytes + bits
        if nbytes != want or simg != bits:
            raise ValueError("ico: entry %d has length %d, expected %d"
                             % (i, nbytes, want))
        if depth != 32:
            continue
        # the AND mask must agree with the alpha channel
        px = offset + 40
        mk = px + size * size * 4
        stride = row_stride(size, 1)
        for y in range(size):
            for x in range(size):
                a = data[px + (y * size + x) * 4 + 3]
                bit = (data[mk + y * stride + x // 8] >> (7 - x % 8)) & 1
                if bit != (1 if a == 0 else 0):
                    raise ValueError("ico: entry %d mask disagrees at %d,%d"
                                     % (i, x, y))
    spans.sort()
    for (a0, a1), (b0, _) in zip(spans, spans[1:]):
        if b0 < a1:
            raise ValueError("ico: image data overlaps")


def png_file(width, height, rgb_rows):
    """Minimal truecolour PNG writer."""
    def chunk(tag, body):
        return (struct.pack(">I", len(body)) + tag + body
                + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF))
    raw = bytearray()
    for row in rgb_rows:
        raw.append(0)
        raw += row
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def preview(images, scale=4, pad=16):
    """Sizes side by side, magnified, on a light row and a dark row."""
    backgrounds = [(0xDC, 0xDC, 0xDC), (0x1E, 0x22, 0x28)]
    width = pad + sum(s * scale + pad for s, _ in images)
    tallest = max(s for s, _ in images) * scale
    row_h = tallest + 2 * pad
    height = row_h * len(backgrounds)
    rows = []
    for bg in backgrounds:
        canvas = [bytearray(bytes(bg) * width) for _ in range(row_h)]
        x0 = pad
        for size, pixels in images:
            y0 = pad + (tallest - size * scale) // 2
            for y in range(size * scale):
                line = canvas[y0 + y]
                src = pixels[y // scale]
                for x in range(size * scale):
                    r, g, b, a = src[x // scale]
                    o = (x0 + x) * 3
                    for c, v in enumerate((r, g, b)):
                        line[o + c] = (v * a + bg[c] * (255 - a) + 127) // 255
            x0 += size * scale + pad
        rows += canvas
    return png_file(width, height, rows)


def main():
    sizes = [48, 32, 16]
    drawn = [(s, to_bytes(render(s))) for s in sizes]
    images = [(s, bpp, pixels) for s, pixels in drawn for bpp in BIT_DEPTHS]
    expected = [(s, bpp) for s, bpp, _ in images]
    data = ico_file(images)
    check_ico(data, expected)
    with open(ICO_PATH, "wb") as f:
        f.write(data)
    with open(ICO_PATH, "rb") as f:
        check_ico(f.read(), expected)
    with open(PREVIEW_PATH, "wb") as f:
        f.write(preview(drawn))
    print("wrote %s (%d bytes)" % (ICO_PATH, len(data)))
    print("wrote %s" % PREVIEW_PATH)
    return 0


if __name__ == "__main__":
    sys.exit(main())
