#!/usr/bin/python3
"""Regenerates all of the game's art under the given asset directory
(default: assets/ of the repository): models, textures, normal maps, the
mascot, particles, pick-ups, HUD, the team match's sides, menus and screens,
the arenas' stages and their pictures. Deterministic: fixed
seeds and our own PNG writer, so a second run changes no byte.

    tools/art/make_assets.py [ASSET_DIR]      (or: make assets)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import arena_previews  # noqa: E402
import build_models  # noqa: E402
import hud  # noqa: E402
import mascot  # noqa: E402
import menus  # noqa: E402
import particles  # noqa: E402
import pickups  # noqa: E402
import teams  # noqa: E402


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "assets")
    root = os.path.normpath(root)
    for d in ("images", "sprites/HUD", "sprites/menu/main", "sprites/menu/gameplay", "models/mascot"):
        os.makedirs(os.path.join(root, d), exist_ok=True)
    counts = build_models.build(root)
    counts.update(build_models.build_stage(root))
    mascot.paint(os.path.join(root, "models/mascot/mascot_diffuse.png"),
                 os.path.join(root, "models/mascot/mascot_normals.png"))
    counts["mascot"] = mascot.write_dae(os.path.join(root, "models/mascot/mascot.dae"))
    if counts["mascot"] > 10000:
        raise SystemExit("mascot: %d triangles, over the budget of 10000" % counts["mascot"])
    particles.build(os.path.join(root, "images"))
    pickups.build(os.path.join(root, "images"))
    hud.build(os.path.join(root, "sprites/HUD"))
    teams.build(os.path.join(root, "sprites/HUD"))
    menus.build(os.path.join(root, "sprites"))
    arena_previews.build(os.path.join(root, "sprites"))
    for name, count in sorted(counts.items()):
        print("%-12s %6d triangles" % (name, count))


if __name__ == "__main__":
    main()
