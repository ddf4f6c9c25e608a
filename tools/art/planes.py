"""The players' plane, its propeller and the drone plane of the credits.

Model frame: nose along +Z, top along +Y, wings along +-X, origin at the
centre of the plane, about 5 units from the spinner to the tail so that it
fits the collision circle of radius 2 with the propeller disc in front.
"""
import math

import numpy as np

from meshkit import Mesh, box, lathe, surface, normalize, rotate, translate
from wing import wing

# Texture regions of the plane atlas (u0, v0, u1, v1 in OBJ coordinates),
# shared with the painter of the six liveries (plane_paint.py).
FUSELAGE = (0.0, 0.5, 1.0, 1.0)   # u: tail -> nose; v: belly, -X side, top, +X side, belly
WING = (0.0, 0.25, 0.5, 0.5)      # u: root -> tip; v: upper side (first half), lower side
TAILPLANE = (0.5, 0.25, 0.75, 0.5)
FIN = (0.75, 0.25, 1.0, 0.5)
CANOPY = (0.0, 0.0, 0.25, 0.25)
COWL = (0.25, 0.0, 0.5, 0.25)     # exhaust stubs and wheel fairings: plain dark metal

TAIL_Z, NOSE_Z = -2.45, 2.3


def fuselage_radius(z):
    """Half-width profile along the body (x before squash)."""
    pts = [(-2.45, 0.10), (-2.2, 0.22), (-1.5, 0.40), (-0.6, 0.62), (0.3, 0.74), (1.3, 0.76), (1.9, 0.72),
           (2.15, 0.66), (2.3, 0.50)]
    zs, rs = zip(*pts)
    return float(np.interp(z, zs, rs))


def fuselage_centre_y(z):
    # The tail rises so that the tailplane sits above the wing's wake.
    return 0.0 if z > -0.5 else 0.22 * ((-0.5 - z) / 1.95) ** 1.5


def plane_mesh(material="plane", low=False):
    """The plane; `low` gives the match's model of a few hundred triangles
    (a plane there is some tens of pixels long) with the same shape and
    texture layout, so the liveries and the normal map fit both."""
    m = Mesh()
    n = (lambda full, least: max(least, round(full * 0.4))) if low else (lambda full, least: full)

    def body(s, t):
        z = TAIL_Z + (NOSE_Z - TAIL_Z) * s
        r = fuselage_radius(z)
        a = 2 * math.pi * t
        return (-math.sin(a) * r * 0.92, fuselage_centre_y(z) - math.cos(a) * r, z)

    around = n(20, 8)
    surface(m, material, body, n(22, 9), around, FUSELAGE,
            inside=lambda s: (0, fuselage_centre_y(TAIL_Z + (NOSE_Z - TAIL_Z) * s), TAIL_Z + (NOSE_Z - TAIL_Z) * s))
    # Closing disc behind the spinner (the propeller hub covers its middle).
    ring = [body(1.0, i / around) for i in range(around)]
    centre = (0, 0, NOSE_Z)
    for i in range(around):
        a, b = ring[i], ring[(i + 1) % around]
        m.flat_triangle(material, [centre, b, a], [(0.3, 0.05), (0.35, 0.2), (0.45, 0.2)])

    # Canopy: a bubble over the cockpit.
    lathe(m, material, [(0.0, 0.0), (0.15, 0.26), (0.5, 0.40), (0.9, 0.42), (1.25, 0.33), (1.55, 0.0)], n(12, 5),
          CANOPY, center=(0, 0.55, -0.35), squash=(1.0, 1.05), axis="z", angle_range=(math.pi * 0.5, math.pi * 1.5),
          along_steps=1 if low else 3)

    # Main wings, low on the body, with a little dihedral.
    for side in (1, -1):
        wing(m, material, root=(0.3 * side, -0.38, 1.25), tip=(3.45 * side, -0.12, 0.85), chord_dir=(0, 0, -1),
             thick_dir=(0, 1, 0), root_chord=1.95, tip_chord=0.95, root_thick=0.26, tip_thick=0.12, uv_rect=WING,
             span_steps=n(12, 4), loop_steps=n(14, 6))
        wing(m, material, root=(0.1 * side, 0.22, -1.6), tip=(1.45 * side, 0.3, -1.95), chord_dir=(0, 0, -1),
             thick_dir=(0, 1, 0), root_chord=0.85, tip_chord=0.45, root_thick=0.12, tip_thick=0.06,
             uv_rect=TAILPLANE, span_steps=n(6, 2), loop_steps=n(10, 4), round_tip=0.2)
    wing(m, material, root=(0, 0.25, -1.45), tip=(0, 1.35, -2.1), chord_dir=(0, 0, -1), thick_dir=(-1, 0, 0),
         root_chord=1.0, tip_chord=0.45, root_thick=0.13, tip_thick=0.06, uv_rect=FIN, span_steps=n(7, 3),
         loop_steps=n(10, 4), round_tip=0.25)

    if low:
        return m  # the exhaust stubs are less than a pixel in a match
    # Exhaust stubs on both cheeks.
    for side in (1, -1):
        for k in range(3):
            z = 1.55 - k * 0.28
            x0 = 0.6 if side > 0 else -0.8
            box(m, material, (x0, 0.1, z), (x0 + 0.2, 0.24, z + 0.16), COWL)
    return m


def propeller_mesh(material="propeller", blades=3, radius=1.25, hub_z=2.3, low=False):
    """Spinner and blades around the Z axis; the whole part turns about it.
    `low`: the match's model, as for plane_mesh."""
    m = Mesh()
    segments = 8 if low else 16
    lathe(m, material, [(0.0, 0.52), (0.18, 0.5), (0.45, 0.38), (0.68, 0.16), (0.8, 0.0)], segments,
          (0.0, 0.5, 1.0, 1.0), center=(0, 0, hub_z), axis="z", along_steps=1 if low else 3)
    # Back plate of the spinner.
    for i in range(segments):
        a0, a1 = 2 * math.pi * i / segments, 2 * math.pi * (i + 1) / segments
        p0 = (0.52 * math.sin(a0), 0.52 * math.cos(a0), hub_z)
        p1 = (0.52 * math.sin(a1), 0.52 * math.cos(a1), hub_z)
        m.flat_triangle(material, [(0, 0, hub_z), p0, p1], [(0.5, 0.75)] * 3)
    for k in range(blades):
        a = 2 * math.pi * k / blades + 0.3
        radial = np.array([math.cos(a), math.sin(a), 0.0])
        around = np.array([-math.sin(a), math.cos(a), 0.0])
        # Blades pitched about 25 degrees to the disc.
        pitch = math.radians(25)
        chord_dir = around * math.cos(pitch) - np.array([0, 0, 1.0]) * math.sin(pitch)
        thick_dir = normalize(np.cross(radial, chord_dir))
        root = radial * 0.3 + np.array([0, 0, hub_z + 0.3]) - chord_dir * 0.12
        tip = radial * radius + np.array([0, 0, hub_z + 0.3]) - chord_dir * 0.08
        wing(m, material, root=root, tip=tip, chord_dir=chord_dir, thick_dir=thick_dir, root_chord=0.34,
             tip_chord=0.26, root_thick=0.07, tip_thick=0.03, uv_rect=(0.0, 0.0, 1.0, 0.5),
             span_steps=3 if low else 8, loop_steps=4 if low else 8, round_tip=0.25, twist=-0.35)
    return m


def drone_mesh(material="drone"):
    """A small twin-boom robot plane: pod body, straight wing, twin tails and
    a pusher propeller."""
    m = Mesh()
    lathe(m, material, [(-1.2, 0.0), (-1.1, 0.25), (-0.5, 0.45), (0.6, 0.48), (1.2, 0.38), (1.55, 0.18),
                        (1.62, 0.0)], 16, (0.0, 0.5, 1.0, 1.0), axis="z")
    # Camera eye under the nose.
    lathe(m, material, [(0.0, 0.0), (0.1, 0.2), (0.3, 0.18), (0.36, 0.0)], 10, (0.5, 0.0, 0.75, 0.25),
          center=(0, -0.38, 0.95), axis="y")
    for side in (1, -1):
        wing(m, material, root=(0.3 * side, 0.05, 0.55), tip=(2.8 * side, 0.2, 0.45), chord_dir=(0, 0, -1),
             thick_dir=(0, 1, 0), root_chord=0.8, tip_chord=0.6, root_thick=0.14, tip_thick=0.08,
             uv_rect=(0.0, 0.25, 0.5, 0.5), span_steps=8, loop_steps=10)
        # Tail booms and fins.
        lathe(m, material, [(-2.2, 0.0), (-2.1, 0.1), (0.3, 0.1), (0.45, 0.0)], 8, (0.5, 0.25, 1.0, 0.5),
              center=(1.1 * side, 0.1, 0.0), axis="z")
        wing(m, material, root=(1.1 * side, 0.15, -1.55), tip=(1.1 * side, 0.95, -1.95), chord_dir=(0, 0, -1),
             thick_dir=(-side, 0, 0), root_chord=0.6, tip_chord=0.35, root_thick=0.08, tip_thick=0.05,
             uv_rect=(0.75, 0.0, 1.0, 0.25), span_steps=5, loop_steps=8, round_tip=0.3)
    wing(m, material, root=(1.1, 0.85, -1.8), tip=(-1.1, 0.85, -1.8), chord_dir=(0, 0, -1), thick_dir=(0, 1, 0),
         root_chord=0.4, tip_chord=0.4, root_thick=0.06, tip_thick=0.06, uv_rect=(0.75, 0.0, 1.0, 0.25),
         span_steps=6, loop_steps=8, round_tip=0.0)
    # Pusher propeller behind the pod.
    prop = propeller_mesh(material, blades=2, radius=0.8, hub_z=0.0)
    m.extend(prop.transformed(rotate((0, 1, 0), math.pi) @ translate(0, 0, 0.9)))
    return m
