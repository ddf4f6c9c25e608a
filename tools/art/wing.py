"""Wing-like surfaces (wings, tailplanes, fins, propeller blades): an airfoil
loop swept from a root to a rounded tip."""
import math

import numpy as np

from meshkit import surface


def wing(mesh, material, root, tip, chord_dir, thick_dir, root_chord, tip_chord, root_thick, tip_thick, uv_rect,
         span_steps=10, loop_steps=16, round_tip=0.12, twist=0.0):
    """root, tip: leading-edge points; the chord runs from the leading edge
    along chord_dir (unit), the thickness along thick_dir. u follows the span
    from root to tip; v goes around the airfoil: trailing edge, over the
    upper side (+thick_dir) to the leading edge, back under to the trailing edge."""
    root, tip = np.asarray(root, float), np.asarray(tip, float)
    chord_dir, thick_dir = np.asarray(chord_dir, float), np.asarray(thick_dir, float)

    def frame(s):
        le = root + (tip - root) * s
        chord = root_chord + (tip_chord - root_chord) * s
        thick = root_thick + (tip_thick - root_thick) * s
        k = 1.0
        if round_tip > 0 and s > 1 - round_tip:
            x = (s - (1 - round_tip)) / round_tip
            k = math.sqrt(max(0.0, 1 - x * x))
        # Rounded tip: the section shrinks towards its quarter-chord point.
        centre = le + chord_dir * chord * 0.35
        c_dir, t_dir = chord_dir, thick_dir
        if twist:
            a = twist * s
            c_dir = chord_dir * math.cos(a) + thick_dir * math.sin(a)
            t_dir = thick_dir * math.cos(a) - chord_dir * math.sin(a)
        return centre, c_dir, t_dir, chord * max(k, 0.02), thick * max(k, 0.02)

    def f(s, t):
        centre, c_dir, t_dir, chord, thick = frame(s)
        theta = 2 * math.pi * t
        xc = 0.5 * (1 + math.cos(theta))  # 1 at the trailing edge, 0 at the leading edge
        # Thickest near the front third, thin at the trailing edge.
        shape = 1.3 * math.sqrt(max(xc, 0)) * (1 - xc) + 0.02
        y = thick * shape * math.sin(theta) * 1.6
        return centre + c_dir * (xc - 0.35) * chord + t_dir * y

    def inside(s):
        centre, c_dir, _, chord, _ = frame(min(max(s, 0), 1))
        return centre

    surface(mesh, material, f, span_steps, loop_steps, uv_rect, inside=inside)
