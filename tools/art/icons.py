#!/usr/bin/python3
"""The game's application icon in the sizes of the hicolor icon theme: a
rounded tile of sky with two planes in a scuffle. Small sizes are drawn with
one plane and thicker lines, so that they still read at 16 pixels.

    tools/art/icons.py [OUT_DIR]   (default: packaging/icons of the repository)

writes OUT_DIR/<N>x<N>/skyscuffle.png for every size.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from cartoon import cloud, draw_plane, sky  # noqa: E402
from imaging import canvas, rounded_rect, save_surface  # noqa: E402

SIZES = (16, 24, 32, 48, 64, 128, 256, 512)


def icon(path, n):
    surface, ctx = canvas(n, n)
    margin = max(1.0, n / 32.0)
    corner = n * 0.2
    rounded_rect(ctx, margin, margin, n - 2 * margin, n - 2 * margin, corner)
    ctx.save()
    ctx.clip()
    sky(ctx, n, n, top=(0.22, 0.52, 0.92), bottom=(0.74, 0.9, 0.99))
    if n >= 48:
        cloud(ctx, n * 0.26, n * 0.74, n * 0.2)
        cloud(ctx, n * 0.8, n * 0.3, n * 0.14, alpha=0.8)
        # The chaser, smaller and behind, climbing after the leader.
        draw_plane(ctx, n * 0.3, n * 0.66, n * 0.46, "Red", angle=-0.35, spin=False)
        draw_plane(ctx, n * 0.55, n * 0.42, n * 0.68, "Yellow", angle=-0.18, spin=False)
    else:
        draw_plane(ctx, n * 0.5, n * 0.52, n * 0.9, "Yellow", angle=-0.2, spin=False)
    ctx.restore()
    rounded_rect(ctx, margin, margin, n - 2 * margin, n - 2 * margin, corner)
    ctx.set_source_rgb(0.1, 0.1, 0.18)
    ctx.set_line_width(max(1.0, n / 40.0))
    ctx.stroke()
    save_surface(surface, path)


def build(out):
    for n in SIZES:
        folder = os.path.join(out, "%dx%d" % (n, n))
        os.makedirs(folder, exist_ok=True)
        icon(os.path.join(folder, "skyscuffle.png"), n)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    build(os.path.normpath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "packaging", "icons")))
