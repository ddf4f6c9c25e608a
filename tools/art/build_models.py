"""Writes every OBJ model with its MTL, textures and normal maps."""
import os

import planes
import plane_paint
import weapon_paint
import weapons
from meshkit import write_mtl


def material(name, texture, ka=0.45, ks=0.35, ns=24, kd=1.0):
    return dict(name=name, Ka=(ka, ka, ka), Kd=(kd, kd, kd), Ks=(ks, ks, ks), Ns=ns, map_Kd=texture)


def save(root, folder, stem, mesh, materials, header, budget=None):
    directory = os.path.join(root, "models", folder)
    os.makedirs(directory, exist_ok=True)
    if budget is not None and mesh.triangle_count() > budget:
        raise SystemExit("%s/%s: %d triangles, over the budget of %d" % (folder, stem, mesh.triangle_count(), budget))
    mesh.write_obj(os.path.join(directory, stem + ".obj"), stem + ".mtl", header)
    write_mtl(os.path.join(directory, stem + ".mtl"), materials, header)
    return mesh.triangle_count()


# A match draws each plane some tens of pixels long: the match's models of
# the plane and what hangs on it ("<stem>Low.obj", beside the detailed ones,
# with the same material and texture layout) stay within this many triangles.
LOW_BUDGET = 600


def save_low(root, folder, stem, mesh, materials, header):
    return save(root, folder, stem + "Low", mesh, materials, header + " Match model: few triangles.", LOW_BUDGET)


def build(root):
    counts = {}
    plane_dir = os.path.join(root, "models", "playerPlane")
    os.makedirs(plane_dir, exist_ok=True)
    for name in plane_paint.LIVERIES:
        plane_paint.paint_livery(name, os.path.join(plane_dir, plane_paint.LIVERIES[name]["file"]))
    plane_paint.plane_normal_map(os.path.join(plane_dir, "playerNormal.png"))
    plane_look = [material("plane", "playerFinalTexture.png", ka=0.4, ks=0.4, ns=32)]
    header = "The players' plane: nose +Z, top +Y, wings +-X, origin at its centre."
    counts["playerPlane"] = save(root, "playerPlane", "playerPlane", planes.plane_mesh(), plane_look, header, 3000)
    counts["playerPlaneLow"] = save_low(root, "playerPlane", "playerPlane", planes.plane_mesh(low=True), plane_look,
                                        header)
    weapon_paint.propeller_texture(os.path.join(plane_dir, "propellor.png"))
    propeller_look = [material("propeller", "propellor.png", ks=0.5, ns=40)]
    header = "Spinner and three blades; the part turns about the Z axis."
    counts["propellor"] = save(root, "playerPlane", "propellor", planes.propeller_mesh(), propeller_look, header)
    counts["propellorLow"] = save_low(root, "playerPlane", "propellor", planes.propeller_mesh(low=True),
                                      propeller_look, header)
    weapon_paint.weapon_texture(os.path.join(plane_dir, "basicGuns.png"))
    weapon_paint.weapon_normal_map(os.path.join(plane_dir, "Basic_Normal.png"))
    guns_look = [material("basicGuns", "basicGuns.png", ks=0.6, ns=48)]
    header = "Two wing guns, muzzles at (+-2, -0.65, 2)."
    counts["basicGuns"] = save(root, "playerPlane", "basicGuns", weapons.basic_guns(), guns_look, header)
    counts["basicGunsLow"] = save_low(root, "playerPlane", "basicGuns", weapons.basic_guns(low=True), guns_look,
                                      header)

    specs = [
        ("gatlingGun", "gatlingGun", weapons.gatling_gun, "GatlingNormals.png", (0.2, 0.45, 0.85),
         "Six-barrel rotary gun under the belly, muzzle at (0, -1, 2)."),
        ("shotgun", "shotgun", weapons.shotgun, "Shotgun_Normal.png", (0.15, 0.6, 0.25),
         "Twin flared cheek barrels, muzzles at y 0.2, z 2."),
        ("waveGun", "waveGun", weapons.wave_gun, "WaveGun_Normal.png", (0.55, 0.3, 0.85),
         "Prototype wave gun (credits)."),
        ("beamCannon", "beamCannon", weapons.beam_cannon, "BeamCannon_Normal.png", (0.95, 0.95, 0.98),
         "Prototype beam cannon (credits)."),
        ("harpoonGun", "harpoonGun", weapons.harpoon_gun, "HarpoonGun_Normal.png", (0.1, 0.55, 0.6),
         "Prototype harpoon gun (credits)."),
    ]
    for folder, stem, builder, normal, paint, header in specs:
        d = os.path.join(root, "models", folder)
        os.makedirs(d, exist_ok=True)
        weapon_paint.weapon_texture(os.path.join(d, stem + ".png"), paint=paint)
        weapon_paint.weapon_normal_map(os.path.join(d, normal))
        look = [material(stem, stem + ".png", ks=0.6, ns=48)]
        counts[stem] = save(root, folder, stem, builder(), look, header)
        if stem in ("gatlingGun", "shotgun"):  # the power-ups a plane carries in a match
            counts[stem + "Low"] = save_low(root, folder, stem, builder(low=True), look, header)

    d = os.path.join(root, "models", "smallBomb")
    os.makedirs(d, exist_ok=True)
    weapon_paint.weapon_texture(os.path.join(d, "smallBomb.png"), paint=(0.2, 0.22, 0.25), band=(1.0, 0.85, 0.1))
    bomb_look = [material("smallBomb", "smallBomb.png", ks=0.5, ns=40)]
    header = "Finned bomb, long axis +Z, hanging under the origin (its rack point)."
    counts["smallBomb"] = save(root, "smallBomb", "smallBomb", weapons.small_bomb(), bomb_look, header)
    counts["smallBombLow"] = save_low(root, "smallBomb", "smallBomb", weapons.small_bomb(low=True), bomb_look, header)

    d = os.path.join(root, "models", "dronePlane")
    os.makedirs(d, exist_ok=True)
    weapon_paint.drone_texture(os.path.join(d, "dronePlane.png"))
    counts["dronePlane"] = save(root, "dronePlane", "dronePlane", planes.drone_mesh(),
                                [material("drone", "dronePlane.png", ks=0.4, ns=32)],
                                "Prototype drone plane (credits): nose +Z, top +Y.", 3000)
    return counts


if __name__ == "__main__":
    import sys
    for k, v in build(sys.argv[1] if len(sys.argv) > 1 else "assets").items():
        print("%-12s %5d triangles" % (k, v))


def build_stage(root):
    import arenas
    import canyon
    import canyon_paint
    import harbour
    import harbour_paint
    import stage
    import stage_paint
    d = os.path.join(root, "models", "basicStage")
    os.makedirs(d, exist_ok=True)
    stage_paint.paint_atlas(os.path.join(d, "stageAtlas.png"))
    flat = [dict(name="stage", Ka=(1, 1, 1), Kd=(1, 1, 1), Ks=(0, 0, 0), Ns=1, map_Kd="stageAtlas.png")]
    counts = {"basicStage": save(root, "basicStage", "basicStage", stage.stage_mesh(), flat,
                                 "The match stage, drawn unlit, scaled 1.5 at (4.5, -52.5, -66).", 40000)}
    arenas.write_solids(os.path.join(d, "basicStage.solids"), arenas.MEADOW)
    flat[0]["map_Kd"] = "../basicStage/stageAtlas.png"
    counts["background"] = save(root, "background", "background", stage.background_mesh(), flat,
                                "The credits backdrop: sky, clouds, hills and trees around the origin.")
    # The other arenas' stages: each within 1.3 times the meadow's triangles,
    # so that the software renderer draws them about as fast.
    budget = int(counts["basicStage"] * 1.3)
    for arena, module, painter, atlas, what in (
            (arenas.CANYON, canyon, canyon_paint, "canyonAtlas.png", "The canyon stage"),
            (arenas.HARBOUR, harbour, harbour_paint, "harbourAtlas.png", "The harbour stage")):
        stem = arena["name"] + "Stage"
        d = os.path.join(root, "models", stem)
        os.makedirs(d, exist_ok=True)
        painter.paint_atlas(os.path.join(d, atlas))
        look = [dict(flat[0], map_Kd=atlas)]
        counts[stem] = save(root, stem, stem, module.stage_mesh(), look,
                            what + ", drawn unlit, scaled 1.5 at (4.5, -52.5, -66).", budget)
        arenas.write_solids(os.path.join(d, stem + ".solids"), arena)
    return counts
