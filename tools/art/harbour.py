"""The harbour stage (models/harbourStage): a seaside harbour on a bright
morning, drawn unlit with harbour_paint.py's atlas and placed by the game as
the meadow is (scaled 1.5 at (4.5, -52.5, -66)).

Every solid rectangle of arenas.HARBOUR is drawn where it is: the brick
warehouse on the left, the stone sea wall on the right, the gantry crane's
beam overhead (its legs stand on the quay beyond the walls), the dock
crane's tower and jib, the container hanging from the jib (its cable only
drawn), the fishing boat and the lighthouse with its lamp room. The
floor is the water of the harbour (at y -52) and the quay the crane stands
on; the camera looks over a quay's edge in front, past the boat, to the open
sea, a far coast and the clouds.
"""
import math
import random

import arenas
import harbour_paint as paint
from arena_kit import DOWN, FRONT, RIGHT, UP, beam, flat, rect, side_walls, strip_box, tiled
from meshkit import Mesh, quad
from stage import MATERIAL, cell_uv, disc, in_model_frame, silhouette, sky_panel, strip_uv

SOLIDS = dict(arenas.HARBOUR["solids"])
LEFT_IN, FLOOR, RIGHT_IN, CEILING = arenas.HARBOUR["open"]   # -125, -51, 125, 64
QUAY_TOP = FLOOR                # the quays in the play: paving level with the floor's top
NEAR_QUAY = FLOOR - 0.5         # the near quay, in front of the play: a little lower
WATER = -52.0                   # the water's surface
SEA_BED = -56.0
FRONT_Z, BACK_Z = 5.0, -14.0
QUAY_EDGE_Z = 6.5               # the near quay's edge, in front of the play
PIER_END = -48.0                # the left quay's edge along the water
SKY_Z = -260.0
WIDTH = 700.0                   # how far the scenery reaches either side


def cells_of(cell):
    return lambda *args: cell


def block(m, x0, y0, x1, y1, z1, z0, front, side, top=None, under=None, tile=(12.0, 12.0), grid=None):
    """A box over the rectangle: its front tiled with `front` cells, its
    sides, top and underside (where a camera in front sees them)."""
    front_cells = front if callable(front) else cells_of(front)
    tiled(m, rect(x0, y0, x1, y1), FRONT, z1, tile, front_cells, grid if grid else (x0, y0))

    def sides(i, j, normal):
        if normal[1] > 0.5:
            return top or side
        if normal[1] < -0.5:
            return under or side
        return side

    side_walls(m, rect(x0, y0, x1, y1), z0, z1, tile, sides)


def sea_and_quays(m, rnd):
    # The water: tiles near the play, then the open sea's colour to the sky.
    near_back = -90.0
    tiled(m, [(-330, -QUAY_EDGE_Z), (330, -QUAY_EDGE_Z), (330, -near_back), (-330, -near_back)], UP, WATER,
          (30.0, 30.0), lambda i, j: paint.WATER_A if (i + 2 * j) % 3 else paint.WATER_B, (0.0, -QUAY_EDGE_Z))
    for lo, hi in ((-WIDTH, -330.0), (330.0, WIDTH)):
        quad(m, MATERIAL, [(lo, WATER, QUAY_EDGE_Z), (hi, WATER, QUAY_EDGE_Z), (hi, WATER, near_back),
                           (lo, WATER, near_back)], [strip_uv(paint.SEA_FAR, 0.0)] * 4)
    steps = 6
    for k in range(steps):
        za = near_back + (SKY_Z - near_back) * k / steps
        zb = near_back + (SKY_Z - near_back) * (k + 1) / steps
        ta, tb = k / steps, (k + 1) / steps
        quad(m, MATERIAL, [(-WIDTH, WATER, za), (WIDTH, WATER, za), (WIDTH, WATER, zb), (-WIDTH, WATER, zb)],
             [strip_uv(paint.SEA_FAR, ta)] * 2 + [strip_uv(paint.SEA_FAR, tb)] * 2)
    # The near quay the camera stands on: paving, then plain stone out of reach.
    far = 265.0
    tiled(m, [(-440, -far), (440, -far), (440, -QUAY_EDGE_Z), (-440, -QUAY_EDGE_Z)], UP, NEAR_QUAY, (40.0, 40.0),
          cells_of(paint.QUAY), (0.0, -QUAY_EDGE_Z))
    for lo, hi in ((-WIDTH, -440.0), (440.0, WIDTH)):
        quad(m, MATERIAL, [(lo, NEAR_QUAY, far), (hi, NEAR_QUAY, far), (hi, NEAR_QUAY, QUAY_EDGE_Z),
                           (lo, NEAR_QUAY, QUAY_EDGE_Z)], [strip_uv(paint.QUAY_FAR, 0.0)] * 4)
    # The left quay, under the warehouse and the crane, and the pier on the right.
    for x0, x1 in ((-WIDTH, PIER_END), (RIGHT_IN, 262.0)):
        tiled(m, [(x0, -QUAY_EDGE_Z), (x1, -QUAY_EDGE_Z), (x1, 44.0), (x0, 44.0)], UP, QUAY_TOP, (40.0, 40.0),
              cells_of(paint.QUAY), (0.0, -QUAY_EDGE_Z))
        edge_x = x1
        # The kerb where it meets the near quay.
        quad(m, MATERIAL, [(x0, NEAR_QUAY, QUAY_EDGE_Z), (x1, NEAR_QUAY, QUAY_EDGE_Z), (x1, QUAY_TOP, QUAY_EDGE_Z),
                           (x0, QUAY_TOP, QUAY_EDGE_Z)], [strip_uv(paint.ROCK, 0.3)] * 4)
        tiled(m, [(-QUAY_EDGE_Z, SEA_BED), (44.0, SEA_BED), (44.0, QUAY_TOP), (-QUAY_EDGE_Z, QUAY_TOP)], RIGHT,
              edge_x, (25.0, QUAY_TOP - SEA_BED), cells_of(paint.STONE_WET), (-QUAY_EDGE_Z, SEA_BED))
    # A yellow line along the near edge, and bollards on it, in front of the play.
    quad(m, MATERIAL, [(-WIDTH, NEAR_QUAY + 0.02, QUAY_EDGE_Z + 4.2), (WIDTH, NEAR_QUAY + 0.02, QUAY_EDGE_Z + 4.2),
                       (WIDTH, NEAR_QUAY + 0.02, QUAY_EDGE_Z + 3.2), (-WIDTH, NEAR_QUAY + 0.02, QUAY_EDGE_Z + 3.2)],
         [strip_uv(paint.STEEL_YELLOW, 0.2)] * 4)
    for k in range(-9, 10):
        x = k * 44.0 + rnd.uniform(-6, 6)
        z = QUAY_EDGE_Z + 2.0
        flat(m, rect(x - 0.9, NEAR_QUAY - 0.2, x + 0.9, NEAR_QUAY + 2.0), z, paint.STEEL_DARK)
        flat(m, rect(x - 1.4, NEAR_QUAY + 2.0, x + 1.4, NEAR_QUAY + 2.8), z, paint.STEEL_DARK)


def warehouse(m, rnd):
    x, y, w, h = SOLIDS["left wall"]
    x1 = x + w
    top = CEILING + 22.0 + 16.0    # its walls rise above the gantry's beam

    def front(i, j):
        if j < 2 and i in (1, 2):
            return paint.DOOR
        if i in (0, 3) or j >= 8:
            return paint.BRICK if (i + j) % 3 else paint.WINDOW
        return paint.WINDOW

    # Four bays of windows, eight floors high, the doorway in the middle of
    # the ground floor: one door cell over two bays and two floors.
    col, row = w / 4, (CEILING - y) / 8
    for i in range(4):
        for j in range(12):
            y0 = y + j * row
            if y0 >= top:
                break
            if j < 2 and i in (1, 2):
                continue
            y1 = min(top, y0 + row)
            tiled(m, rect(x + i * col, y0, x + (i + 1) * col, y1), FRONT, FRONT_Z, (col, row), cells_of(front(i, j)),
                  (x + i * col, y0))
    tiled(m, rect(x + col, y, x + 3 * col, y + 2 * row), FRONT, FRONT_Z, (2 * col, 2 * row), cells_of(paint.DOOR),
          (x + col, y))
    side_walls(m, [(x1, y), (x1, top)], BACK_Z, FRONT_Z, (row, row), cells_of(paint.BRICK), closed=False)
    # A slate gable roof, and the rest of the building reaching out of sight.
    flat(m, [(x - 4, top), (x1 + 4, top), ((x + x1) / 2, top + 26)], FRONT_Z + 0.3, paint.SLATE)
    flat(m, rect(x - 4, top - 1.2, x1 + 4, top), FRONT_Z + 0.3, paint.STEEL_DARK)
    tiled(m, rect(-WIDTH * 0.5, y, x, top), FRONT, FRONT_Z - 1.0, (col * 2, row * 2),
          lambda i, j: paint.WINDOW if (i + j) % 2 else paint.BRICK, (x, y))
    flat(m, [(-WIDTH * 0.5, top), (x, top), (x, top + 12), (-WIDTH * 0.5, top + 12)], FRONT_Z - 1.0, paint.SLATE)


def sea_wall(m, rnd):
    x, y, w, h = SOLIDS["right wall"]
    x1 = x + w
    top = CEILING + 22.0 + 12.0
    tile = (w / 2, (CEILING - y) / 6)
    cells = lambda i, j: paint.STONE_WET if j == 0 else paint.STONE
    tiled(m, rect(x, WATER - 0.5, x1 + 40, top), FRONT, FRONT_Z, tile, cells, (x, WATER - 0.5))
    side_walls(m, [(x, top), (x, WATER - 0.5)], BACK_Z, FRONT_Z, tile, cells_of(paint.STONE), closed=False)
    # Battlements along its top, above the beam.
    for k in range(7):
        bx = x - 2 + k * (w + 44) / 7
        tiled(m, rect(bx, top, bx + (w + 44) / 14, top + 6), FRONT, FRONT_Z, tile, cells_of(paint.STONE), (x, top))
    flat(m, rect(x - 1, top - 1.0, x1 + 41, top), FRONT_Z + 0.2, paint.ROCK)
    # An iron ladder and mooring rings on its face.
    lx = x + 10.0
    for px in (lx, lx + 3.0):
        flat(m, rect(px - 0.25, WATER - 0.5, px + 0.25, CEILING - 2), FRONT_Z + 0.15, paint.STEEL_DARK)
    rung = WATER + 1.0
    while rung < CEILING - 3:
        flat(m, rect(lx, rung, lx + 3.0, rung + 0.35), FRONT_Z + 0.2, paint.STEEL_DARK)
        rung += 2.4
    for ry in (-44.0, -30.0):
        disc(m, (x + 32.0, ry), 1.6, paint.STEEL_DARK, FRONT_Z + 0.2, segments=10)
        disc(m, (x + 32.0, ry), 1.0, paint.ROCK, FRONT_Z + 0.3, segments=10)


def gantry(m, rnd):
    x, y, w, h = SOLIDS["ceiling"]
    reach = 200.0
    z1, z0 = FRONT_Z + 0.6, BACK_Z + 4
    tiled(m, rect(-reach, y, reach, y + h), FRONT, z1, (h, h), cells_of(paint.GIRDER), (0.0, y))
    tiled(m, [(-reach, z0), (reach, z0), (reach, z1), (-reach, z1)], DOWN, -y, (h, z1 - z0),
          cells_of(paint.GIRDER_UNDER), (0.0, z0))
    # The legs, standing on the quay beyond the walls.
    for s in (-1, 1):
        lo, hi = sorted((s * 180.0, s * 194.0))
        block(m, lo, QUAY_TOP, hi, y, z1 - 0.4, z0, paint.CRANE, paint.CRANE, tile=(14.0, 14.0))
        # Black and yellow stripes round its foot (the girder cell's foot).
        tiled(m, rect(lo, QUAY_TOP, hi, QUAY_TOP + 5), FRONT, z1 - 0.25, (14.0, 22.0), cells_of(paint.GIRDER),
              (lo, QUAY_TOP))
        flat(m, rect(lo - 2, QUAY_TOP, hi + 2, QUAY_TOP + 1.5), z1, paint.STEEL_DARK)
    # The trolley and its cab on top of the beam, a handrail either side.
    tx = -30.0
    block(m, tx, y + h, tx + 26, y + h + 10, z1 - 1, z0 + 2, paint.CRANE, paint.CRANE, tile=(13.0, 10.0))
    flat(m, rect(tx + 16, y + h + 3, tx + 24, y + h + 9), z1 - 0.9, paint.BLUE)
    flat(m, rect(tx - 2, y + h + 10, tx + 28, y + h + 11.5), z1 - 0.8, paint.STEEL_DARK)
    rail_y = y + h
    flat(m, rect(-reach, rail_y + 5.0, reach, rail_y + 5.6), z1 + 0.1, paint.STEEL_YELLOW)
    px = -reach
    while px <= reach:
        flat(m, rect(px - 0.3, rail_y, px + 0.3, rail_y + 5.6), z1 + 0.1, paint.STEEL_YELLOW)
        px += 10.0


def dock_crane(m, rnd):
    """The dock crane against the warehouse: its tower on the quay by the
    wall, the jib out over the quay, its counter-jib and counterweight across
    the warehouse's face (within the wall's rectangle), the cab at the top
    of the tower, and the container hanging from the jib's trolley."""
    tx, ty, tw, th = SOLIDS["crane tower"]
    jx, jy, jw, jh = SOLIDS["crane jib"]
    z1, z0 = FRONT_Z, FRONT_Z - 8.0
    block(m, tx, QUAY_TOP, tx + tw, ty + th, z1, z0, paint.CRANE, paint.CRANE, tile=(tw, tw * 1.2))
    block(m, jx, jy, jx + jw, jy + jh, z1 + 0.4, z0, paint.CRANE, paint.CRANE, tile=(jh * 1.3, jh))
    # The counter-jib over the warehouse, in front of its bricks, and the
    # concrete counterweight hanging under it.
    cj = jx - 16.0
    tiled(m, rect(cj, jy, jx, jy + jh), FRONT, z1 + 0.6, (jh * 1.3, jh), cells_of(paint.CRANE), (jx, jy))
    quad(m, MATERIAL, [(cj, jy + jh, z1 + 0.6), (jx, jy + jh, z1 + 0.6), (jx, jy + jh, z0), (cj, jy + jh, z0)],
         [strip_uv(paint.STEEL_YELLOW, 0.1)] * 4)
    for k in range(3):
        wx = cj + 1.0 + k * 3.4
        flat(m, rect(wx, jy - 7.0, wx + 3.0, jy + 0.6), z1 + 0.8 + k * 0.05, paint.ROCK)
        flat(m, rect(wx, jy - 7.0, wx + 3.0, jy - 6.2), z1 + 0.9 + k * 0.05, paint.STEEL_DARK)
    # The cab at the top of the tower, under the jib.
    flat(m, rect(tx + 0.4, jy - 6.5, tx + tw - 0.4, jy - 0.3), z1 + 0.3, paint.STEEL_YELLOW)
    flat(m, rect(tx + 1.0, jy - 4.6, tx + tw - 1.0, jy - 1.0), z1 + 0.4, paint.BLUE)
    # The feet of the tower, bolted to the quay.
    flat(m, rect(tx - 0.8, QUAY_TOP, tx + tw + 0.8, QUAY_TOP + 1.6), z1 + 0.2, paint.STEEL_DARK)
    # The container, and its cable and slings from the jib (only drawn).
    cx, cy, cw, ch = SOLIDS["container"]
    tiled(m, rect(cx, cy, cx + cw, cy + ch), FRONT, FRONT_Z - 1.0, (cw, ch), cells_of(paint.CONTAINER), (cx, cy))
    strip_box(m, cx, cy, cx + cw, cy + ch, FRONT_Z - 1.0, FRONT_Z - 9.0, paint.RED, front=False)
    hook_x, hook_y = cx + cw / 2, cy + ch + 3.0
    zc = FRONT_Z - 1.2
    # The trolley on the jib's lower chord, where the cable comes down.
    flat(m, rect(hook_x - 2.4, jy + 0.2, hook_x + 2.4, jy + 2.0), z1 + 0.6, paint.STEEL_DARK)
    beam(m, (hook_x, jy), (hook_x, hook_y), 0.35, zc, paint.STEEL_DARK)
    beam(m, (hook_x, hook_y), (cx + 1.0, cy + ch), 0.25, zc, paint.STEEL_DARK)
    beam(m, (hook_x, hook_y), (cx + cw - 1.0, cy + ch), 0.25, zc, paint.STEEL_DARK)
    flat(m, [(hook_x - 0.6, hook_y - 0.2), (hook_x + 0.6, hook_y - 0.2), (hook_x + 0.4, hook_y + 1.2),
             (hook_x - 0.4, hook_y + 1.2)], zc + 0.1, paint.STEEL_YELLOW)


def boat(m, rnd):
    hx, hy, hw, hh = SOLIDS["boat hull"]
    top = hy + hh
    z1, z0 = FRONT_Z, FRONT_Z - 15.0
    # The hull's side, its bow raked a little past the rectangle's end.
    outline = [(hx, WATER - 0.5), (hx + hw - 0.6, WATER - 0.5), (hx + hw + 0.8, top), (hx - 0.4, top)]
    tiled(m, outline, FRONT, z1, (hw / 2 + 0.4, top - WATER + 0.5), cells_of(paint.HULL), (hx - 0.4, WATER - 0.5))
    side_walls(m, [outline[3], outline[0], outline[1], outline[2]], z0, z1, (top - WATER + 0.5, top - WATER + 0.5),
               cells_of(paint.HULL), closed=False)
    quad(m, MATERIAL, [(hx - 0.4, top, z1), (hx + hw + 0.8, top, z1), (hx + hw + 0.8, top, z0), (hx - 0.4, top, z0)],
         [strip_uv(paint.WOOD, 0.2)] * 2 + [strip_uv(paint.WOOD, 0.8)] * 2)
    # Fenders hanging over the side.
    for fx in (hx + 6.0, hx + 20.0, hx + 34.0):
        flat(m, rect(fx - 0.9, top - 5.0, fx + 0.9, top - 1.2), z1 + 0.2, paint.STEEL_DARK)
    # The wheelhouse: white, windows, a blue roof, a life ring.
    wx, wy, ww, wh = SOLIDS["wheelhouse"]
    wz1, wz0 = FRONT_Z - 2.0, FRONT_Z - 11.0
    flat(m, rect(wx, wy, wx + ww, wy + wh - 1.4), wz1, paint.WHITE)
    for side_x, pts in ((wx + ww, [(wx + ww, wy, wz1), (wx + ww, wy, wz0), (wx + ww, wy + wh, wz0),
                                   (wx + ww, wy + wh, wz1)]),
                        (wx, [(wx, wy, wz0), (wx, wy, wz1), (wx, wy + wh, wz1), (wx, wy + wh, wz0)])):
        quad(m, MATERIAL, pts, [strip_uv(paint.WHITE, 0.9), strip_uv(paint.WHITE, 0.9), strip_uv(paint.WHITE, 0.6),
                                strip_uv(paint.WHITE, 0.6)])
    flat(m, rect(wx - 0.6, wy + wh - 1.4, wx + ww + 0.6, wy + wh), wz1 + 0.2, paint.BLUE)
    roof = wy + wh
    quad(m, MATERIAL, [(wx - 0.6, roof, wz1 + 0.2), (wx + ww + 0.6, roof, wz1 + 0.2), (wx + ww + 0.6, roof, wz0),
                       (wx - 0.6, roof, wz0)], [strip_uv(paint.BLUE, 0.3)] * 4)
    for k in range(3):
        flat(m, rect(wx + 1.2 + k * 3.6, wy + 4.2, wx + 3.8 + k * 3.6, wy + 7.6), wz1 + 0.15, paint.BLUE)
    disc(m, (wx + 2.6, wy + 2.0), 1.4, paint.RED, wz1 + 0.15, segments=10)
    disc(m, (wx + 2.6, wy + 2.0), 0.7, paint.WHITE, wz1 + 0.25, segments=8)


def lighthouse(m, rnd):
    x, y, w, h = SOLIDS["lighthouse"]
    cx, r = x + w / 2, w / 2
    zc = FRONT_Z - r          # its front at z 5
    segments = 12
    bands = 3

    def ring(radius, y0, y1, cell=None, rows=1, z_mid=zc, strip=None):
        u0, v0, u1, v1 = cell_uv(cell) if cell else (0, 0, 0, 0)
        for k in range(segments):
            a0 = math.pi * k / segments
            a1 = math.pi * (k + 1) / segments
            p = lambda a, yy: (cx - radius * math.cos(a), yy, z_mid + radius * math.sin(a))
            for j in range(rows):
                ya, yb = y0 + (y1 - y0) * j / rows, y0 + (y1 - y0) * (j + 1) / rows
                ua, ub = u0 + (u1 - u0) * k / segments, u0 + (u1 - u0) * (k + 1) / segments
                uv = [(ua, v0), (ub, v0), (ub, v1), (ua, v1)]
                if strip is not None:
                    uv = [strip_uv(strip, 0.8), strip_uv(strip, 0.8), strip_uv(strip, 0.2), strip_uv(strip, 0.2)]
                quad(m, MATERIAL, [p(a0, ya), p(a1, ya), p(a1, yb), p(a0, yb)], uv)

    ring(r, WATER - 0.5, y + h, paint.LIGHTHOUSE, rows=bands)
    # The gallery round the lamp room, the glowing lantern, its red cap.
    lx, ly, lw, lh = SOLIDS["lamp room"]
    lr = lw / 2
    ring(lr, ly, ly + lh - 3.0, z_mid=zc, strip=paint.STEEL_DARK)
    glow = [(lx + 0.8, ly + 0.6), (lx + lw - 0.8, ly + 0.6), (lx + lw - 0.8, ly + lh - 3.6), (lx + 0.8, ly + lh - 3.6)]
    flat(m, glow, zc + lr + 0.15, paint.LAMP)
    for k in range(1, 4):
        mx = lx + lw * k / 4
        flat(m, rect(mx - 0.25, ly + 0.6, mx + 0.25, ly + lh - 3.6), zc + lr + 0.25, paint.STEEL_DARK)
    disc(m, (lx + lw / 2, ly + lh * 0.42), 1.5, paint.WHITE, zc + lr + 0.3, segments=10)
    flat(m, rect(lx - 0.6, ly + lh - 3.0, lx + lw + 0.6, ly + lh - 1.6), zc + lr + 0.4, paint.RED)
    flat(m, [(lx + 0.4, ly + lh - 1.6), (lx + lw - 0.4, ly + lh - 1.6), (lx + lw - 2.2, ly + lh),
             (lx + 2.2, ly + lh)], zc + lr + 0.4, paint.RED)
    flat(m, rect(x - 0.5, y + h - 1.2, x + w + 0.5, y + h), zc + r + 0.2, paint.STEEL_DARK)
    # Rocks round its foot, below the floor's top or out of the play's depth.
    for k in range(6):
        rx = x - 4 + k * (w + 8) / 5
        disc(m, (rx, WATER), rnd.uniform(1.6, 2.6), paint.ROCK, zc + r + 1.0 + k * 0.2, squash=0.45, segments=8,
             flat_bottom=WATER - 0.3)
    for k in range(9):
        rx = cx + rnd.uniform(-16, 16)
        rz = -18.0 - k * 9.0
        disc(m, (rx, WATER), rnd.uniform(3, 6), paint.ROCK, rz, squash=0.6, segments=9, flat_bottom=WATER - 0.3)


def town(m, rnd):
    """Behind the warehouse: a hillside of houses; behind the sea wall: a
    breakwater running out, a buoy and far boats."""
    xs = [-WIDTH + k * 20.0 for k in range(int((WIDTH - 120) / 20) + 1)]
    tops = [WATER + 30 + 40 * math.exp(-((x + 420) / 260) ** 2) + 6 * math.sin(x * 0.03) for x in xs]
    silhouette(m, xs, tops, WATER - 1, -200.0, paint.COAST_NEAR)
    for k in range(16):
        hx = -760 + k * 40 + rnd.uniform(-8, 8)
        base = WATER + 30 + 40 * math.exp(-((hx + 420) / 260) ** 2) - 6 - rnd.uniform(0, 10)
        hw, hh = rnd.uniform(10, 16), rnd.uniform(8, 13)
        z = -196.0 + k % 3 * 1.0
        flat(m, rect(hx, base - 12, hx + hw, base + hh), z, paint.HOUSE)
        flat(m, [(hx - 1.5, base + hh), (hx + hw + 1.5, base + hh), (hx + hw / 2, base + hh + hw * 0.45)], z,
             paint.ROOF_RED)
        flat(m, rect(hx + hw * 0.3, base + hh * 0.35, hx + hw * 0.5, base + hh * 0.7), z + 0.2, paint.BLUE)
    xs = [120.0 + k * 30.0 for k in range(int((WIDTH - 120) / 30) + 1)]
    tops = [WATER + 10 + 14 * math.exp(-((x - 560) / 200) ** 2) + 4 * math.sin(x * 0.05) for x in xs]
    silhouette(m, xs, tops, WATER - 1, -235.0, paint.COAST_FAR)
    # Far boats on the sea.
    for bx, bz, size in ((-60.0, -205.0, 9.0), (90.0, -160.0, 7.0), (300.0, -225.0, 11.0)):
        flat(m, [(bx - size, WATER), (bx + size, WATER), (bx + size * 1.2, WATER + size * 0.3),
                 (bx - size * 1.1, WATER + size * 0.3)], bz, paint.WHITE)
        flat(m, [(bx - size * 0.1, WATER + size * 0.3), (bx + size * 0.9, WATER + size * 0.3),
                 (bx - size * 0.1, WATER + size * 1.6)], bz + 0.2, paint.WHITE)
    # The breakwater behind the lighthouse, out to the right.
    xs = [40.0 + k * 8.0 for k in range(60)]
    tops = [WATER + 2.5 + 1.2 * math.sin(x * 0.7) + 0.8 * math.sin(x * 1.9) for x in xs]
    silhouette(m, xs, tops, WATER - 0.5, -110.0, paint.ROCK)


def clouds(m, rnd):
    """A few clouds nearer than the painted sky's, for depth."""
    for k in range(5):
        x = -500 + k * 250 + rnd.uniform(-40, 40)
        y = rnd.uniform(150, 300)
        size = rnd.uniform(26, 40)
        z = -236.0 + rnd.uniform(-6, 6)
        for j, (px, py, r) in enumerate(((-0.55, 0.0, 0.45), (0.0, 0.25, 0.62), (0.5, 0.05, 0.48), (0.95, -0.05, 0.32),
                                         (-0.95, -0.08, 0.3))):
            disc(m, (x + px * size, y + py * size), r * size, paint.CLOUD, z + j * 0.5, segments=12,
                 flat_bottom=y - 0.25 * size)


def gulls(m, rnd):
    for k in range(5):
        gx, gy, gz = rnd.uniform(-200, 200), rnd.uniform(96, 150), rnd.uniform(-90, -40)
        span = rnd.uniform(2.5, 3.5)
        for s in (-1, 1):
            tip = (gx + s * span, gy + span * 0.35)
            pts = [(gx, gy), tip, (gx + s * span * 0.5, gy + span * 0.45)]
            if s < 0:
                pts = pts[::-1]
            flat(m, pts, gz, paint.STEEL_DARK)


def quay_things(m, rnd):
    """Crates, barrels and a lamp on the near quay, in front of the walls
    only (in front of the open space nothing stands higher than a bollard)."""
    for side, xs in ((-1, (-150.0, -141.0, -164.0)), (1, (142.0, 156.0))):
        for k, x in enumerate(xs):
            z = QUAY_EDGE_Z + 8.0 + k * 5.0 + rnd.uniform(0, 3)
            size = rnd.uniform(5.0, 7.0)
            strip_box(m, x - size / 2, NEAR_QUAY, x + size / 2, NEAR_QUAY + size, z, z - size, paint.WOOD)
            for f in (0.3, 0.7):
                flat(m, rect(x - size / 2, NEAR_QUAY + size * f - 0.3, x + size / 2, NEAR_QUAY + size * f + 0.3),
                     z + 0.1, paint.STEEL_DARK)
        bx = -133.0 if side < 0 else 134.0
        for k in range(2):
            x = bx + k * 3.4 * side
            z = QUAY_EDGE_Z + 12.0 + k * 1.0
            flat(m, rect(x - 1.5, NEAR_QUAY, x + 1.5, NEAR_QUAY + 4.2), z, paint.BLUE if k else paint.RED)
            flat(m, rect(x - 1.5, NEAR_QUAY + 1.2, x + 1.5, NEAR_QUAY + 1.6), z + 0.1, paint.STEEL_DARK)
            flat(m, rect(x - 1.5, NEAR_QUAY + 2.8, x + 1.5, NEAR_QUAY + 3.2), z + 0.1, paint.STEEL_DARK)
    # A lamp post in front of the sea wall.
    lx, lz = 160.0, QUAY_EDGE_Z + 14.0
    flat(m, rect(lx - 0.45, NEAR_QUAY, lx + 0.45, NEAR_QUAY + 26.0), lz, paint.STEEL_DARK)
    flat(m, rect(lx - 1.2, NEAR_QUAY, lx + 1.2, NEAR_QUAY + 2.0), lz + 0.1, paint.STEEL_DARK)
    flat(m, [(lx - 2.0, NEAR_QUAY + 26.0), (lx + 2.0, NEAR_QUAY + 26.0), (lx + 1.3, NEAR_QUAY + 29.5),
             (lx - 1.3, NEAR_QUAY + 29.5)], lz + 0.1, paint.LAMP)
    flat(m, [(lx - 2.4, NEAR_QUAY + 29.5), (lx + 2.4, NEAR_QUAY + 29.5), (lx, NEAR_QUAY + 31.5)], lz + 0.1,
         paint.STEEL_DARK)


def world_mesh():
    rnd = random.Random(20270301)
    m = Mesh()
    sky_panel(m, -paint.SKY_HALF, paint.SKY_HALF, WATER - 8.5, paint.SKY_TOP, SKY_Z)
    clouds(m, rnd)
    town(m, rnd)
    gulls(m, rnd)
    sea_and_quays(m, rnd)
    quay_things(m, rnd)
    warehouse(m, rnd)
    sea_wall(m, rnd)
    gantry(m, rnd)
    dock_crane(m, rnd)
    boat(m, rnd)
    lighthouse(m, rnd)
    return m


def stage_mesh():
    return in_model_frame(world_mesh())
