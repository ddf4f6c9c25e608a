"""Side views of the plane and other small drawings shared by the sprites."""
import math

import cairo

from plane_paint import INK, LIVERIES, emblem, pattern


def plane_outline(ctx):
    """Fuselage path of a plane 2 units long, nose at +1 (unit coordinates)."""
    ctx.move_to(0.92, -0.02)
    ctx.curve_to(0.9, -0.2, 0.55, -0.24, 0.2, -0.22)
    ctx.curve_to(-0.3, -0.2, -0.7, -0.12, -0.95, -0.1)
    ctx.line_to(-0.98, 0.02)
    ctx.curve_to(-0.6, 0.12, -0.2, 0.2, 0.3, 0.2)
    ctx.curve_to(0.7, 0.2, 0.9, 0.16, 0.92, -0.02)
    ctx.close_path()


def draw_plane(ctx, cx, cy, length, livery="Blue", colours=None, ink=INK, angle=0.0, spin=True):
    """A cartoon side view, nose to the right, `length` pixels long."""
    lv = dict(LIVERIES[livery]) if livery else {}
    if colours:
        lv.update(colours)
    s = length / 2
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(angle)
    ctx.scale(s, s)
    lw = 0.045
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    # Tail fin and far-side tailplane.
    ctx.move_to(-0.62, -0.12)
    ctx.line_to(-0.86, -0.52)
    ctx.curve_to(-0.93, -0.56, -0.99, -0.52, -0.98, -0.44)
    ctx.line_to(-0.96, -0.06)
    ctx.close_path()
    ctx.set_source_rgb(*lv["base"])
    ctx.fill_preserve()
    ctx.set_source_rgb(*ink)
    ctx.set_line_width(lw)
    ctx.stroke()
    # Canopy.
    ctx.move_to(-0.05, -0.2)
    ctx.curve_to(0.0, -0.42, 0.32, -0.44, 0.4, -0.2)
    ctx.close_path()
    ctx.set_source_rgb(0.6, 0.86, 0.98)
    ctx.fill_preserve()
    ctx.set_source_rgb(*ink)
    ctx.stroke()
    ctx.move_to(0.02, -0.32)
    ctx.curve_to(0.08, -0.38, 0.16, -0.38, 0.2, -0.36)
    ctx.set_source_rgb(1, 1, 1)
    ctx.set_line_width(0.035)
    ctx.stroke()
    # Fuselage with the livery pattern inside it.
    plane_outline(ctx)
    ctx.set_source_rgb(*lv["base"])
    ctx.fill_preserve()
    ctx.save()
    ctx.clip()
    ctx.set_source_rgb(*lv["belly"])
    ctx.rectangle(-1.2, 0.1, 2.4, 0.3)
    ctx.fill()
    kind = lv["pattern"]
    ctx.save()
    ctx.scale(1 / 120, 1 / 120)  # the pattern painter works in texture pixels
    if kind in ("stripes", "zigzag", "chevrons"):
        pattern(ctx, kind, -110, -14, 190, 28 if kind != "stripes" else 30, lv["second"], scale=0.55)
    elif kind == "checks":
        pattern(ctx, kind, -80, -40, 30, 80, lv["second"], scale=0.45)
    elif kind == "dots":
        pattern(ctx, kind, -120, -40, 240, 80, lv["second"], scale=0.5)
    elif kind == "hazard":
        pattern(ctx, kind, -120, -40, 50, 80, lv["second"], scale=0.45)
        pattern(ctx, kind, 60, -40, 30, 80, lv["second"], scale=0.45)
    ctx.restore()
    ctx.set_source_rgb(*lv["cowl"])
    ctx.rectangle(0.72, -0.4, 0.4, 0.8)
    ctx.fill()
    if kind == "zigzag":  # the shark mouth
        ctx.move_to(0.9, 0.04)
        ctx.curve_to(0.7, 0.04, 0.55, 0.08, 0.45, 0.16)
        ctx.curve_to(0.6, 0.2, 0.8, 0.18, 0.92, 0.12)
        ctx.set_source_rgb(0.08, 0.02, 0.03)
        ctx.fill()
        ctx.set_source_rgb(1, 1, 1)
        for k in range(5):
            tx = 0.52 + k * 0.075
            ctx.move_to(tx, 0.07 + 0.01 * (4 - k) * 0)
            ctx.line_to(tx + 0.05, 0.07)
            ctx.line_to(tx + 0.025, 0.12)
            ctx.close_path()
        ctx.fill()
    ctx.restore()
    plane_outline(ctx)
    ctx.set_source_rgb(*ink)
    ctx.set_line_width(lw)
    ctx.stroke()
    emblem(ctx, lv["emblem"], -0.42, 0.0, 0.13, lv["base"], ink)
    # Near wing, seen edge-on with a little roll.
    ctx.move_to(-0.25, 0.08)
    ctx.curve_to(-0.2, 0.22, 0.3, 0.26, 0.45, 0.14)
    ctx.curve_to(0.4, 0.06, 0.0, 0.04, -0.25, 0.08)
    ctx.close_path()
    ctx.set_source_rgb(*lv["base"])
    ctx.fill_preserve()
    ctx.set_source_rgb(*ink)
    ctx.stroke()
    # Propeller blur disc and spinner.
    if spin:
        ctx.save()
        ctx.translate(1.0, -0.02)
        ctx.scale(0.12, 0.62)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        ctx.set_source_rgba(0.95, 0.95, 1.0, 0.55)
        ctx.fill()
    ctx.move_to(0.9, -0.14)
    ctx.curve_to(1.08, -0.12, 1.1, 0.08, 0.9, 0.1)
    ctx.close_path()
    ctx.set_source_rgb(0.9, 0.15, 0.12)
    ctx.fill_preserve()
    ctx.set_source_rgb(*ink)
    ctx.stroke()
    ctx.restore()


def outlined_text(ctx, text, cx, cy, max_w, max_h, fill=(1, 1, 1), outline=(0.1, 0.1, 0.2), weight=0.16,
                  family="Comic Neue", shadow=True):
    """Bold words centred on (cx, cy), fitted into max_w x max_h, with a thick
    outline and a drop shadow so they read on any background."""
    ctx.save()
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(100)
    ext = ctx.text_extents(text)
    size = 100 * min(max_w / ext.width, max_h / ext.height)
    ctx.set_font_size(size)
    ext = ctx.text_extents(text)
    x = cx - ext.width / 2 - ext.x_bearing
    y = cy - ext.height / 2 - ext.y_bearing
    line = size * weight
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    if shadow:
        ctx.move_to(x + line * 0.5, y + line * 0.6)
        ctx.text_path(text)
        ctx.set_source_rgba(0, 0, 0, 0.45)
        ctx.set_line_width(line)
        ctx.stroke_preserve()
        ctx.fill()
    ctx.move_to(x, y)
    ctx.text_path(text)
    ctx.set_source_rgb(*outline)
    ctx.set_line_width(line)
    ctx.stroke_preserve()
    if isinstance(fill, cairo.Pattern):
        ctx.set_source(fill)
    else:
        ctx.set_source_rgb(*fill)
    ctx.fill()
    ctx.restore()
    return size


def cloud(ctx, cx, cy, size, alpha=1.0, shade=(0.82, 0.9, 0.98)):
    puffs = [(-0.55, 0.0, 0.45), (0.0, -0.25, 0.62), (0.5, -0.05, 0.48), (0.95, 0.05, 0.32), (-0.95, 0.08, 0.3)]
    for dy, colour in ((0.08, shade), (0.0, (1, 1, 1))):
        for px, py, r in puffs:
            ctx.arc(cx + px * size, cy + (py + dy) * size, r * size, 0, 2 * math.pi)
            ctx.close_path()
        ctx.set_source_rgba(*colour, alpha)
        ctx.fill()


def sky(ctx, w, h, top=(0.3, 0.6, 0.93), bottom=(0.8, 0.93, 0.98)):
    g = cairo.LinearGradient(0, 0, 0, h)
    g.add_color_stop_rgb(0, *top)
    g.add_color_stop_rgb(1, *bottom)
    ctx.set_source(g)
    ctx.paint()


def hills(ctx, w, h, base, amp, colour, phase=0.0, waves=(0.006, 0.017)):
    ctx.move_to(0, h)
    for x in range(0, w + 16, 16):
        ctx.line_to(x, base - amp * (0.6 * math.sin(x * waves[0] + phase) + 0.4 * math.sin(x * waves[1] + 2 * phase)))
    ctx.line_to(w, h)
    ctx.close_path()
    ctx.set_source_rgb(*colour)
    ctx.fill()
