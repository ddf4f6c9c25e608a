"""The six player liveries of the plane (one UV layout, planes.py) and its
normal map. Every livery differs in lightness and in pattern as well as in
hue, and wears its player's shape (the one the game writes before the
player's name, game/players/PlayerShapes.cpp) large on the fin and in the
roundels, so that players tell the planes apart at a glance, colour-blind
ones too:

  Blue    mid blue, white racing stripes, star
  Green   mid-dark green, dark checkerboard bands, disc
  Orange  bright orange, dark chevrons, triangle
  Red     dark red, shark mouth and white zig-zags, cross
  Pink    light pink, white polka dots, diamond
  Yellow  brightest yellow, black hazard bands, square

The base colours are the game's player colours (game/players/PlayerColours.cpp).
"""
import contextlib
import math

import numpy as np

import planes
from imaging import blur, canvas, normal_map, region_px, save_surface, surface_to_array, write_png

SIZE = 1024

LIVERIES = {
    "Blue": dict(file="playerFinalTexture.png", base=(0.0, 0.44, 0.96), second=(0.97, 0.98, 1.0),
                 belly=(0.55, 0.75, 1.0), cowl=(0.97, 0.98, 1.0), pattern="stripes", emblem="star"),
    "Green": dict(file="player_texture_green.png", base=(0.26, 0.48, 0.29), second=(0.05, 0.18, 0.06),
                  belly=(0.6, 0.8, 0.55), cowl=(0.05, 0.18, 0.06), pattern="checks", emblem="circle"),
    "Orange": dict(file="player_texture_orange.png", base=(0.97, 0.47, 0.0), second=(0.32, 0.13, 0.04),
                   belly=(1.0, 0.78, 0.5), cowl=(0.32, 0.13, 0.04), pattern="chevrons", emblem="triangle"),
    "Red": dict(file="player_texture_red.png", base=(0.49, 0.0, 0.04), second=(0.98, 0.96, 0.94),
                belly=(0.35, 0.05, 0.05), cowl=(0.98, 0.96, 0.94), pattern="zigzag", emblem="cross"),
    "Pink": dict(file="player_texture_pink.png", base=(1.0, 0.6, 0.86), second=(1.0, 1.0, 1.0),
                 belly=(1.0, 0.8, 0.9), cowl=(1.0, 1.0, 1.0), pattern="dots", emblem="diamond"),
    "Yellow": dict(file="player_texture_yellow.png", base=(1.0, 0.93, 0.02), second=(0.08, 0.08, 0.08),
                   belly=(1.0, 0.96, 0.45), cowl=(0.08, 0.08, 0.08), pattern="hazard", emblem="square"),
}

INK = (0.12, 0.1, 0.14)


# How much longer a unit of the body is in the texture round it than along
# it, and a unit of the fin along its span than along its chord: a roundel
# drawn squeezed by as much comes out round on the plane.
AROUND_BODY = 0.77
ALONG_FIN = 1.6


@contextlib.contextmanager
def stretched(ctx, x, y, sx, sy, turn=0.0):
    """Drawing about the point (x, y), turned by `turn` and then scaled by
    (sx, sy); the context is as it was once the block ends."""
    ctx.save()
    ctx.translate(x, y)
    ctx.rotate(turn)
    ctx.scale(sx, sy)
    try:
        yield
    finally:
        ctx.restore()


def z_to_x(z):
    return (z - planes.TAIL_Z) / (planes.NOSE_Z - planes.TAIL_Z) * SIZE


def side_rows():
    """Image rows of the fuselage's -X side, top line and +X side."""
    return 384.0, 256.0, 128.0


def pattern(ctx, kind, x, y, w, h, colour, scale=1.0, along=True):
    """Fills a rectangle with a livery pattern in `colour`."""
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    ctx.set_source_rgb(*colour)
    if kind == "stripes":
        if along:
            for off in (-0.3, 0.3):
                ctx.rectangle(x, y + h * (0.5 + off) - h * 0.09, w, h * 0.18)
        else:
            for off in (0.15, 0.35):
                ctx.rectangle(x + w * off, y, w * 0.1, h)
        ctx.fill()
    elif kind == "checks":
        cell = 24 * scale
        for i in range(int(w / cell) + 1):
            for j in range(int(h / cell) + 1):
                if (i + j) % 2 == 0:
                    ctx.rectangle(x + i * cell, y + j * cell, cell, cell)
        ctx.fill()
    elif kind == "chevrons":
        step = 60 * scale
        for i in range(-1, int(w / step) + 2):
            cx = x + i * step
            ctx.move_to(cx, y)
            ctx.line_to(cx + step * 0.45, y + h / 2)
            ctx.line_to(cx, y + h)
            ctx.line_to(cx + step * 0.22, y + h)
            ctx.line_to(cx + step * 0.67, y + h / 2)
            ctx.line_to(cx + step * 0.22, y)
            ctx.close_path()
        ctx.fill()
    elif kind == "zigzag":
        ctx.set_line_width(9 * scale)
        ctx.set_line_join(1)
        step = 40 * scale
        for off in (0.3, 0.7):
            yy = y + h * off
            ctx.move_to(x, yy)
            for i in range(int(w / step) + 2):
                ctx.line_to(x + i * step + step / 2, yy + (h * 0.12 if i % 2 == 0 else -h * 0.12))
            ctx.stroke()
    elif kind == "dots":
        r = 9 * scale
        step = 38 * scale
        for i in range(int(w / step) + 2):
            for j in range(int(h / step) + 2):
                ctx.arc(x + i * step + (step / 2 if j % 2 else 0), y + j * step, r, 0, 2 * math.pi)
                ctx.fill()
    elif kind == "hazard":
        step = 56 * scale
        for i in range(-int(h / step) - 2, int(w / step) + 2):
            cx = x + i * step
            ctx.move_to(cx, y + h)
            ctx.line_to(cx + h * 0.6, y)
            ctx.line_to(cx + h * 0.6 + step * 0.5, y)
            ctx.line_to(cx + step * 0.5, y + h)
            ctx.close_path()
        ctx.fill()
    ctx.restore()


def shape(ctx, kind, cx, cy, s):
    """The path of a player's shape, `s` from its middle to its farthest
    point (the game's font draws the same six, tools/font)."""
    if kind == "star":
        for i in range(10):
            a = -math.pi / 2 + i * math.pi / 5
            rr = s if i % 2 == 0 else s * 0.45
            ctx.line_to(cx + rr * math.cos(a), cy + rr * math.sin(a))
        ctx.close_path()
    elif kind == "circle":
        ctx.new_sub_path()
        ctx.arc(cx, cy, s * 0.85, 0, 2 * math.pi)
    elif kind == "triangle":
        # Its middle a little low, as the triangle's weight is.
        for i in range(3):
            a = -math.pi / 2 + i * 2 * math.pi / 3
            ctx.line_to(cx + s * math.cos(a), cy + s * 0.2 + s * math.sin(a))
        ctx.close_path()
    elif kind == "cross":
        ctx.rectangle(cx - s, cy - s * 0.32, 2 * s, s * 0.64)
        ctx.rectangle(cx - s * 0.32, cy - s, s * 0.64, 2 * s)
    elif kind == "diamond":
        ctx.move_to(cx, cy - s)
        ctx.line_to(cx + s * 0.72, cy)
        ctx.line_to(cx, cy + s)
        ctx.line_to(cx - s * 0.72, cy)
        ctx.close_path()
    elif kind == "square":
        h = s * 0.74
        ctx.rectangle(cx - h, cy - h, 2 * h, 2 * h)


def emblem(ctx, kind, cx, cy, r, fill, ink):
    """A roundel: dark rim, white disc, and the player's shape in the
    livery's colour, outlined in `ink` so that a light colour still reads
    on the white."""
    ctx.save()
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.set_source_rgb(*ink)
    ctx.fill()
    ctx.arc(cx, cy, r * 0.88, 0, 2 * math.pi)
    ctx.set_source_rgb(1, 1, 1)
    ctx.fill()
    ctx.new_path()
    shape(ctx, kind, cx, cy, r * 0.7)
    ctx.set_source_rgb(*fill)
    ctx.fill_preserve()
    ctx.set_source_rgb(*ink)
    ctx.set_line_width(r * 0.09)
    ctx.set_line_join(1)
    ctx.stroke()
    ctx.restore()


def shark_mouth(ctx, row, flip):
    """Shark teeth along the nose on one side; `flip` mirrors it for the
    other side so the mouth opens towards the belly on both."""
    x0, x1 = z_to_x(1.05), z_to_x(2.2)
    d = 1 if not flip else -1
    ctx.save()
    ctx.move_to(x1, row + d * 8)
    ctx.curve_to(x0 + 80, row + d * 10, x0 + 20, row + d * 30, x0, row + d * 70)
    ctx.curve_to(x0 + 60, row + d * 95, x1 - 40, row + d * 92, x1, row + d * 80)
    ctx.close_path()
    ctx.set_source_rgb(0.1, 0.02, 0.04)
    ctx.fill_preserve()
    ctx.set_source_rgb(1, 1, 1)
    ctx.set_line_width(4)
    ctx.stroke()
    ctx.set_source_rgb(1, 1, 1)
    n = 8
    for i in range(n):
        t = (i + 0.5) / n
        x = x0 + 30 + t * (x1 - x0 - 50)
        ctx.move_to(x - 12, row + d * (18 + 30 * (1 - t) ** 2))
        ctx.line_to(x + 12, row + d * (18 + 30 * (1 - t) ** 2))
        ctx.line_to(x, row + d * (46 + 30 * (1 - t) ** 2))
        ctx.close_path()
        ctx.move_to(x - 12, row + d * (86 - 4 * t))
        ctx.line_to(x + 12, row + d * (86 - 4 * t))
        ctx.line_to(x, row + d * (62 - 4 * t))
        ctx.close_path()
    ctx.fill()
    # An eye above the mouth.
    ex, ey = x1 - 70, row - d * 30
    ctx.arc(ex, ey, 16, 0, 2 * math.pi)
    ctx.set_source_rgb(1, 1, 1)
    ctx.fill()
    ctx.arc(ex + 4, ey, 8, 0, 2 * math.pi)
    ctx.set_source_rgb(0.05, 0.05, 0.05)
    ctx.fill()
    ctx.restore()


def paint_livery(name, path):
    lv = LIVERIES[name]
    surface, ctx = canvas(SIZE, SIZE)
    base, second, belly = lv["base"], lv["second"], lv["belly"]
    # Unused corners in the base colour too: mipmaps blend them into their neighbours.
    ctx.set_source_rgb(*base)
    ctx.paint()

    # Fuselage.
    x, y, w, h = region_px(planes.FUSELAGE, (SIZE, SIZE))
    ctx.set_source_rgb(*base)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    band = 70
    for yy in (y, y + h - band):
        ctx.set_source_rgb(*belly)
        ctx.rectangle(x, yy, w, band)
        ctx.fill()
    neg_side, top, pos_side = side_rows()
    kind = lv["pattern"]
    if kind == "stripes":
        for row in (neg_side, pos_side):
            pattern(ctx, kind, x, row - 60, w * 0.93, 120, second)
        pattern(ctx, kind, x, top - 30, w, 60, second, along=True)
    elif kind == "checks":
        for x0 in (z_to_x(-1.6), z_to_x(0.35) - 30):
            pattern(ctx, kind, x0, y, 96, h, second)
    elif kind == "chevrons":
        for row in (neg_side, pos_side):
            pattern(ctx, kind, z_to_x(-2.2), row - 40, z_to_x(0.9) - z_to_x(-2.2), 80, second)
    elif kind == "zigzag":
        for row in (neg_side, pos_side):
            pattern(ctx, kind, z_to_x(-2.3), row - 55, z_to_x(0.8) - z_to_x(-2.3), 110, second)
    elif kind == "dots":
        pattern(ctx, kind, x, y + 40, w * 0.9, h - 80, second)
    elif kind == "hazard":
        for x0, x1 in ((z_to_x(-2.4), z_to_x(-1.2)), (z_to_x(1.2), z_to_x(1.85))):
            pattern(ctx, kind, x0, y, x1 - x0, h, second, scale=1.0)
    # Cowling ring behind the propeller.
    ctx.set_source_rgb(*lv["cowl"])
    ctx.rectangle(z_to_x(1.92), y, SIZE - z_to_x(1.92), h)
    ctx.fill()
    ctx.set_source_rgb(*INK)
    ctx.rectangle(z_to_x(1.88), y, 8, h)
    ctx.fill()
    if kind == "zigzag":
        shark_mouth(ctx, neg_side, flip=False)
        shark_mouth(ctx, pos_side, flip=True)
    # Roundels on both sides behind the wing, as round on the body as the
    # texture's stretch round it allows.
    for row in (neg_side, pos_side):
        with stretched(ctx, z_to_x(-1.05), row, 1.0, AROUND_BODY):
            emblem(ctx, lv["emblem"], 0, 0, 64, base, INK)
    # Panel lines.
    ctx.set_source_rgba(*INK, 0.35)
    ctx.set_line_width(2)
    for z in (-1.6, -0.4, 1.3):
        ctx.move_to(z_to_x(z), y)
        ctx.line_to(z_to_x(z), y + h)
    ctx.stroke()

    # Wings, tailplane, fin: upper side in the livery, lower side in the belly colour.
    for region, span_kind in ((planes.WING, "wing"), (planes.TAILPLANE, "tail"), (planes.FIN, "fin")):
        rx, ry, rw, rh = region_px(region, (SIZE, SIZE))
        ctx.set_source_rgb(*base)
        ctx.rectangle(rx, ry, rw, rh)
        ctx.fill()
        lower = (rx, ry, rw, rh / 2)  # image rows of the lower side (v from 0.375 to 0.5)
        upper = (rx, ry + rh / 2, rw, rh / 2)
        if span_kind != "fin":
            ctx.set_source_rgb(*belly)
            ctx.rectangle(*lower)
            ctx.fill()
        targets = [upper] if span_kind != "fin" else [upper, lower]
        for ux, uy, uw, uh in targets:
            if kind == "stripes":
                pattern(ctx, kind, ux + uw * 0.55, uy, uw * 0.45, uh, second, along=False)
            elif kind == "checks":
                pattern(ctx, kind, ux + uw * 0.72, uy, uw * 0.28, uh, second, scale=0.8)
            elif kind == "chevrons":
                pattern(ctx, kind, ux + uw * 0.3, uy + uh * 0.2, uw * 0.7, uh * 0.6, second, scale=0.7)
            elif kind == "zigzag":
                pattern(ctx, kind, ux + uw * 0.2, uy, uw * 0.8, uh, second, scale=0.7)
            elif kind == "dots":
                pattern(ctx, kind, ux, uy, uw, uh, second, scale=0.8)
            elif kind == "hazard":
                pattern(ctx, kind, ux + uw * 0.6, uy, uw * 0.4, uh, second, scale=0.7)
        if span_kind == "fin":
            # The shape as large as the fin takes it, its top towards the fin's
            # tip (u runs from root to tip, v along the chord).
            for ux, uy, uw, uh in (upper, lower):
                with stretched(ctx, ux + uw * 0.4, uy + uh * 0.5, 1.0, ALONG_FIN, turn=math.pi / 2):
                    emblem(ctx, lv["emblem"], 0, 0, uh * 0.42, base, INK)
        # Wing tips in the accent colour.
        ctx.set_source_rgb(*second if kind not in ("dots",) else INK)
        ctx.rectangle(rx + rw * 0.93, ry, rw * 0.07, rh)
        ctx.fill()

    # Canopy glass and frame.
    cx, cy, cw, ch = region_px(planes.CANOPY, (SIZE, SIZE))
    ctx.set_source_rgb(0.55, 0.82, 0.95)
    ctx.rectangle(cx, cy, cw, ch)
    ctx.fill()
    ctx.set_source_rgba(1, 1, 1, 0.85)
    ctx.rectangle(cx + cw * 0.25, cy + ch * 0.35, cw * 0.35, ch * 0.12)
    ctx.fill()
    ctx.set_source_rgb(*INK)
    for fx in (0.33, 0.62):
        ctx.rectangle(cx + cw * fx, cy, 7, ch)
    ctx.fill()
    # Exhausts and fairings.
    mx, my, mw, mh = region_px(planes.COWL, (SIZE, SIZE))
    ctx.set_source_rgb(0.25, 0.24, 0.27)
    ctx.rectangle(mx, my, mw, mh)
    ctx.fill()
    save_surface(surface, path)


def plane_normal_map(path):
    """Panel seams, rivet rows and canopy frames as a height field."""
    surface, ctx = canvas(SIZE, SIZE)
    ctx.set_source_rgb(1, 1, 1)
    ctx.paint()
    ctx.set_source_rgb(0, 0, 0)
    x, y, w, hh = region_px(planes.FUSELAGE, (SIZE, SIZE))
    ctx.set_line_width(3)
    for z in (-1.6, -0.4, 1.3, 1.88):
        ctx.move_to(z_to_x(z), y)
        ctx.line_to(z_to_x(z), y + hh)
    for row in (y + 70, y + hh - 70, y + hh / 2):
        ctx.move_to(x, row)
        ctx.line_to(x + w, row)
    ctx.stroke()
    for z in np.arange(-2.2, 1.8, 0.12):
        for row in (y + 60, y + hh - 60):
            ctx.arc(z_to_x(z), row, 2.5, 0, 2 * math.pi)
            ctx.fill()
    for region in (planes.WING, planes.TAILPLANE, planes.FIN):
        rx, ry, rw, rh = region_px(region, (SIZE, SIZE))
        for k in range(1, 6):
            ctx.move_to(rx + rw * k / 6, ry)
            ctx.line_to(rx + rw * k / 6, ry + rh)
        ctx.move_to(rx, ry + rh * 0.3)
        ctx.line_to(rx + rw, ry + rh * 0.3)
        ctx.move_to(rx, ry + rh * 0.8)
        ctx.line_to(rx + rw, ry + rh * 0.8)
        ctx.stroke()
    cx, cy, cw, ch = region_px(planes.CANOPY, (SIZE, SIZE))
    ctx.set_line_width(8)
    for fx in (0.33, 0.62):
        ctx.move_to(cx + cw * fx + 3, cy)
        ctx.line_to(cx + cw * fx + 3, cy + ch)
    ctx.stroke()
    grey = surface_to_array(surface)[:, :, 0]
    write_png(path, normal_map(blur(grey, 1.5), 6.0))
