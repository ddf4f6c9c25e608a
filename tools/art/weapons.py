"""The planes' weapons and the credits' prototype weapons, in the plane's
frame (nose along +Z, top +Y): each weapon entity is parented to the plane
at its origin, so the muzzles sit where the game spawns the projectiles.

All weapons share one texture layout, the regions below; weapon_paint.py
paints it and the normal map with barrel grooves and panel seams.
"""
import math

import numpy as np

from meshkit import Mesh, box, lathe
from wing import wing

GUNMETAL = (0.0, 0.5, 0.5, 1.0)   # u along a barrel: grooves run around it
STEEL = (0.5, 0.5, 1.0, 1.0)
PAINT = (0.0, 0.0, 0.5, 0.5)      # red enamel with a white band
BRASS = (0.5, 0.25, 1.0, 0.5)
GLOW = (0.5, 0.0, 1.0, 0.25)      # cyan energy: beam cannon lens, wave gun coils


def barrel(m, mat, z0, z1, r, centre_xy, region=GUNMETAL, segments=12, muzzle_lip=True, along_steps=3):
    x, y = centre_xy
    prof = [(z0, 0.0), (z0, r)]
    if muzzle_lip:
        prof += [(z1 - 0.12, r), (z1 - 0.12, r * 1.3), (z1, r * 1.3), (z1, r * 0.6), (z1 - 0.05, 0.0)]
    else:
        prof += [(z1, r), (z1, 0.0)]
    lathe(m, mat, prof, segments, region, center=(x, y, 0), axis="z", along_steps=along_steps)


def pylon(m, mat, x, y_top, y_bottom, z0, z1, width=0.12):
    box(m, mat, (x - width / 2, y_bottom, z0), (x + width / 2, y_top, z1), STEEL)


def basic_guns(mat="basicGuns", low=False):
    """Two wing guns, muzzles at (+-2, -0.65, 2). `low`: the match's model
    (a few hundred triangles, the same texture layout)."""
    m = Mesh()
    steps = 1 if low else 3
    for side in (1, -1):
        x = 2.0 * side
        # Pod under the wing, a slim barrel in front of it.
        lathe(m, mat, [(0.0, 0.0), (0.08, 0.15), (0.3, 0.2), (1.05, 0.2), (1.3, 0.12), (1.3, 0.0)],
              6 if low else 12, PAINT, center=(x, -0.65, 0.05), axis="z", along_steps=steps)
        barrel(m, mat, 1.3, 2.0, 0.075, (x, -0.65), segments=4 if low else 10, muzzle_lip=not low,
               along_steps=steps)
        pylon(m, mat, x, -0.28, -0.55, 0.4, 1.0)
    return m


def gatling_gun(mat="gatlingGun", low=False):
    """A six-barrel rotary gun under the belly, muzzle at (0, -1, 2). `low`:
    the match's model (a few hundred triangles, the same texture layout)."""
    m = Mesh()
    cy = -1.0
    round_ = 6 if low else 14
    steps = 1 if low else 3
    lathe(m, mat, [(-0.4, 0.0), (-0.35, 0.3), (0.5, 0.34), (0.7, 0.28), (0.7, 0.0)], round_, PAINT,
          center=(0, cy, 0), axis="z", along_steps=steps)
    for k in range(6):
        a = 2 * math.pi * k / 6
        barrel(m, mat, 0.6, 2.0, 0.07, (0.17 * math.cos(a), cy + 0.17 * math.sin(a)), segments=3 if low else 8,
               muzzle_lip=False, along_steps=steps)
    # Clamp rings that hold the barrels together.
    for z in (1.25, 1.85):
        lathe(m, mat, [(z - 0.06, 0.0), (z - 0.06, 0.29), (z + 0.06, 0.29), (z + 0.06, 0.0)], round_, BRASS,
              center=(0, cy, 0), axis="z", along_steps=steps)
    # Ammunition drum and mount to the belly.
    lathe(m, mat, [(-0.3, 0.0), (-0.3, 0.32), (0.3, 0.32), (0.3, 0.0)], round_, GUNMETAL,
          center=(0.0, cy + 0.05, -0.9), axis="x", along_steps=steps)
    box(m, mat, (-0.12, cy + 0.25, -0.5), (0.12, -0.45, 0.45), STEEL)
    return m


def shotgun(mat="shotgun", low=False):
    """Twin flared barrels on the cheeks, muzzles at y 0.2, z 2 (the game
    spawns the pellets at x 0; from the side both barrels line up there).
    `low`: the match's model (a few hundred triangles, the same texture layout)."""
    m = Mesh()
    round_ = 6 if low else 12
    steps = 1 if low else 3
    for side in (1, -1):
        x = 0.86 * side
        lathe(m, mat, [(-0.3, 0.0), (-0.3, 0.2), (0.5, 0.22), (0.6, 0.17)], round_, PAINT, center=(x, 0.2, 0),
              axis="z", along_steps=steps)
        lathe(m, mat, [(0.55, 0.13), (1.5, 0.13), (1.85, 0.2), (2.0, 0.28), (2.0, 0.2), (1.7, 0.0)], round_, BRASS,
              center=(x, 0.2, 0), axis="z", along_steps=steps)
        # Bracket between the barrel and the cheek it is bolted to.
        inner = x - 0.25 * side
        box(m, mat, (min(x, inner), 0.1, -0.1), (max(x, inner), 0.3, 0.4), STEEL)
    return m


def small_bomb(mat="smallBomb", low=False):
    """A finned bomb, long axis +Z. Its origin is the rack point above it:
    the bomb hangs just under the belly of a plane at the same origin.
    `low`: the match's model (a few hundred triangles, the same texture layout)."""
    m = Mesh()
    cy = -0.98
    lathe(m, mat, [(-0.95, 0.0), (-0.9, 0.1), (-0.6, 0.24), (0.1, 0.33), (0.55, 0.3), (0.85, 0.18), (0.95, 0.0)],
          8 if low else 16, PAINT, center=(0, cy, 0), axis="z", along_steps=1 if low else 3)
    for k in range(4):
        a = math.pi / 4 + k * math.pi / 2
        d = np.array([math.cos(a), math.sin(a), 0.0])
        wing(m, mat, root=np.array([0, cy, -0.55]) + d * 0.12, tip=np.array([0, cy, -0.75]) + d * 0.45,
             chord_dir=(0, 0, -1), thick_dir=np.cross(d, (0, 0, 1)), root_chord=0.45, tip_chord=0.3,
             root_thick=0.05, tip_thick=0.04, uv_rect=STEEL, span_steps=1 if low else 3, loop_steps=4 if low else 6,
             round_tip=0.0)
    # Rack lugs.
    box(m, mat, (-0.06, cy + 0.3, -0.2), (0.06, -0.55, 0.2), STEEL)
    return m


def wave_gun(mat="waveGun"):
    """Prototype: a barrel wound with glowing coils and a dish at the muzzle."""
    m = Mesh()
    lathe(m, mat, [(-0.6, 0.0), (-0.6, 0.3), (0.4, 0.3), (0.5, 0.15)], 14, PAINT, center=(0, -1.0, 0), axis="z")
    barrel(m, mat, 0.45, 1.7, 0.11, (0, -1.0), segments=12, muzzle_lip=False)
    for k in range(4):
        z = 0.65 + k * 0.25
        lathe(m, mat, [(z - 0.05, 0.12), (z - 0.05, 0.24), (z + 0.05, 0.24), (z + 0.05, 0.12)], 14, GLOW,
              center=(0, -1.0, 0), axis="z")
    lathe(m, mat, [(1.65, 0.1), (1.95, 0.42), (2.0, 0.42), (1.8, 0.1)], 16, STEEL, center=(0, -1.0, 0), axis="z")
    box(m, mat, (-0.1, -0.75, -0.3), (0.1, -0.45, 0.3), STEEL)
    return m


def beam_cannon(mat="beamCannon"):
    """Prototype: a long square-finned cannon with a glowing lens."""
    m = Mesh()
    lathe(m, mat, [(-0.8, 0.0), (-0.8, 0.32), (0.3, 0.36), (0.9, 0.26), (2.0, 0.2), (2.0, 0.0)], 8, PAINT,
          center=(0, -1.0, 0), axis="z")
    lathe(m, mat, [(1.98, 0.0), (1.98, 0.17), (2.12, 0.1), (2.16, 0.0)], 12, GLOW, center=(0, -1.0, 0), axis="z")
    for k in range(3):
        a = k * 2 * math.pi / 3 + math.pi / 2
        d = np.array([math.cos(a), math.sin(a), 0.0])
        wing(m, mat, root=np.array([0, -1.0, 1.2]) + d * 0.2, tip=np.array([0, -1.0, 0.9]) + d * 0.55,
             chord_dir=(0, 0, -1), thick_dir=np.cross(d, (0, 0, 1)), root_chord=0.9, tip_chord=0.5,
             root_thick=0.05, tip_thick=0.04, uv_rect=STEEL, span_steps=3, loop_steps=6, round_tip=0.0)
    box(m, mat, (-0.1, -0.7, -0.4), (0.1, -0.45, 0.4), STEEL)
    return m


def harpoon_gun(mat="harpoonGun"):
    """Prototype: a barrel with a barbed harpoon and a rope drum."""
    m = Mesh()
    barrel(m, mat, -0.5, 1.3, 0.16, (0, -0.95), segments=12)
    # The harpoon: shaft and a barbed head sticking out of the muzzle.
    lathe(m, mat, [(1.2, 0.0), (1.2, 0.05), (2.0, 0.05), (2.0, 0.0)], 8, STEEL, center=(0, -0.95, 0), axis="z")
    lathe(m, mat, [(1.95, 0.0), (1.95, 0.17), (2.35, 0.0)], 8, BRASS, center=(0, -0.95, 0), axis="z")
    lathe(m, mat, [(-0.3, 0.0), (-0.3, 0.34), (0.3, 0.34), (0.3, 0.0)], 16, BRASS, center=(0.0, -0.95, -0.2),
          axis="x")
    box(m, mat, (-0.08, -0.78, -0.3), (0.08, -0.45, 0.3), STEEL)
    return m
