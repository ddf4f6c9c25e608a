"""The match HUD gauge (assets/sprites/HUD/): per player an icon, a health
ring and a frame, three pictures of one size (3:4, drawn 0.4 x 0.533) laid
over each other in that order. The radial bar program shows the ring only on
the arc from 90 degrees (top) counter-clockwise towards 245 degrees that the
health fills, so the ring is painted on that arc: red at the top, where the
last of the health stays, to green at the full end. The icon carries the
dark track that the empty part of the gauge shows; the frame the rims, the
bolts and a plate under the score (at the icon's lower right)."""
import math

import cairo

from cartoon import draw_plane
from imaging import canvas, save_surface
from plane_paint import INK, LIVERIES, emblem, pattern

W, H = 240, 320
CX, CY = W / 2, H / 2
R_OUT, R_IN = 112, 88
ICONS = {"plane3": "Blue", "plane2": "Green", "plane1": "Orange", "plane6": "Red", "plane7": "Pink",
         "plane5": "Yellow"}


def icon(path, livery):
    lv = LIVERIES[livery]
    surface, ctx = canvas(W, H)
    ctx.arc(CX, CY, R_OUT, 0, 2 * math.pi)
    ctx.set_source_rgba(0.08, 0.08, 0.14, 0.85)  # the empty track
    ctx.fill()
    g = cairo.RadialGradient(CX - 20, CY - 30, 10, CX, CY, R_IN)
    g.add_color_stop_rgb(0, *(min(1, c * 0.35 + 0.65) for c in lv["base"]))
    g.add_color_stop_rgb(1, *(min(1, c * 0.6 + 0.3) for c in lv["base"]))
    ctx.arc(CX, CY, R_IN - 4, 0, 2 * math.pi)
    ctx.set_source(g)
    ctx.fill()
    # The livery's pattern over the whole disc and its roundel at the top,
    # with the player's shape: what tells the players apart without their
    # colours.
    ctx.save()
    ctx.arc(CX, CY, R_IN - 4, 0, 2 * math.pi)
    ctx.clip()
    ctx.push_group()
    pattern(ctx, lv["pattern"], CX - R_IN, CY - R_IN, 2 * R_IN, 2 * R_IN, lv["second"], scale=1.3,
            along=lv["pattern"] != "stripes")
    ctx.pop_group_to_source()
    ctx.paint_with_alpha(0.4)
    ctx.restore()
    emblem(ctx, lv["emblem"], CX, CY - 56, 28, lv["base"], INK)
    draw_plane(ctx, CX - 4, CY + 14, 150, livery, angle=-0.18)
    save_surface(surface, path)


def ring(path):
    surface, ctx = canvas(W, H)
    start, end = 86.0, 249.0
    steps = 120
    for k in range(steps):
        a0 = math.radians(start + (end - start) * k / steps)
        a1 = math.radians(start + (end - start) * (k + 1.2) / steps)
        t = k / (steps - 1)  # 0 at the top (nearly empty), 1 at the full end
        colour = (1.0, 0.2 + 0.6 * t, 0.15) if t < 0.5 else (1.0 - 1.4 * (t - 0.5), 0.8 + 0.1 * (t - 0.5), 0.15)
        # Cairo's y axis points down: angles counter-clockwise on screen are negative here.
        ctx.arc_negative(CX, CY, R_OUT - 3, -a0, -a1)
        ctx.arc(CX, CY, R_IN + 3, -a1, -a0)
        ctx.close_path()
        ctx.set_source_rgb(*colour)
        ctx.fill()
    # A light line along the ring's inner half reads as a rounded tube.
    ctx.set_source_rgba(1, 1, 1, 0.45)
    ctx.set_line_width(4)
    ctx.arc_negative(CX, CY, (R_OUT + R_IN) / 2 + 4, -math.radians(start), -math.radians(end))
    ctx.stroke()
    save_surface(surface, path)


def frame(path):
    surface, ctx = canvas(W, H)
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(7)
    ctx.arc(CX, CY, R_OUT + 2, 0, 2 * math.pi)
    ctx.stroke()
    ctx.set_line_width(5)
    ctx.arc(CX, CY, R_IN - 2, 0, 2 * math.pi)
    ctx.stroke()
    ctx.set_source_rgb(0.85, 0.87, 0.92)
    ctx.set_line_width(2)
    ctx.arc(CX, CY, R_OUT + 5, 0, 2 * math.pi)
    ctx.stroke()
    for a in (90, 210, 330):
        x = CX + math.cos(math.radians(a)) * (R_OUT + R_IN) / 2
        y = CY - math.sin(math.radians(a)) * (R_OUT + R_IN) / 2
        if a == 90:
            continue  # the ring's own top end
        ctx.arc(x, y, 6, 0, 2 * math.pi)
        ctx.set_source_rgb(0.8, 0.82, 0.88)
        ctx.fill_preserve()
        ctx.set_source_rgb(*INK)
        ctx.set_line_width(2)
        ctx.stroke()
    # A dark glow at the lower right, where the score's last digits sit (they
    # run on past the gauge's edge, so the glow fades out instead of ending).
    glow = cairo.RadialGradient(W - 10, 232, 10, W - 10, 232, 80)
    glow.add_color_stop_rgba(0, 0.06, 0.06, 0.12, 0.75)
    glow.add_color_stop_rgba(0.6, 0.06, 0.06, 0.12, 0.5)
    glow.add_color_stop_rgba(1, 0.06, 0.06, 0.12, 0.0)
    ctx.set_source(glow)
    ctx.rectangle(W - 100, 150, 100, 170)
    ctx.fill()
    save_surface(surface, path)


def build(hud_dir):
    for name, livery in ICONS.items():
        icon("%s/%s.png" % (hud_dir, name), livery)
    ring(hud_dir + "/health.png")
    frame(hud_dir + "/frame.png")
