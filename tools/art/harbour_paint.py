"""The harbour stage's texture atlas (models/harbourStage/harbourAtlas.png,
2048 x 1024, laid out as the meadow's): a bright morning sky over the open
sea and a far coast on the top half; brick, windows and the warehouse door,
the sea wall's stones, the gantry's girder, quay paving, water, the
container, the boat's hull, the lighthouse and the crane's steel in
256-pixel cells; palette strips. Drawn unlit: light and shade painted in."""
import math
import random

import cairo

from arena_kit import paint_strips
from imaging import canvas, clipped, rounded_rect, save_surface

ATLAS_SIZE = (2048, 1024)
# The sky panel stands at z -260 over x -SKY_HALF .. SKY_HALF and y
# -60.5 .. SKY_TOP; round things are painted wider than tall by SKY_STRETCH.
SKY_HALF = 700.0
SKY_TOP = 425.0
SKY_STRETCH = (2048 / (2 * SKY_HALF)) / (512 / (SKY_TOP + 60.5))
HORIZON = -22.0  # the painted sea's far edge, in world units


def sky_y(world_y):
    """A world height on the sky panel, in atlas pixels."""
    return (SKY_TOP - world_y) * 512 / (SKY_TOP + 60.5)


def sky_x(world_x):
    return (world_x + SKY_HALF) * 2048 / (2 * SKY_HALF)


SKY = (0, 0, 2048, 512)
BRICK = (0, 512, 256, 256)
WINDOW = (256, 512, 256, 256)
DOOR = (512, 512, 256, 256)
STONE = (768, 512, 256, 256)
STONE_WET = (1024, 512, 256, 256)
GIRDER = (1280, 512, 256, 256)
GIRDER_UNDER = (1536, 512, 256, 256)
QUAY = (1792, 512, 256, 256)
WATER_A = (0, 768, 256, 256)
WATER_B = (256, 768, 256, 256)
CONTAINER = (512, 768, 256, 256)
HULL = (768, 768, 256, 256)
LIGHTHOUSE = (1024, 768, 256, 256)
CRANE = (1280, 768, 256, 256)

SEA_NEAR = (0.16, 0.55, 0.72)
SEA_HORIZON = (0.55, 0.78, 0.88)
YELLOW = (1.0, 0.78, 0.12)

(SEA_FAR, COAST_FAR, COAST_NEAR, CLOUD, STEEL_YELLOW, STEEL_DARK, WHITE, ROOF_RED, LAMP, ROCK, WOOD, QUAY_FAR, RED,
 BLUE, SLATE, HOUSE) = range(16)
STRIP_COLOURS = [
    [(0.0, SEA_NEAR), (0.7, (0.36, 0.68, 0.82)), (1.0, SEA_HORIZON)],
    ((0.62, 0.74, 0.84), (0.56, 0.70, 0.80)),
    ((0.44, 0.70, 0.46), (0.30, 0.54, 0.40)),
    ((1.0, 1.0, 1.0), (0.82, 0.89, 0.97)),
    ((1.0, 0.84, 0.22), (0.86, 0.58, 0.06)),
    ((0.36, 0.38, 0.42), (0.16, 0.17, 0.20)),
    ((1.0, 1.0, 0.98), (0.80, 0.84, 0.88)),
    ((0.92, 0.34, 0.24), (0.66, 0.18, 0.14)),
    ((1.0, 1.0, 0.80), (1.0, 0.80, 0.24)),
    ((0.72, 0.72, 0.70), (0.42, 0.42, 0.44)),
    ((0.84, 0.64, 0.40), (0.56, 0.38, 0.22)),
    [(0.0, (0.80, 0.77, 0.70)), (1.0, (0.86, 0.84, 0.78))],
    ((0.94, 0.26, 0.20), (0.62, 0.12, 0.10)),
    ((0.30, 0.50, 0.80), (0.14, 0.26, 0.50)),
    ((0.46, 0.50, 0.58), (0.28, 0.30, 0.38)),
    ((1.0, 0.93, 0.78), (0.86, 0.76, 0.62)),
]


def shaded(colour, k):
    return tuple(min(1.0, max(0.0, c * k)) for c in colour)


def paint_bricks(ctx, x, y, w, h, rnd, base=(0.72, 0.32, 0.22), rows=12, cols=4):
    """Bricks in running bond, each a little different, the rows meeting the
    cell's edges so that tiles join."""
    ctx.set_source_rgb(0.82, 0.76, 0.68)  # mortar
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    bh = (h - 12) / rows
    bw = (w - 12) / cols
    for r in range(-1, rows + 1):
        offset = 0 if r % 2 == 0 else bw / 2
        for c in range(-1, cols + 1):
            bx, by = x + 6 + c * bw + offset, y + 6 + r * bh
            k = 1 + rnd.uniform(-0.1, 0.08)
            colour = shaded(base, k)
            ctx.rectangle(bx + 2, by + 2, bw - 4, bh - 4)
            ctx.set_source_rgb(*colour)
            ctx.fill()
            ctx.rectangle(bx + 2, by + 2, bw - 4, 3)
            ctx.set_source_rgb(*shaded(colour, 1.18))
            ctx.fill()
            ctx.rectangle(bx + 2, by + bh - 5, bw - 4, 3)
            ctx.set_source_rgb(*shaded(colour, 0.8))
            ctx.fill()


def paint_brick(ctx, cell, rnd):
    x, y, w, h = cell
    with clipped(ctx, cell):
        paint_bricks(ctx, x, y, w, h, rnd)


def paint_window(ctx, cell, rnd):
    x, y, w, h = cell
    with clipped(ctx, cell):
        paint_bricks(ctx, x, y, w, h, rnd)
        # A tall, round-headed window in a pale frame, over a stone sill.
        wx, wy, ww, wh = x + 68, y + 40, w - 136, h - 96
        ctx.move_to(wx - 10, wy + wh)
        ctx.line_to(wx - 10, wy + ww / 2)
        ctx.arc(wx + ww / 2, wy + ww / 2, ww / 2 + 10, math.pi, 2 * math.pi)
        ctx.line_to(wx + ww + 10, wy + wh)
        ctx.close_path()
        ctx.set_source_rgb(0.55, 0.22, 0.16)  # the brick arch
        ctx.fill()
        ctx.move_to(wx, wy + wh)
        ctx.line_to(wx, wy + ww / 2)
        ctx.arc(wx + ww / 2, wy + ww / 2, ww / 2, math.pi, 2 * math.pi)
        ctx.line_to(wx + ww, wy + wh)
        ctx.close_path()
        ctx.set_source_rgb(0.95, 0.93, 0.86)
        ctx.fill()
        gx, gy, gw, gh = wx + 8, wy + 8, ww - 16, wh - 8
        ctx.move_to(gx, gy + gh)
        ctx.line_to(gx, gy + gw / 2)
        ctx.arc(gx + gw / 2, gy + gw / 2, gw / 2, math.pi, 2 * math.pi)
        ctx.line_to(gx + gw, gy + gh)
        ctx.close_path()
        g = cairo.LinearGradient(0, gy, 0, gy + gh)
        g.add_color_stop_rgb(0, 0.46, 0.66, 0.82)
        g.add_color_stop_rgb(1, 0.22, 0.34, 0.50)
        ctx.set_source(g)
        ctx.fill()
        # Glazing bars and a glint.
        ctx.set_source_rgb(0.95, 0.93, 0.86)
        ctx.rectangle(gx + gw / 2 - 3, gy, 6, gh)
        for k in (1, 2):
            ctx.rectangle(gx, gy + gw / 2 + k * (gh - gw / 2) / 3 - 3, gw, 6)
        ctx.fill()
        ctx.move_to(gx + 8, gy + gh * 0.55)
        ctx.line_to(gx + gw * 0.4, gy + gw * 0.3)
        ctx.line_to(gx + gw * 0.4, gy + gw * 0.45)
        ctx.line_to(gx + 8, gy + gh * 0.7)
        ctx.close_path()
        ctx.set_source_rgba(1, 1, 1, 0.35)
        ctx.fill()
        ctx.rectangle(wx - 16, wy + wh, ww + 32, 14)
        ctx.set_source_rgb(0.86, 0.84, 0.78)
        ctx.fill()


def paint_door(ctx, cell, rnd):
    """The warehouse's big doorway: a sign over a pair of green wooden doors
    in a brick arch."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        paint_bricks(ctx, x, y, w, h, rnd, rows=10, cols=8)
        dx, dy, dw = x + 24, y + 70, w - 48
        ctx.move_to(dx - 10, y + h)
        ctx.line_to(dx - 10, dy + 30)
        ctx.curve_to(dx - 10, dy - 6, dx + dw + 10, dy - 6, dx + dw + 10, dy + 30)
        ctx.line_to(dx + dw + 10, y + h)
        ctx.close_path()
        ctx.set_source_rgb(0.55, 0.22, 0.16)
        ctx.fill()
        ctx.move_to(dx, y + h)
        ctx.line_to(dx, dy + 30)
        ctx.curve_to(dx, dy + 4, dx + dw, dy + 4, dx + dw, dy + 30)
        ctx.line_to(dx + dw, y + h)
        ctx.close_path()
        ctx.set_source_rgb(0.16, 0.42, 0.30)
        ctx.fill()
        for k in range(1, 12):  # planks
            px = dx + k * dw / 12
            ctx.rectangle(px - 1.5, dy + 10, 3, y + h - dy)
            ctx.set_source_rgb(0.10, 0.30, 0.21)
            ctx.fill()
        for half in (0, 1):  # braced leaves
            lx = dx + half * dw / 2
            ctx.set_source_rgb(0.22, 0.52, 0.38)
            ctx.set_line_width(10)
            for yy in (dy + 50, y + h - 22):
                ctx.move_to(lx + 8, yy)
                ctx.line_to(lx + dw / 2 - 8, yy)
            ctx.move_to(lx + 10, y + h - 22)
            ctx.line_to(lx + dw / 2 - 10, dy + 50)
            ctx.stroke()
        ctx.rectangle(dx + dw / 2 - 2, dy + 10, 4, y + h - dy)
        ctx.set_source_rgb(0.06, 0.16, 0.11)
        ctx.fill()
        # The sign board over the door.
        rounded_rect(ctx, x + 22, y + 12, w - 44, 44, 8)
        ctx.set_source_rgb(0.12, 0.22, 0.42)
        ctx.fill_preserve()
        ctx.set_source_rgb(0.95, 0.86, 0.5)
        ctx.set_line_width(4)
        ctx.stroke()
        ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
        ctx.set_font_size(26)
        text = "DOCK 3"
        ext = ctx.text_extents(text)
        ctx.move_to(x + w / 2 - ext.width / 2 - ext.x_bearing, y + 34 - ext.height / 2 - ext.y_bearing)
        ctx.set_source_rgb(1.0, 0.92, 0.6)
        ctx.show_text(text)


def paint_stone(ctx, cell, rnd, wet=False):
    """Big dressed stones of the sea wall, three courses a cell; the wet
    variant darkened and green with weed along its foot."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(0.50, 0.47, 0.44)
        ctx.paint()
        rows = 3
        bh = (h - 12) / rows
        for r in range(rows):
            offsets = [0.0, 0.45, 0.2][r]
            widths = [0.5, 0.5] if r != 2 else [0.4, 0.6]
            px = -offsets * (w - 12)
            k = 0
            while px < w - 12:
                sw = widths[k % 2] * (w - 12)
                sx, sy = x + 6 + px, y + 6 + r * bh
                tone = rnd.uniform(0.9, 1.06)
                base = shaded((0.86, 0.82, 0.74), tone)
                rounded_rect(ctx, sx + 3, sy + 3, sw - 6, bh - 6, 8)
                ctx.set_source_rgb(*base)
                ctx.fill()
                rounded_rect(ctx, sx + 6, sy + 5, sw - 12, 8, 4)
                ctx.set_source_rgb(*shaded(base, 1.1))
                ctx.fill()
                for _ in range(4):
                    ctx.arc(sx + rnd.uniform(12, sw - 12), sy + rnd.uniform(14, bh - 10), rnd.uniform(1.5, 3.5), 0,
                            2 * math.pi)
                    ctx.set_source_rgba(0.4, 0.38, 0.36, 0.3)
                    ctx.fill()
                px += sw
                k += 1
        if wet:
            g = cairo.LinearGradient(0, y + h * 0.35, 0, y + h)
            g.add_color_stop_rgba(0, 0.2, 0.25, 0.22, 0.0)
            g.add_color_stop_rgba(0.6, 0.2, 0.25, 0.22, 0.45)
            g.add_color_stop_rgba(1, 0.12, 0.2, 0.16, 0.75)
            ctx.set_source(g)
            ctx.rectangle(x, y, w, h)
            ctx.fill()
            ctx.move_to(x, y + h)
            for px in range(0, w + 8, 8):
                ctx.line_to(x + px, y + h - 46 - 10 * math.sin(px * 2 * math.pi * 3 / (w - 12)) - rnd.uniform(0, 12))
            ctx.line_to(x + w, y + h)
            ctx.close_path()
            ctx.set_source_rgb(0.22, 0.44, 0.26)
            ctx.fill()


def paint_girder(ctx, cell, rnd, light=1.0):
    """A panel of the gantry's box girder: yellow plate between stiffeners,
    rivets, and black and yellow stripes along its foot."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(*shaded(YELLOW, light))
        ctx.paint()
        g = cairo.LinearGradient(0, y, 0, y + h)
        g.add_color_stop_rgba(0, 1, 1, 0.9, 0.25)
        g.add_color_stop_rgba(0.5, 1, 1, 0.9, 0.0)
        g.add_color_stop_rgba(1, 0.5, 0.3, 0, 0.15)
        ctx.set_source(g)
        ctx.paint()
        for px in (x + 6, x + w - 6):  # stiffeners at the panel's ends
            ctx.rectangle(px - 12, y, 24, h)
            ctx.set_source_rgb(*shaded((0.92, 0.66, 0.08), light))
            ctx.fill()
            ctx.rectangle(px - 12, y, 5, h)
            ctx.set_source_rgb(*shaded((1.0, 0.9, 0.45), light))
            ctx.fill()
        ctx.rectangle(x, y + 6, w, 16)  # top flange
        ctx.set_source_rgb(*shaded((0.9, 0.64, 0.08), light))
        ctx.fill()
        stripe_top = y + h - 60
        ctx.rectangle(x, stripe_top, w, 54 + 6)
        ctx.set_source_rgb(*shaded(YELLOW, light))
        ctx.fill()
        ctx.save()
        ctx.rectangle(x, stripe_top + 6, w, 48)
        ctx.clip()
        ctx.set_source_rgb(0.12, 0.12, 0.14)
        period = (w - 12) / 4
        for k in range(-2, 7):
            sx = x + 6 + k * period
            ctx.move_to(sx, stripe_top + 54)
            ctx.line_to(sx + period / 2, stripe_top + 54)
            ctx.line_to(sx + period / 2 + 48, stripe_top + 6)
            ctx.line_to(sx + 48, stripe_top + 6)
            ctx.close_path()
        ctx.fill()
        ctx.restore()
        for px in range(0, 9):
            for py in (y + 14, stripe_top - 8):
                rx = x + 6 + 12 + px * (w - 36) / 8
                ctx.arc(rx, py, 4, 0, 2 * math.pi)
                ctx.set_source_rgb(*shaded((0.7, 0.48, 0.05), light))
                ctx.fill()
                ctx.arc(rx - 1, py - 1, 1.8, 0, 2 * math.pi)
                ctx.set_source_rgb(1, 0.95, 0.7)
                ctx.fill()


def paint_quay(ctx, cell, rnd):
    """Granite paving slabs, four by four, a little uneven in tone."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(0.52, 0.50, 0.47)
        ctx.paint()
        n = 4
        s = (w - 12) / n
        for i in range(-1, n + 1):
            for j in range(-1, n + 1):
                offset = s / 2 if j % 2 else 0
                tone = rnd.uniform(0.92, 1.05)
                ctx.rectangle(x + 6 + i * s + offset + 2, y + 6 + j * s + 2, s - 4, s - 4)
                ctx.set_source_rgb(*shaded((0.80, 0.77, 0.71), tone))
                ctx.fill()
        for _ in range(300):
            ctx.arc(x + rnd.uniform(0, w), y + rnd.uniform(0, h), rnd.uniform(0.8, 2), 0, 2 * math.pi)
            ctx.set_source_rgba(*rnd.choice(((0.4, 0.38, 0.36), (1, 1, 0.95))), 0.3)
            ctx.fill()


def paint_water(ctx, cell, rnd):
    """The harbour's water: blue with wavelets catching the light, tiling."""
    x, y, w, h = cell
    period = w - 12
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    ctx.set_source_rgb(*SEA_NEAR)
    ctx.paint()
    for _ in range(70):
        wx, wy = rnd.uniform(0, period), rnd.uniform(0, period)
        length = rnd.uniform(16, 44)
        colour, alpha = rnd.choice((((0.7, 0.9, 1.0), 0.8), ((0.08, 0.40, 0.58), 0.7), ((1, 1, 1), 0.9)))
        for i in (-1, 0, 1):
            for j in (-1, 0, 1):
                px, py = x + 6 + wx + i * period, y + 6 + wy + j * period
                ctx.move_to(px - length / 2, py)
                ctx.curve_to(px - length / 4, py - 5, px + length / 4, py - 5, px + length / 2, py)
                ctx.set_source_rgba(*colour, alpha)
                ctx.set_line_width(3.0)
                ctx.stroke()
    ctx.restore()


def paint_container(ctx, cell, rnd):
    """A red shipping container's side: corrugations, rails, a painted name."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        red = (0.86, 0.20, 0.14)
        ctx.set_source_rgb(*red)
        ctx.paint()
        n = 16
        for k in range(n):
            px = x + 6 + k * (w - 12) / n
            ctx.rectangle(px, y, (w - 12) / n / 2, h)
            ctx.set_source_rgb(*shaded(red, 0.82))
            ctx.fill()
            ctx.rectangle(px, y, 2.5, h)
            ctx.set_source_rgb(*shaded(red, 1.18))
            ctx.fill()
        for py, hh in ((y, 22), (y + h - 22, 22)):
            ctx.rectangle(x, py, w, hh)
            ctx.set_source_rgb(*shaded(red, 0.6))
            ctx.fill()
        for px in (x, x + w - 22):
            ctx.rectangle(px, y, 22, h)
            ctx.set_source_rgb(*shaded(red, 0.62))
            ctx.fill()
        ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
        ctx.set_font_size(44)
        text = "SKYSHIP"
        ext = ctx.text_extents(text)
        ctx.move_to(x + w / 2 - ext.width / 2 - ext.x_bearing, y + h / 2 - ext.height / 2 - ext.y_bearing)
        ctx.set_source_rgb(1, 1, 1)
        ctx.show_text(text)


def paint_hull(ctx, cell, rnd):
    """The fishing boat's side: white topsides with a blue stripe and round
    ports over a red bottom, the waterline dark."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(0.97, 0.97, 0.95)
        ctx.paint()
        ctx.rectangle(x, y + 6, w, 22)
        ctx.set_source_rgb(0.16, 0.32, 0.62)
        ctx.fill()
        ctx.rectangle(x, y + 140, w, h - 140)
        ctx.set_source_rgb(0.86, 0.18, 0.14)
        ctx.fill()
        ctx.rectangle(x, y + 140, w, 10)
        ctx.set_source_rgb(0.62, 0.1, 0.08)
        ctx.fill()
        ctx.rectangle(x, y + h - 26, w, 26)
        ctx.set_source_rgb(0.22, 0.1, 0.08)
        ctx.fill()
        for px in (x + 70, x + 186):
            ctx.arc(px, y + 82, 17, 0, 2 * math.pi)
            ctx.set_source_rgb(0.5, 0.52, 0.56)
            ctx.fill()
            ctx.arc(px, y + 82, 12, 0, 2 * math.pi)
            ctx.set_source_rgb(0.2, 0.36, 0.54)
            ctx.fill()
            ctx.arc(px - 4, y + 78, 4, 0, 2 * math.pi)
            ctx.set_source_rgb(0.85, 0.95, 1)
            ctx.fill()
        g = cairo.LinearGradient(0, y, 0, y + h)
        g.add_color_stop_rgba(0, 1, 1, 1, 0.0)
        g.add_color_stop_rgba(1, 0, 0, 0.1, 0.18)
        ctx.set_source(g)
        ctx.paint()


def paint_lighthouse(ctx, cell, rnd):
    """Half a turn of the lighthouse's round tower (u across it, lit from
    the left), one red and one white band tall, a small window in the white."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        for top, bottom, colour in ((y, y + h / 2, (0.90, 0.16, 0.14)), (y + h / 2, y + h, (0.98, 0.97, 0.94))):
            g = cairo.LinearGradient(x, 0, x + w, 0)
            g.add_color_stop_rgb(0.0, *shaded(colour, 0.72))
            g.add_color_stop_rgb(0.25, *shaded(colour, 1.06))
            g.add_color_stop_rgb(0.55, *colour)
            g.add_color_stop_rgb(1.0, *shaded(colour, 0.62))
            ctx.set_source(g)
            ctx.rectangle(x, top, w, bottom - top)
            ctx.fill()
        rounded_rect(ctx, x + w / 2 - 14, y + h * 0.62, 28, 44, 12)
        ctx.set_source_rgb(0.2, 0.26, 0.36)
        ctx.fill()


def paint_crane(ctx, cell, rnd):
    """A panel of the crane's steel: yellow chords, cross bracing, and dark
    yellow plate behind, so that it reads solid."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(0.78, 0.54, 0.06)
        ctx.paint()
        ctx.set_line_cap(cairo.LINE_CAP_SQUARE)
        ctx.set_source_rgb(1.0, 0.80, 0.14)
        ctx.set_line_width(24)
        ctx.move_to(x + 6, y + 6)
        ctx.line_to(x + w - 6, y + h - 6)
        ctx.move_to(x + w - 6, y + 6)
        ctx.line_to(x + 6, y + h - 6)
        ctx.stroke()
        ctx.set_source_rgb(1.0, 0.92, 0.5)
        ctx.set_line_width(6)
        ctx.move_to(x + 6, y + 0)
        ctx.line_to(x + w - 6, y + h - 12)
        ctx.stroke()
        for px in (x, x + w - 34):
            ctx.rectangle(px, y, 34, h)
            ctx.set_source_rgb(1.0, 0.82, 0.16)
            ctx.fill()
            ctx.rectangle(px + 4, y, 8, h)
            ctx.set_source_rgb(1.0, 0.94, 0.6)
            ctx.fill()
        for py in (y, y + h - 22):
            ctx.rectangle(x, py, w, 22)
            ctx.set_source_rgb(0.95, 0.7, 0.1)
            ctx.fill()


def paint_sky(ctx, rnd):
    x, y, w, h = SKY
    horizon = sky_y(HORIZON)
    g = cairo.LinearGradient(0, y, 0, horizon)
    g.add_color_stop_rgb(0.0, 0.24, 0.56, 0.94)
    g.add_color_stop_rgb(0.6, 0.52, 0.78, 0.98)
    g.add_color_stop_rgb(1.0, 0.86, 0.94, 1.0)
    ctx.set_source(g)
    ctx.rectangle(x, y, w, horizon)
    ctx.fill()
    # The morning sun, high on the left.
    sx, sy = sky_x(-260), sky_y(300)
    ctx.save()
    ctx.translate(sx, sy)
    ctx.scale(SKY_STRETCH, 1.0)
    halo = cairo.RadialGradient(0, 0, 14, 0, 0, 120)
    halo.add_color_stop_rgba(0, 1, 1, 0.9, 0.95)
    halo.add_color_stop_rgba(1, 1, 1, 0.9, 0.0)
    ctx.set_source(halo)
    ctx.arc(0, 0, 120, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_source_rgb(1.0, 0.99, 0.86)
    ctx.arc(0, 0, 24, 0, 2 * math.pi)
    ctx.fill()
    ctx.restore()
    # Fair-weather clouds.
    for _ in range(16):
        cx, cy = rnd.uniform(0, w), rnd.uniform(40, horizon - 60)
        size = rnd.uniform(14, 30) * (0.6 + 0.6 * (cy - 40) / horizon)
        ctx.save()
        ctx.translate(cx, cy)
        ctx.scale(SKY_STRETCH, 1.0)
        for dy, colour in ((0.12, (0.80, 0.88, 0.97)), (0.0, (1, 1, 1))):
            for px, py, r in ((-0.6, 0.0, 0.5), (0.0, -0.3, 0.7), (0.6, -0.05, 0.55), (1.1, 0.08, 0.36),
                              (-1.1, 0.1, 0.34)):
                ctx.arc(px * size, (py + dy) * size, r * size, 0, 2 * math.pi)
                ctx.close_path()
            ctx.set_source_rgb(*colour)
            ctx.fill()
        ctx.restore()
    # A few gulls far off.
    ctx.set_source_rgb(0.3, 0.34, 0.42)
    ctx.set_line_width(2.2)
    for _ in range(9):
        gx, gy = rnd.uniform(300, 1800), rnd.uniform(120, horizon - 120)
        span = rnd.uniform(7, 12)
        ctx.move_to(gx - span, gy - span * 0.3)
        ctx.curve_to(gx - span * 0.5, gy - span * 0.7, gx - span * 0.2, gy - span * 0.4, gx, gy)
        ctx.curve_to(gx + span * 0.2, gy - span * 0.4, gx + span * 0.5, gy - span * 0.7, gx + span, gy - span * 0.3)
        ctx.stroke()
    # The open sea down to the panel's foot, and a far coast on both sides.
    g = cairo.LinearGradient(0, horizon, 0, h)
    g.add_color_stop_rgb(0.0, *SEA_HORIZON)
    g.add_color_stop_rgb(1.0, *SEA_HORIZON)
    ctx.set_source(g)
    ctx.rectangle(x, horizon, w, h - horizon)
    ctx.fill()
    for k in range(40):
        ctx.rectangle(rnd.uniform(0, w), rnd.uniform(horizon + 4, h), rnd.uniform(10, 40), 1.6)
        ctx.set_source_rgba(1, 1, 1, 0.5)
        ctx.fill()
    for side, (lo, hi) in ((-1, (0, 700)), (1, (1500, 2048))):
        ctx.move_to(lo, horizon + 1)
        for px in range(lo, hi + 1, 16):
            edge = min(px - lo, hi - px) / 120.0
            top = horizon - min(1.0, edge) * (26 + 12 * math.sin(px * 0.013) + 8 * math.sin(px * 0.041))
            ctx.line_to(px, top)
        ctx.line_to(hi, horizon + 1)
        ctx.close_path()
        ctx.set_source_rgb(0.56, 0.70, 0.78)
        ctx.fill()
    ctx.rectangle(x, horizon - 1, w, 2)
    ctx.set_source_rgba(1, 1, 1, 0.6)
    ctx.fill()


def paint_atlas(path):
    rnd = random.Random(5102)
    surface, ctx = canvas(*ATLAS_SIZE)
    paint_sky(ctx, rnd)
    paint_brick(ctx, BRICK, rnd)
    paint_window(ctx, WINDOW, rnd)
    paint_door(ctx, DOOR, rnd)
    paint_stone(ctx, STONE, rnd)
    paint_stone(ctx, STONE_WET, rnd, wet=True)
    paint_girder(ctx, GIRDER, rnd)
    paint_girder(ctx, GIRDER_UNDER, rnd, light=0.62)
    paint_quay(ctx, QUAY, rnd)
    paint_water(ctx, WATER_A, rnd)
    paint_water(ctx, WATER_B, rnd)
    paint_container(ctx, CONTAINER, rnd)
    paint_hull(ctx, HULL, rnd)
    paint_lighthouse(ctx, LIGHTHOUSE, rnd)
    paint_crane(ctx, CRANE, rnd)
    paint_strips(ctx, STRIP_COLOURS)
    save_surface(surface, path)
