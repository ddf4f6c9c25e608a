"""The canyon stage (models/canyonStage): a sandstone canyon in the late
afternoon, drawn unlit with canyon_paint.py's atlas and placed by the game
as the meadow is (scaled 1.5 at (4.5, -52.5, -66)).

Every solid rectangle of arenas.CANYON is a block whose front face, at z 5,
covers it exactly (knobbly rims reach at most a unit beyond): the cliffs
either side, the trestle's deck across the top, the rock arch's span and the
two shelves. The arch's legs stand behind the play, from under the span's
ends down to the river bed, so that the planes fly under the span or over
it. Beyond the rectangles the cliffs rise above any view the game
camera takes, and through the gap between them the river bed runs back past
cacti to the desert, the mesas and the dusty sky.
"""
import math
import random

import arenas
import canyon_paint as paint
from arena_kit import DOWN, FRONT, UP, beam, clip_half, flat, rect, rough_edge, side_walls, tiled
from meshkit import Mesh, quad
from stage import GROUND, MATERIAL, disc, in_model_frame, silhouette, sky_panel, strip_uv

FRONT_Z, BACK_Z = 5.0, -14.0
ROCK_TILE = (40.0, 24.0)  # a cell spans 40 x 24: long, gently waving layers
OUTER_TILE = (56.0, 32.0)  # the cliffs beyond the walls: broader layers
# Rock layers run level along the cliffs: a tile row keeps one variant.
ROW_VARIANTS = [paint.ROCK_A, paint.ROCK_B, paint.ROCK_C, paint.ROCK_B, paint.ROCK_A, paint.ROCK_C, paint.ROCK_A,
                paint.ROCK_C, paint.ROCK_B]

# The open space's corners: the cliffs' inner faces at x -+72, the deck's underside at y 105.
_, _, INNER, CEILING = arenas.CANYON["open"]
SOLIDS = dict(arenas.CANYON["solids"])
DECK_TOP = SOLIDS["ceiling"][1] + SOLIDS["ceiling"][3]   # 130
DECK_END = SOLIDS["ceiling"][0] + SOLIDS["ceiling"][2]   # 120
CLIFF_TOP = 360.0
CLIFF_OUT = 420.0
SKY_TOP = paint.SKY_TOP
FAR_X = 640.0  # the desert's reach either side


def rock_front(i, j):
    return ROW_VARIANTS[j % len(ROW_VARIANTS)]


def rock_side(i, j, normal):
    if normal[1] > 0.5:
        return paint.ROCK_TOP
    if normal[1] < -0.5:
        return paint.ROCK_UNDER
    return paint.SHADE_A if (j + i) % 2 == 0 else paint.SHADE_B


# Where the low sun's light ends on each cliff: (height at the inner face,
# rise per unit outwards). Below it the rock is in the canyon's shade.
SHADE_LINE = {-1: (18.0, 0.32), 1: (-12.0, 0.22)}


def sunlit_rock(m, poly, side, z, tile, origin):
    """A convex piece of cliff face, lit above the side's shade line and in
    shade below it, its layers running on across the edge."""
    y0, slope = SHADE_LINE[side]
    a, c = slope * side, slope * INNER - y0
    lit = clip_half(poly, a, -1.0, c)
    dark = clip_half(poly, -a, 1.0, -c)
    if len(lit) >= 3:
        tiled(m, lit, FRONT, z, tile, rock_front, origin)
    if len(dark) >= 3:
        tiled(m, dark, FRONT, z, tile, lambda i, j: paint.SHADED[rock_front(i, j)], origin)


def cave(m, x, y, w, h, z):
    """A dark hollow in a cliff face, round-topped."""
    flat(m, rect(x - w / 2, y, x + w / 2, y + h - w / 2), z, paint.TUNNEL)
    disc(m, (x, y + h - w / 2), w / 2, paint.TUNNEL, z, segments=10, flat_bottom=y + h - w / 2)


def rock_block(m, rnd, x0, y0, x1, y1, z1=FRONT_Z, z0=BACK_Z, rims=(True, True, True, True)):
    """A rock block over the rectangle: tiled front, sides, top and
    underside, and knobbly rims on the given edges (bottom, right, top, left)."""
    tiled(m, rect(x0, y0, x1, y1), FRONT, z1, ROCK_TILE, rock_front, (0.0, GROUND))
    side_walls(m, rect(x0, y0, x1, y1), z0, z1, ROCK_TILE, rock_side)
    corners = [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
    for k, on in enumerate(rims):
        if on:
            rough_edge(m, rnd, corners[k], corners[(k + 1) % 4], z1, paint.RIM)


def cliff(m, rnd, side):
    """One side's cliff: the wall rectangle's face at z 5 from the inner
    face out to the deck's end, stepping forward beyond it; above the deck
    the rock breaks back in ledges, so the canyon widens towards its rim."""
    s = side
    # The inner edge above the deck, as (y, distance beyond the inner face).
    steps = [(DECK_TOP, 0.0)]
    y, out = DECK_TOP, 0.0
    while y < CLIFF_TOP:
        y = min(CLIFF_TOP, y + rnd.uniform(22, 42))
        out = min(out + rnd.uniform(2, 5), 44.0)
        steps.append((y - rnd.uniform(4, 8), out))
        out = min(out + rnd.uniform(1.5, 4), 46.0)
        steps.append((y, out))
    edge = [(GROUND, 0.0), (CEILING, 0.0)] + steps
    step_x = DECK_END + 4.0 + rnd.uniform(0, 3)  # where the cliff steps forward
    # The recessed face between the inner edge and the step, in level bands.
    for k in range(len(edge) - 1):
        (ya, da), (yb, db) = edge[k], edge[k + 1]
        if yb - ya < 1e-6:
            continue
        xa, xb = INNER + da, INNER + db
        poly = [(xa, ya), (step_x, ya), (step_x, yb), (xb, yb)]
        if s < 0:
            poly = [(-p[0], p[1]) for p in poly[::-1]]
        sunlit_rock(m, poly, s, FRONT_Z, ROCK_TILE, (0.0, GROUND))
    # The inner faces, looking into the canyon.
    line = [(INNER + d, y) for y, d in edge]
    if s < 0:
        line = [(-x, y) for x, y in line]
    else:
        line = [(x, y) for x, y in line[::-1]]
    for k in range(len(line) - 1):
        side_walls(m, [line[k], line[k + 1]], BACK_Z, FRONT_Z, ROCK_TILE, rock_side, closed=False)
    # The rim along the wall rectangle's inner face, where planes fly by.
    a, b = (s * INNER, GROUND + 1.0), (s * INNER, CEILING)
    rough_edge(m, rnd, a if s < 0 else b, b if s < 0 else a, FRONT_Z, paint.RIM)
    # Beyond the step, broad buttresses of rock, each standing a little
    # forward of the one inside it, their layers slightly out of line; their
    # sides facing into the canyon show between them.
    x, behind = step_x, FRONT_Z
    while x < CLIFF_OUT:
        width = rnd.uniform(70, 130)
        near = behind + rnd.uniform(1.2, 2.6)
        poly = rect(x, GROUND, x + width, CLIFF_TOP)
        if s < 0:
            poly = [(-p[0], p[1]) for p in poly[::-1]]
        sunlit_rock(m, poly, s, near, OUTER_TILE, (0.0, GROUND - rnd.uniform(0, 8)))
        riser = [(s * x, CLIFF_TOP), (s * x, GROUND)] if s > 0 else [(s * x, GROUND), (s * x, CLIFF_TOP)]
        side_walls(m, riser, behind, near, OUTER_TILE, rock_side, closed=False)
        # A ledge or two standing out of it, and a cave high up.
        for y in rnd.sample((20.0, 70.0, 150.0, 200.0, 250.0, 300.0), 2):
            lo, hi = sorted((s * (x + 6), s * (x + width - rnd.uniform(6, 20))))
            top, out = y + rnd.uniform(3.5, 6.0), near + rnd.uniform(3.0, 5.0)
            rock_block(m, rnd, lo, y, hi, top, z1=out, z0=near, rims=(True, False, False, False))
            for k in range(rnd.randint(1, 3)):  # scrub growing on the ledge
                bx = rnd.uniform(lo + 3, hi - 3)
                disc(m, (bx, top), rnd.uniform(1.6, 2.8), paint.BUSH, out - 1.0 - k * 0.3, squash=0.7, segments=8,
                     flat_bottom=top - 0.2)
        # A crack or two down the buttress's face.
        for _ in range(rnd.randint(1, 2)):
            cx, cy = s * (x + width * rnd.uniform(0.2, 0.8)), rnd.uniform(0, 220)
            length, lean = rnd.uniform(40, 110), rnd.uniform(-6, 6)
            flat(m, [(cx - 0.4, cy), (cx + 1.8, cy + length * 0.55), (cx + lean * 0.2, cy + length),
                     (cx - 1.6, cy + length * 0.45)], near + 0.15, paint.RIM)
        if rnd.random() < 0.7:
            cave(m, s * (x + width * rnd.uniform(0.3, 0.7)), rnd.uniform(160, 280), rnd.uniform(8, 16),
                 rnd.uniform(10, 18), near + 0.15)
        x += width
        behind = near
    # Boulders fallen at the cliff's foot, in front of the wall.
    for k in range(5):
        x = s * (INNER + 8 + k * rnd.uniform(8, 12))
        r = rnd.uniform(2.0, 4.5)
        disc(m, (x, GROUND + r * 0.4), r, paint.BOULDER, FRONT_Z + 3 + k * 0.4, squash=0.75, segments=9,
             flat_bottom=GROUND - 0.2)


def trestle(m, rnd):
    """The railway's deck across the canyon top (the ceiling rectangle), its
    track and rail, the timber bents under its ends standing on ledges of
    the cliffs, and the tunnel mouths it runs into."""
    x0, y0, w, h = SOLIDS["ceiling"]
    z1, z0 = FRONT_Z + 0.6, BACK_Z + 4
    over = DECK_END + 8  # the deck runs on into the rock beyond the rectangle
    tiled(m, rect(-over, y0, over, y0 + h), FRONT, z1, (24.0, h), lambda i, j: paint.DECK, (0.0, y0))
    tiled(m, [(-over, z0), (over, z0), (over, z1), (-over, z1)], DOWN, -y0, (24.0, z1 - z0),
          lambda i, j: paint.DECK_UNDER, (0.0, z0))
    # The track on top: sleepers, the rail, and a guard rail of posts.
    zt = z1 + 0.1
    flat(m, rect(-over, DECK_TOP, over, DECK_TOP + 1.4), zt, paint.TIMBER_DARK)
    flat(m, rect(-over, DECK_TOP + 1.4, over, DECK_TOP + 2.6), zt, paint.STEEL)
    x = -over + 2
    while x < over:
        flat(m, rect(x, DECK_TOP + 1.4, x + 0.9, DECK_TOP + 7.5), zt + 0.1, paint.TIMBER)
        x += 9.0
    flat(m, rect(-over, DECK_TOP + 6.2, over, DECK_TOP + 7.4), zt + 0.2, paint.TIMBER)
    for s in (-1, 1):
        # A bent of two leaning posts, ties and braces under each end,
        # standing on a ledge cut into the wall (all within the wall's rectangle).
        ledge_y = 44.0
        inner, outer = s * (INNER + 3), s * (DECK_END - 3)
        foot_in, foot_out = s * (INNER + 7), s * (DECK_END - 2)
        lo, hi = min(s * (INNER + 1.5), s * (DECK_END - 0.5)), max(s * (INNER + 1.5), s * (DECK_END - 0.5))
        rock_block(m, rnd, lo, ledge_y - 3.5, hi, ledge_y, z1=FRONT_Z + 2.2, z0=FRONT_Z,
                   rims=(True, False, False, False))
        zb = FRONT_Z + 0.4
        for top, foot in ((inner, foot_in), (outer, foot_out), (s * (INNER + 24), s * (INNER + 24))):
            beam(m, (foot, ledge_y), (top, y0), 2.6, zb + 0.15, paint.TIMBER)
        for ty in (64.0, 85.0):
            beam(m, (foot_in + (inner - foot_in) * (ty - ledge_y) / (y0 - ledge_y), ty),
                 (foot_out + (outer - foot_out) * (ty - ledge_y) / (y0 - ledge_y), ty), 1.8, zb + 0.3, paint.TIMBER)
        for a, b in (((foot_in, ledge_y), (s * (INNER + 24), 64.0)), ((s * (INNER + 24), ledge_y), (foot_in, 64.0)),
                     ((s * (INNER + 24), 64.0), (outer, 85.0)), ((outer, 64.0), (s * (INNER + 24), 85.0)),
                     ((inner, 85.0), (s * (INNER + 24), y0)), ((s * (INNER + 24), 85.0), (inner, y0))):
            beam(m, a, b, 1.3, zb, paint.TIMBER_DARK)
        # The tunnel's mouth above the deck's end, in the cliff's face.
        px0, px1 = sorted((s * (DECK_END - 24), s * (DECK_END + 3)))
        tiled(m, rect(px0, DECK_TOP, px1, DECK_TOP + 27), FRONT, FRONT_Z + 0.15, (27.0, 27.0),
              lambda i, j: paint.PORTAL, (px0, DECK_TOP))


# The arch's legs stand behind the planes: their front faces at z -18.5 (the
# space under the span, from z -16 to the play's front, stays open but for
# the rocks fallen at their feet), their backs at z -38, in front of the
# cacti along the river bed.
LEG_FRONT, LEG_BACK = -18.5, -38.0
LEG_WIDTH = 12.0      # across at the top, under the span's end
LEG_FLARE = (5.0, 2.5)  # how much wider at the foot: outwards, inwards


def leg_cells(i, j):
    return paint.SHADED[rock_front(i, j)]


def arch(m, rnd):
    """The span in the planes' plane (its rectangle), its ends running back
    over the legs, and the legs from under those ends down to the river bed
    behind the play: planes fly under the span, in front of the legs."""
    x, y, w, h = SOLIDS["arch"]
    x1, top = x + w, y + h
    z1 = FRONT_Z - 0.5
    rock_block(m, rnd, x, y, x1, top, z1=z1, z0=BACK_Z + 2, rims=(False, True, True, True))
    # Its lower edge, knobbly but never reaching below the rectangle.
    rough_edge(m, rnd, (x, y + 0.9), (x1, y + 0.9), z1, paint.RIM)
    for s in (-1, 1):
        end = x if s < 0 else x1          # the span's end
        inner = end - s * LEG_WIDTH       # the leg's inner edge at the top
        lo, hi = sorted((end, inner - s * 0.5))
        # The span's end running back over the leg, within its rectangle's height.
        side_walls(m, rect(lo, y, hi, top), LEG_BACK, BACK_Z + 2.5, ROCK_TILE, rock_side)
        # The leg: a pillar of shaded rock, flaring out at its foot.
        foot_out, foot_in = (end + s * LEG_FLARE[0], GROUND - 0.3), (inner - s * LEG_FLARE[1], GROUND - 0.3)
        head_in, head_out = (inner, y + 2.0), (end, y + 2.0)
        outline = [foot_out, foot_in, head_in, head_out] if s < 0 else [foot_in, foot_out, head_out, head_in]
        tiled(m, outline, FRONT, LEG_FRONT, ROCK_TILE, leg_cells, (0.0, GROUND))
        side_walls(m, outline, LEG_BACK, LEG_FRONT, ROCK_TILE, rock_side)
        # The edges of its face, and the rounded corner under the span.
        for a, b in ((head_out, foot_out), (foot_in, head_in)):
            if s > 0:
                a, b = b, a
            rough_edge(m, rnd, a, b, LEG_FRONT, paint.RIM)
        r, corner = 5.0, (inner, y)
        centre = (inner - s * r, y - r)
        arc = [(centre[0] + s * r * math.cos(math.pi / 2 * k / 6), centre[1] + r * math.sin(math.pi / 2 * k / 6))
               for k in range(7)]
        for k in range(6):
            tri = [corner, arc[k], arc[k + 1]] if s < 0 else [corner, arc[k + 1], arc[k]]
            tiled(m, tri, FRONT, LEG_FRONT + 0.05, ROCK_TILE, leg_cells, (0.0, GROUND))
        # Fallen rocks at its foot, behind the play.
        for k in range(3):
            bx = end + s * rnd.uniform(-LEG_WIDTH - 4, LEG_FLARE[0] + 3)
            r = rnd.uniform(1.6, 3.4)
            disc(m, (bx, GROUND + r * 0.4), r, paint.BOULDER, -16.6 - k * 0.6, squash=0.7, segments=9,
                 flat_bottom=GROUND - 0.2)


def shelves(m, rnd):
    for name in ("left shelf", "right shelf"):
        x, y, w, h = SOLIDS[name]
        left = x < 0
        rock_block(m, rnd, x - (1.5 if left else 0), y, x + w + (0 if left else 1.5), y + h,
                   rims=(True, left, True, not left))


def ground(m, rnd):
    """The river bed's pebbles between the cliffs, sand either side, and
    beyond the tiles the desert floor fading into the haze."""
    def cells(i, j):
        x = (i + 0.5) * 36.0
        if abs(x) < INNER:
            return paint.PEBBLES_A if (i * 7 + j * 3) % 5 < 3 else paint.PEBBLES_B
        return paint.SAND

    near, back = 265.0, -96.0
    tiled(m, [(-396, -near), (396, -near), (396, -FRONT_Z - 1), (-396, -FRONT_Z - 1)], UP, GROUND, (36.0, 33.0),
          cells, (0.0, -near))
    tiled(m, [(-216, -FRONT_Z - 1), (216, -FRONT_Z - 1), (216, -back), (-216, -back)], UP, GROUND, (36.0, 33.0),
          cells, (0.0, -near))
    # Behind the cliffs, seen only past their inner faces: plain sand.
    for s in (-1, 1):
        pts = [(216, GROUND, FRONT_Z + 1), (FAR_X, GROUND, FRONT_Z + 1), (FAR_X, GROUND, back), (216, GROUND, back)]
        if s < 0:
            pts = [(-p[0], p[1], p[2]) for p in pts[::-1]]
        quad(m, MATERIAL, pts, [strip_uv(paint.GROUND_FAR, 0.0)] * 4)
    far = -300.0
    steps = 6
    for k in range(steps):
        za = back + (far - back) * k / steps
        zb = back + (far - back) * (k + 1) / steps
        ta, tb = k / steps, (k + 1) / steps
        wa, wb = 72 + (za - back) * -0.55, 72 + (zb - back) * -0.55  # the river bed widens into the distance
        for lo_a, hi_a, lo_b, hi_b, strip in ((-wa, wa, -wb, wb, paint.RIVER_FAR),
                                              (-FAR_X, -wa, -FAR_X, -wb, paint.GROUND_FAR),
                                              (wa, FAR_X, wb, FAR_X, paint.GROUND_FAR)):
            pts = [(lo_a, GROUND, za), (hi_a, GROUND, za), (hi_b, GROUND, zb), (lo_b, GROUND, zb)]
            uv = [strip_uv(strip, ta), strip_uv(strip, ta), strip_uv(strip, tb), strip_uv(strip, tb)]
            quad(m, MATERIAL, pts, uv)


def mesa_profile(rnd, x0, x1, base, heights, widths, gaps, talus=0.35):
    """A skyline of flat-topped mesas with talus slopes at their feet."""
    xs, tops = [x0], [base]
    x = x0 + rnd.uniform(*gaps)
    while x < x1:
        w, h = rnd.uniform(*widths), rnd.uniform(*heights)
        t = w * talus * rnd.uniform(0.5, 1.0)
        c = min(h * 0.12, w * 0.08)
        for px, py in ((x, base), (x + t, base + h * 0.45), (x + t + c, base + h),
                       (x + w - t - c, base + h), (x + w - t, base + h * 0.45), (x + w, base)):
            xs.append(px)
            tops.append(py)
        x += w + rnd.uniform(*gaps)
    xs.append(x1)
    tops.append(base)
    return xs, tops


def distance(m, rnd):
    sky_panel(m, -paint.SKY_HALF, paint.SKY_HALF, GROUND - 8, SKY_TOP, -300)
    xs, tops = mesa_profile(rnd, -paint.SKY_HALF, paint.SKY_HALF, GROUND - 1, (25, 70), (60, 160), (10, 70))
    silhouette(m, xs, tops, GROUND - 1, -250, paint.MESA_FAR)
    xs, tops = mesa_profile(rnd, -600, 600, GROUND - 1, (18, 48), (40, 110), (30, 120))
    silhouette(m, xs, tops, GROUND - 1, -200, paint.MESA_MID)
    # Buttes nearer in, either side of the river bed.
    for s in (-1, 1):
        xs, tops = mesa_profile(rnd, s * 110 if s > 0 else -540, 540 if s > 0 else -110, GROUND - 1, (22, 50),
                                (60, 130), (25, 80))
        silhouette(m, xs, tops, GROUND - 1, -150, paint.MESA_NEAR)
    # The canyon's walls running back, widening: rock faces behind the cliffs.
    for z, start, top in ((-48.0, 96.0, CLIFF_TOP), (-100.0, 150.0, 300.0)):
        for s in (-1, 1):
            y, edge = GROUND - 1, []
            d = start + rnd.uniform(0, 6)
            while y < top:
                edge.append((y, d))
                y = min(top, y + rnd.uniform(20, 45))
                d += rnd.uniform(0, 10)
                edge.append((y - 3, d))
            edge.append((top, d + 4))
            for k in range(len(edge) - 1):
                (ya, da), (yb, db) = edge[k], edge[k + 1]
                if yb - ya < 1e-6:
                    continue
                poly = [(da, ya), (560.0, ya), (560.0, yb), (db, yb)]
                if s < 0:
                    poly = [(-p[0], p[1]) for p in poly[::-1]]
                flat(m, poly, z, paint.CLIFF_BACK, low=GROUND - 1, high=top)


def saguaro(m, rnd, x, z, height):
    """A saguaro cactus facing the camera: a trunk and an arm or two."""
    w = height * 0.13
    flat(m, rect(x - w, GROUND - 0.4, x + w, GROUND + height - w), z, paint.CACTUS)
    disc(m, (x, GROUND + height - w), w, paint.CACTUS, z, segments=8, t_range=(0.0, 0.3))
    for s in rnd.sample((-1, 1), rnd.choice((1, 2))):
        arm_y = GROUND + height * rnd.uniform(0.35, 0.55)
        reach = w * rnd.uniform(2.2, 3.0)
        up = height * rnd.uniform(0.22, 0.34)
        aw = w * 0.7
        ax = x + s * reach
        flat(m, rect(min(x, ax), arm_y - aw, max(x, ax), arm_y + aw), z - 0.1, paint.CACTUS)
        flat(m, rect(ax - aw, arm_y - aw, ax + aw, arm_y + up), z - 0.1, paint.CACTUS)
        disc(m, (ax, arm_y + up), aw, paint.CACTUS, z - 0.1, segments=7, t_range=(0.0, 0.3))
    # A lit stripe down the trunk.
    flat(m, rect(x - w * 0.45, GROUND + 0.5, x - w * 0.1, GROUND + height - w), z + 0.12, paint.CACTUS_LIGHT)


def dead_tree(m, rnd, x, z, height):
    def branch(a, angle, length, width, depth):
        b = (a[0] + math.cos(angle) * length, a[1] + math.sin(angle) * length)
        beam(m, a, b, width, z + depth * 0.1, paint.DEADWOOD)
        if depth < 3:
            for turn in (-1, 1):
                if rnd.random() < 0.85:
                    branch(b, angle + turn * rnd.uniform(0.35, 0.7), length * rnd.uniform(0.5, 0.7), width * 0.6,
                           depth + 1)

    branch((x, GROUND - 0.3), math.pi / 2 + rnd.uniform(-0.15, 0.15), height * 0.45, height * 0.08, 0)


def plants(m, rnd):
    # Small cacti and boulders in front of the cliffs' feet, low enough to
    # hide no flying.
    for s in (-1, 1):
        saguaro(m, rnd, s * rnd.uniform(86, 100), rnd.uniform(20, 28), rnd.uniform(9, 12))
        disc(m, (s * rnd.uniform(104, 118), GROUND + 1), 3.2, paint.BOULDER, rnd.uniform(14, 18), squash=0.7,
             segments=9, flat_bottom=GROUND - 0.2)
        disc(m, (s * rnd.uniform(60, 70), GROUND + 0.5), 1.8, paint.BOULDER, rnd.uniform(26, 34), squash=0.7,
             segments=8, flat_bottom=GROUND - 0.2)
    # Behind the play: cacti, dead trees and boulders along the river bed.
    for k, x in enumerate((-58, -36, 34, 52, -14, 12, -64, 60)):
        z = -28 - k * 11 - rnd.uniform(0, 6)
        if k % 3 == 2:
            dead_tree(m, rnd, x + rnd.uniform(-4, 4), z, rnd.uniform(16, 24))
        else:
            saguaro(m, rnd, x + rnd.uniform(-4, 4), z, rnd.uniform(14, 24))
    for k in range(10):
        x = rnd.uniform(-80, 80)
        r = rnd.uniform(1.5, 4.5)
        disc(m, (x, GROUND + r * 0.3), r, paint.BOULDER, -20 - k * 9 - rnd.uniform(0, 5), squash=0.7, segments=8,
             flat_bottom=GROUND - 0.2)


def world_mesh():
    rnd = random.Random(20270114)
    m = Mesh()
    distance(m, rnd)
    ground(m, rnd)
    plants(m, rnd)
    for side in (-1, 1):
        cliff(m, rnd, side)
    trestle(m, rnd)
    arch(m, rnd)
    shelves(m, rnd)
    return m


def stage_mesh():
    return in_model_frame(world_mesh())
