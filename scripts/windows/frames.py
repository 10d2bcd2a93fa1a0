#!/usr/bin/env python3
"""Screenshots of the smoke run: X window dumps (xwd) to PNG, and a loose comparison of two frames.

  frames.py png SHOT.xwd OUT.png
  frames.py blank SHOT.xwd                 exit 0 when the picture is one colour (nothing drawn yet)
  frames.py compare REFERENCE.xwd SHOT.xwd

The comparison is loose on purpose: fonts differ between Wine and Linux, and the clock moves.
The reference (the Linux build's viewer, 640 x 340) is looked for inside the shot within 64
pixels of its top-left corner (Wine may draw a frame and a title around the client area); at the
best place both are cut into 16 x 8 cells and each cell's mean colour is compared. Layout and
colours agree when the mean difference over all cells is under 20 (of 255) and at least 90 % of
the cells differ by less than 48 in every channel, which text in another font or another minute
does not exceed and a missing picture, a shifted layout or swapped colours do.
"""
import struct
import sys
import zlib


def read_xwd(path):
    """Width, height and rows of (r, g, b) tuples of a 24/32-bit ZPixmap dump."""
    data = open(path, "rb").read()
    header = struct.unpack(">25I", data[:100])
    header_size, version, pixmap_format, depth, width, height = header[:6]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    red_mask, green_mask, blue_mask = header[14], header[15], header[16]
    ncolors = header[19]
    if version != 7 or pixmap_format != 2 or bits_per_pixel not in (24, 32):
        sys.exit(f"{path}: only 24- and 32-bit ZPixmap dumps are read (version {version}, "
                 f"format {pixmap_format}, {bits_per_pixel} bits)")
    size = bits_per_pixel // 8
    offset = header_size + ncolors * 12
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [shift(m) for m in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * size]
        if size == 3:
            line = b"".join(line[i:i + 3] + b"\0" if order == "<" else b"\0" + line[i:i + 3]
                            for i in range(0, len(line), 3))
        pixels = struct.unpack(f"{order}{width}I", line)
        rows.append([tuple((p >> s) & 0xFF for s in shifts) for p in pixels])
    return width, height, rows


def write_png(path, width, height, rows):
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def best_offset(ref, shot, reach=64, step=8):
    rw, rh, rrows = ref
    sw, sh, srows = shot
    points = [(x, y) for y in range(0, rh, step) for x in range(0, rw, step)]
    best = None
    for dy in range(0, min(reach, sh - rh) + 1):
        for dx in range(0, min(reach, sw - rw) + 1):
            cost = 0
            for x, y in points:
                a, b = rrows[y][x], srows[y + dy][x + dx]
                cost += abs(a[0] - b[0]) + abs(a[1] - b[1]) + abs(a[2] - b[2])
            if best is None or cost < best[0]:
                best = (cost, dx, dy)
    if best is None:
        sys.exit(f"the shot ({sw} x {sh}) is smaller than the reference ({rw} x {rh})")
    return best[1], best[2]


def cell_means(rows, x0, y0, width, height, columns=16, lines=8):
    means = []
    for cy in range(lines):
        for cx in range(columns):
            xs = range(x0 + cx * width // columns, x0 + (cx + 1) * width // columns)
            ys = range(y0 + cy * height // lines, y0 + (cy + 1) * height // lines)
            total, count = [0, 0, 0], 0
            for y in ys:
                for x in xs:
                    for i in range(3):
                        total[i] += rows[y][x][i]
                    count += 1
            means.append([t / count for t in total])
    return means


def compare(ref_path, shot_path):
    ref, shot = read_xwd(ref_path), read_xwd(shot_path)
    dx, dy = best_offset(ref, shot)
    a = cell_means(ref[2], 0, 0, ref[0], ref[1])
    b = cell_means(shot[2], dx, dy, ref[0], ref[1])
    diffs = [max(abs(p - q) for p, q in zip(u, v)) for u, v in zip(a, b)]
    mean = sum(diffs) / len(diffs)
    close = sum(d < 48 for d in diffs) / len(diffs)
    agree = mean < 20 and close >= 0.9
    print(f"frame found at +{dx}+{dy}; mean cell difference {mean:.1f}, {close:.0%} of cells close: "
          + ("layout and colours agree" if agree else "layout or colours differ"))
    return 0 if agree else 1


def main():
    command, args = sys.argv[1], sys.argv[2:]
    if command == "png":
        write_png(args[1], *read_xwd(args[0]))
        return 0
    if command == "blank":
        _, _, rows = read_xwd(args[0])
        return 0 if len({px for row in rows for px in row}) == 1 else 1
    if command == "compare":
        return compare(*args)
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
