"""Pick-up badges (assets/images/): a coin in the kind's burst colour with a
white rim and a picture that differs in shape, not only in colour."""
import math

import cairo

from imaging import canvas, save_surface

SIZE = 256
INK = (0.1, 0.1, 0.16)
KINDS = {
    "wild": (0.55, 0.4, 0.95),
    "bombs": (1.0, 126 / 255, 44 / 255),
    "gatling": (245 / 255, 210 / 255, 82 / 255),
    "shotgun": (1.0, 47 / 255, 45 / 255),
    "ram": (74 / 255, 1.0, 240 / 255),
    "health": (94 / 255, 227 / 255, 15 / 255),
}


def coin(ctx, colour):
    c = SIZE / 2
    ctx.arc(c, c + 6, 118, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.3)
    ctx.fill()
    ctx.arc(c, c, 120, 0, 2 * math.pi)
    ctx.set_source_rgb(*INK)
    ctx.fill()
    ctx.arc(c, c, 110, 0, 2 * math.pi)
    ctx.set_source_rgb(1, 1, 1)
    ctx.fill()
    g = cairo.RadialGradient(c - 30, c - 40, 10, c, c, 98)
    g.add_color_stop_rgb(0, *(min(1, x * 0.5 + 0.55) for x in colour))
    g.add_color_stop_rgb(1, *(x * 0.85 for x in colour))
    ctx.arc(c, c, 96, 0, 2 * math.pi)
    ctx.set_source(g)
    ctx.fill()
    # A glossy highlight.
    ctx.save()
    ctx.translate(c - 20, c - 55)
    ctx.scale(1.0, 0.45)
    ctx.arc(0, 0, 55, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source_rgba(1, 1, 1, 0.35)
    ctx.fill()


def stroke_fill(ctx, fill, width=8):
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(width)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke_preserve()
    ctx.set_source_rgb(*fill)
    ctx.fill()


def wild(ctx):
    c = SIZE / 2
    colours = [(1, 0.3, 0.3), (1, 0.65, 0.1), (1, 0.95, 0.2), (0.3, 0.85, 0.3), (0.3, 0.6, 1), (0.7, 0.4, 1)]
    for k, col in enumerate(colours):
        ctx.move_to(c, c)
        ctx.arc(c, c, 96, k * math.pi / 3, (k + 1) * math.pi / 3)
        ctx.close_path()
        ctx.set_source_rgb(*col)
        ctx.fill()
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(150)
    ext = ctx.text_extents("?")
    ctx.move_to(c - ext.width / 2 - ext.x_bearing, c - ext.height / 2 - ext.y_bearing)
    ctx.text_path("?")
    stroke_fill(ctx, (1, 1, 1), 14)


def bombs(ctx):
    c = SIZE / 2
    ctx.arc(c - 8, c + 12, 52, 0, 2 * math.pi)
    stroke_fill(ctx, (0.18, 0.18, 0.22))
    ctx.rectangle(c + 18, c - 50, 26, 22)
    stroke_fill(ctx, (0.4, 0.4, 0.45), 6)
    ctx.move_to(c + 31, c - 50)
    ctx.curve_to(c + 35, c - 70, c + 55, c - 70, c + 58, c - 78)
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(6)
    ctx.stroke()
    for k in range(8):
        a = k * math.pi / 4
        ctx.move_to(c + 60, c - 80)
        ctx.line_to(c + 60 + math.cos(a) * 20, c - 80 + math.sin(a) * 20)
    ctx.set_source_rgb(1, 0.95, 0.3)
    ctx.set_line_width(5)
    ctx.stroke()
    ctx.arc(c - 28, c - 6, 12, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 1, 0.6)
    ctx.fill()


def gatling(ctx):
    """Six barrels seen from the front."""
    c = SIZE / 2
    ctx.arc(c, c, 62, 0, 2 * math.pi)
    stroke_fill(ctx, (0.35, 0.36, 0.42))
    for k in range(6):
        a = k * math.pi / 3
        x, y = c + math.cos(a) * 36, c + math.sin(a) * 36
        ctx.arc(x, y, 16, 0, 2 * math.pi)
        stroke_fill(ctx, (0.75, 0.76, 0.8), 5)
        ctx.arc(x, y, 7, 0, 2 * math.pi)
        ctx.set_source_rgb(*INK)
        ctx.fill()
    ctx.arc(c, c, 12, 0, 2 * math.pi)
    stroke_fill(ctx, (0.95, 0.75, 0.25), 5)


def shotgun(ctx):
    """Two barrels and a fan of pellets."""
    c = SIZE / 2
    for dy in (-16, 16):
        ctx.rectangle(c - 80, c + dy - 12, 90, 24)
        stroke_fill(ctx, (0.45, 0.46, 0.52), 6)
    ctx.rectangle(c - 84, c - 30, 34, 60)
    stroke_fill(ctx, (0.6, 0.35, 0.2), 6)
    for k in range(5):
        a = (k - 2) * 0.28
        ctx.arc(c + 28 + math.cos(a) * 48, c + math.sin(a) * 48, 10, 0, 2 * math.pi)
        stroke_fill(ctx, (1, 1, 1), 5)


def ram(ctx):
    """Speed: double chevrons with speed lines."""
    c = SIZE / 2
    for dx in (-30, 22):
        ctx.move_to(c + dx - 30, c - 55)
        ctx.line_to(c + dx + 25, c)
        ctx.line_to(c + dx - 30, c + 55)
        ctx.line_to(c + dx - 5, c + 55)
        ctx.line_to(c + dx + 50, c)
        ctx.line_to(c + dx - 5, c - 55)
        ctx.close_path()
        stroke_fill(ctx, (1, 1, 1), 8)


def health(ctx):
    c = SIZE / 2
    s = 62
    ctx.move_to(c, c + s * 0.95)
    ctx.curve_to(c - s * 1.5, c - s * 0.1, c - s * 0.65, c - s * 1.15, c, c - s * 0.4)
    ctx.curve_to(c + s * 0.65, c - s * 1.15, c + s * 1.5, c - s * 0.1, c, c + s * 0.95)
    stroke_fill(ctx, (1, 1, 1), 9)
    ctx.rectangle(c - 9, c - 30, 18, 58)
    ctx.rectangle(c - 29, c - 10, 58, 18)
    ctx.set_source_rgb(0.2, 0.7, 0.1)
    ctx.fill()


def build(images):
    """The coin fills two thirds of the 12-unit sprite: 8 units across, the
    pick-up's collision circle; a soft glow in the kind's colour around it."""
    for name, colour in KINDS.items():
        surface, ctx = canvas(SIZE, SIZE)
        c = SIZE / 2
        glow = cairo.RadialGradient(c, c, 70, c, c, 126)
        glow.add_color_stop_rgba(0, *colour, 0.8)
        glow.add_color_stop_rgba(1, *colour, 0.0)
        ctx.set_source(glow)
        ctx.arc(c, c, 126, 0, 2 * math.pi)
        ctx.fill()
        ctx.translate(c, c)
        ctx.scale(0.71, 0.71)
        ctx.translate(-c, -c)
        coin(ctx, colour)
        globals()[name](ctx)
        save_surface(surface, "%s/%s.png" % (images, name))
