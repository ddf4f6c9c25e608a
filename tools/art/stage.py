"""The match stage (models/basicStage) and the credits backdrop
(models/background), both drawn unlit with one texture atlas, so every bit of
shading is painted into stage_paint.py's atlas.

The stage is built in world units and converted to the model's frame: the
game draws it scaled 1.5 at (4.5, -52.5, -66). What the player sees matches
what the planes collide with: the visible ground at y -52.5 (shadows lie at
-52.49), the arena walls around x -91.5 .. 91.5, y -51 .. 81, and the ledge
on the left wall at x -91.5 .. -87, y -15 .. 66. The game camera looks along
-Z from 25 to about 160 units in front of the play plane with a 70 degree
view; ground, hills, clouds and a painted sky panel fill that view at every
such distance, everything within about 1000 units of it.
"""
import math
import random

import numpy as np

import stage_paint as paint
from meshkit import Mesh, quad, scale, translate

STAGE_OFFSET = np.array([4.5, -52.5, -66.0])
STAGE_SCALE = 1.5
GROUND = -52.5
MATERIAL = "stage"


def cell_uv(cell, inset=6.0):
    """OBJ texture rectangle of an atlas cell given in pixels (x, y, w, h)."""
    x, y, w, h = cell
    W, H = paint.ATLAS_SIZE
    return ((x + inset) / W, 1 - (y + h - inset) / H, (x + w - inset) / W, 1 - (y + inset) / H)


def strip_uv(index, t):
    """A point on palette strip `index`, t from 0 (top colour) to 1 (bottom)."""
    x, y, w, h = paint.strip(index)
    W, H = paint.ATLAS_SIZE
    return ((x + w / 2) / W, 1 - (y + 3 + t * (h - 6)) / H)


def tiled_face(m, origin, du, dv, nu, nv, cell, cells=None):
    """A planar face split into nu x nv tiles, each showing a whole atlas cell
    (textures clamp at their edges, so repeats need their own quads).
    origin + du spans the face's width, + dv its height; it faces du x dv."""
    origin, du, dv = (np.asarray(a, float) for a in (origin, du, dv))
    for i in range(nu):
        for j in range(nv):
            c = cells(i, j) if cells else cell
            u0, v0, u1, v1 = cell_uv(c)
            p = origin + du * (i / nu) + dv * (j / nv)
            a, b = du / nu, dv / nv
            quad(m, MATERIAL, [p, p + a, p + a + b, p + b], [(u0, v0), (u1, v0), (u1, v1), (u0, v1)])


def block(m, lo, hi, front, side, top, tile=22.0):
    """A box seen from the front: tiled front and sides, a top and an
    underside; its back is never seen from the game camera and is left out."""
    x0, y0, z0 = lo
    x1, y1, z1 = hi
    nx = max(1, round((x1 - x0) / tile))
    ny = max(1, round((y1 - y0) / tile))
    nz = max(1, round((z1 - z0) / tile))
    tiled_face(m, (x0, y0, z1), (x1 - x0, 0, 0), (0, y1 - y0, 0), nx, ny, front)
    tiled_face(m, (x1, y0, z1), (0, 0, z0 - z1), (0, y1 - y0, 0), nz, ny, side)   # +x face
    tiled_face(m, (x0, y0, z0), (0, 0, z1 - z0), (0, y1 - y0, 0), nz, ny, side)   # -x face
    tiled_face(m, (x0, y1, z1), (x1 - x0, 0, 0), (0, 0, z0 - z1), nx, nz, top)    # top
    tiled_face(m, (x0, y0, z0), (x1 - x0, 0, 0), (0, 0, z1 - z0), nx, nz, side)   # underside


def silhouette(m, xs, tops, base, z, strip):
    """A flat layer facing +z between y = base and a top curve, shaded by
    height with a palette strip."""
    top_max, low = max(tops), base
    for i in range(len(xs) - 1):
        pts = [(xs[i], base, z), (xs[i + 1], base, z), (xs[i + 1], tops[i + 1], z), (xs[i], tops[i], z)]
        uv = [strip_uv(strip, 1 - (p[1] - low) / (top_max - low + 1e-6) * 0.999) for p in pts]
        quad(m, MATERIAL, pts, uv)


def disc(m, centre, radius, strip, z, squash=1.0, segments=18, t_range=(0.0, 1.0), flat_bottom=None):
    """A filled circle facing +z, shaded top to bottom along a palette strip."""
    cx, cy = centre
    top, bottom = cy + radius * squash, cy - radius * squash
    if flat_bottom is not None:
        bottom = flat_bottom

    def uv(p):
        t = (top - p[1]) / max(top - bottom, 1e-6)
        return strip_uv(strip, t_range[0] + (t_range[1] - t_range[0]) * min(max(t, 0), 1))

    ring = []
    for k in range(segments):
        a = 2 * math.pi * k / segments
        y = cy + math.sin(a) * radius * squash
        if flat_bottom is not None:
            y = max(y, flat_bottom)
        ring.append((cx + math.cos(a) * radius, y, z))
    c = (cx, cy if flat_bottom is None else max(cy, flat_bottom), z)
    for k in range(segments):
        a, b = ring[k], ring[(k + 1) % segments]
        m.flat_triangle(MATERIAL, [c, a, b], [uv(c), uv(a), uv(b)])


def cloud(m, rnd, x, y, z, size):
    """A cartoon cloud: overlapping puffs over a flat base, each puff a hair
    nearer than the last so that they never fight for depth."""
    puffs = [(-0.55, 0.0, 0.45), (0.0, 0.25, 0.62), (0.5, 0.05, 0.48), (0.95, -0.05, 0.32), (-0.95, -0.08, 0.3)]
    for k, (px, py, r) in enumerate(puffs):
        r *= size * (0.9 + 0.2 * rnd.random())
        disc(m, (x + px * size, y + py * size), r, paint.CLOUD, z + k * 0.02 * size, segments=16,
             flat_bottom=y - 0.25 * size, t_range=(0.0, 1.0))


def tree(m, rnd, x, z, height):
    trunk_w = height * 0.08
    pts = [(x - trunk_w, GROUND - 0.5, z), (x + trunk_w, GROUND - 0.5, z), (x + trunk_w, GROUND + height * 0.5, z),
           (x - trunk_w, GROUND + height * 0.5, z)]
    quad(m, MATERIAL, pts, [strip_uv(paint.TRUNK, t) for t in (1, 1, 0, 0)])
    r = height * 0.32
    # Layers 0.15 apart: the depth buffer tells them apart from the farthest
    # camera, whatever order they are drawn in.
    disc(m, (x, GROUND + height - r), r, paint.FOLIAGE, z + 0.15, segments=14)
    disc(m, (x - r * 0.5, GROUND + height - r * 1.5), r * 0.7, paint.FOLIAGE, z + 0.3, segments=12,
         t_range=(0.2, 1.0))
    disc(m, (x + r * 0.55, GROUND + height - r * 1.4), r * 0.65, paint.FOLIAGE, z + 0.45, segments=12,
         t_range=(0.2, 1.0))


def hills(m, rnd, x0, x1, base_height, amplitude, z, strip, step=20.0, waves=(0.012, 0.031)):
    xs = list(np.arange(x0, x1 + step, step))
    phase = rnd.random() * 10
    tops = [GROUND + base_height + amplitude * (0.6 * math.sin(x * waves[0] + phase) +
                                                0.4 * math.sin(x * waves[1] + phase * 2)) for x in xs]
    silhouette(m, xs, tops, GROUND - 1, z, strip)


def sky_panel(m, x0, x1, y0, y1, z, u_range=(0.0, 1.0)):
    """The painted sky; u_range picks a part of its width, so that a panel of
    another shape keeps the sun round."""
    u0, v0, u1, v1 = cell_uv(paint.SKY, inset=1.0)
    u0, u1 = u0 + (u1 - u0) * u_range[0], u0 + (u1 - u0) * u_range[1]
    quad(m, MATERIAL, [(x0, y0, z), (x1, y0, z), (x1, y1, z), (x0, y1, z)], [(u0, v0), (u1, v0), (u1, v1), (u0, v1)])


def ground(m, x0, x1, z0, z1, tile=25.0, near_depth=-60.0):
    """Mown grass tiles in front of near_depth (each tile a whole atlas
    cell: textures clamp at their edges), then one smooth stretch of the
    grass palette strip fading into the haze up to the sky panel."""
    nx, nz = round((x1 - x0) / tile), round((z1 - near_depth) / tile)
    # The face looks up (+y): rows run from the front (z1) back to near_depth.
    tiled_face(m, (x0, GROUND, z1), (x1 - x0, 0, 0), (0, 0, near_depth - z1), nx, nz, None,
               cells=lambda i, j: paint.GRASS_A if (i + j) % 2 == 0 else paint.GRASS_B)
    steps = 8
    for k in range(steps):
        za = near_depth + (z0 - near_depth) * k / steps
        zb = near_depth + (z0 - near_depth) * (k + 1) / steps
        ta, tb = k / steps, (k + 1) / steps
        quad(m, MATERIAL, [(x0, GROUND, za), (x1, GROUND, za), (x1, GROUND, zb), (x0, GROUND, zb)],
             [strip_uv(paint.GRASS_STRIP, ta), strip_uv(paint.GRASS_STRIP, ta), strip_uv(paint.GRASS_STRIP, tb),
              strip_uv(paint.GRASS_STRIP, tb)])


def arena(m):
    """Towers, ceiling girder and the ledge, where the colliders are."""
    for side in (-1, 1):
        inner = 91.5 * side
        outer = 136.0 * side
        lo, hi = (min(inner, outer), GROUND, -14.0), (max(inner, outer), 116.0, 6.0)
        block(m, lo, hi, paint.TOWER_FRONT, paint.TOWER_SIDE, paint.TOWER_TOP, tile=22.25)
        # A pointed roof with a pennant on each tower.
        cx = (inner + outer) / 2
        roof = [(cx - 27, 116.0, 8.0), (cx + 27, 116.0, 8.0), (cx, 150.0, 8.0)]
        m.flat_triangle(MATERIAL, roof, [strip_uv(paint.ROOF, 1), strip_uv(paint.ROOF, 1), strip_uv(paint.ROOF, 0)])
        pole = [(cx - 0.6, 150.0, 8.1), (cx + 0.6, 150.0, 8.1), (cx + 0.6, 172.0, 8.1), (cx - 0.6, 172.0, 8.1)]
        quad(m, MATERIAL, pole, [strip_uv(paint.STEEL, t) for t in (1, 1, 0, 0)])
        # Pennants fly outwards, away from the arena; corners counter-clockwise.
        flag = [(cx + 0.6, 171.5, 8.1), (cx + 0.6, 161.0, 8.1), (cx + 0.6 + 16 * side, 166.0, 8.1)]
        if side < 0:
            flag = [flag[0], flag[2], flag[1]]
        m.flat_triangle(MATERIAL, flag, [strip_uv(paint.FLAG, 0.2), strip_uv(paint.FLAG, 0.8), strip_uv(paint.FLAG, 0.5)])
    # The ceiling: a girder between the tower tops; its underside is the roof of the arena.
    block(m, (-91.5, 81.0, -10.0), (91.5, 102.0, 4.0), paint.GIRDER, paint.GIRDER_SIDE, paint.GIRDER_SIDE, tile=21.0)
    # A banner in the middle of the girder.
    u0, v0, u1, v1 = cell_uv(paint.BANNER, inset=1.0)
    quad(m, MATERIAL, [(-42, 82.5, 4.1), (42, 82.5, 4.1), (42, 100.5, 4.1), (-42, 100.5, 4.1)],
         [(u0, v0), (u1, v0), (u1, v1), (u0, v1)])
    # The ledge: a striped pillar on the inside of the left tower.
    block(m, (-91.5, -15.0, -10.0), (-87.0, 66.0, 4.0), paint.LEDGE, paint.LEDGE_SIDE, paint.LEDGE_SIDE, tile=9.0)
    # A low fence behind the play area gives the ground some depth.
    for k in range(47):
        x = -90 + k * 3.9
        quad(m, MATERIAL, [(x, GROUND - 0.2, -24), (x + 0.9, GROUND - 0.2, -24), (x + 0.9, GROUND + 4.5, -24),
                            (x, GROUND + 4.5, -24)], [strip_uv(paint.FENCE, t) for t in (1, 1, 0, 0)])
    for y in (GROUND + 1.2, GROUND + 3.4):
        quad(m, MATERIAL, [(-91, y, -23.9), (91, y, -23.9), (91, y + 0.7, -23.9), (-91, y + 0.7, -23.9)],
             [strip_uv(paint.FENCE, t) for t in (0.6, 0.6, 0.3, 0.3)])


def scenery(m, rnd, width=680.0, sky_z=-300.0, sky_top=430.0, sky_u=(0.0, 1.0)):
    sky_panel(m, -width, width, GROUND - 8, sky_top, sky_z, sky_u)
    # Clouds, far to near.
    for k in range(16):
        x = -width * 0.95 + k * (2 * width * 0.95 / 15) + rnd.uniform(-30, 30)
        cloud(m, rnd, x, rnd.uniform(0.23, 0.77) * sky_top, sky_z + 40 + rnd.uniform(0, 20),
              rnd.uniform(40, 75) * width / 820)
    for k in range(9):
        x = -width * 0.7 + k * (1.4 * width / 8) + rnd.uniform(-25, 25)
        cloud(m, rnd, x, rnd.uniform(0.21, 0.44) * sky_top, sky_z * 0.525 + rnd.uniform(0, 15),
              rnd.uniform(22, 34) * width / 820)
    hills(m, rnd, -width, width, 95, 45, sky_z + 70, paint.HILLS_FAR, step=24, waves=(0.008, 0.021))
    hills(m, rnd, -width * 0.9, width * 0.9, 45, 30, sky_z * 0.575, paint.HILLS_MID, step=18)
    hills(m, rnd, -width * 0.7, width * 0.7, 16, 12, sky_z * 0.375, paint.HILLS_NEAR, step=14, waves=(0.02, 0.05))
    for k in range(26):
        x = -width * 0.6 + k * (1.2 * width / 25) + rnd.uniform(-8, 8)
        if abs(x) < 150 and rnd.random() < 0.5:
            continue
        tree(m, rnd, x, sky_z * 0.3 + rnd.uniform(-10, 10), rnd.uniform(18, 30))
    for k in range(14):
        x = -200 + k * 31 + rnd.uniform(-5, 5)
        if abs(x) < 140:
            tree(m, rnd, x, sky_z * 0.175 + rnd.uniform(-6, 6), rnd.uniform(12, 18))


def stage_mesh():
    rnd = random.Random(20261206)
    world = Mesh()
    scenery(world, rnd)
    ground(world, -680, 680, -300, 175)
    arena(world)
    return in_model_frame(world)


def in_model_frame(world):
    """A stage built in world units, in its model's own frame (the game draws
    every stage scaled STAGE_SCALE at STAGE_OFFSET), nearest faces first."""
    to_model = scale(1 / STAGE_SCALE, 1 / STAGE_SCALE, 1 / STAGE_SCALE) @ translate(*(-STAGE_OFFSET))
    return world.transformed(to_model).nearest_first()


def background_mesh():
    """The credits backdrop: sky, clouds, hills and trees around the origin,
    about 240 x 140 units facing +z, for a camera some 130 units in front."""
    rnd = random.Random(7)
    m = Mesh()
    scenery(m, rnd, width=260.0, sky_z=-160.0, sky_top=260.0, sky_u=(0.5, 1.0))
    ground(m, -260, 260, -160, 40, tile=20.0, near_depth=-40.0)
    return m.transformed(translate(0, -GROUND - 40, 0)).nearest_first()
