#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws every compiled-in skin picture, the eleven built-in backgrounds and the wait-dialog
picture of Korvo TFT.

Everything is drawn here from shapes, gradients and seeded noise, so the pictures are ours and a
re-run gives byte-identical files (fixed seeds, no timestamps in the files). Shapes are drawn at
four times their size and scaled down, which gives smooth edges without a vector renderer.

    /usr/bin/python3 tools/pictures/make_pictures.py            # writes into resources/
    /usr/bin/python3 tools/pictures/make_pictures.py --out DIR  # writes into DIR instead
"""

import argparse
import math
import os
import sys

try:
    import numpy as np
    from PIL import Image, ImageChops, ImageDraw, ImageFilter
except ImportError:
    sys.exit("make_pictures.py needs Pillow and NumPy: apt-get install python3-pil python3-numpy")

S = 4  # supersampling factor of every shape-drawn picture
# Scale of the written skin pictures: 1, then 2 for the "@2x" set that HiDPI screens use. Shapes
# are drawn at S times their size either way; only the last scaling step differs.
OUT = 1

# One palette for the whole program: deep navy surfaces, a single teal accent.
SURFACE_TOP = (21, 28, 44)
SURFACE_BOTTOM = (11, 15, 24)
CARD_TOP = (27, 36, 55)
CARD_BOTTOM = (20, 27, 42)
PLATE_TOP = (36, 46, 68)
PLATE_BOTTOM = (27, 35, 53)
ACCENT = (46, 197, 206)
ACCENT_DEEP = (28, 140, 190)
MUTED = (140, 150, 170)
LIGHT = (236, 241, 248)
DANGER = (229, 72, 77)
AMBER = (245, 185, 66)
WINDOW_RADIUS = 14

# The six free-text colours, in colour-index order (white, black, red, yellow, blue, green).
TEXT_COLOURS = [
    ("white", (255, 255, 255)),
    ("black", (0, 0, 0)),
    ("red", (255, 100, 34)),
    ("yellow", (245, 224, 33)),
    ("blue", (66, 131, 228)),
    ("green", (58, 200, 163)),
]
# The edit bar names its indicator pictures by hue; index 2 is the orange-red of the table.
INDICATOR_NAMES = ["white", "black", "orange", "yellow", "blue", "green"]


# ---------------------------------------------------------------- basic helpers


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def vgradient(w, h, top, bottom, alpha=255):
    """An RGBA image fading from top to bottom."""
    t = np.linspace(0.0, 1.0, h, dtype=np.float64)[:, None, None]
    rgb = np.array(top, np.float64) * (1 - t) + np.array(bottom, np.float64) * t
    rgb = np.broadcast_to(rgb, (h, w, 3))
    a = np.full((h, w, 1), alpha, np.float64)
    return Image.fromarray(np.concatenate([rgb, a], axis=2).round().astype(np.uint8), "RGBA")


def rounded_mask(w, h, box, radius):
    """An L mask of a rounded rectangle; box and radius are in the mask's own pixels."""
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius=radius, fill=255)
    return mask


def ring_of(mask, width_px):
    """The band of a shape's mask that lies within width_px (final pixels) of its edge."""
    inner = mask.filter(ImageFilter.MinFilter(2 * width_px * S + 1))
    return ImageChops.subtract(mask, inner)


def with_alpha(img, mask):
    """img with its alpha multiplied by mask."""
    out = img.copy()
    out.putalpha(ImageChops.multiply(img.getchannel("A"), mask))
    return out


def solid(w, h, rgba):
    return Image.new("RGBA", (w, h), rgba)


def paint(base, layer, mask=None):
    """Alpha-composites layer (optionally cut by mask) onto base."""
    if mask is not None:
        layer = with_alpha(layer, mask)
    return Image.alpha_composite(base, layer)


def shrink(img, w, h):
    """Scales a supersampled RGBA picture down with premultiplied alpha (no dark fringes)."""
    return img.convert("RGBa").resize((w * OUT, h * OUT), Image.LANCZOS).convert("RGBA")


def top_fade(w, h, strength, reach):
    """A mask strongest at the top that fades out over `reach` (fraction of the height)."""
    t = np.clip(np.linspace(0.0, 1.0, h) / reach, 0.0, 1.0)
    col = ((1.0 - t) ** 2 * strength).astype(np.float64)
    return Image.fromarray(np.broadcast_to(col[:, None], (h, w)).round().astype(np.uint8), "L")


def card(w, h, radius, top, bottom, border=(255, 255, 255, 30), highlight=34, fill_alpha=255,
         box=None):
    """A supersampled rounded card: gradient fill, 1 px border and a faint top highlight.
    w, h, radius and box are in final pixels."""
    W, H = w * S, h * S
    if box is None:
        box = (0, 0, w, h)
    sbox = (box[0] * S, box[1] * S, box[2] * S - 1, box[3] * S - 1)
    mask = rounded_mask(W, H, sbox, radius * S)
    img = solid(W, H, (0, 0, 0, 0))
    img = paint(img, vgradient(W, H, top, bottom, fill_alpha), mask)
    if highlight:
        glow = ImageChops.multiply(ring_of(mask, 1), top_fade(W, H, highlight, 0.6))
        img = paint(img, solid(W, H, (255, 255, 255, 255)), glow)
    if border:
        img = paint(img, solid(W, H, border), ring_of(mask, 1))
    return img, mask


def pen(draw, points, colour, width, closed=False):
    """A polyline with round joins and caps; points and width in final pixels."""
    pts = [(x * S, y * S) for x, y in points]
    if closed:
        pts.append(pts[0])
    draw.line(pts, fill=colour, width=int(round(width * S)), joint="curve")
    r = width * S / 2
    for x, y in (pts[0], pts[-1]):
        draw.ellipse((x - r, y - r, x + r, y + r), fill=colour)


def disc(draw, cx, cy, r, colour):
    draw.ellipse(((cx - r) * S, (cy - r) * S, (cx + r) * S, (cy + r) * S), fill=colour)


def poly(draw, points, colour):
    draw.polygon([(x * S, y * S) for x, y in points], fill=colour)


def arrowhead(draw, tip, direction, size, colour):
    """A filled triangle whose tip points along direction (radians)."""
    x, y = tip
    back = direction + math.pi
    left = (x + size * math.cos(back + 0.55), y + size * math.sin(back + 0.55))
    right = (x + size * math.cos(back - 0.55), y + size * math.sin(back - 0.55))
    poly(draw, [tip, left, right], colour)


def glyph_canvas(w, h):
    img = solid(w * S, h * S, (0, 0, 0, 0))
    return img, ImageDraw.Draw(img)


# ---------------------------------------------------------------- window and panels


def window_background():
    w, h = 960, 588
    W, H = w * S // 2, h * S // 2  # the big surfaces only need 2x for their corners
    scale = S // 2
    yy, xx = np.mgrid[0:H, 0:W].astype(np.float64)
    t = yy / (H - 1)
    rgb = np.array(SURFACE_TOP) * (1 - t[..., None]) + np.array(SURFACE_BOTTOM) * t[..., None]
    # Two soft glows give the flat surface some depth without drawing the eye.
    for (cx, cy, rad, colour, k) in ((0.05, 0.0, 0.55, ACCENT, 0.10),
                                     (0.95, 1.0, 0.60, (110, 80, 200), 0.07)):
        d = np.hypot((xx / W - cx) * (W / H), yy / H - cy) / rad
        g = np.clip(1 - d, 0, 1) ** 2 * k
        rgb = rgb * (1 - g[..., None]) + np.array(colour) * g[..., None]
    base = np.concatenate([rgb, np.full((H, W, 1), 255.0)], axis=2)
    img = Image.fromarray(base.round().astype(np.uint8), "RGBA")
    outline = rounded_mask(W, H, (0, 0, W - 1, H - 1), WINDOW_RADIUS * scale)

    # Title strip separator under the window controls.
    strip = Image.new("L", (W, H), 0)
    ImageDraw.Draw(strip).rectangle((0, 40 * scale, W, 41 * scale - 1), fill=255)
    img = paint(img, solid(W, H, (255, 255, 255, 16)), strip)

    def panel(box, radius):
        x1, y1, x2, y2 = (v * scale for v in box)
        m = rounded_mask(W, H, (x1, y1, x2 - 1, y2 - 1), radius * scale)
        layer = vgradient(W, H, CARD_TOP, CARD_BOTTOM, 150)
        out = paint(img, layer, m)
        inner = m.filter(ImageFilter.MinFilter(2 * scale + 1))
        return paint(out, solid(W, H, (255, 255, 255, 22)), ImageChops.subtract(m, inner))

    img = panel((14, 48, 490, 574), 12)  # preview and edit controls
    img = panel((498, 48, 948, 574), 12)  # themes, element boxes and pictures

    # Window edge: a thin light rim so the frameless window reads on dark desktops.
    inner = outline.filter(ImageFilter.MinFilter(2 * scale + 1))
    img = paint(img, solid(W, H, (255, 255, 255, 26)), ImageChops.subtract(outline, inner))
    img.putalpha(ImageChops.multiply(img.getchannel("A"), outline))
    img = img.convert("RGBa").resize((w * OUT, h * OUT), Image.LANCZOS).convert("RGBA")
    # The program mark sits at the left of the title strip.
    img.alpha_composite(logo(22), (18 * OUT, 9 * OUT))
    return img


def logo(size=128, weight=1.0):
    """The program mark; weight thickens its strokes, so that it still reads at 16 pixels."""
    big = 128 * S
    img = solid(big, big, (0, 0, 0, 0))
    mask = rounded_mask(big, big, (4 * S, 4 * S, 124 * S - 1, 124 * S - 1), 28 * S)
    yy, xx = np.mgrid[0:big, 0:big].astype(np.float64)
    t = np.clip((xx + yy) / (2 * big), 0, 1)[..., None]
    rgb = np.array(ACCENT) * (1 - t) + np.array((59, 111, 224)) * t
    grad = Image.fromarray(np.concatenate([rgb, np.full((big, big, 1), 255.0)], 2)
                           .round().astype(np.uint8), "RGBA")
    img = paint(img, grad, mask)
    img = paint(img, solid(big, big, (255, 255, 255, 255)),
                ImageChops.multiply(ring_of(mask, 2), top_fade(big, big, 90, 0.5)))
    d = ImageDraw.Draw(img)
    # A landscape screen with a live line on it.
    d.rounded_rectangle((26 * S, 36 * S, 102 * S, 84 * S), radius=8 * S, outline=LIGHT,
                        width=int(round(6 * weight)) * S)
    pen(d, [(36, 68), (48, 68), (55, 50), (64, 76), (72, 58), (78, 64), (92, 64)], LIGHT, 5 * weight)
    pen(d, [(52, 96), (76, 96)], LIGHT, 6 * weight)
    pen(d, [(64, 86), (64, 96)], LIGHT, 6 * weight)
    return img.convert("RGBa").resize((size * OUT, size * OUT), Image.LANCZOS).convert("RGBA")


def settings_panel():
    img, _ = card(413, 112, 10, (255, 255, 255), (255, 255, 255), border=(255, 255, 255, 24),
                  highlight=0, fill_alpha=9)
    return shrink(img, 413, 112)


def checkbox(checked):
    w = h = 16
    if checked:
        img, mask = card(w, h, 4, ACCENT, ACCENT_DEEP, border=None, highlight=60,
                         box=(1, 1, 15, 15))
        d = ImageDraw.Draw(img)
        pen(d, [(4.6, 8.2), (7.0, 10.6), (11.6, 5.6)], LIGHT, 1.8)
    else:
        img, mask = card(w, h, 4, (255, 255, 255), (255, 255, 255), border=(150, 160, 180, 200),
                         highlight=0, fill_alpha=12, box=(1, 1, 15, 15))
    return shrink(img, w, h)


def button(w, h, radius, selected):
    if selected:
        img, _ = card(w, h, radius, ACCENT, ACCENT_DEEP, border=(120, 230, 236, 120),
                      highlight=70)
    else:
        img, _ = card(w, h, radius, PLATE_TOP, PLATE_BOTTOM, border=(255, 255, 255, 26),
                      highlight=30)
    return shrink(img, w, h)


def edit_bar_background():
    img, _ = card(433, 40, 8, CARD_TOP, CARD_BOTTOM, border=(255, 255, 255, 30), highlight=28)
    return shrink(img, 433, 40)


def colour_bar_background():
    w, h = 163, 49
    W, H = w * S, h * S
    mask = rounded_mask(W, H, (0, 7 * S, W - 1, H - 1), 9 * S)
    tip = Image.new("L", (W, H), 0)
    ImageDraw.Draw(tip).polygon([(19 * S, 0), (11 * S, 8 * S), (27 * S, 8 * S)], fill=255)
    mask = ImageChops.lighter(mask, tip)
    img = paint(solid(W, H, (0, 0, 0, 0)), vgradient(W, H, PLATE_TOP, CARD_BOTTOM, 248), mask)
    img = paint(img, solid(W, H, (255, 255, 255, 40)), ring_of(mask, 1))
    return shrink(img, w, h)


def swatch(colour):
    w, h = 20, 22
    img, mask = card(w, h, 4, lerp(colour, (255, 255, 255), 0.12), colour,
                     border=(255, 255, 255, 70), highlight=50, box=(1, 2, 19, 20))
    return shrink(img, w, h)


def colour_indicator(colour):
    w = h = 22
    img, _ = card(w, h, 5, (255, 255, 255), (255, 255, 255), border=(255, 255, 255, 40),
                  highlight=0, fill_alpha=10)
    strip, _ = card(w, h, 1.5, colour, colour, border=(255, 255, 255, 110), highlight=0,
                    box=(4, 16, 18, 20))
    return shrink(Image.alpha_composite(img, strip), w, h)


def type_icon():
    # A "T" that sits above the colour strip of the indicator it covers.
    img, d = glyph_canvas(18, 19)
    pen(d, [(2.5, 2.0), (12.5, 2.0)], LIGHT, 2.2)
    pen(d, [(7.5, 2.0), (7.5, 12.0)], LIGHT, 2.2)
    return shrink(img, 18, 19)


def dim_overlay_with_panel():
    w, h = 960, 588
    W, H = w * S // 2, h * S // 2
    scale = S // 2
    outline = rounded_mask(W, H, (0, 0, W - 1, H - 1), WINDOW_RADIUS * scale)
    img = paint(solid(W, H, (0, 0, 0, 0)), solid(W, H, (5, 8, 14, 185)), outline)
    img = img.convert("RGBa").resize((w * OUT, h * OUT), Image.LANCZOS).convert("RGBA")
    panel = dialog_panel(368, 172)
    img.alpha_composite(panel, (296 * OUT, 206 * OUT))
    return img


def dialog_panel(w, h):
    img, mask = card(w, h, 12, PLATE_TOP, CARD_BOTTOM, border=(255, 255, 255, 34), highlight=40)
    d = ImageDraw.Draw(img)
    # An accent line along the top edge marks the panel as the thing to answer.
    d.rounded_rectangle((24 * S, 0, (w - 24) * S, 2 * S), radius=S, fill=ACCENT + (255,))
    img = with_alpha(img, mask)
    return shrink(img, w, h)


def process_picture():
    img, _ = card(128, 128, 22, (24, 32, 49), (16, 22, 35), border=(255, 255, 255, 30),
                  highlight=30, fill_alpha=240)
    return shrink(img, 128, 128)


# ---------------------------------------------------------------- icons


def icon_themes(colour):
    img, d = glyph_canvas(20, 20)
    for x, y in ((2.5, 2.5), (11, 2.5), (2.5, 11), (11, 11)):
        d.rounded_rectangle((x * S, y * S, (x + 6.5) * S, (y + 6.5) * S), radius=1.8 * S,
                            fill=colour)
    return shrink(img, 20, 20)


def icon_picture(colour):
    img, d = glyph_canvas(20, 20)
    d.rounded_rectangle((2 * S, 3.5 * S, 18 * S, 16.5 * S), radius=2.5 * S, outline=colour,
                        width=int(1.6 * S))
    poly(d, [(4, 15), (8.5, 9), (11.5, 12.5), (13.5, 10.5), (16.5, 15)], colour)
    disc(d, 13.5, 7.5, 1.6, colour)
    return shrink(img, 20, 20)


def icon_rotate(portrait, selected):
    w = h = 24
    if selected:
        img, mask = card(w, h, 12, ACCENT, ACCENT_DEEP, border=(140, 235, 240, 140),
                         highlight=60, box=(0.5, 0.5, 23.5, 23.5))
        ink = LIGHT
    else:
        img, mask = card(w, h, 12, (30, 40, 60), (18, 24, 38), border=(255, 255, 255, 60),
                         highlight=30, fill_alpha=225, box=(0.5, 0.5, 23.5, 23.5))
        ink = (205, 214, 228)
    d = ImageDraw.Draw(img)
    # The screen in its present orientation, and a turning arrow around it.
    if portrait:
        box = (9.7, 7.6, 14.3, 16.4)
    else:
        box = (7.6, 9.7, 16.4, 14.3)
    d.rounded_rectangle(tuple(v * S for v in box), radius=S, outline=ink, width=int(1.3 * S))
    c, r, end = 12 * S, 8.6 * S, 245
    d.arc((c - r, c - r, c + r, c + r), start=-35, end=end, fill=ink, width=int(1.3 * S))
    a = math.radians(end)
    tangent = math.atan2(math.cos(a), -math.sin(a))  # clockwise on screen
    rm = 8.6 - 0.65
    tip = (12 + rm * math.cos(a) + 2.4 * math.cos(tangent),
           12 + rm * math.sin(a) + 2.4 * math.sin(tangent))
    arrowhead(d, tip, tangent, 3.6, ink)
    return shrink(img, w, h)


def icon_trim(colour):
    img, d = glyph_canvas(16, 16)
    pen(d, [(4.5, 1.5), (4.5, 11.5), (14.5, 11.5)], colour, 1.6)
    pen(d, [(1.5, 4.5), (11.5, 4.5), (11.5, 14.5)], colour, 1.6)
    return shrink(img, 16, 16)


def icon_back(colour):
    img, d = glyph_canvas(16, 16)
    pen(d, [(4.0, 5.5), (10.0, 5.5)], colour, 1.6)
    d.arc((6.5 * S, 5.5 * S, 14.0 * S, 13.0 * S), start=-90, end=90, fill=colour,
          width=int(1.6 * S))
    pen(d, [(10.2, 13.0), (5.0, 13.0)], colour, 1.6)
    arrowhead(d, (1.2, 5.5), math.pi, 4.2, colour)
    return shrink(img, 16, 16)


def icon_minimise():
    img, d = glyph_canvas(16, 16)
    pen(d, [(3.5, 8.5), (12.5, 8.5)], (205, 212, 224), 1.6)
    return shrink(img, 16, 16)


def icon_close():
    img, d = glyph_canvas(16, 16)
    pen(d, [(4, 4), (12, 12)], (205, 212, 224), 1.6)
    pen(d, [(12, 4), (4, 12)], (205, 212, 224), 1.6)
    return shrink(img, 16, 16)


def icon_warning():
    img, d = glyph_canvas(16, 16)
    pen(d, [(8, 2), (14.5, 13.5), (1.5, 13.5)], AMBER, 1.8, closed=True)
    poly(d, [(8, 2), (14.5, 13.5), (1.5, 13.5)], AMBER)
    pen(d, [(8, 6), (8, 9.4)], (25, 22, 18), 1.7)
    disc(d, 8, 11.6, 0.95, (25, 22, 18))
    return shrink(img, 16, 16)


def icon_delete():
    img, d = glyph_canvas(18, 18)
    disc(d, 9, 9, 8.5, (255, 255, 255))
    disc(d, 9, 9, 7.5, DANGER)
    pen(d, [(6.2, 6.2), (11.8, 11.8)], LIGHT, 1.7)
    pen(d, [(11.8, 6.2), (6.2, 11.8)], LIGHT, 1.7)
    return shrink(img, 18, 18)


def add_tile():
    w, h = 77, 54
    img, _ = card(w, h, 6, ACCENT, ACCENT, border=ACCENT + (150,), highlight=0, fill_alpha=22)
    d = ImageDraw.Draw(img)
    disc(d, 38.5, 27, 11, ACCENT)
    pen(d, [(38.5, 21.5), (38.5, 32.5)], LIGHT, 2.2)
    pen(d, [(33, 27), (44, 27)], LIGHT, 2.2)
    return shrink(img, w, h)


def outlined(strokes, w, h):
    """Draws strokes twice: a dark halo, then white, so a cursor reads on any background.
    strokes: list of ("line", points, width) or ("head", tip, direction, size)."""
    img, d = glyph_canvas(w, h)
    for colour, grow in (((10, 14, 22), 1.6), (LIGHT, 0.0)):
        for s in strokes:
            if s[0] == "line":
                pen(d, s[1], colour, s[2] + grow)
            else:
                _, tip, direction, size = s
                pad = grow * 0.9
                tx, ty = tip[0] + pad * math.cos(direction), tip[1] + pad * math.sin(direction)
                arrowhead(d, (tx, ty), direction, size + grow * 1.6, colour)
    return shrink(img, w, h)


def cursor_move():
    c = 16
    strokes = [("line", [(c, 5), (c, 27)], 1.8), ("line", [(5, c), (27, c)], 1.8)]
    for angle in (0, 90, 180, 270):
        a = math.radians(angle)
        strokes.append(("head", (c + 12 * math.cos(a), c + 12 * math.sin(a)), a, 6))
    return outlined(strokes, 32, 32)


def cursor_text_move():
    strokes = [("line", [(11, 13), (21, 13)], 1.8), ("line", [(9, 16), (23, 16)], 1.8),
               ("line", [(11, 19), (21, 19)], 1.8), ("line", [(16, 5), (16, 9)], 1.8),
               ("line", [(16, 23), (16, 27)], 1.8),
               ("head", (16, 2.5), -math.pi / 2, 6), ("head", (16, 29.5), math.pi / 2, 6)]
    return outlined(strokes, 32, 32)


# ---------------------------------------------------------------- the loading animation


def loading_frames(count=18):
    """A teal comet running round a faint track on the wait dialog's plate. GIF transparency
    is one bit, so the plate itself is part of every frame and only its corners are clear."""
    n = 128
    yy, xx = np.mgrid[0:n, 0:n].astype(np.float64) + 0.5
    c = n / 2
    dist = np.hypot(xx - c, yy - c)
    theta = np.arctan2(yy - c, xx - c)
    R, half = 30.0, 4.5
    ring = np.clip(half + 0.5 - np.abs(dist - R), 0, 1)

    plate = np.array(process_picture(), np.float64)
    inside = plate[..., 3] >= 128
    base = plate[..., :3]
    track = np.array((44, 56, 80), np.float64)
    accent = np.array(ACCENT, np.float64)

    frames = []
    for i in range(count):
        head = 2 * math.pi * i / count - math.pi / 2
        behind = np.mod(head - theta, 2 * math.pi)  # 0 at the head, growing along the tail
        tail = np.clip(1 - behind / (1.5 * math.pi), 0, 1) ** 1.6
        hx, hy = c + R * math.cos(head), c + R * math.sin(head)
        cap = np.clip(half + 0.5 - np.hypot(xx - hx, yy - hy), 0, 1)
        k = np.maximum(ring * tail, cap)[..., None]
        rgb = base * (1 - ring[..., None]) + track * ring[..., None]
        rgb = rgb * (1 - k) + accent * k
        frames.append((rgb, inside))

    # One shared palette: index 0 is transparent, the rest spans plate, track and accent.
    all_rgb = np.concatenate([f[0][f[1]] for f in frames]).round().astype(np.uint8)
    sample = Image.fromarray(all_rgb.reshape(1, -1, 3), "RGB")
    pal_img = sample.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = [0, 0, 0] + pal_img.getpalette()[: 255 * 3]
    palette += [0] * (768 - len(palette))
    ref = Image.new("P", (1, 1))
    ref.putpalette(palette[3:] + [0, 0, 0])

    out = []
    for rgb, inside in frames:
        q = Image.fromarray(rgb.round().astype(np.uint8), "RGB").quantize(
            palette=ref, dither=Image.Dither.NONE)
        idx = (np.array(q, np.uint8).astype(np.int32) + 1).clip(1, 255).astype(np.uint8)
        idx[~inside] = 0
        frame = Image.fromarray(idx, "P")
        frame.putpalette(palette)
        frame.info["transparency"] = 0
        out.append(frame)
    return out


# ---------------------------------------------------------------- built-in backgrounds

BW, BH = 320, 170
RW, RH = BW * 2, BH * 2  # rendered at twice the size, then scaled down


def to_image(rgb):
    return Image.fromarray(np.clip(rgb, 0, 255).round().astype(np.uint8), "RGB")


def fbm(rng, w, h, base_cells, octaves=5, stretch=(1.0, 1.0)):
    """Fractal value noise in 0..1: seeded random grids, smoothly enlarged and summed."""
    total = np.zeros((h, w), np.float64)
    amp, norm = 1.0, 0.0
    cells = base_cells
    for _ in range(octaves):
        cx = max(2, int(cells * stretch[0]))
        cy = max(2, int(cells * h / w * stretch[1]))
        grid = rng.random((cy + 1, cx + 1)).astype(np.float32)
        layer = Image.fromarray(grid, "F").resize((w, h), Image.BICUBIC)
        total += amp * np.array(layer, np.float64)
        norm += amp
        amp *= 0.5
        cells *= 2
    return np.clip(total / norm, 0, 1)


def ridge_line(rng, n, base, rough, octaves=6, first=4):
    """A 1-D fractal profile (heights in pixels) for hills and mountains."""
    x = np.linspace(0, 1, n)
    y = np.zeros(n)
    amp = 1.0
    k = first
    for _ in range(octaves):
        pts = rng.random(k + 1)
        t = x * k
        i = np.minimum(t.astype(int), k - 1)
        f = t - i
        f = f * f * (3 - 2 * f)
        y += amp * (pts[i] * (1 - f) + pts[i + 1] * f)
        amp *= 0.5
        k *= 2
    return base - (y - y.mean()) * rough


def sky(h, stops):
    """Vertical colour stops [(position 0..1, colour)] as an RW-wide RGB array."""
    pos = np.linspace(0, 1, h)
    out = np.zeros((h, 3))
    for ch in range(3):
        out[:, ch] = np.interp(pos, [p for p, _ in stops], [c[ch] for _, c in stops])
    return np.broadcast_to(out[:, None, :], (h, RW, 3)).copy()


def fill_below(rgb, profile, colour, alpha=1.0):
    yy = np.arange(rgb.shape[0])[:, None]
    edge = np.clip(yy - profile[None, :] + 0.5, 0, 1)[..., None] * alpha
    return rgb * (1 - edge) + np.array(colour) * edge


def add_glow(rgb, cx, cy, radius, colour, strength):
    yy, xx = np.mgrid[0:rgb.shape[0], 0:rgb.shape[1]]
    d = np.hypot(xx - cx, yy - cy) / radius
    g = (np.exp(-d * d) * strength)[..., None]
    return rgb + np.array(colour) * g


def add_stars(rgb, rng, count, top_fraction, max_bright=255):
    h = int(rgb.shape[0] * top_fraction)
    for _ in range(count):
        x, y = rng.integers(0, RW), rng.integers(0, max(1, h))
        b = rng.random() ** 3 * max_bright * (1 - y / max(1, h)) ** 0.5
        rgb[y, x] = np.maximum(rgb[y, x], b)
        if b > 170:
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if 0 <= x + dx < RW and 0 <= y + dy < rgb.shape[0]:
                    rgb[y + dy, x + dx] = np.maximum(rgb[y + dy, x + dx], b * 0.45)
    return rgb


def vignette(rgb, strength=0.35):
    yy, xx = np.mgrid[0:rgb.shape[0], 0:rgb.shape[1]]
    d = np.hypot((xx / rgb.shape[1] - 0.5) * 1.3, yy / rgb.shape[0] - 0.5)
    return rgb * (1 - strength * np.clip(d * 1.5, 0, 1) ** 2)[..., None]


def bg_dusk_mountains(rng):
    rgb = sky(RH, [(0, (24, 20, 62)), (0.35, (78, 44, 110)), (0.62, (214, 110, 96)),
                   (0.72, (246, 170, 102)), (1, (246, 170, 102))])
    rgb = add_stars(rgb, rng, 160, 0.35, 200)
    rgb = add_glow(rgb, RW * 0.68, RH * 0.64, 70, (255, 190, 120), 0.55)
    yy, xx = np.mgrid[0:RH, 0:RW]
    sun = np.clip(19 - np.hypot(xx - RW * 0.68, yy - RH * 0.62), 0, 1)[..., None]
    rgb = rgb * (1 - sun) + np.array((255, 226, 170)) * sun
    layers = [(0.60, 26, (150, 84, 120)), (0.68, 34, (102, 56, 100)), (0.78, 40, (58, 34, 72)),
              (0.90, 36, (24, 16, 36))]
    for base, rough, colour in layers:
        rgb = fill_below(rgb, ridge_line(rng, RW, RH * base, rough * 2.4), colour)
    return rgb


def bg_aurora(rng):
    rgb = sky(RH, [(0, (4, 6, 18)), (0.6, (8, 20, 36)), (1, (18, 44, 62))])
    rgb = add_stars(rgb, rng, 260, 0.75)
    yy, xx = np.mgrid[0:RH, 0:RW].astype(np.float64)
    streaks = fbm(rng, RW, 2, 24, 5, (1.0, 1.0))[0]
    reach = fbm(rng, RW, 2, 6, 3, (1.0, 1.0))[0]
    for k, (amp, phase, level, colour, power) in enumerate((
            (14, 2.1, 0.26, (150, 100, 240), 0.45), (24, 0.3, 0.46, (60, 240, 160), 1.0),
            (16, 4.0, 0.36, (70, 200, 230), 0.6))):
        centre = RH * level + amp * np.sin(xx[0] / RW * 2 * math.pi * (1.1 + 0.4 * k) + phase)
        above = np.clip(centre[None, :] - yy, 0, None)
        below = np.clip(yy - centre[None, :], 0, None)
        # Curtains: a bright lower hem whose rays fade upwards at uneven heights.
        height = (25 + 60 * reach)[None, :]
        curtain = np.exp(-above / height) * (above > 0) + np.exp(-(below / 4) ** 2) * (above == 0)
        curtain *= (0.25 + 0.95 * streaks[None, :] ** 1.5) * power
        rgb += np.array(colour) * curtain[..., None] * 0.8
    ground = ridge_line(rng, RW, RH * 0.86, 18)
    rgb = fill_below(rgb, ground, (6, 12, 18))
    # A row of pines along the ridge.
    img = to_image(rgb)
    d = ImageDraw.Draw(img)
    x = 0.0
    while x < RW:
        gx = int(min(RW - 1, max(0, x)))
        hgt = 14 + rng.random() * 26
        wid = hgt * 0.36
        base_y = ground[gx] + 4
        d.polygon([(x, base_y - hgt), (x - wid, base_y), (x + wid, base_y)], fill=(6, 12, 18))
        x += 5 + rng.random() * 12
    return np.array(img, np.float64)


def bg_sea_sunset(rng):
    horizon = int(RH * 0.56)
    rgb = sky(RH, [(0, (38, 30, 84)), (0.3, (120, 62, 120)), (0.5, (236, 118, 96)),
                   (0.56, (255, 190, 120)), (0.57, (70, 64, 110)), (1, (14, 20, 44))])
    yy, xx = np.mgrid[0:RH, 0:RW].astype(np.float64)
    clouds = fbm(rng, RW, RH, 3, 5, (0.5, 4.0))
    band = np.clip((clouds - 0.55) * 3, 0, 1) * (yy < horizon - 10)
    rgb = rgb * (1 - 0.35 * band[..., None]) + np.array((255, 160, 150)) * 0.25 * band[..., None]
    sx = RW * 0.42
    rgb = add_glow(rgb, sx, horizon, 110, (255, 170, 110), 0.45)
    sun = np.clip(26 - np.hypot(xx - sx, yy - horizon), 0, 1) * (yy < horizon)
    rgb = rgb * (1 - sun[..., None]) + np.array((255, 232, 180)) * sun[..., None]
    # Glints on the water: short horizontal strokes that widen towards the viewer.
    glint_noise = fbm(rng, RW, RH, 6, 4, (0.3, 6.0))
    depth = np.clip((yy - horizon) / (RH - horizon), 0, 1)
    width = 18 + 70 * depth
    column = np.exp(-((xx - sx) / width) ** 2)
    glint = np.clip((glint_noise - 0.5) * 4, 0, 1) * column * (yy > horizon + 1)
    rgb += np.array((255, 200, 140)) * glint[..., None] * 0.8
    waves = fbm(rng, RW, RH, 8, 4, (0.4, 5.0)) * (yy > horizon)
    rgb *= (0.9 + 0.2 * waves)[..., None]
    return rgb


def bg_circuit(rng):
    rgb = sky(RH, [(0, (6, 22, 30)), (1, (4, 14, 22))])
    yy, xx = np.mgrid[0:RH, 0:RW].astype(np.float64)
    rgb += (fbm(rng, RW, RH, 6, 4) - 0.5)[..., None] * 10
    dim = Image.new("RGB", (RW, RH), (0, 0, 0))
    lit = Image.new("RGB", (RW, RH), (0, 0, 0))
    dd, dl = ImageDraw.Draw(dim), ImageDraw.Draw(lit)
    step = 16
    moves = [(1, 0), (1, 1), (1, -1), (0, 1), (0, -1)]
    for _ in range(70):
        x, y = rng.integers(0, RW // step) * step, rng.integers(0, RH // step) * step
        pts = [(x, y)]
        dx, dy = moves[rng.integers(0, len(moves))]
        for _ in range(rng.integers(3, 10)):
            if rng.random() < 0.35:
                dx, dy = moves[rng.integers(0, len(moves))]
            x, y = x + dx * step, y + dy * step
            pts.append((x, y))
        bright = rng.random() < 0.18
        target = dl if bright else dd
        colour = (60, 230, 220) if bright else (30, 96, 100)
        target.line(pts, fill=colour, width=3, joint="curve")
        for px, py in (pts[0], pts[-1]):
            target.ellipse((px - 5, py - 5, px + 5, py + 5), outline=colour, width=3)
    for _ in range(5):
        cx, cy = rng.integers(40, RW - 80), rng.integers(30, RH - 70)
        w, h = rng.integers(50, 90), rng.integers(36, 60)
        dd.rounded_rectangle((cx, cy, cx + w, cy + h), radius=5, fill=(14, 34, 42),
                             outline=(40, 110, 116), width=2)
        for p in range(cx + 8, cx + w - 4, 10):
            dd.line([(p, cy - 6), (p, cy)], fill=(40, 110, 116), width=3)
            dd.line([(p, cy + h), (p, cy + h + 6)], fill=(40, 110, 116), width=3)
    glow = lit.filter(ImageFilter.GaussianBlur(6))
    rgb = np.maximum(rgb, np.array(dim, np.float64))
    rgb += np.array(glow, np.float64) * 0.9 + np.array(lit, np.float64) * 0.8
    return vignette(rgb, 0.5)


def bg_bokeh(rng):
    rgb = sky(RH, [(0, (16, 14, 40)), (1, (32, 14, 48))])
    yy, xx = np.mgrid[0:RH, 0:RW].astype(np.float64)
    rgb = add_glow(rgb, RW * 0.25, RH * 0.8, 160, (40, 90, 160), 0.35)
    colours = [(46, 197, 206), (240, 90, 160), (250, 180, 80), (110, 120, 250)]
    for blur, count, alpha in ((10, 22, 0.22), (4, 26, 0.32), (1.2, 14, 0.40)):
        layer = np.zeros((RH, RW, 3))
        cover = np.zeros((RH, RW))
        for _ in range(count):
            cx, cy = rng.random() * RW, rng.random() * RH
            r = 10 + rng.random() * (50 if blur > 5 else 30)
            colour = np.array(colours[rng.integers(0, len(colours))], np.float64)
            d = np.hypot(xx - cx, yy - cy)
            m = np.clip(r - d + 0.5, 0, 1) * (0.7 + 0.3 * np.clip(d / r, 0, 1) ** 4)
            layer += colour * m[..., None] * alpha * (0.5 + rng.random() * 0.5)
            cover = np.maximum(cover, m)
        img = to_image(layer).filter(ImageFilter.GaussianBlur(blur))
        rgb += np.array(img, np.float64)
    return vignette(rgb, 0.45)


def low_poly():
    """Flat-shaded triangles over a diagonal gradient: a PNG keeps the edges crisp."""
    rng = np.random.default_rng(6)
    cols, rows = 12, 7
    pts = np.zeros((rows + 1, cols + 1, 2))
    for j in range(rows + 1):
        for i in range(cols + 1):
            jx = (rng.random() - 0.5) * 0.8 if 0 < i < cols else 0
            jy = (rng.random() - 0.5) * 0.8 if 0 < j < rows else 0
            pts[j, i] = ((i + jx) * RW / cols, (j + jy) * RH / rows)
    stops = [(0.0, (14, 30, 62)), (0.45, (22, 92, 120)), (0.7, (40, 150, 170)),
             (1.0, (70, 60, 140))]
    img = Image.new("RGB", (RW, RH))
    d = ImageDraw.Draw(img)
    light = np.array((-0.4, -0.7))
    for j in range(rows):
        for i in range(cols):
            a, b, c, e = pts[j, i], pts[j, i + 1], pts[j + 1, i], pts[j + 1, i + 1]
            tris = [(a, b, e), (a, e, c)] if (i + j) % 2 == 0 else [(a, b, c), (b, e, c)]
            for tri in tris:
                cx, cy = np.mean([p[0] for p in tri]), np.mean([p[1] for p in tri])
                t = np.clip(0.65 * cx / RW + 0.35 * (1 - cy / RH), 0, 1)
                col = np.array([np.interp(t, [s for s, _ in stops], [c_[k] for _, c_ in stops])
                                for k in range(3)])
                shade = 0.86 + 0.14 * np.tanh(np.dot(light, (tri[1] - tri[0])[::-1]) / 400)
                shade *= 0.9 + 0.2 * rng.random()
                col = np.clip(col * shade, 0, 255)
                d.polygon([tuple(p) for p in tri], fill=tuple(int(v) for v in col))
    return vignette(np.array(img, np.float64), 0.35)


def bg_nebula(rng):
    rgb = sky(RH, [(0, (6, 6, 18)), (1, (10, 8, 26))])
    n1 = fbm(rng, RW, RH, 3, 6)
    n2 = fbm(rng, RW, RH, 4, 6)
    mask = fbm(rng, RW, RH, 2, 4)
    cloud = np.clip((n1 - 0.42) * 2.2, 0, 1) * np.clip((mask - 0.35) * 2.5, 0, 1)
    teal = np.clip((n2 - 0.45) * 2.5, 0, 1) * np.clip((0.7 - mask) * 2.5, 0, 1)
    rgb += np.array((190, 60, 150))[None, None, :] * cloud[..., None] * 0.75
    rgb += np.array((40, 170, 200))[None, None, :] * teal[..., None] * 0.6
    rgb += np.array((255, 210, 230))[None, None, :] * (cloud ** 3)[..., None] * 0.4
    rgb = add_stars(rgb, rng, 420, 1.0)
    yy, xx = np.mgrid[0:RH, 0:RW].astype(np.float64)
    for _ in range(5):
        cx, cy = rng.random() * RW, rng.random() * RH
        d = np.hypot(xx - cx, yy - cy)
        spike = (np.exp(-np.abs(xx - cx) / 1.2) * np.exp(-np.abs(yy - cy) / 14)
                 + np.exp(-np.abs(yy - cy) / 1.2) * np.exp(-np.abs(xx - cx) / 14))
        rgb += np.array((220, 230, 255)) * (np.exp(-d / 2.5) + 0.5 * spike)[..., None] * 0.9
    return rgb


def bg_neon_grid(rng):
    horizon = int(RH * 0.6)
    rgb = sky(RH, [(0, (12, 4, 36)), (0.4, (44, 10, 76)), (0.6, (130, 30, 110)),
                   (0.601, (14, 6, 30)), (1, (8, 4, 20))])
    rgb = add_stars(rgb, rng, 120, 0.45, 220)
    yy, xx = np.mgrid[0:RH, 0:RW].astype(np.float64)
    cx, cy, r = RW * 0.5, horizon - 4, 58
    d = np.hypot(xx - cx, yy - cy)
    t = np.clip((yy - (cy - r)) / (2 * r), 0, 1)
    sun_col = np.array((255, 220, 90)) * (1 - t[..., None]) + np.array((255, 60, 150)) * t[..., None]
    stripes = ~((yy > cy - r * 0.35) & (np.mod(yy - (cy - r * 0.35), 14) < 2 + (yy - cy + r) / 18))
    sun = np.clip(r - d + 0.5, 0, 1) * stripes * (yy < horizon)
    rgb = add_glow(rgb, cx, cy, 120, (255, 70, 160), 0.35)
    rgb = rgb * (1 - sun[..., None]) + sun_col * sun[..., None]
    mountains = ridge_line(rng, RW, horizon - 6, 40)
    mountains = np.minimum(mountains, horizon)
    rgb = fill_below(rgb, mountains, (20, 8, 42))
    rgb[horizon:] = np.array(sky(RH, [(0, (16, 6, 34)), (1, (6, 2, 16))]))[horizon:]
    # The floor: lines converge on the centre of the horizon, rows crowd towards it.
    lines = Image.new("RGB", (RW, RH), (0, 0, 0))
    dl = ImageDraw.Draw(lines)
    for k in range(-14, 15):
        dl.line([(cx + k * 8, horizon), (cx + k * 90, RH)], fill=(255, 60, 200), width=2)
    for k in range(1, 12):
        y = horizon + (RH - horizon) * (k / 11) ** 2.2
        dl.line([(0, y), (RW, y)], fill=(255, 60, 200), width=2)
    dl.line([(0, horizon), (RW, horizon)], fill=(120, 230, 255), width=2)
    glow = np.array(lines.filter(ImageFilter.GaussianBlur(4)), np.float64)
    sharp = np.array(lines, np.float64)
    fade = np.clip((yy - horizon) / (RH - horizon), 0.15, 1)[..., None]
    rgb += (sharp * 0.75 + glow * 1.2) * fade * (yy >= horizon - 1)[..., None]
    return rgb


def bg_marble(rng):
    yy, xx = np.mgrid[0:RH, 0:RW].astype(np.float64)
    turb = fbm(rng, RW, RH, 3, 6)
    turb2 = fbm(rng, RW, RH, 5, 5)
    v = np.sin((xx * 0.9 + yy * 1.6) / 38 + turb * 11)
    v2 = np.sin((xx * 1.3 - yy * 0.7) / 23 + turb2 * 9)
    vein = (1 - np.abs(v)) ** 14
    fine = (1 - np.abs(v2)) ** 30
    base = sky(RH, [(0, (18, 24, 28)), (1, (10, 14, 18))])
    base *= (0.85 + 0.3 * turb2)[..., None]
    rgb = base + np.array((200, 205, 210)) * vein[..., None] * 0.55
    rgb += np.array((210, 175, 110)) * fine[..., None] * 0.45
    return vignette(rgb, 0.3)


def bg_ribbons(rng):
    rgb = sky(RH, [(0, (10, 16, 40)), (1, (30, 14, 56))])
    yy, xx = np.mgrid[0:RH, 0:RW].astype(np.float64)
    u = xx / RW
    colours = [(46, 197, 206), (60, 120, 240), (140, 90, 230), (46, 197, 206), (220, 90, 200)]
    for k in range(5):
        centre = RH * (0.3 + 0.12 * k) + 30 * np.sin(2 * math.pi * (u * (0.8 + 0.15 * k))
                                                  + k * 1.3) + 16 * np.sin(6 * u + k)
        thickness = 16 + 10 * np.sin(3 * u + k * 2.0) + 6 * k
        dist = (yy - centre) / thickness
        body = np.clip(1 - dist * dist, 0, 1) ** 0.6 * 0.28
        edge = np.exp(-((yy - (centre - thickness)) / 1.3) ** 2) * 0.6
        shade = 0.6 + 0.4 * np.sin(u * 4 + k)
        rgb += np.array(colours[k]) * ((body * shade + edge) * (0.6 + 0.1 * k))[..., None]
    return vignette(rgb, 0.4)


def bg_misty_forest(rng):
    fog = np.array((150, 176, 182))
    rgb = sky(RH, [(0, (46, 70, 88)), (0.55, (120, 150, 160)), (1, (150, 176, 182))])
    rgb = add_glow(rgb, RW * 0.25, RH * 0.3, 90, (255, 230, 190), 0.35)
    img = to_image(rgb)
    d = ImageDraw.Draw(img)
    layers = [(0.50, 0.72), (0.62, 0.52), (0.74, 0.32), (0.88, 0.12), (1.02, 0.0)]
    for level, haze in layers:
        colour = tuple(int(v) for v in lerp((10, 26, 30), tuple(fog), haze))
        ground = ridge_line(rng, RW, RH * level, 20)
        d.polygon([(0, RH)] + [(x, ground[x]) for x in range(RW)] + [(RW - 1, RH)], fill=colour)
        x = rng.random() * 6
        scale = 0.6 + (1 - haze) * 1.2
        while x < RW:
            gx = int(min(RW - 1, x))
            hgt = (16 + rng.random() * 22) * scale
            wid = hgt * 0.3
            by = ground[gx] + 3
            for tier in range(3):  # three stacked cones make a fir
                top = by - hgt + tier * hgt * 0.22
                bot = by - hgt * 0.55 + tier * hgt * 0.25
                ww = wid * (0.55 + tier * 0.25)
                d.polygon([(x, top), (x - ww, bot), (x + ww, bot)], fill=colour)
            d.line([(x, by - hgt * 0.2), (x, by)], fill=colour, width=max(1, int(2 * scale)))
            x += (6 + rng.random() * 14) * scale
    rgb = np.array(img, np.float64)
    rgb = rgb * 0.82  # keeps white figures legible on the bright fog
    return rgb


BACKGROUNDS = [
    ("1.jpg", bg_dusk_mountains),
    ("2.jpg", bg_aurora),
    ("3.jpg", bg_sea_sunset),
    ("4.jpg", bg_circuit),
    ("5.jpg", bg_bokeh),
    ("6.png", None),  # low_poly: flat shapes, kept lossless
    ("7.jpg", bg_nebula),
    ("8.jpg", bg_neon_grid),
    ("9.jpg", bg_marble),
    ("10.jpg", bg_ribbons),
    ("11.jpg", bg_misty_forest),
]


# ---------------------------------------------------------------- writing


def save_png(img, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, format="PNG", optimize=True)


def save_background(rgb, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img = to_image(rgb).resize((BW, BH), Image.LANCZOS)
    if path.endswith(".png"):
        img = img.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
        img.save(path, format="PNG", optimize=True)
    else:
        img.save(path, format="JPEG", quality=88, optimize=True)


def skins():
    """name -> picture of every ://skins/ PNG."""
    out = {
        "background_01.png": window_background(),
        "seting_bk.png": settings_panel(),
        "seting_bt_02_n.png": checkbox(False),
        "seting_bt_02_s.png": checkbox(True),
        "logo.png": logo(128),
        "mini_n.png": icon_minimise(),
        "close_n.png": icon_close(),
        "button_01_n.png": button(147, 40, 10, False),
        "button_01_s.png": button(147, 40, 10, True),
        "icon_01_n.png": icon_themes(MUTED),
        "icon_01_s.png": icon_themes(LIGHT),
        "icon_02_n.png": icon_picture(MUTED),
        "icon_02_s.png": icon_picture(LIGHT),
        "icon_rotate_01_n.png": icon_rotate(False, False),
        "icon_rotate_01_s.png": icon_rotate(False, True),
        "icon_rotate_02_n.png": icon_rotate(True, False),
        "icon_rotate_02_s.png": icon_rotate(True, True),
        "button_02_n.png": button(100, 40, 8, False),
        "button_02_s.png": button(100, 40, 8, True),
        "drag.png": cursor_move(),
        "drag2.png": cursor_text_move(),
        "icon_type_w.png": type_icon(),
        "cut1.png": button(64, 30, 6, False),
        "cut2.png": button(64, 30, 6, True),
        "ret1.png": button(64, 30, 6, False),
        "ret2.png": button(64, 30, 6, True),
        "icon_trim_n.png": icon_trim(MUTED),
        "icon_trim_s.png": icon_trim(LIGHT),
        "icon_back_n.png": icon_back(MUTED),
        "icon_back_s.png": icon_back(LIGHT),
        "edit_bk.png": edit_bar_background(),
        "Union.png": colour_bar_background(),
        "exit_warning.png": dim_overlay_with_panel(),
        "waring_icon.png": icon_warning(),
        "1.png": button(70, 32, 7, True),
        "eject_ask_bk.png": dialog_panel(240, 120),
        "eject_bt_n.png": button(70, 26, 6, False),
        "eject_bt_s.png": button(70, 26, 6, True),
        "add.png": add_tile(),
        "delete.png": icon_delete(),
    }
    for name, colour in TEXT_COLOURS:
        out[name + ".png"] = swatch(colour)
    for name, (_, colour) in zip(INDICATOR_NAMES, TEXT_COLOURS):
        out["font_" + name + ".png"] = colour_indicator(colour)
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.normpath(os.path.join(here, "..", "..",
                                                                       "resources")))
    out = parser.parse_args().out

    global OUT
    for OUT, suffix in ((1, ""), (2, "@2x")):
        for name, img in skins().items():
            save_png(img, os.path.join(out, "skins", name[:-4] + suffix + ".png"))
    OUT = 1

    frames = loading_frames()
    frames[0].save(os.path.join(out, "skins", "loading.gif"), save_all=True,
                   append_images=frames[1:], duration=55, loop=0, disposal=2, transparency=0,
                   optimize=False)

    save_png(process_picture(), os.path.join(out, "skin", "process.png"))

    for index, (name, make) in enumerate(BACKGROUNDS):
        rgb = low_poly() if make is None else make(np.random.default_rng(1000 + index))
        save_background(rgb, os.path.join(out, "background", name))


if __name__ == "__main__":
    main()
