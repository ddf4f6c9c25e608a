"""The canyon stage's texture atlas (models/canyonStage/canyonAtlas.png,
2048 x 1024, laid out as the meadow's): a dusty late-afternoon sky with a
low sun and far mesas on the top half; layered sandstone, the river bed's
pebbles, sand and the trestle's timbers in 256-pixel cells; palette strips.
Drawn unlit: the warm light and the shade are painted in."""
import math
import random

import cairo

from arena_kit import banded_strip, paint_strips
from imaging import canvas, clipped, save_surface

ATLAS_SIZE = (2048, 1024)
# The sky panel stands at z -300 over x -SKY_HALF .. SKY_HALF, y -60.5 ..
# SKY_TOP: a pixel is SKY_STRETCH times as tall in the world as it is wide,
# so round things are painted that much wider than tall.
SKY_HALF = 620.0
SKY_TOP = 500.0
SKY_STRETCH = (2048 / (2 * SKY_HALF)) / (512 / (SKY_TOP + 60.5))

SKY = (0, 0, 2048, 512)
ROCK_A = (0, 512, 256, 256)
ROCK_B = (256, 512, 256, 256)
ROCK_C = (512, 512, 256, 256)
SHADE_A = (768, 512, 256, 256)
ROCK_TOP = (1024, 512, 256, 256)
PEBBLES_A = (1280, 512, 256, 256)
PEBBLES_B = (1536, 512, 256, 256)
SAND = (1792, 512, 256, 256)
DECK = (0, 768, 256, 256)
DECK_UNDER = (256, 768, 256, 256)
SHADE_B = (512, 768, 256, 256)
ROCK_UNDER = (768, 768, 256, 256)
SHADE_C = (1024, 768, 256, 256)
PORTAL = (1280, 768, 256, 256)

# The sandstone's layers, lit by the low sun.
CREAM = (0.98, 0.84, 0.62)
PEACH = (0.96, 0.68, 0.44)
ORANGE = (0.92, 0.53, 0.29)
RUST = (0.81, 0.39, 0.23)
RED = (0.71, 0.29, 0.19)
MAROON = (0.57, 0.23, 0.17)

# The same layers in the shade (the cliffs' feet and their sides).
SHADED = {ROCK_A: SHADE_A, ROCK_B: SHADE_B, ROCK_C: SHADE_C}
ROCK_BANDS = {
    ROCK_A: [(0.16, CREAM), (0.30, ORANGE), (0.14, PEACH), (0.40, RUST)],
    ROCK_B: [(0.26, RED), (0.16, ORANGE), (0.34, RUST), (0.24, PEACH)],
    ROCK_C: [(0.30, ORANGE), (0.22, MAROON), (0.28, RUST), (0.20, ORANGE)],
}

# Palette strips (stage_paint.strip(index) places them).
(MESA_FAR, MESA_MID, MESA_NEAR, CLIFF_BACK, CACTUS, CACTUS_LIGHT, DEADWOOD, TIMBER, STEEL, RIM, BOULDER, GROUND_FAR,
 RIVER_FAR, TUNNEL, TIMBER_DARK, BUSH) = range(16)


def shaded(colour, k, tint=(1.0, 1.0, 1.0)):
    return tuple(min(1.0, max(0.0, c * k * t)) for c, t in zip(colour, tint))


SHADOW = (0.90, 0.84, 0.92)  # the shade's violet cast
STRIP_COLOURS = [
    banded_strip([(2, (0.86, 0.66, 0.66)), (1, (0.82, 0.62, 0.64)), (2, (0.80, 0.60, 0.62)), (3, (0.76, 0.58, 0.62))]),
    banded_strip([(2, (0.93, 0.64, 0.50)), (1, (0.86, 0.55, 0.46)), (2, (0.90, 0.60, 0.47)), (1, (0.80, 0.50, 0.44)),
                  (3, (0.76, 0.50, 0.46))]),
    banded_strip([(2, (0.93, 0.60, 0.42)), (1, (0.95, 0.70, 0.52)), (2, (0.86, 0.50, 0.38)), (1, (0.90, 0.60, 0.46)),
                  (3, (0.80, 0.46, 0.38))]),
    banded_strip([(3, shaded(RUST, 0.92)), (1, shaded(PEACH, 0.9)), (2, shaded(ORANGE, 0.9)), (2, shaded(RED, 0.95)),
                  (1, shaded(CREAM, 0.85)), (3, shaded(RUST, 0.85)), (2, shaded(MAROON, 0.95)),
                  (2, shaded(ORANGE, 0.85))]),
    ((0.50, 0.70, 0.34), (0.24, 0.44, 0.22)),
    ((0.66, 0.82, 0.42), (0.40, 0.62, 0.30)),
    ((0.70, 0.58, 0.48), (0.40, 0.31, 0.26)),
    ((0.76, 0.53, 0.31), (0.44, 0.28, 0.16)),
    ((0.86, 0.84, 0.84), (0.34, 0.33, 0.38)),
    ((0.52, 0.22, 0.15), (0.30, 0.11, 0.09)),
    ((0.96, 0.64, 0.40), (0.56, 0.29, 0.19)),
    [(0.0, (0.90, 0.72, 0.50)), (0.6, (0.93, 0.75, 0.55)), (1.0, (0.95, 0.78, 0.62))],   # sand: near to the haze
    [(0.0, (0.80, 0.66, 0.52)), (0.6, (0.88, 0.72, 0.56)), (1.0, (0.95, 0.78, 0.62))],   # river bed: near to the haze
    ((0.16, 0.09, 0.08), (0.26, 0.15, 0.12)),
    ((0.50, 0.33, 0.20), (0.28, 0.17, 0.10)),
    ((0.66, 0.66, 0.38), (0.44, 0.44, 0.26)),
]


def wrapped(period, x0, x, *margin):
    """The copies of a horizontal position one period either side (for
    patterns that tile), those within the margin of the cell."""
    lo, hi = margin if margin else (-40, 296)
    return [x + k * period for k in (-1, 0, 1) if lo <= x + k * period - x0 <= hi]


def paint_rock(ctx, cell, bands, rnd, light=1.0, tint=(1.0, 1.0, 1.0), cracks=True):
    """Layered sandstone: bands with wavy boundaries that repeat across the
    cell's sampled width (6 .. 250 px), so that tiles meet without a seam,
    each layer's lip lit and the underside of the one above in shadow."""
    x, y, w, h = cell
    period = w - 12
    col = lambda c, k=1.0: shaded(c, light * k, tint)
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    tops = []
    at = y + 6
    for share, colour in bands:
        tops.append((at, colour))
        at += share * (h - 12)
    for k, (top, colour) in enumerate(tops):
        a1, a2 = rnd.uniform(3, 8), rnd.uniform(1, 4)
        f1, f2 = rnd.choice((1, 2)), rnd.choice((3, 4, 5))
        p1, p2 = rnd.uniform(0, 6.28), rnd.uniform(0, 6.28)
        if k == 0:
            a1 = a2 = 0.0

        def edge(px, top=top, a1=a1, a2=a2, f1=f1, f2=f2, p1=p1, p2=p2):
            s = 2 * math.pi * (px - x - 6) / period
            return top + a1 * math.sin(f1 * s + p1) + a2 * math.sin(f2 * s + p2)

        xs = list(range(int(x), int(x + w) + 1, 4))
        ctx.move_to(x, y + h)
        for px in xs:
            ctx.line_to(px, edge(px))
        ctx.line_to(x + w, y + h)
        ctx.close_path()
        ctx.set_source_rgb(*col(colour))
        ctx.fill()
        # Grain: fine level streaks within the layer.
        for _ in range(5):
            gy = rnd.uniform(8, 40)
            ctx.move_to(x, edge(x) + gy)
            for px in xs:
                ctx.line_to(px, edge(px) + gy)
            ctx.set_source_rgba(*col(colour, rnd.choice((0.9, 1.06))), 0.5)
            ctx.set_line_width(rnd.uniform(1.0, 2.5))
            ctx.stroke()
        # The lip of the layer: shadow under the one above, a lit edge below it.
        ctx.move_to(x, edge(x))
        for px in xs:
            ctx.line_to(px, edge(px))
        ctx.set_source_rgb(*col(colour, 0.62))
        ctx.set_line_width(5)
        ctx.stroke()
        ctx.move_to(x, edge(x) + 5)
        for px in xs:
            ctx.line_to(px, edge(px) + 5)
        ctx.set_source_rgb(*col(colour, 1.12))
        ctx.set_line_width(2.5)
        ctx.stroke()
    # Speckles and cracks, repeated a period either side so that they tile.
    for _ in range(260):
        sx, sy = rnd.uniform(x + 6, x + 6 + period), rnd.uniform(y + 8, y + h - 6)
        r = rnd.uniform(0.8, 2.2)
        ctx.set_source_rgba(*rnd.choice(((0.35, 0.14, 0.1), (1, 0.93, 0.8))), rnd.uniform(0.15, 0.35))
        for px in wrapped(period, x, sx):
            ctx.arc(px, sy, r, 0, 2 * math.pi)
            ctx.fill()
    if cracks:
        for _ in range(7):
            cx, cy = rnd.uniform(x + 6, x + 6 + period), rnd.uniform(y + 20, y + h - 50)
            length = rnd.uniform(18, 46)
            lean = rnd.uniform(-6, 6)
            for px in wrapped(period, x, cx):
                ctx.move_to(px, cy)
                ctx.curve_to(px + lean * 0.3, cy + length * 0.3, px + lean, cy + length * 0.6, px + lean * 0.6,
                             cy + length)
                ctx.set_source_rgba(*shaded(MAROON, 0.55 * light), 0.8)
                ctx.set_line_width(2.2)
                ctx.stroke()
                ctx.move_to(px + 2.2, cy + 2)
                ctx.curve_to(px + 2 + lean * 0.3, cy + length * 0.3, px + 2 + lean, cy + length * 0.6,
                             px + 2 + lean * 0.6, cy + length - 3)
                ctx.set_source_rgba(1, 0.9, 0.75, 0.35)
                ctx.set_line_width(1.2)
                ctx.stroke()
        # Dark streaks of desert varnish running down from a layer's lip.
        for _ in range(4):
            vx = rnd.uniform(x + 6, x + 6 + period)
            top = rnd.choice(tops)[0]
            length = rnd.uniform(30, 80)
            for px in wrapped(period, x, vx):
                g = cairo.LinearGradient(0, top, 0, top + length)
                g.add_color_stop_rgba(0, 0.3, 0.12, 0.1, 0.28)
                g.add_color_stop_rgba(1, 0.3, 0.12, 0.1, 0.0)
                ctx.set_source(g)
                ctx.rectangle(px - rnd.uniform(3, 7), top, rnd.uniform(6, 12), length)
                ctx.fill()
    ctx.restore()


def pebble(ctx, px, py, r, colour, squash=0.72):
    ctx.save()
    ctx.translate(px, py)
    ctx.scale(1.0, squash)
    ctx.arc(1.5, 2.5, r, 0, 2 * math.pi)
    ctx.set_source_rgba(0.35, 0.2, 0.14, 0.35)
    ctx.fill()
    ctx.arc(0, 0, r, 0, 2 * math.pi)
    ctx.set_source_rgb(*colour)
    ctx.fill()
    ctx.arc(-r * 0.3, -r * 0.35, r * 0.45, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 0.95, 0.35)
    ctx.fill()
    ctx.restore()


def scatter(rnd, x, y, w, h, count, margin=6):
    """Positions over a cell's sampled square, each with its copies a period
    away in both directions, for things that must tile."""
    period = w - 2 * margin
    out = []
    for _ in range(count):
        px, py = rnd.uniform(0, period), rnd.uniform(0, period)
        copies = [(x + margin + px + i * period, y + margin + py + j * period) for i in (-1, 0, 1) for j in (-1, 0, 1)]
        out.append(copies)
    return out


def paint_ground(ctx, cell, base, rnd, pebbles, ripples):
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(*base)
        ctx.paint()
        period = w - 12
        for k in range(ripples):
            oy = y + 6 + (k + 0.5) * period / max(ripples, 1)
            phase = rnd.uniform(0, 6.28)
            for dy, colour, width in ((0, shaded(base, 0.9), 3.0), (3, shaded(base, 1.07), 2.0)):
                ctx.move_to(x, oy + dy)
                for px in range(int(x), int(x + w) + 1, 4):
                    ctx.line_to(px, oy + dy + 4 * math.sin(2 * math.pi * 2 * (px - x - 6) / period + phase))
                ctx.set_source_rgba(*colour, 0.8)
                ctx.set_line_width(width)
                ctx.stroke()
        for copies in scatter(rnd, x, y, w, h, 240):
            shade = rnd.uniform(-0.08, 0.06)
            r = rnd.uniform(0.8, 1.8)
            for px, py in copies:
                ctx.arc(px, py, r, 0, 2 * math.pi)
                ctx.set_source_rgb(*shaded(base, 1 + shade))
                ctx.fill()
        colours = [(0.66, 0.61, 0.57), (0.78, 0.48, 0.34), (0.92, 0.84, 0.72), (0.50, 0.40, 0.36), (0.86, 0.62, 0.44),
                   (0.60, 0.52, 0.46)]
        for copies in scatter(rnd, x, y, w, h, pebbles):
            r = rnd.choice((rnd.uniform(2.5, 5), rnd.uniform(4, 9), rnd.uniform(6, 13)))
            colour = rnd.choice(colours)
            for px, py in copies:
                pebble(ctx, px, py, r, colour)


def paint_rock_top(ctx, cell, rnd):
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(0.97, 0.74, 0.48)
        ctx.paint()
        for copies in scatter(rnd, x, y, w, h, 160):
            r = rnd.uniform(1, 4)
            c = rnd.choice(((0.9, 0.6, 0.38), (1.0, 0.86, 0.64), (0.82, 0.5, 0.32)))
            for px, py in copies:
                ctx.arc(px, py, r, 0, 2 * math.pi)
                ctx.set_source_rgb(*c)
                ctx.fill()


def paint_rock_under(ctx, cell, rnd):
    """The underside of a rock overhang: deep shade, a few crevices."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(*shaded(RED, 0.62, SHADOW))
        ctx.paint()
        for copies in scatter(rnd, x, y, w, h, 40):
            r = rnd.uniform(4, 14)
            for px, py in copies:
                ctx.save()
                ctx.translate(px, py)
                ctx.scale(1, 0.5)
                ctx.arc(0, 0, r, 0, 2 * math.pi)
                ctx.restore()
                ctx.set_source_rgba(*shaded(MAROON, 0.55, SHADOW), 0.7)
                ctx.fill()


WOOD = (0.74, 0.50, 0.29)
WOOD_DARK = (0.30, 0.18, 0.11)


def timber(ctx, x0, y0, x1, y1, width, rnd, colour=WOOD):
    """A squared timber from (x0, y0) to (x1, y1) with grain, lit along its top."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    ctx.save()
    ctx.translate(x0, y0)
    ctx.rotate(math.atan2(dy, dx))
    ctx.rectangle(0, -width / 2, length, width)
    ctx.set_source_rgb(*shaded(colour, 0.55))
    ctx.fill()
    ctx.rectangle(0, -width / 2 + 2, length, width - 4)
    ctx.set_source_rgb(*colour)
    ctx.fill()
    ctx.rectangle(0, -width / 2 + 2, length, width * 0.18)
    ctx.set_source_rgb(*shaded(colour, 1.18))
    ctx.fill()
    for _ in range(int(width / 5)):
        gy = rnd.uniform(-width / 2 + 5, width / 2 - 4)
        ctx.move_to(0, gy)
        wob = rnd.uniform(-2, 2)
        ctx.curve_to(length * 0.3, gy + wob, length * 0.6, gy - wob, length, gy + wob * 0.5)
        ctx.set_source_rgba(*shaded(colour, 0.72), 0.6)
        ctx.set_line_width(1.2)
        ctx.stroke()
    ctx.restore()


def bolt(ctx, px, py, r=4.5):
    ctx.arc(px, py, r, 0, 2 * math.pi)
    ctx.set_source_rgb(0.2, 0.17, 0.17)
    ctx.fill()
    ctx.arc(px - r * 0.3, py - r * 0.3, r * 0.4, 0, 2 * math.pi)
    ctx.set_source_rgb(0.75, 0.72, 0.7)
    ctx.fill()


def paint_deck(ctx, cell, rnd):
    """One bay of the trestle's deck, seen from the side: the stringer under
    the rails, the bottom chord, posts at the bay's ends and a cross brace,
    boarded behind so that the deck reads solid."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(*WOOD_DARK)
        ctx.paint()
        for k in range(12):  # boards behind the frame
            bx = x + 6 + k * (w - 12) / 12
            ctx.rectangle(bx + 1.5, y, (w - 12) / 12 - 3, h)
            ctx.set_source_rgb(*shaded(WOOD_DARK, 1.18 if k % 2 else 1.08))
            ctx.fill()
        top, bottom = y + 6, y + h - 6
        timber(ctx, x + 6, top + 70, x + w - 6, bottom - 40, 22, rnd)
        timber(ctx, x + 6, bottom - 40, x + w - 6, top + 70, 22, rnd)
        timber(ctx, x - 20, top + 30, x + w + 20, top + 30, 60, rnd)          # stringer
        timber(ctx, x - 20, bottom - 20, x + w + 20, bottom - 20, 40, rnd)    # bottom chord
        for px in (x + 6, x + w - 6):
            timber(ctx, px, top + 56, px, bottom - 36, 30, rnd, colour=shaded(WOOD, 0.94))
        for px in (x + 24, x + w / 2, x + w - 24):
            bolt(ctx, px, top + 30)
            bolt(ctx, px, bottom - 20)
        bolt(ctx, x + w / 2, (top + 70 + bottom - 40) / 2, 6)


def paint_deck_under(ctx, cell, rnd):
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(*shaded(WOOD_DARK, 0.9))
        ctx.paint()
        for k in range(8):  # planks along the deck (u)
            py = y + 6 + k * (h - 12) / 8
            ctx.rectangle(x, py + 2, w, (h - 12) / 8 - 4)
            ctx.set_source_rgb(*shaded(WOOD, 0.55 if k % 2 else 0.5))
            ctx.fill()
        for px in (x + 6, x + w / 2):  # cross joists
            ctx.rectangle(px - 12, y, 24, h)
            ctx.set_source_rgb(*shaded(WOOD, 0.4))
            ctx.fill()


def paint_portal(ctx, cell, rnd):
    """A tunnel's mouth in a timber frame, its dark inside fading back."""
    x, y, w, h = cell
    with clipped(ctx, cell):
        ctx.set_source_rgb(*shaded(RUST, 0.72, SHADOW))
        ctx.paint()
        cx = x + w / 2
        ctx.move_to(x + 36, y + h)
        ctx.line_to(x + 36, y + 110)
        ctx.arc(cx, y + 110, w / 2 - 36, math.pi, 2 * math.pi)
        ctx.line_to(x + w - 36, y + h)
        ctx.close_path()
        g = cairo.RadialGradient(cx, y + h, 10, cx, y + h, 170)
        g.add_color_stop_rgb(0, 0.04, 0.02, 0.02)
        g.add_color_stop_rgb(1, 0.2, 0.11, 0.09)
        ctx.set_source(g)
        ctx.fill()
        timber(ctx, x + 30, y + h, x + 30, y + 70, 26, rnd)
        timber(ctx, x + w - 30, y + h, x + w - 30, y + 70, 26, rnd)
        timber(ctx, x + 10, y + 70, x + w - 10, y + 70, 30, rnd)


def paint_sky(ctx, rnd):
    x, y, w, h = SKY
    g = cairo.LinearGradient(0, y, 0, y + h)
    g.add_color_stop_rgb(0.0, 0.42, 0.56, 0.80)
    g.add_color_stop_rgb(0.35, 0.70, 0.70, 0.78)
    g.add_color_stop_rgb(0.62, 0.96, 0.78, 0.58)
    g.add_color_stop_rgb(0.85, 1.00, 0.74, 0.46)
    g.add_color_stop_rgb(1.0, 0.98, 0.80, 0.58)
    ctx.set_source(g)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    # The low sun, a little right of the canyon's middle, in a wide glow.
    sx, sy = 1180, 372
    ctx.save()
    ctx.translate(sx, sy)
    ctx.scale(SKY_STRETCH, 1.0)
    for radius, alpha in ((240, 0.35), (110, 0.5)):
        halo = cairo.RadialGradient(0, 0, 20, 0, 0, radius)
        halo.add_color_stop_rgba(0, 1.0, 0.93, 0.62, alpha)
        halo.add_color_stop_rgba(1, 1.0, 0.72, 0.40, 0.0)
        ctx.set_source(halo)
        ctx.arc(0, 0, radius, 0, 2 * math.pi)
        ctx.fill()
    ctx.set_source_rgb(1.0, 0.95, 0.72)
    ctx.arc(0, 0, 26, 0, 2 * math.pi)
    ctx.fill()
    ctx.restore()
    # Long, thin clouds lit from below by the sun.
    for _ in range(11):
        cx, cy = rnd.uniform(0, w), rnd.uniform(60, 300)
        length = rnd.uniform(160, 380)
        for k in range(5):
            px = cx - length / 2 + k * length / 4 + rnd.uniform(-20, 20)
            ry = rnd.uniform(7, 13)
            ctx.save()
            ctx.translate(px, cy + rnd.uniform(-4, 4))
            ctx.scale(rnd.uniform(50, 90) / ry, 1.0)
            ctx.arc(0, 0, ry, 0, 2 * math.pi)
            ctx.restore()
            ctx.set_source_rgba(1.0, 0.86, 0.72, 0.55)
            ctx.fill()
        ctx.save()
        ctx.translate(cx, cy + 6)
        ctx.scale(length / 2 / 8, 1.0)
        ctx.arc(0, 0, 8, 0, 2 * math.pi)
        ctx.restore()
        ctx.set_source_rgba(0.98, 0.62, 0.5, 0.45)
        ctx.fill()
    # Dust in the air, thickest low down.
    for k in range(6):
        band = cairo.LinearGradient(0, 300 + k * 30, 0, 360 + k * 30)
        band.add_color_stop_rgba(0, 1, 0.85, 0.65, 0.0)
        band.add_color_stop_rgba(0.5, 1, 0.85, 0.65, 0.12)
        band.add_color_stop_rgba(1, 1, 0.85, 0.65, 0.0)
        ctx.set_source(band)
        ctx.rectangle(x, 300 + k * 30, w, 60)
        ctx.fill()
    # Far mesas along the bottom of the panel, hazy violet.
    for layer, (base, colour) in enumerate(((470, (0.84, 0.66, 0.68)), (492, (0.80, 0.60, 0.60)))):
        ctx.move_to(0, h)
        px = 0.0
        while px < w + 40:
            width = rnd.uniform(60, 220)
            height = rnd.uniform(8, 40) * (1.4 if layer == 0 else 1.0)
            gap = rnd.uniform(20, 120)
            ctx.line_to(px + gap, base)
            ctx.line_to(px + gap + 12, base - height * 0.6)
            ctx.line_to(px + gap + 18, base - height)
            ctx.line_to(px + gap + width - 18, base - height)
            ctx.line_to(px + gap + width - 12, base - height * 0.6)
            ctx.line_to(px + gap + width, base)
            px += gap + width
        ctx.line_to(w, h)
        ctx.close_path()
        ctx.set_source_rgb(*colour)
        ctx.fill()
    g = cairo.LinearGradient(0, h - 40, 0, h)
    g.add_color_stop_rgba(0, 0.95, 0.78, 0.62, 0.0)
    g.add_color_stop_rgba(1, 0.95, 0.78, 0.62, 1.0)
    ctx.set_source(g)
    ctx.rectangle(0, h - 40, w, 40)
    ctx.fill()


def paint_atlas(path):
    rnd = random.Random(3907)
    surface, ctx = canvas(*ATLAS_SIZE)
    paint_sky(ctx, rnd)
    for k, (cell, bands) in enumerate(ROCK_BANDS.items()):
        # Lit and shaded alike, so that the layers run on across a shadow's edge.
        paint_rock(ctx, cell, bands, random.Random(40 + k))
        paint_rock(ctx, SHADED[cell], bands, random.Random(40 + k), light=0.72, tint=SHADOW)
    paint_rock_top(ctx, ROCK_TOP, rnd)
    paint_rock_under(ctx, ROCK_UNDER, rnd)
    paint_ground(ctx, PEBBLES_A, (0.82, 0.66, 0.48), rnd, pebbles=70, ripples=0)
    paint_ground(ctx, PEBBLES_B, (0.80, 0.64, 0.47), rnd, pebbles=55, ripples=0)
    paint_ground(ctx, SAND, (0.93, 0.75, 0.51), rnd, pebbles=6, ripples=5)
    paint_deck(ctx, DECK, rnd)
    paint_deck_under(ctx, DECK_UNDER, rnd)
    paint_portal(ctx, PORTAL, rnd)
    paint_strips(ctx, STRIP_COLOURS)
    save_surface(surface, path)
