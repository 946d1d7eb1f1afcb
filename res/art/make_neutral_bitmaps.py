#!/usr/bin/env python3
"""Draw the neutral GearRack banner and splash bitmaps: the pictures a package gets when
its definition names none.

Writes banner.bmp (634 x 78) and splash.bmp (428 x 211) here, beside the program's
resource script, as 8-bit palette bitmaps compressed run-length (BI_RLE8), plus a PNG
preview of each. Flat colours and the gear-and-rack mark keep them small: every package
made without pictures of its own carries them. The drawing reuses make_bitmaps.py (the
sample's pictures) and make_icon.py; every run writes the same bytes.

Usage, from the repository root:
    python3 res/art/make_neutral_bitmaps.py
"""

import os
import struct
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_bitmaps as art  # noqa: E402  (canvas, lettering, the mark)
import make_icon as icon  # noqa: E402

HERE = icon.HERE
NAME = "GearRack Installer"
PAPER = (1.0, 1.0, 1.0)
NAVY = icon.hexrgb("142f6e")
DEEP = icon.hexrgb("163a7a")
AMBER = icon.hexrgb("f0a030")


def banner():
    W, H = 634, 78
    c = art.Canvas(W, H, lambda x, y: PAPER)
    for x in range(W):
        for y in range(H - 3, H):
            c.blend(x, y, AMBER, 1.0)
    art.draw_mark(c, 16, 8, 58, shadow=PAPER, shadow_alpha=0.0)
    art.draw_text(c, NAME, 90, 53, 28, 88, NAVY)
    return c


def splash():
    W, H = 428, 211
    c = art.Canvas(W, H, lambda x, y: DEEP)
    art.draw_mark(c, 26, 44, 104, shadow=DEEP, shadow_alpha=0.0)
    art.draw_text(c, "GearRack", 154, 98, 30, 92, PAPER)
    art.draw_text(c, "Preparing setup...", 154, 140, 12, 80, icon.hexrgb("c4dcf7"), tracking=20)
    for x in range(W):
        for y in (H - 2, H - 1):
            c.blend(x, y, AMBER, 1.0)
    return c


# ---------------------------------------------------------------------------
# Palette, run-length encoding, file
# ---------------------------------------------------------------------------

def palette_of(rows, size=256):
    """At most `size` colours by median cut, the most common colours kept exact."""
    counts = {}
    for row in rows:
        for p in row:
            counts[p] = counts.get(p, 0) + 1
    if len(counts) <= size:
        return sorted(counts)
    boxes = [sorted(counts)]
    while len(boxes) < size:
        boxes.sort(key=lambda b: (-sum(counts[p] for p in b) * (len(b) > 1), b[0]))
        box = boxes.pop(0)
        if len(box) < 2:
            boxes.append(box)
            break
        spans = [max(p[i] for p in box) - min(p[i] for p in box) for i in range(3)]
        axis = spans.index(max(spans))
        box.sort(key=lambda p: (p[axis], p))
        total, half, acc = sum(counts[p] for p in box), 0, 0
        for cut, p in enumerate(box):
            acc += counts[p]
            if acc * 2 >= total:
                half = max(1, min(len(box) - 1, cut + 1))
                break
        boxes += [box[:half], box[half:]]
    palette = []
    for box in boxes:
        n = sum(counts[p] for p in box)
        palette.append(tuple(int(round(sum(p[i] * counts[p] for p in box) / n)) for i in range(3)))
    return sorted(set(palette))


def indices(rows, palette):
    nearest = {}
    out = []
    for row in rows:
        line = []
        for p in row:
            if p not in nearest:
                nearest[p] = min(range(len(palette)),
                                 key=lambda i: sum((palette[i][k] - p[k]) ** 2 for k in range(3)))
            line.append(nearest[p])
        out.append(line)
    return out


def rle8_row(line):
    """One row in BI_RLE8: runs as (count, index); stretches of differing pixels of 3 or
    more in absolute mode (0, count, indices, padded to a word); then end of line."""
    out = bytearray()
    i, n = 0, len(line)
    while i < n:
        run = 1
        while i + run < n and run < 255 and line[i + run] == line[i]:
            run += 1
        if run >= 2:
            out += bytes((run, line[i]))
            i += run
            continue
        j = i
        while j < n and j - i < 255 and not (j + 1 < n and line[j + 1] == line[j]):
            j += 1
        if j - i >= 3:
            out += bytes((0, j - i)) + bytes(line[i:j]) + (b"\0" if (j - i) % 2 else b"")
        else:
            for k in range(i, max(j, i + 1)):
                out += bytes((1, line[k]))
            j = max(j, i + 1)
        i = j
    return out + b"\0\0"


def rle8_bmp(rows):
    palette = palette_of(rows)
    lines = indices(rows, palette)
    body = bytearray()
    for line in reversed(lines):
        body += rle8_row(line)
    body[-2:] = b"\0\1"  # the last end of line becomes the end of the bitmap
    h, w = len(rows), len(rows[0])
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(body), 2835, 2835, len(palette), len(palette))
    offset = 14 + len(info) + len(colours)
    head = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    return head + info + colours + bytes(body), palette, lines


def decode_rle8(data, w, h):
    """Read an RLE8 bitmap back to rows of palette indices, top-down; raise on faults."""
    offset = struct.unpack_from("<I", data, 10)[0]
    pos, x, y = offset, 0, 0
    grid = [[0] * w for _ in range(h)]
    while True:
        count, value = data[pos], data[pos + 1]
        pos += 2
        if count:
            for _ in range(count):
                grid[y][x] = value
                x += 1
        elif value == 0:
            if x != w:
                raise ValueError("rle8: row %d has %d pixels" % (y, x))
            x, y = 0, y + 1
        elif value == 1:
            break
        elif value == 2:
            raise ValueError("rle8: unexpected delta")
        else:
            for k in range(value):
                grid[y][x] = data[pos + k]
                x += 1
            pos += value + (value & 1)
    if y != h - 1 or x != w:
        raise ValueError("rle8: ended at row %d" % y)
    return list(reversed(grid))


def main():
    for name, make in (("banner", banner), ("splash", splash)):
        rows = make().rgb_rows()
        h, w = len(rows), len(rows[0])
        data, palette, lines = rle8_bmp(rows)
        if decode_rle8(data, w, h) != lines:
            raise ValueError("%s: pixels read back differ" % name)
        path = os.path.join(HERE, name + ".bmp")
        with open(path, "wb") as f:
            f.write(data)
        with open(os.path.join(HERE, name + "-preview.png"), "wb") as f:
            f.write(icon.png_file(w, h, [bytes(v for i in line for v in palette[i]) for line in lines]))
        print("wrote %s (%d bytes, %d colours) and %s-preview.png" % (path, len(data), len(palette), name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
