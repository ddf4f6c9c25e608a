"""Building blocks of the canyon's and the harbour's stages.

Their atlases keep the meadow's layout (stage_paint.py): the painted sky
panel on the top half, 256-pixel cells and 32-pixel palette strips on the
bottom half, so stage.py's helpers place their textures. Faces here are
laid out on a grid of world-sized tiles, each tile showing one whole atlas
cell (textures clamp at their edges), and clipped to any convex outline, so
a texture runs on across pieces that meet.
"""
import math

import numpy as np

import stage_paint
from meshkit import quad
from stage import MATERIAL, cell_uv, strip_uv

# Faces looking the given way: origin, the texture's right and its up.
FRONT = (np.array([1.0, 0.0, 0.0]), np.array([0.0, 1.0, 0.0]))        # +z
UP = (np.array([1.0, 0.0, 0.0]), np.array([0.0, 0.0, -1.0]))          # +y
DOWN = (np.array([1.0, 0.0, 0.0]), np.array([0.0, 0.0, 1.0]))         # -y
RIGHT = (np.array([0.0, 0.0, -1.0]), np.array([0.0, 1.0, 0.0]))       # +x
LEFT = (np.array([0.0, 0.0, 1.0]), np.array([0.0, 1.0, 0.0]))         # -x


def clip_box(poly, x0, y0, x1, y1):
    """A convex polygon (list of (u, v), counter-clockwise) cut to a box."""

    def cut(points, inside, cross):
        out = []
        for k in range(len(points)):
            a, b = points[k - 1], points[k]
            if inside(b):
                if not inside(a):
                    out.append(cross(a, b))
                out.append(b)
            elif inside(a):
                out.append(cross(a, b))
        return out

    def at_u(u):
        return lambda a, b: (u, a[1] + (b[1] - a[1]) * (u - a[0]) / (b[0] - a[0]))

    def at_v(v):
        return lambda a, b: (a[0] + (b[0] - a[0]) * (v - a[1]) / (b[1] - a[1]), v)

    pts = list(poly)
    for inside, cross in ((lambda p: p[0] >= x0, at_u(x0)), (lambda p: p[0] <= x1, at_u(x1)),
                          (lambda p: p[1] >= y0, at_v(y0)), (lambda p: p[1] <= y1, at_v(y1))):
        if not pts:
            break
        pts = cut(pts, inside, cross)
    return pts


def clip_half(poly, a, b, c):
    """The part of a convex polygon where a * u + b * v <= c."""
    out = []
    for k in range(len(poly)):
        p, q = poly[k - 1], poly[k]
        fp, fq = a * p[0] + b * p[1] - c, a * q[0] + b * q[1] - c
        if fq <= 0:
            if fp > 0:
                t = fp / (fp - fq)
                out.append((p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t))
            out.append(q)
        elif fp <= 0:
            t = fp / (fp - fq)
            out.append((p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t))
    return out


def area(poly):
    return 0.5 * sum(poly[k - 1][0] * poly[k][1] - poly[k][0] * poly[k - 1][1] for k in range(len(poly)))


def tiled(m, poly, facing, depth, tile, cells, grid_origin=(0.0, 0.0)):
    """A flat convex outline (u, v) on the plane `depth` along the facing's
    normal (z for FRONT, y for UP and DOWN, x for RIGHT and LEFT), laid with
    tiles of size tile = (tw, th); cells(i, j) gives tile (i, j)'s atlas cell.
    The outline runs counter-clockwise as seen from the side it faces."""
    du, dv = facing
    normal = np.cross(du, dv)
    tw, th = tile
    us, vs = [p[0] for p in poly], [p[1] for p in poly]
    gu, gv = grid_origin
    i0, i1 = math.floor((min(us) - gu) / tw + 1e-9), math.ceil((max(us) - gu) / tw - 1e-9)
    j0, j1 = math.floor((min(vs) - gv) / th + 1e-9), math.ceil((max(vs) - gv) / th - 1e-9)
    for i in range(i0, i1):
        for j in range(j0, j1):
            x0, y0 = gu + i * tw, gv + j * th
            piece = clip_box(poly, x0, y0, x0 + tw, y0 + th)
            if len(piece) < 3 or area(piece) < 1e-4:
                continue
            u0, v0, u1, v1 = cell_uv(cells(i, j))

            def corner(p):
                return (normal * depth + du * p[0] + dv * p[1],
                        (u0 + (u1 - u0) * (p[0] - x0) / tw, v0 + (v1 - v0) * (p[1] - y0) / th))

            c = [corner(p) for p in piece]
            for k in range(1, len(c) - 1):
                m.flat_triangle(MATERIAL, [c[0][0], c[k][0], c[k + 1][0]], [c[0][1], c[k][1], c[k + 1][1]])


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def flat(m, poly, z, strip, low=None, high=None):
    """A flat convex outline facing +z, shaded by height along a palette
    strip (its top colour at `high`, its bottom at `low`)."""
    ys = [p[1] for p in poly]
    low = min(ys) if low is None else low
    high = max(ys) if high is None else high
    uv = [strip_uv(strip, min(max((high - p[1]) / max(high - low, 1e-6), 0.0), 1.0)) for p in poly]
    for k in range(1, len(poly) - 1):
        m.flat_triangle(MATERIAL, [(*poly[0], z), (*poly[k], z), (*poly[k + 1], z)], [uv[0], uv[k], uv[k + 1]])


def beam(m, a, b, width, z, strip, t=(0.2, 0.8)):
    """A straight bar from a to b (x, y), `width` across, facing +z; the strip
    shades it across its width from t[0] (the left side going a to b) to t[1]."""
    a, b = np.asarray(a, float), np.asarray(b, float)
    d = b - a
    n = np.array([-d[1], d[0]]) / max(np.linalg.norm(d), 1e-9) * width / 2
    pts = [a - n, b - n, b + n, a + n]
    uv = [strip_uv(strip, t[1]), strip_uv(strip, t[1]), strip_uv(strip, t[0]), strip_uv(strip, t[0])]
    quad(m, MATERIAL, [(p[0], p[1], z) for p in pts], uv)


def rough_edge(m, rnd, a, b, z, strip, out=0.9, inner=0.45, step=(1.6, 3.2), t=(0.55, 0.95)):
    """A dark, knobbly rim along the straight edge a -> b of a face at depth
    z (the face lies on the left of a -> b): a band `inner` wide inside the
    edge and knobs reaching at most `out` beyond it."""
    a, b = np.asarray(a, float), np.asarray(b, float)
    length = np.linalg.norm(b - a)
    d = (b - a) / length
    n = np.array([d[1], -d[0]])  # outwards: right of a -> b
    at = lambda s, o: a + d * s + n * o
    zs = z + 0.12  # clear of the face's depth from the farthest camera
    uv_in, uv_out = strip_uv(strip, t[0]), strip_uv(strip, t[1])
    quad(m, MATERIAL, [(*at(0, -inner), zs), (*at(length, -inner), zs), (*at(length, 0), zs), (*at(0, 0), zs)],
         [uv_in, uv_in, uv_out, uv_out])
    s = rnd.uniform(0, step[0])
    while s < length - 0.8:
        w = min(rnd.uniform(*step), length - s)
        h = rnd.uniform(0.35, 1.0) * out
        mid = s + w * rnd.uniform(0.35, 0.65)
        m.flat_triangle(MATERIAL, [(*at(s, 0), zs), (*at(s + w, 0), zs), (*at(mid, h), zs)], [uv_out, uv_out, uv_out])
        s += w + rnd.uniform(0.3, 1.6)


def side_walls(m, outline, z0, z1, tile, cells, closed=True):
    """The sides of a prism whose front outline (counter-clockwise, seen from
    +z; or an open line, closed=False) runs from depth z1 back to z0, each
    face looking outwards (to the right of the line) and tiled:
    cells(i, j, normal) gives a tile's atlas cell. A face along an upright
    edge keeps its texture upright (v along the edge, u in depth); one along
    a level edge lays v in depth."""
    n = len(outline)
    for k in range(n if closed else n - 1):
        a, b = np.asarray(outline[k], float), np.asarray(outline[(k + 1) % n], float)
        length = np.linalg.norm(b - a)
        if length < 1e-6:
            continue
        d = (b - a) / length
        normal = np.array([d[1], -d[0], 0.0])
        upright = abs(d[1]) > abs(d[0])
        nu = max(1, round(length / (tile[1] if upright else tile[0])))
        nv = max(1, round((z1 - z0) / (tile[0] if upright else tile[1])))

        def p(s, t):
            q = a + (b - a) * s
            return (q[0], q[1], z1 + (z0 - z1) * t)

        for i in range(nu):
            for j in range(nv):
                s0, s1, t0, t1 = i / nu, (i + 1) / nu, j / nv, (j + 1) / nv
                u0, v0, u1, v1 = cell_uv(cells(i, j, normal))
                corners = [(s0, t1), (s1, t1), (s1, t0), (s0, t0)]
                local = [(0, 1), (1, 1), (1, 0), (0, 0)]
                if upright:
                    along = (lambda ls: ls) if d[1] > 0 else (lambda ls: 1 - ls)
                    uv = [(u0 + (u1 - u0) * (1 - lt), v0 + (v1 - v0) * along(ls)) for ls, lt in local]
                else:
                    uv = [(u0 + (u1 - u0) * ls, v0 + (v1 - v0) * (1 - lt)) for ls, lt in local]
                quad(m, MATERIAL, [p(*c) for c in corners], uv)


def strip_box(m, x0, y0, x1, y1, z1, z0, strip, front=True):
    """A box coloured from a palette strip: its front (unless front=False),
    its two ends, top and underside, shaded as if lit from above left."""
    faces = {
        "front": ([(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)], (0.85, 0.85, 0.2, 0.2)),
        "right": ([(x1, y0, z1), (x1, y0, z0), (x1, y1, z0), (x1, y1, z1)], (0.95, 0.95, 0.6, 0.6)),
        "left": ([(x0, y0, z0), (x0, y0, z1), (x0, y1, z1), (x0, y1, z0)], (0.7, 0.7, 0.3, 0.3)),
        "top": ([(x0, y1, z1), (x1, y1, z1), (x1, y1, z0), (x0, y1, z0)], (0.0, 0.0, 0.1, 0.1)),
        "under": ([(x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1)], (1.0, 1.0, 1.0, 1.0)),
    }
    for name, (pts, ts) in faces.items():
        if name == "front" and not front:
            continue
        quad(m, MATERIAL, pts, [strip_uv(strip, t) for t in ts])


def paint_strips(ctx, colours):
    """Palette strips, each a list of (t, (r, g, b)) stops or a (top, bottom) pair."""
    import cairo
    for k, stops in enumerate(colours):
        x, y, w, h = stage_paint.strip(k)
        if len(stops) == 2 and len(stops[0]) == 3:
            stops = [(0.0, stops[0]), (1.0, stops[1])]
        g = cairo.LinearGradient(0, y + 3, 0, y + h - 3)
        for t, c in stops:
            g.add_color_stop_rgb(t, *c)
        ctx.set_source(g)
        ctx.rectangle(x, y, w, h)
        ctx.fill()


def banded_strip(bands):
    """Stops of a strip with hard bands: [(share, colour), ...] top to bottom."""
    total = sum(s for s, _ in bands)
    stops, t = [], 0.0
    for share, colour in bands:
        stops.append((t / total, colour))
        t += share
        stops.append((t / total - 1e-4, colour))
    return stops
