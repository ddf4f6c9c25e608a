"""Small pictures of the arenas for the join screen
(sprites/menu/arenas/NAME.png, 320 x 200, opaque): each arena as the game
camera shows it, painted from its rectangles in arenas.py (the walls, the
ceiling and what stands inside, in their places and proportions) in its
stage's colours, so that a player tells them apart at a glance."""
import math
import os

import cairo

import arenas
from imaging import canvas, save_surface

SIZE = (320, 200)
INK = (0.16, 0.12, 0.14)


class View:
    """World units to picture pixels: the open space and some of the walls
    around it, the floor near the picture's foot."""

    def __init__(self, arena, margin=30.0, below=22.0, above=30.0):
        x0, y0, x1, y1 = arena["open"]
        w, h = SIZE
        self.scale = min(w / (x1 - x0 + 2 * margin), h / (y1 - y0 + below + above))
        self.cx = (x0 + x1) / 2
        spare = h - (y1 - y0 + below + above) * self.scale
        self.base = h - below * self.scale - spare / 2
        self.floor = y0

    def __call__(self, x, y):
        return SIZE[0] / 2 + (x - self.cx) * self.scale, self.base - (y - self.floor) * self.scale

    def rect(self, ctx, x, y, w, h):
        (ax, ay), (bx, by) = self(x, y + h), self(x + w, y)
        ctx.rectangle(ax, ay, bx - ax, by - ay)
        return ax, ay, bx - ax, by - ay


def gradient(ctx, y0, y1, stops):
    g = cairo.LinearGradient(0, y0, 0, y1)
    for t, c in stops:
        g.add_color_stop_rgb(t, *c)
    ctx.set_source(g)
    ctx.rectangle(0, y0, SIZE[0], y1 - y0)
    ctx.fill()


def outline(ctx, width=1.4, colour=INK):
    ctx.set_source_rgb(*colour)
    ctx.set_line_width(width)
    ctx.stroke()


def solid(ctx, view, box, colour, edge=True):
    view.rect(ctx, *box)
    ctx.set_source_rgb(*colour)
    if edge:
        ctx.fill_preserve()
        outline(ctx)
    else:
        ctx.fill()


def sun(ctx, x, y, r, colour, glow):
    g = cairo.RadialGradient(x, y, r * 0.6, x, y, r * 3.5)
    g.add_color_stop_rgba(0, *glow, 0.8)
    g.add_color_stop_rgba(1, *glow, 0.0)
    ctx.set_source(g)
    ctx.arc(x, y, r * 3.5, 0, 2 * math.pi)
    ctx.fill()
    ctx.arc(x, y, r, 0, 2 * math.pi)
    ctx.set_source_rgb(*colour)
    ctx.fill()


def cloud(ctx, x, y, s, colour=(1, 1, 1)):
    for px, py, r in ((-0.55, 0.0, 0.45), (0.0, -0.25, 0.62), (0.5, -0.05, 0.48), (0.95, 0.05, 0.32),
                      (-0.95, 0.08, 0.3)):
        ctx.arc(x + px * s, y + py * s, r * s, 0, 2 * math.pi)
        ctx.close_path()
    ctx.set_source_rgb(*colour)
    ctx.fill()


def skyline(ctx, base, points, colour):
    ctx.move_to(0, SIZE[1])
    for x, y in points:
        ctx.line_to(x, y)
    ctx.line_to(SIZE[0], SIZE[1])
    ctx.close_path()
    ctx.set_source_rgb(*colour)
    ctx.fill()


def waves(amplitude, base, step, phase=0.0, k=(0.05, 0.13)):
    return [(x, base - amplitude * (0.6 * math.sin(x * k[0] + phase) + 0.4 * math.sin(x * k[1] + 2 * phase)))
            for x in range(-8, SIZE[0] + 16, step)]


def meadow(ctx, arena):
    v = View(arena)
    solids = dict(arena["solids"])
    w, h = SIZE
    ground = v(0, -52.5)[1]
    gradient(ctx, 0, ground, [(0, (0.30, 0.60, 0.93)), (0.6, (0.53, 0.80, 0.96)), (1, (0.84, 0.94, 0.98))])
    sun(ctx, 250, 34, 9, (1.0, 0.97, 0.75), (1, 1, 0.85))
    for x, y, s in ((70, 40, 14), (190, 58, 12), (290, 90, 10)):
        cloud(ctx, x, y, s)
    skyline(ctx, ground, waves(12, ground - 42, 8, 1.0, (0.03, 0.08)), (0.62, 0.82, 0.80))
    skyline(ctx, ground, waves(8, ground - 22, 8, 2.0), (0.50, 0.82, 0.38))
    skyline(ctx, ground, waves(4, ground - 8, 8, 3.0, (0.09, 0.2)), (0.40, 0.76, 0.24))
    for tx in (-70, -30, 40, 70):
        px, py = v(tx, -52.5)
        ctx.rectangle(px - 1, py - 9, 2, 9)
        ctx.set_source_rgb(0.5, 0.32, 0.18)
        ctx.fill()
        ctx.arc(px, py - 11, 5, 0, 2 * math.pi)
        ctx.set_source_rgb(0.32, 0.66, 0.24)
        ctx.fill()
    ctx.rectangle(0, ground, w, h - ground)
    ctx.set_source_rgb(0.42, 0.76, 0.26)
    ctx.fill()
    for k in range(0, w, 24):
        ctx.rectangle(k, ground, 12, h - ground)
        ctx.set_source_rgb(0.38, 0.70, 0.24)
        ctx.fill()
    # Towers of pale blocks with red roofs, the girder and its banner, the ledge.
    for name in ("left wall", "right wall"):
        x, y, bw, bh = solids[name]
        far = x - 40 if x < 0 else x + bw + 40
        lo, hi = min(x, far), max(x + bw, far)
        top = 116.0
        solid(ctx, v, (lo, -52.5, hi - lo, top + 52.5), (0.93, 0.84, 0.66))
        ctx.set_source_rgb(0.45, 0.36, 0.3)
        ctx.set_line_width(0.8)
        for row in range(int((top + 52.5) / 8)):
            _, py = v(0, -52.5 + row * 8)
            ax, _ = v(lo, 0)
            bx, _ = v(hi, 0)
            ctx.move_to(ax, py)
            ctx.line_to(bx, py)
        ctx.stroke()
        ax, ay = v(lo, top)
        bx, _ = v(hi, top)
        ctx.move_to(ax - 4, ay)
        ctx.line_to(bx + 4, ay)
        ctx.line_to((ax + bx) / 2, ay - 22)
        ctx.close_path()
        ctx.set_source_rgb(0.86, 0.24, 0.18)
        ctx.fill_preserve()
        outline(ctx)
    x, y, bw, bh = solids["ceiling"]
    girder = (solids["left wall"][0] + solids["left wall"][2], y, solids["right wall"][0] - x - solids["left wall"][2],
              102.0 - y)
    ax, ay, gw, gh = v.rect(ctx, *girder)
    ctx.set_source_rgb(0.93, 0.36, 0.16)
    ctx.fill_preserve()
    outline(ctx)
    ctx.set_source_rgb(0.55, 0.16, 0.08)
    ctx.set_line_width(1.6)
    n = 8
    for k in range(n):
        ctx.move_to(ax + gw * k / n, ay)
        ctx.line_to(ax + gw * (k + 1) / n, ay + gh)
        ctx.move_to(ax + gw * (k + 1) / n, ay)
        ctx.line_to(ax + gw * k / n, ay + gh)
    ctx.stroke()
    bx, by = v(-42, 100.5)
    ex, ey = v(42, 82.5)
    ctx.rectangle(bx, by, ex - bx, ey - by)
    ctx.set_source_rgb(0.16, 0.42, 0.85)
    ctx.fill()
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size((ey - by) * 0.7)
    ext = ctx.text_extents("SKYSCUFFLE")
    ctx.move_to((bx + ex) / 2 - ext.width / 2 - ext.x_bearing, (by + ey) / 2 - ext.height / 2 - ext.y_bearing)
    ctx.set_source_rgb(1.0, 0.86, 0.2)
    ctx.show_text("SKYSCUFFLE")
    x, y, bw, bh = solids["ledge"]
    lx, ly, lw, lh = v.rect(ctx, x, y, bw, bh)
    ctx.set_source_rgb(1.0, 0.84, 0.1)
    ctx.fill()
    ctx.save()
    v.rect(ctx, x, y, bw, bh)
    ctx.clip()
    ctx.set_source_rgb(0.12, 0.12, 0.14)
    for k in range(-2, int(lh / 6) + 2):
        ctx.move_to(lx, ly + k * 6)
        ctx.line_to(lx + lw, ly + k * 6 - lw)
        ctx.line_to(lx + lw, ly + k * 6 - lw + 3)
        ctx.line_to(lx, ly + k * 6 + 3)
        ctx.close_path()
    ctx.fill()
    ctx.restore()
    v.rect(ctx, x, y, bw, bh)
    outline(ctx, 1.0)


STRATA = [(0.98, 0.84, 0.62), (0.92, 0.53, 0.29), (0.81, 0.39, 0.23), (0.96, 0.68, 0.44), (0.71, 0.29, 0.19),
          (0.92, 0.53, 0.29), (0.57, 0.23, 0.17)]


def strata(ctx, v, box, band=7.0, phase=0.0, shade=1.0, edge=True):
    """Sandstone in level layers over a rectangle (world units)."""
    x, y, w, h = box
    ctx.save()
    v.rect(ctx, x, y, w, h)
    ctx.clip()
    k = int(phase)
    yy = -60.0 - phase * band
    while yy < y + h:
        c = tuple(min(1, ch * shade) for ch in STRATA[k % len(STRATA)])
        v.rect(ctx, x, yy, w, band * (1.2 if k % 3 == 0 else 0.8))
        ctx.set_source_rgb(*c)
        ctx.fill()
        yy += band * (1.2 if k % 3 == 0 else 0.8)
        k += 1
    ctx.restore()
    if edge:
        v.rect(ctx, x, y, w, h)
        outline(ctx, 1.2, (0.36, 0.14, 0.1))


def cactus(ctx, px, py, s):
    ctx.set_source_rgb(0.30, 0.55, 0.26)
    ctx.rectangle(px - s * 0.14, py - s, s * 0.28, s)
    ctx.rectangle(px - s * 0.45, py - s * 0.55, s * 0.3, s * 0.12)
    ctx.rectangle(px - s * 0.45, py - s * 0.8, s * 0.13, s * 0.3)
    ctx.rectangle(px + s * 0.14, py - s * 0.45, s * 0.3, s * 0.12)
    ctx.rectangle(px + s * 0.31, py - s * 0.7, s * 0.13, s * 0.3)
    ctx.fill()


def canyon(ctx, arena):
    v = View(arena)
    solids = dict(arena["solids"])
    w, h = SIZE
    ground = v(0, -52.5)[1]
    gradient(ctx, 0, ground, [(0, (0.42, 0.56, 0.80)), (0.45, (0.86, 0.74, 0.66)), (0.8, (1.0, 0.76, 0.48)),
                              (1, (0.98, 0.80, 0.58))])
    sx, sy = v(12, 30)
    sun(ctx, sx, sy, 8, (1.0, 0.95, 0.72), (1.0, 0.85, 0.5))
    for x, y, s in ((150, 40, 22), (200, 60, 16)):
        ctx.save()
        ctx.translate(x, y)
        ctx.scale(1, 0.25)
        cloud(ctx, 0, 0, s, (1.0, 0.86, 0.72))
        ctx.restore()
    # Mesas in the haze, then the river bed running back between the cliffs.
    pts, x = [(0, ground - 6)], -10.0
    for width, height in ((46, 24), (30, 14), (56, 30), (40, 18), (64, 26), (36, 12), (50, 22)):
        pts += [(x, ground - 6), (x + 5, ground - 6 - height * 0.6), (x + 8, ground - 6 - height),
                (x + width - 8, ground - 6 - height), (x + width - 5, ground - 6 - height * 0.6),
                (x + width, ground - 6)]
        x += width + 6
    skyline(ctx, ground, pts, (0.84, 0.64, 0.64))
    ctx.rectangle(0, ground, w, h - ground)
    ctx.set_source_rgb(0.93, 0.75, 0.51)
    ctx.fill()
    lx, _ = v(-72, 0)
    rx, _ = v(72, 0)
    ctx.move_to(lx, h)
    ctx.line_to(w / 2 - 12, ground)
    ctx.line_to(w / 2 + 12, ground)
    ctx.line_to(rx, h)
    ctx.close_path()
    ctx.set_source_rgb(0.80, 0.65, 0.48)
    ctx.fill()
    for k in range(40):
        px = w / 2 + ((k * 37) % 100 - 50) * (0.3 + 0.7 * ((k * 13) % 10) / 10)
        py = ground + 2 + ((k * 53) % 10) / 10 * (h - ground - 4)
        ctx.arc(px, py, 1.0 + (k % 3) * 0.5, 0, 2 * math.pi)
        ctx.set_source_rgb(*((0.6, 0.56, 0.52) if k % 2 else (0.76, 0.48, 0.34)))
        ctx.fill()
    for px, s in ((w / 2 - 40, 14), (w / 2 + 30, 11)):
        cactus(ctx, px, ground + 2, s)
    # The cliffs, rising out of the picture; the deck across the top.
    left, right = solids["left wall"], solids["right wall"]
    strata(ctx, v, (left[0] - 200, -60, left[2] + 200, 400))
    strata(ctx, v, (right[0], -60, right[2] + 200, 400), phase=0.5)
    x, y, bw, bh = solids["ceiling"]
    ax, ay, dw, dh = v.rect(ctx, x, y, bw, bh)
    ctx.set_source_rgb(0.30, 0.18, 0.11)
    ctx.fill()
    ctx.set_source_rgb(0.74, 0.50, 0.29)
    for yy, hh in ((ay, dh * 0.3), (ay + dh * 0.8, dh * 0.2)):
        ctx.rectangle(ax, yy, dw, hh)
    ctx.fill()
    ctx.set_line_width(1.4)
    n = 10
    for k in range(n):
        x0, x1 = ax + dw * k / n, ax + dw * (k + 1) / n
        ctx.move_to(x0, ay + dh * 0.3)
        ctx.line_to(x1, ay + dh * 0.8)
        ctx.move_to(x1, ay + dh * 0.3)
        ctx.line_to(x0, ay + dh * 0.8)
    ctx.stroke()
    v.rect(ctx, x, y, bw, bh)
    outline(ctx, 1.2, (0.25, 0.14, 0.08))
    ctx.rectangle(ax, ay - 2.5, dw, 1.5)
    ctx.set_source_rgb(0.55, 0.55, 0.58)
    ctx.fill()
    # The arch's legs stand behind the planes: drawn as the camera sees them
    # from the middle of the canyon, a little nearer its centre and their
    # feet further up the river bed, in the span's shade.
    x, y, bw, bh = solids["arch"]
    centre = (0.0, (arena["open"][1] + arena["open"][3]) / 2)

    def back(px, py, k=0.87):
        return v(centre[0] + (px - centre[0]) * k, centre[1] + (py - centre[1]) * k)

    for s in (-1, 1):
        end = x if s < 0 else x + bw
        inner = end - s * 12.0
        face = [(end + s * 5.0, -52.5), (inner - s * 2.5, -52.5), (inner, y + 2.0), (end, y + 2.0)]
        side = [face[1], face[2]]
        ctx.move_to(*back(*side[0]))
        ctx.line_to(*back(*side[1]))
        ctx.line_to(*back(*side[1], k=0.76))
        ctx.line_to(*back(*side[0], k=0.76))
        ctx.close_path()
        ctx.set_source_rgb(0.45, 0.20, 0.15)
        ctx.fill()
        ctx.save()
        for k, p in enumerate(face):
            (ctx.line_to if k else ctx.move_to)(*back(*p))
        ctx.close_path()
        ctx.clip_preserve()
        ctx.new_path()
        strata(ctx, v, (end - 12, -60, 24, 80), band=4.0, phase=1.3, shade=0.72, edge=False)
        ctx.restore()
        for k, p in enumerate(face):
            (ctx.line_to if k else ctx.move_to)(*back(*p))
        ctx.close_path()
        outline(ctx, 1.0, (0.36, 0.14, 0.1))
    for name in ("left shelf", "right shelf", "arch"):
        strata(ctx, v, solids[name], band=4.0, phase=1.3 if "arch" in name else 2.0)


def harbour(ctx, arena):
    v = View(arena)
    solids = dict(arena["solids"])
    w, h = SIZE
    water = v(0, -52.0)[1]
    horizon = v(0, -22)[1]
    gradient(ctx, 0, horizon, [(0, (0.24, 0.56, 0.94)), (0.6, (0.52, 0.78, 0.98)), (1, (0.86, 0.94, 1.0))])
    sun(ctx, 150, 64, 7, (1.0, 0.99, 0.86), (1, 1, 0.9))
    for x, y, s in ((120, 20, 11), (250, 16, 9), (205, 70, 8)):
        cloud(ctx, x, y, s)
    gradient(ctx, horizon, h, [(0, (0.55, 0.78, 0.88)), (1, (0.16, 0.55, 0.72))])
    skyline(ctx, horizon, [(0, horizon - 10), (40, horizon - 14), (90, horizon - 6), (120, horizon + 1),
                           (w, horizon + 1)], (0.44, 0.66, 0.48))
    for k in range(30):
        px, py = (k * 71) % w, horizon + 4 + (k * 29) % int(h - horizon - 4)
        ctx.rectangle(px, py, 8, 1)
        ctx.set_source_rgba(1, 1, 1, 0.6)
        ctx.fill()
    # Quay under the warehouse and crane; the near quay's edge at the foot.
    quay_x = v(-48, 0)[0]
    ctx.rectangle(0, water - 1.5, quay_x, h)
    ctx.set_source_rgb(0.78, 0.75, 0.69)
    ctx.fill()
    ctx.rectangle(0, h - 8, w, 8)
    ctx.fill()
    # Warehouse: bricks, windows, the green door.
    x, y, bw, bh = solids["left wall"]
    ax, ay, ww, wh = v.rect(ctx, x - 100, y, bw + 100, bh + 60)
    ctx.set_source_rgb(0.72, 0.32, 0.22)
    ctx.fill()
    for col in range(6):
        for row in range(7):
            px = ax + ww - (col + 1) * ww / 10 + 3
            py = ay + 10 + row * (wh - 14) / 8
            ctx.rectangle(px, py, ww / 10 - 8, (wh - 14) / 8 - 6)
            ctx.set_source_rgb(0.34, 0.52, 0.72)
            ctx.fill()
    dx, dy = v(x + 12, y + 26)
    ex, ey = v(x + 38, y)
    ctx.rectangle(dx, dy, ex - dx, ey - dy)
    ctx.set_source_rgb(0.16, 0.42, 0.30)
    ctx.fill()
    v.rect(ctx, x - 100, y, bw + 100, bh + 60)
    outline(ctx)
    # Sea wall of big stones.
    x, y, bw, bh = solids["right wall"]
    ax, ay, sw, sh = v.rect(ctx, x, y - 1, bw + 100, bh + 60)
    ctx.set_source_rgb(0.86, 0.82, 0.74)
    ctx.fill()
    ctx.set_source_rgb(0.52, 0.49, 0.45)
    ctx.set_line_width(1)
    for row in range(12):
        py = ay + row * sh / 12
        ctx.move_to(ax, py)
        ctx.line_to(ax + sw, py)
        for k in range(4):
            px = ax + (k + 0.5 * (row % 2)) * 14
            ctx.move_to(px, py)
            ctx.line_to(px, py + sh / 12)
    ctx.stroke()
    v.rect(ctx, x, y - 1, bw + 100, bh + 60)
    outline(ctx)
    # The gantry's beam with its hazard stripes, its legs beyond the walls.
    x, y, bw, bh = solids["ceiling"]
    for lx in (-194, 180):
        solid(ctx, v, (lx, -51, 14, 64 + 51), (1.0, 0.78, 0.12))
    ax, ay, gw, gh = v.rect(ctx, x, y, bw, bh)
    ctx.set_source_rgb(1.0, 0.80, 0.14)
    ctx.fill()
    ctx.save()
    ctx.rectangle(ax, ay + gh * 0.75, gw, gh * 0.25)
    ctx.clip()
    ctx.set_source_rgb(0.12, 0.12, 0.14)
    for k in range(int(gw / 8) + 2):
        ctx.move_to(ax + k * 8, ay + gh)
        ctx.line_to(ax + k * 8 + 4, ay + gh)
        ctx.line_to(ax + k * 8 + 4 + gh * 0.25, ay + gh * 0.75)
        ctx.line_to(ax + k * 8 + gh * 0.25, ay + gh * 0.75)
        ctx.close_path()
    ctx.fill()
    ctx.restore()
    v.rect(ctx, x, y, bw, bh)
    outline(ctx)
    # Water in the basin, the dock crane, the container on its cable.
    qx = v(-48, 0)[0]
    ctx.rectangle(qx, water, w - qx, h - 8 - water)
    ctx.set_source_rgb(0.16, 0.55, 0.72)
    ctx.fill()
    # The dock crane against the warehouse: lattice tower and jib, the
    # counter-jib and its weights across the bricks, the cab at the top.
    jx, jy, jw, jh = solids["crane jib"]
    solid(ctx, v, (jx - 16, jy, 16, jh), (1.0, 0.80, 0.14))
    solid(ctx, v, (jx - 15, jy - 7, 10.2, 7), (0.55, 0.54, 0.53))
    for name in ("crane tower", "crane jib"):
        ax, ay, bw, bh = v.rect(ctx, *solids[name])
        ctx.set_source_rgb(1.0, 0.80, 0.14)
        ctx.fill()
        ctx.save()
        v.rect(ctx, *solids[name])
        ctx.clip()
        ctx.set_source_rgb(0.62, 0.42, 0.05)
        ctx.set_line_width(0.8)
        step = min(bw, bh)
        if bh > bw:
            for k in range(int(bh / step) + 1):
                ctx.move_to(ax, ay + k * step)
                ctx.line_to(ax + bw, ay + (k + 1) * step)
        else:
            for k in range(int(bw / step) + 1):
                ctx.move_to(ax + k * step, ay + bh)
                ctx.line_to(ax + (k + 1) * step, ay)
        ctx.stroke()
        ctx.restore()
        v.rect(ctx, *solids[name])
        outline(ctx, 1.0)
    tx, ty, tw, th = solids["crane tower"]
    solid(ctx, v, (tx + 1.0, jy - 4.6, tw - 2.0, 3.6), (0.30, 0.50, 0.80), edge=False)
    cx, cy, cw, ch = solids["container"]
    top = v(cx + cw / 2, cy + ch)
    jib = v(cx + cw / 2, solids["crane jib"][1])
    ctx.move_to(*jib)
    ctx.line_to(*top)
    outline(ctx, 1.0)
    solid(ctx, v, solids["container"], (0.86, 0.20, 0.14))
    # The boat: red bottom, white topsides, its wheelhouse.
    x, y, bw, bh = solids["boat hull"]
    solid(ctx, v, (x, y - 1, bw, bh + 1), (0.97, 0.97, 0.95))
    v.rect(ctx, x, y - 1, bw, (bh + 1) * 0.4)
    ctx.set_source_rgb(0.86, 0.18, 0.14)
    ctx.fill()
    v.rect(ctx, x, y - 1, bw, bh + 1)
    outline(ctx)
    solid(ctx, v, solids["wheelhouse"], (1.0, 1.0, 0.98))
    wx, wy, ww2, wh2 = solids["wheelhouse"]
    solid(ctx, v, (wx + 2, wy + 4, ww2 - 4, 3.5), (0.30, 0.50, 0.80), edge=False)
    # The lighthouse in red and white bands, its lamp aglow.
    x, y, bw, bh = solids["lighthouse"]
    for k in range(6):
        solid(ctx, v, (x, y + k * bh / 6, bw, bh / 6), (0.90, 0.16, 0.14) if k % 2 else (0.98, 0.97, 0.94),
              edge=False)
    v.rect(ctx, x, y, bw, bh)
    outline(ctx)
    lx, ly, lw, lh = solids["lamp room"]
    solid(ctx, v, (lx, ly, lw, lh * 0.7), (1.0, 0.9, 0.4))
    solid(ctx, v, (lx - 0.6, ly + lh * 0.7, lw + 1.2, lh * 0.3), (0.90, 0.16, 0.14))


PAINTERS = {"meadow": meadow, "canyon": canyon, "harbour": harbour}


def paint(path, arena):
    surface, ctx = canvas(*SIZE)
    ctx.set_source_rgb(1, 1, 1)
    ctx.paint()
    PAINTERS[arena["name"]](ctx, arena)
    ctx.rectangle(1, 1, SIZE[0] - 2, SIZE[1] - 2)
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(2)
    ctx.stroke()
    save_surface(surface, path)


def build(sprites):
    directory = os.path.join(sprites, "menu", "arenas")
    os.makedirs(directory, exist_ok=True)
    for arena in arenas.ARENAS:
        paint(os.path.join(directory, arena["name"] + ".png"), arena)
