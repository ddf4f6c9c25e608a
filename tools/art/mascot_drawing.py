"""The mascot, Scuff, drawn flat for the concept sheet: a round bird pilot
with flight goggles and a red scarf (the 3D model follows this drawing)."""
import math

import cairo

INK = (0.15, 0.12, 0.2)
BODY = (1.0, 0.7, 0.15)
BELLY = (1.0, 0.95, 0.8)
SCARF = (0.85, 0.15, 0.15)
GOGGLE = (0.45, 0.3, 0.2)
LENS = (0.45, 0.75, 0.95)
BEAK = (1.0, 0.5, 0.1)


def blob(ctx, x, y, rx, ry, fill, width=5):
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(rx, ry)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source_rgb(*fill)
    ctx.fill_preserve()
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(width)
    ctx.stroke()


def draw_mascot(ctx, x, y, s, waving=False):
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(s, s)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    for side in (-1, 1):  # feet
        blob(ctx, side * 55, 215, 42, 18, BEAK)
    for side in (-1, 1):  # wings
        lift = -70 if (waving and side > 0) else 0
        ctx.save()
        ctx.translate(side * 150, 40 + lift)
        ctx.rotate(side * (0.5 if not (waving and side > 0) else -0.6))
        blob(ctx, 0, 0, 40, 80, BODY)
        ctx.restore()
    blob(ctx, 0, 60, 160, 150, BODY)
    blob(ctx, 0, 100, 105, 100, BELLY)
    blob(ctx, 0, -120, 120, 105, BODY)
    # Scarf.
    ctx.move_to(-105, -45)
    ctx.curve_to(-40, -15, 40, -15, 105, -45)
    ctx.line_to(110, -10)
    ctx.curve_to(40, 20, -40, 20, -110, -10)
    ctx.close_path()
    ctx.set_source_rgb(*SCARF)
    ctx.fill_preserve()
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(5)
    ctx.stroke()
    ctx.move_to(60, 0)
    ctx.line_to(120, 60)
    ctx.line_to(90, 75)
    ctx.line_to(40, 10)
    ctx.close_path()
    ctx.set_source_rgb(*SCARF)
    ctx.fill_preserve()
    ctx.set_source_rgb(*INK)
    ctx.stroke()
    # Goggles on the forehead, eyes, beak.
    ctx.rectangle(-118, -185, 236, 22)
    ctx.set_source_rgb(*GOGGLE)
    ctx.fill()
    for side in (-1, 1):
        blob(ctx, side * 45, -175, 38, 30, LENS, 7)
        blob(ctx, side * 40, -112, 22, 28, (1, 1, 1), 4)
        blob(ctx, side * 36, -108, 10, 14, INK, 1)
    ctx.move_to(-30, -80)
    ctx.line_to(30, -80)
    ctx.line_to(0, -40)
    ctx.close_path()
    ctx.set_source_rgb(*BEAK)
    ctx.fill_preserve()
    ctx.set_source_rgb(*INK)
    ctx.stroke()
    ctx.restore()
