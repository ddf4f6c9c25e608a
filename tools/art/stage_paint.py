"""The stage's texture atlas (models/basicStage/stageAtlas.png, 2048 x 1024):
the painted sky panel on the top half, 256-pixel tiles and palette strips on
the bottom half. The stage is drawn unlit, so light and shade are painted in."""
import math
import random

import numpy as np

from imaging import canvas, clipped, rounded_rect, save_surface

ATLAS_SIZE = (2048, 1024)

SKY = (0, 0, 2048, 512)
GRASS_A = (0, 512, 256, 256)
GRASS_B = (256, 512, 256, 256)
GRASS_FAR = (512, 512, 256, 256)
TOWER_FRONT = (768, 512, 256, 256)
TOWER_SIDE = (1024, 512, 256, 256)
TOWER_TOP = (1280, 512, 256, 256)
GIRDER = (1536, 512, 256, 256)
GIRDER_SIDE = (1792, 512, 256, 256)
LEDGE = (0, 768, 256, 256)
LEDGE_SIDE = (256, 768, 256, 256)
BANNER = (512, 768, 1024, 256)
STRIPS = (1536, 768, 512, 256)

# Palette strips: (top colour, bottom colour).
HILLS_FAR, HILLS_MID, HILLS_NEAR, FOLIAGE, TRUNK, CLOUD, ROOF, FLAG, FENCE, STEEL, GRASS_STRIP = range(11)
STRIP_COLOURS = [
    ((0.62, 0.82, 0.80), (0.50, 0.72, 0.72)),
    ((0.50, 0.82, 0.38), (0.33, 0.64, 0.33)),
    ((0.40, 0.76, 0.24), (0.24, 0.54, 0.18)),
    ((0.42, 0.80, 0.28), (0.16, 0.46, 0.16)),
    ((0.58, 0.38, 0.22), (0.40, 0.25, 0.14)),
    ((1.00, 1.00, 1.00), (0.80, 0.88, 0.97)),
    ((0.95, 0.28, 0.20), (0.65, 0.12, 0.12)),
    ((1.00, 0.88, 0.15), (0.95, 0.62, 0.05)),
    ((1.00, 1.00, 0.97), (0.80, 0.80, 0.78)),
    ((0.45, 0.46, 0.52), (0.25, 0.26, 0.30)),
    ((0.40, 0.73, 0.25), (0.50, 0.74, 0.50)),  # ground: near grass to the far haze
]


def strip(index):
    x, y, w, h = STRIPS
    return (x + index * 32, y, 32, h)


def gradient(ctx, x, y, w, h, top, bottom):
    import cairo
    g = cairo.LinearGradient(0, y, 0, y + h)
    g.add_color_stop_rgb(0, *top)
    g.add_color_stop_rgb(1, *bottom)
    ctx.set_source(g)
    ctx.rectangle(x, y, w, h)
    ctx.fill()


def paint_sky(ctx, rnd):
    import cairo
    x, y, w, h = SKY
    g = cairo.LinearGradient(0, y, 0, y + h)
    g.add_color_stop_rgb(0.0, 0.30, 0.60, 0.93)
    g.add_color_stop_rgb(0.55, 0.53, 0.80, 0.96)
    g.add_color_stop_rgb(1.0, 0.84, 0.94, 0.98)
    ctx.set_source(g)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    # Sun with a soft halo.
    sx, sy = 1580, 120
    halo = cairo.RadialGradient(sx, sy, 20, sx, sy, 190)
    halo.add_color_stop_rgba(0, 1, 1, 0.85, 0.9)
    halo.add_color_stop_rgba(1, 1, 1, 0.85, 0.0)
    ctx.set_source(halo)
    ctx.arc(sx, sy, 190, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_source_rgb(1.0, 0.97, 0.75)
    ctx.arc(sx, sy, 44, 0, 2 * math.pi)
    ctx.fill()
    # Faint high clouds painted into the sky.
    for k in range(14):
        cx, cy = rnd.uniform(0, w), rnd.uniform(40, 260)
        for j in range(4):
            ctx.set_source_rgba(1, 1, 1, 0.25)
            ctx.save()
            ctx.translate(cx + j * 40 - 60, cy + rnd.uniform(-6, 6))
            ctx.scale(1.0, 0.35)
            ctx.arc(0, 0, rnd.uniform(30, 60), 0, 2 * math.pi)
            ctx.restore()
            ctx.fill()
    # Two ranges of distant mountains filling the bottom of the panel.
    for layer, (base, amp, colour, snow) in enumerate([(330, 110, (0.62, 0.70, 0.86), False),
                                                       (400, 70, (0.56, 0.72, 0.80), False)]):
        ctx.move_to(0, h)
        xs = np.arange(0, w + 32, 32)
        peaks = []
        for px in xs:
            v = (math.sin(px * 0.004 + layer * 3) * 0.5 + math.sin(px * 0.011 + layer) * 0.3 +
                 math.sin(px * 0.027 + layer * 5) * 0.2)
            py = base - amp * (0.5 + 0.5 * v)
            peaks.append((px, py))
            ctx.line_to(px, py)
        ctx.line_to(w, h)
        ctx.close_path()
        ctx.set_source_rgb(*colour)
        ctx.fill()
        if snow:
            for px, py in peaks:
                if py < base - amp * 0.72:
                    ctx.move_to(px - 22, py + 20)
                    ctx.line_to(px, py - 1)
                    ctx.line_to(px + 22, py + 20)
                    ctx.close_path()
            ctx.set_source_rgb(0.95, 0.97, 1.0)
            ctx.fill()
    # Haze where the panel meets the ground.
    g = cairo.LinearGradient(0, h - 60, 0, h)
    g.add_color_stop_rgba(0, 0.75, 0.88, 0.85, 0.0)
    g.add_color_stop_rgba(1, 0.55, 0.74, 0.6, 1.0)
    ctx.set_source(g)
    ctx.rectangle(0, h - 60, w, 60)
    ctx.fill()


def paint_grass(ctx, cell, base, rnd, flowers=True):
    x, y, w, h = cell
    ctx.set_source_rgb(*base)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    for _ in range(160):
        gx, gy = x + rnd.uniform(4, w - 4), y + rnd.uniform(4, h - 4)
        shade = rnd.uniform(-0.06, 0.06)
        ctx.set_source_rgb(*(min(1, max(0, c + shade)) for c in base))
        ctx.move_to(gx - 3, gy + 4)
        ctx.line_to(gx, gy - 5)
        ctx.line_to(gx + 3, gy + 4)
        ctx.fill()
    if flowers:
        for _ in range(6):
            fx, fy = x + rnd.uniform(10, w - 10), y + rnd.uniform(10, h - 10)
            ctx.set_source_rgb(*rnd.choice([(1, 1, 1), (1, 0.9, 0.3), (1, 0.6, 0.75)]))
            ctx.arc(fx, fy, 3, 0, 2 * math.pi)
            ctx.fill()


def paint_blocks(ctx, cell, base, outline, light):
    x, y, w, h = cell
    ctx.set_source_rgb(*outline)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    rows = 4
    bh = h / rows
    for r in range(rows):
        offset = 0 if r % 2 == 0 else w / 4
        for c in range(-1, 3):
            bx = x + offset + c * w / 2 + 4
            by = y + r * bh + 4
            ctx.save()
            ctx.rectangle(x, y, w, h)
            ctx.clip()
            rounded_rect(ctx, bx, by, w / 2 - 8, bh - 8, 9)
            ctx.set_source_rgb(*base)
            ctx.fill()
            rounded_rect(ctx, bx + 3, by + 3, w / 2 - 16, 7, 3)
            ctx.set_source_rgb(*light)
            ctx.fill()
            ctx.restore()


def paint_girder(ctx, cell, base, dark):
    x, y, w, h = cell
    ctx.set_source_rgb(*base)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    ctx.set_source_rgb(*dark)
    ctx.rectangle(x, y, w, 26)
    ctx.rectangle(x, y + h - 26, w, 26)
    ctx.fill()
    ctx.set_line_width(16)
    ctx.move_to(x + 10, y + 26)
    ctx.line_to(x + w - 10, y + h - 26)
    ctx.move_to(x + w - 10, y + 26)
    ctx.line_to(x + 10, y + h - 26)
    ctx.stroke()
    ctx.set_source_rgb(1.0, 0.92, 0.75)
    for px in np.arange(x + 16, x + w, 32):
        for py in (y + 13, y + h - 13):
            ctx.arc(px, py, 4, 0, 2 * math.pi)
            ctx.fill()


def paint_hazard(ctx, cell, yellow, black):
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(*yellow)
        ctx.paint()
        ctx.set_source_rgb(*black)
        for k in range(-4, 8):
            ctx.move_to(x + k * 64, y + h)
            ctx.line_to(x + k * 64 + h, y)
            ctx.line_to(x + k * 64 + h + 32, y)
            ctx.line_to(x + k * 64 + 32, y + h)
            ctx.close_path()
        ctx.fill()


def paint_banner(ctx):
    import cairo
    x, y, w, h = BANNER
    ctx.set_source_rgb(0.82, 0.2, 0.16)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    rounded_rect(ctx, x + 14, y + 20, w - 28, h - 40, 30)
    ctx.set_source_rgb(0.16, 0.42, 0.85)
    ctx.fill()
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    text = "SKYSCUFFLE"
    ctx.set_font_size(100)
    ext = ctx.text_extents(text)
    ctx.set_font_size(100 * (w - 140) / ext.width)
    ext = ctx.text_extents(text)
    tx = x + (w - ext.width) / 2 - ext.x_bearing
    ty = y + (h - ext.height) / 2 - ext.y_bearing
    ctx.move_to(tx, ty)
    ctx.text_path(text)
    ctx.set_source_rgb(0.1, 0.1, 0.2)
    ctx.set_line_width(16)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke_preserve()
    ctx.set_source_rgb(1.0, 0.86, 0.2)
    ctx.fill()


def paint_atlas(path):
    rnd = random.Random(1206)
    surface, ctx = canvas(*ATLAS_SIZE)
    paint_sky(ctx, rnd)
    paint_grass(ctx, GRASS_A, (0.42, 0.76, 0.26), rnd)
    paint_grass(ctx, GRASS_B, (0.38, 0.70, 0.24), rnd)
    paint_grass(ctx, GRASS_FAR, (0.42, 0.70, 0.34), rnd, flowers=False)
    paint_blocks(ctx, TOWER_FRONT, (0.93, 0.84, 0.66), (0.45, 0.36, 0.3), (1.0, 0.95, 0.82))
    paint_blocks(ctx, TOWER_SIDE, (0.72, 0.62, 0.48), (0.35, 0.27, 0.22), (0.8, 0.72, 0.58))
    paint_blocks(ctx, TOWER_TOP, (0.98, 0.92, 0.78), (0.55, 0.46, 0.38), (1.0, 1.0, 0.92))
    paint_girder(ctx, GIRDER, (0.93, 0.36, 0.16), (0.55, 0.16, 0.08))
    paint_girder(ctx, GIRDER_SIDE, (0.7, 0.24, 0.1), (0.4, 0.1, 0.05))
    paint_hazard(ctx, LEDGE, (1.0, 0.84, 0.1), (0.12, 0.12, 0.14))
    paint_hazard(ctx, LEDGE_SIDE, (0.78, 0.62, 0.05), (0.08, 0.08, 0.1))
    paint_banner(ctx)
    for k, (top, bottom) in enumerate(STRIP_COLOURS):
        x, y, w, h = strip(k)
        gradient(ctx, x, y, w, h, top, bottom)
    save_surface(surface, path)
