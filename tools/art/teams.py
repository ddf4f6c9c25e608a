"""The two sides of a team match (assets/sprites/HUD/): a badge each, shown on
the plane, its gauge, the join screen's roster and the win table. The sides
differ in shape first (a sun's rays against a crescent) and in colour second
(gold against night blue), so that they are told apart without colour too."""
import math

import cairo

from imaging import canvas, save_surface

SIZE = 128
C = SIZE / 2
INK = (0.1, 0.09, 0.14)


def _disc(ctx, inner, outer):
    """The badge's dark rim, and its face in a gradient from `inner` to `outer`."""
    ctx.arc(C, C, 60, 0, 2 * math.pi)
    ctx.set_source_rgb(*INK)
    ctx.fill()
    g = cairo.RadialGradient(C - 14, C - 18, 6, C, C, 54)
    g.add_color_stop_rgb(0, *inner)
    g.add_color_stop_rgb(1, *outer)
    ctx.arc(C, C, 53, 0, 2 * math.pi)
    ctx.set_source(g)
    ctx.fill()


def sun(path):
    surface, ctx = canvas(SIZE, SIZE)
    _disc(ctx, (1.0, 0.93, 0.55), (0.93, 0.55, 0.1))
    # Twelve rays round a round face, inked as the planes' emblems are.
    for i in range(12):
        a = i * math.pi / 6
        wide = 0.17
        ctx.move_to(C + 22 * math.cos(a - wide), C + 22 * math.sin(a - wide))
        ctx.line_to(C + 47 * math.cos(a), C + 47 * math.sin(a))
        ctx.line_to(C + 22 * math.cos(a + wide), C + 22 * math.sin(a + wide))
        ctx.close_path()
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(5)
    ctx.stroke_preserve()
    ctx.set_source_rgb(1.0, 0.98, 0.8)
    ctx.fill()
    ctx.arc(C, C, 22, 0, 2 * math.pi)
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(5)
    ctx.stroke_preserve()
    ctx.set_source_rgb(1.0, 0.86, 0.25)
    ctx.fill()
    save_surface(surface, path)


def moon(path):
    surface, ctx = canvas(SIZE, SIZE)
    _disc(ctx, (0.35, 0.45, 0.85), (0.08, 0.12, 0.35))
    # Three small stars, then the crescent: a disc less an offset disc.
    for sx, sy, r in ((C + 26, C - 24, 6), (C + 34, C + 8, 4), (C + 16, C + 30, 5)):
        for i in range(8):
            a = -math.pi / 2 + i * math.pi / 4
            rr = r if i % 2 == 0 else r * 0.4
            ctx.line_to(sx + rr * math.cos(a), sy + rr * math.sin(a))
        ctx.close_path()
        ctx.set_source_rgb(0.95, 0.95, 1.0)
        ctx.fill()
    ctx.push_group()
    ctx.arc(C - 6, C, 38, 0, 2 * math.pi)
    ctx.set_source_rgb(*INK)
    ctx.fill()
    ctx.arc(C - 6, C, 33, 0, 2 * math.pi)
    ctx.set_source_rgb(0.93, 0.95, 1.0)
    ctx.fill()
    ctx.set_operator(cairo.OPERATOR_CLEAR)
    ctx.arc(C + 12, C - 8, 30, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_operator(cairo.OPERATOR_OVER)
    ctx.arc(C + 12, C - 8, 30, 0.5 * math.pi + 0.62, 1.5 * math.pi - 0.62)
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(5)
    ctx.stroke()
    ctx.pop_group_to_source()
    ctx.paint()
    save_surface(surface, path)


def build(hud_dir):
    sun(hud_dir + "/teamSun.png")
    moon(hud_dir + "/teamMoon.png")


if __name__ == "__main__":
    import sys
    build(sys.argv[1])
