#!/usr/bin/env python3
"""Draw the sample product's banner and splash bitmaps.

Writes, into packages/sample/ (the sample package's definition names them), banner.bmp (634 x 78, the strip across the top of the message
dialog) and splash.bmp (428 x 211, the window shown while the installer
starts), both 24-bit uncompressed Windows bitmaps, plus a PNG preview of
each.  The gear-and-rack mark is drawn with the geometry and palette of
make_icon.py so the pictures match the program's icon.  Lettering uses a
small monoline sans-serif defined below as centre-line strokes and
rasterised with 4 x 4 supersampling along the edges.  Only the Python
standard library is used and every run writes the same bytes.

Usage, from the repository root:
    python3 res/art/make_bitmaps.py
"""

import math
import os
import struct
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_icon as icon  # noqa: E402  (shared geometry, palette, PNG writer)

HERE = icon.HERE
OUT = os.path.normpath(os.path.join(HERE, "..", "..", "packages", "sample"))
PRODUCT = "Oakcrest"
SS = icon.SUPERSAMPLE
hexrgb, mix = icon.hexrgb, icon.mix

NAVY = hexrgb("142f6e")
STEEL = hexrgb("5b6f8e")
WHITE = (1.0, 1.0, 1.0)

# ---------------------------------------------------------------------------
# Lettering.  Glyphs are centre-line paths in font units: baseline 0,
# x-height 500, cap height 700, descender -220.  Path commands:
#   M x y   start a stroke        L x y   straight line
#   C x1 y1 x2 y2 x y   cubic curve
#   A cx cy rx ry a0 a1   elliptic arc, degrees anticlockwise (y up)
#   D x y   round dot, a little heavier than the stroke
# Each entry is (left side bearing, right side bearing, path); bearings are
# measured from the ink, so straight stems get more room than round or open
# sides and the letters look evenly spaced.
# ---------------------------------------------------------------------------

STEM, ROUND, OPEN = 80, 52, 34
GLYPHS = {
    "O": (ROUND, ROUND, "A 360 350 360 360 0 360"),
    "S": (48, 48, "M 420 610 C 385 680 320 710 235 710 C 130 710 45 655 "
                  "45 555 C 45 450 130 415 235 385 C 350 352 445 312 445 195 "
                  "C 445 70 350 -10 230 -10 C 135 -10 50 35 10 110"),
    "I": (STEM, STEM, "M 0 0 L 0 700"),
    "G": (ROUND, STEM - 10, "A 360 350 360 360 48 360 M 680 350 L 410 350 "
                            "M 720 350 L 720 0"),
    "R": (STEM, OPEN, "M 0 0 L 0 700 L 250 700 C 390 700 470 630 470 525 "
                      "C 470 420 390 350 250 350 L 0 350 M 250 350 L 490 0"),
    "P": (STEM, ROUND, "M 0 0 L 0 700 L 250 700 C 390 700 470 625 470 515 "
                       "C 470 405 390 330 250 330 L 0 330"),
    "a": (ROUND, STEM, "A 250 250 250 260 0 360 M 500 500 L 500 0"),
    "c": (ROUND, OPEN + 6, "A 255 250 255 260 50 310"),
    "e": (ROUND, OPEN + 14, "M 10 255 L 505 255 A 255 250 255 260 3 318"),
    "g": (ROUND, STEM, "A 250 250 250 260 0 360 M 500 500 L 500 -40 "
                       "C 500 -160 410 -225 265 -225 C 165 -225 90 -195 45 -135"),
    "i": (STEM, STEM, "M 0 0 L 0 500 D 0 690"),
    "k": (STEM, OPEN - 10, "M 0 0 L 0 740 M 400 500 L 5 180 M 150 297 L 430 0"),
    "l": (STEM, STEM, "M 0 0 L 0 740"),
    "n": (STEM, STEM, "M 0 0 L 0 500 M 0 330 C 25 445 110 510 225 510 "
                      "C 350 510 430 435 430 300 L 430 0"),
    "p": (STEM, ROUND, "M 0 500 L 0 -225 A 250 250 250 260 0 360"),
    "r": (STEM, OPEN - 16, "M 0 0 L 0 500 M 0 330 C 25 445 105 510 215 510 "
                           "C 245 510 272 503 295 494"),
    "s": (46, 46, "M 335 415 C 305 475 250 510 178 510 C 95 510 28 465 28 "
                  "385 C 28 300 100 282 182 262 C 275 240 350 212 350 130 "
                  "C 350 40 275 -10 178 -10 C 100 -10 30 28 0 95"),
    "t": (OPEN, OPEN, "M 0 500 L 250 500 M 100 680 L 100 105 C 100 30 135 0 "
                      "200 0 L 255 0"),
    "u": (STEM, STEM, "M 430 500 L 430 0 M 430 170 C 405 55 320 -10 205 -10 "
                      "C 80 -10 0 65 0 200 L 0 500"),
    ".": (60, 60, "D 0 0"),
    " ": (0, 250, ""),
}
KERNING = {("r", "e"): -15, ("r", "a"): -15, ("k", "c"): -25, ("k", "e"): -25,
           ("t", "a"): -10, ("e", "t"): -5, ("P", "r"): -20, ("a", "k"): -5}


def parse_path(src):
    """Turn a glyph path into (list of polylines, list of dot centres)."""
    toks = src.split()
    strokes, dots, cur, i = [], [], None, 0

    def take(n):
        return [float(t) for t in toks[i:i + n]]
    while i < len(toks):
        op = toks[i]
        i += 1
        if op == "M":
            cur = [tuple(take(2))]
            strokes.append(cur)
            i += 2
        elif op == "L":
            cur.append(tuple(take(2)))
            i += 2
        elif op == "C":
            (x0, y0), (x1, y1, x2, y2, x3, y3) = cur[-1], take(6)
            i += 6
            for k in range(1, 21):
                t = k / 20.0
                u = 1.0 - t
                cur.append((u**3 * x0 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t**3 * x3,
                            u**3 * y0 + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t**3 * y3))
        elif op == "A":
            cx, cy, rx, ry, a0, a1 = take(6)
            i += 6
            steps = max(4, int(abs(a1 - a0) / 4))
            pts = [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * k / steps)),
                    cy + ry * math.sin(math.radians(a0 + (a1 - a0) * k / steps)))
                   for k in range(steps + 1)]
            if cur is None or math.hypot(cur[-1][0] - pts[0][0], cur[-1][1] - pts[0][1]) > 1:
                cur = []
                strokes.append(cur)
            cur.extend(pts)
        elif op == "D":
            dots.append(tuple(take(2)))
            i += 2
        else:
            raise ValueError("bad path command %r" % op)
    return strokes, dots


FONT = {ch: (lsb, rsb) + parse_path(src) for ch, (lsb, rsb, src) in GLYPHS.items()}


def layout_text(text, weight, tracking=0.0):
    """Place a string: returns ([(segments, dots) per glyph], advance) in
    font units, with the pen starting at x = 0 on the baseline."""
    glyphs, pen, prev = [], 0.0, None
    for ch in text:
        lsb, rsb, strokes, gdots = FONT[ch]
        pts = [p for s in strokes for p in s] + gdots
        xmin = min(p[0] for p in pts) if pts else 0.0
        xmax = max(p[0] for p in pts) if pts else 0.0
        pen += KERNING.get((prev, ch), 0) + (tracking if prev else 0.0)
        if not pts:  # space
            pen += lsb + rsb
            prev = ch
            continue
        dx = pen + lsb + weight / 2.0 - xmin
        glyphs.append(([(ax + dx, ay, bx + dx, by) for s in strokes
                        for (ax, ay), (bx, by) in zip(s, s[1:])],
                       [(x + dx, y) for x, y in gdots]))
        pen += lsb + (xmax - xmin) + weight + rsb
        prev = ch
    # the trailing bearing is not part of the text's width
    return glyphs, pen - (FONT[prev][1] if prev else 0.0)


def text_width(text, cap_px, weight, tracking=0.0):
    return layout_text(text, weight, tracking)[1] * cap_px / 700.0


def draw_text(canvas, text, x, baseline, cap_px, weight, colour, tracking=0.0,
              alpha=1.0):
    """Draw text with its ink starting at x; cap_px is the cap height in
    pixels, weight the stroke width in font units."""
    k = cap_px / 700.0
    half = weight * k / 2.0
    dot_r = half * 1.2
    for segs, dots in layout_text(text, weight, tracking)[0]:
        segs = [(x + ax * k, baseline - ay * k, x + bx * k, baseline - by * k)
                for ax, ay, bx, by in segs]
        dots = [(x + dx * k, baseline - dy * k) for dx, dy in dots]

        def sdf(px, py, segs=segs):
            best = float("inf")
            for ax, ay, bx, by in segs:
                vx, vy, wx, wy = bx - ax, by - ay, px - ax, py - ay
                L = vx * vx + vy * vy
                t = (wx * vx + wy * vy) / L if L else 0.0
                t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
                d = (wx - t * vx) ** 2 + (wy - t * vy) ** 2
                if d < best:
                    best = d
            d = math.sqrt(best) - half
            for cx, cy in dots:
                d = min(d, math.hypot(px - cx, py - cy) - dot_r)
            return d

        xs = [s[0] for s in segs] + [s[2] for s in segs] + [d[0] for d in dots]
        ys = [s[1] for s in segs] + [s[3] for s in segs] + [d[1] for d in dots]
        pad = dot_r + 2
        for py in range(max(0, int(min(ys) - pad)), min(canvas.h, int(max(ys) + pad) + 1)):
            for px in range(max(0, int(min(xs) - pad)), min(canvas.w, int(max(xs) + pad) + 1)):
                d = sdf(px + 0.5, py + 0.5)
                if d > 0.75:
                    continue
                if d < -0.75:
                    cover = 1.0
                else:  # an edge pixel: supersample, using only nearby strokes
                    near = [sg for sg in segs
                            if sdf(px + 0.5, py + 0.5, [sg]) < d + 1.5]
                    cover = sum(sdf(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS, near) < 0
                                for sy in range(SS) for sx in range(SS)) / float(SS * SS)
                canvas.blend(px, py, colour, cover * alpha)


# ---------------------------------------------------------------------------
# Canvas and the gear-and-rack mark
# ---------------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill(x + 0.5, y + 0.5) for x in range(w)] for y in range(h)]

    def blend(self, x, y, col, a):
        if a > 0.0 and 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = mix(self.px[y][x], col, a)

    def rgb_rows(self):
        return [[tuple(int(round(min(1.0, max(0.0, c)) * 255)) for c in p)
                 for p in row] for row in self.px]


def mark_layer(size, max_edge=1.6):
    """Render the icon's gear-and-rack at any size; returns rows of
    (colour or None, coverage)."""
    k = size / 48.0
    g, r = icon.layout(48)
    g = {n: v if n in ("teeth", "tip_frac", "root_frac") else v * k
         for n, v in g.items()}
    r = {n: v if n == "teeth" else v * k for n, v in r.items()}
    g["edge"] = r["edge"] = min(g["edge"], max_edge)
    g["ring"] = min(g["ring"], max_edge * 0.8)
    # same construction as make_icon.build_scene
    r_pitch = (g["r_root"] + g["r_tip"]) / 2.0
    pitch = 2.0 * math.pi * r_pitch / g["teeth"]
    n = r["teeth"]
    phase = math.pi / 2.0 + (math.pi / g["teeth"] if n % 2 else 0.0)
    gear = icon.gear_outline(g["cx"], g["cy"], g["teeth"], g["r_root"], g["r_tip"],
                             g["tip_frac"], g["root_frac"], phase)
    centres = [g["cx"] + (i - (n - 1) / 2.0) * pitch for i in range(n)]
    depth = r["y_base_top"] - r["y_tip"]
    top_w = pitch * 0.40
    rack = icon.rack_outline(r["x0"], r["x1"], r["y_base_top"], r["y_bottom"],
                             r["y_tip"], centres, top_w, top_w + 0.8 * depth)

    def sample(x, y):
        rr = math.hypot(x - g["cx"], y - g["cy"])
        if g["hole"] < rr <= g["r_tip"] + 0.01:
            if g["hole"] + g["edge"] + 1.2 < rr < g["r_root"] - g["edge"] - 1.2:
                sd = -min(rr - g["hole"], g["r_root"] - rr)
            else:
                sd = max(icon.polygon_sdf(gear, x, y), g["hole"] - rr)
            if sd < 0:
                return icon.shade_gear(g, x, y, sd, rr)
        if r["x0"] <= x <= r["x1"] and r["y_tip"] <= y <= r["y_bottom"]:
            sd = icon.polygon_sdf(rack, x, y)
            if sd < 0:
                return icon.shade_rack(r, x, y, sd)
        return None

    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            if (math.hypot(px + 0.5 - g["cx"], py + 0.5 - g["cy"]) > g["r_tip"] + 1
                    and py + 1 < r["y_tip"]):
                row.append((None, 0.0))
                continue
            cols = [sample(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS)
                    for sy in range(SS) for sx in range(SS)]
            cols = [c for c in cols if c is not None]
            if cols:
                row.append((tuple(sum(c[i] for c in cols) / len(cols) for i in range(3)),
                            len(cols) / float(SS * SS)))
            else:
                row.append((None, 0.0))
        rows.append(row)
    return rows


def blur(alpha, w, h, radius, passes=3):
    """Separable box blur of a flat list of floats."""
    for _ in range(passes):
        for horizontal in (True, False):
            out = [0.0] * (w * h)
            for a in range(h if horizontal else w):
                line = [alpha[a * w + b] if horizontal else alpha[b * w + a]
                        for b in range(w if horizontal else h)]
                n = len(line)
                for b in range(n):
                    lo, hi = max(0, b - radius), min(n, b + radius + 1)
                    v = sum(line[lo:hi]) / (2 * radius + 1)
                    out[a * w + b if horizontal else b * w + a] = v
            alpha = out
    return alpha


def draw_mark(canvas, x0, y0, size, shadow=(0.0, 0.0, 0.0), shadow_alpha=0.25,
              shadow_dy=2, radius=2):
    layer = mark_layer(size)
    pad = radius * 4
    w = h = size + 2 * pad
    alpha = [0.0] * (w * h)
    for y, row in enumerate(layer):
        for x, (_, a) in enumerate(row):
            alpha[(y + pad) * w + x + pad] = a
    alpha = blur(alpha, w, h, radius)
    for y in range(h):
        for x in range(w):
            canvas.blend(x0 - pad + x, y0 - pad + y + shadow_dy, shadow,
                         alpha[y * w + x] * shadow_alpha)
    for y, row in enumerate(layer):
        for x, (col, a) in enumerate(row):
            if col is not None:
                canvas.blend(x0 + x, y0 + y, col, a)


def draw_watermark(canvas, cx, cy, r_tip, colour, alpha):
    """A large, faint gear silhouette used as a background texture."""
    gear = icon.gear_outline(cx, cy, 10, r_tip * 0.8, r_tip, 0.36, 0.34, 0.3)
    hole = r_tip * 0.3
    for py in range(max(0, int(cy - r_tip - 1)), min(canvas.h, int(cy + r_tip + 2))):
        for px in range(max(0, int(cx - r_tip - 1)), min(canvas.w, int(cx + r_tip + 2))):
            x, y = px + 0.5, py + 0.5
            rr = math.hypot(x - cx, y - cy)
            if rr > r_tip + 1:
                continue
            sd = icon.polygon_sdf(gear, x, y) if rr > r_tip * 0.8 - 1 else rr - r_tip * 0.8
            sd = max(sd, hole - rr)
            canvas.blend(px, py, colour, alpha * min(1.0, max(0.0, 0.5 - sd)))


# ---------------------------------------------------------------------------
# The two pictures
# ---------------------------------------------------------------------------

def banner():
    W, H = 634, 78
    bg_l, bg_r = WHITE, hexrgb("e4ebf4")
    c = Canvas(W, H, lambda x, y: mix(bg_l, bg_r, (x - 200) / 434.0 + y / 700.0))
    # amber rule along the bottom edge
    for x in range(W):
        amber = mix(icon.RACK_LIGHT, icon.RACK_DARK, x / float(W))
        for y, a in ((H - 4, 0.35), (H - 3, 1.0), (H - 2, 1.0), (H - 1, 1.0)):
            c.blend(x, y, amber, a)
    draw_watermark(c, 590, 22, 78, hexrgb("9fb4cf"), 0.16)
    draw_mark(c, 16, 8, 58, shadow=hexrgb("1a2a48"), shadow_alpha=0.22)
    x = 90
    draw_text(c, PRODUCT, x, 53, 31, 92, NAVY)
    x += text_width(PRODUCT, 31, 92) + 12
    draw_text(c, "Setup", x, 53, 22, 62, icon.GEAR_MID)
    return c


def splash():
    W, H = 428, 211
    top, bottom = hexrgb("1f4c9c"), hexrgb("0a1a40")
    glow_c, glow_r = (78.0, 92.0), 120.0

    def fill(x, y):
        col = mix(top, bottom, y / H * 0.8 + x / W * 0.35)
        g = max(0.0, 1.0 - math.hypot(x - glow_c[0], y - glow_c[1]) / glow_r)
        return mix(col, icon.GEAR_MID, 0.30 * g * g)
    c = Canvas(W, H, fill)
    draw_watermark(c, 420, 20, 120, hexrgb("6f9be0"), 0.09)
    draw_mark(c, 26, 40, 104, shadow=hexrgb("050d22"), shadow_alpha=0.45,
              shadow_dy=4, radius=3)
    x = 154
    draw_text(c, PRODUCT, x + 1, 100 + 2, 36, 96, hexrgb("050d22"), alpha=0.45)
    draw_text(c, PRODUCT, x, 100, 36, 96, WHITE)
    for yy in range(114, 117):
        for xx in range(x, x + 40):
            c.blend(xx, yy, mix(icon.RACK_LIGHT, icon.RACK_DARK, (xx - x) / 40.0), 1.0)
    draw_text(c, "Preparing setup...", x, 140, 12, 80, hexrgb("c4dcf7"), tracking=20)
    credit = "GearRack Installer"
    cw = text_width(credit, 9.5, 90, 40)
    draw_text(c, credit, W - 14 - cw, H - 13, 9.5, 90, hexrgb("7f9dcc"), tracking=40)
    for x in range(W):  # thin amber edge along the bottom
        c.blend(x, H - 2, mix(icon.RACK_LIGHT, icon.RACK_DARK, x / float(W)), 1.0)
        c.blend(x, H - 1, mix(icon.RACK_LIGHT, icon.RACK_DARK, x / float(W)), 1.0)
    return c


# ---------------------------------------------------------------------------
# Files and their checks
# ---------------------------------------------------------------------------

def bmp_file(rows):
    """24-bit BI_RGB bitmap: BITMAPFILEHEADER, BITMAPINFOHEADER, bottom-up
    BGR rows padded to a multiple of four bytes."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):
        line = bytearray(b for (r, g, bl) in row for b in (bl, g, r))
        body += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return head + info + bytes(body)


def check_bmp(data, w, h):
    """Parse a bitmap back and return its rows top-down; raise on faults."""
    magic, fsize, _, _, off = struct.unpack_from("<2sIHHI", data, 0)
    hsize, bw, bh, planes, bpp, comp, isize = struct.unpack_from("<IiiHHII", data, 14)
    stride = (w * 3 + 3) & ~3
    want = {"magic": b"BM", "file size": len(data), "offset": 54, "header": 40,
            "width": w, "height": h, "planes": 1, "bpp": 24,
            "compression": 0, "image size": stride * h}
    got = {"magic": magic, "file size": fsize, "offset": off, "header": hsize,
           "width": bw, "height": bh, "planes": planes, "bpp": bpp,
           "compression": comp, "image size": isize}
    for key in want:
        if want[key] != got[key]:
            raise ValueError("bmp: %s is %r, expected %r" % (key, got[key], want[key]))
    if len(data) != 54 + stride * h:
        raise ValueError("bmp: file is %d bytes, expected %d" % (len(data), 54 + stride * h))
    rows = []
    for y in range(h):
        line = data[54 + (h - 1 - y) * stride:54 + (h - y) * stride]
        if any(line[w * 3:]):
            raise ValueError("bmp: row %d has non-zero padding" % y)
        rows.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, w * 3, 3)])
    return rows


def check_picture(name, rows, light_bg):
    """Catch blank or mis-ordered output: the bottom row is amber, the
    top-left corner is the background, and there is real content."""
    r, g, b = rows[-1][len(rows[0]) // 2]
    if not (r > 200 and g > 100 and b < 80):
        raise ValueError("%s: bottom row is not the amber rule: %r" % (name, (r, g, b)))
    lum = sum(rows[0][0]) / 3.0
    if (lum > 200) != light_bg:
        raise ValueError("%s: top-left corner has the wrong background" % name)
    if len({p for row in rows for p in row}) < 500:
        raise ValueError("%s: suspiciously few colours" % name)


def main():
    for name, make, size, light in (("banner", banner, (634, 78), True),
                                    ("splash", splash, (428, 211), False)):
        rows = make().rgb_rows()
        data = bmp_file(rows)
        path = os.path.join(OUT, name + ".bmp")
        with open(path, "wb") as f:
            f.write(data)
        with open(path, "rb") as f:
            back = check_bmp(f.read(), *size)
        if back != rows:
            raise ValueError("%s: pixels read back differ" % name)
        check_picture(name, back, light)
        with open(os.path.join(OUT, name + "-preview.png"), "wb") as f:
            f.write(icon.png_file(size[0], size[1],
                                  [bytes(v for p in row for v in p) for row in rows]))
        print("wrote %s (%d bytes) and %s-preview.png" % (path, len(data), name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
