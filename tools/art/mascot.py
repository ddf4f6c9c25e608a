"""Scuff, the mascot (models/mascot/mascot.dae): a skinned, animated Collada
scene read by the engine's assimp loader. Six bones (body, head, both wings,
both feet); every vertex follows one bone; a 2.4-second idle loop bobs the
body, flaps the wings and tilts the head. About 4 units tall, facing +Z,
origin at the middle of the body. Texture: a colour palette
(mascot_diffuse.png) and a feather normal map (mascot_normals.png)."""
import math

import numpy as np

from imaging import blur, canvas, normal_map, save_surface, surface_to_array, write_png
from meshkit import Mesh, lathe, normalize

# Palette cells of the 256 x 256 texture, in OBJ-style coordinates.
CELLS = {
    "body": (0.0, 0.5, 0.5, 1.0),
    "belly": (0.5, 0.5, 1.0, 1.0),
    "beak": (0.0, 0.25, 0.25, 0.5),
    "scarf": (0.25, 0.25, 0.5, 0.5),
    "goggle": (0.5, 0.25, 0.75, 0.5),
    "lens": (0.75, 0.25, 1.0, 0.5),
    "eye": (0.0, 0.0, 0.25, 0.25),
    "pupil": (0.25, 0.0, 0.5, 0.25),
    "wing": (0.5, 0.0, 1.0, 0.25),
}
COLOURS = {
    "body": (1.0, 0.7, 0.15), "belly": (1.0, 0.95, 0.8), "beak": (1.0, 0.5, 0.1), "scarf": (0.85, 0.15, 0.15),
    "goggle": (0.45, 0.3, 0.2), "lens": (0.45, 0.75, 0.95), "eye": (1, 1, 1), "pupil": (0.08, 0.06, 0.1),
    "wing": (0.95, 0.6, 0.1),
}
# Bones: name, parent, bind position in the scene (world units).
BONES = [("body", None, (0.0, -0.2, 0.0)), ("head", "body", (0.0, 0.55, 0.0)),
         ("wing_L", "body", (1.05, 0.3, 0.0)), ("wing_R", "body", (-1.05, 0.3, 0.0)),
         ("foot_L", "body", (0.45, -1.2, 0.2)), ("foot_R", "body", (-0.45, -1.2, 0.2))]
LOOP = 2.4  # seconds
FPS_KEYS = 12  # keys per second of the idle loop


def ellipsoid(m, cell, centre, radii, segments=16, rings=10):
    prof = [(-math.cos(math.pi * k / rings), math.sin(math.pi * k / rings)) for k in range(rings + 1)]
    mesh = Mesh()
    lathe(mesh, cell, prof, segments, CELLS[cell], center=(0, 0, 0), axis="y")
    # lathe's profile is linear between points; squash the unit sphere into the ellipsoid.
    rx, ry, rz = radii
    mat = np.diag([rx, ry, rz, 1.0])
    mat[:3, 3] = centre
    m.extend(mesh.transformed(mat))


def part_meshes():
    """(bone, mesh) pairs."""
    parts = []
    body = Mesh()
    ellipsoid(body, "body", (0, -0.2, 0), (1.25, 1.15, 1.1), 20, 12)
    ellipsoid(body, "belly", (0, -0.35, 0.32), (0.88, 0.85, 0.85), 18, 10)
    scarf = Mesh()
    lathe(scarf, "scarf", [(-0.22, 0.86), (-0.1, 1.02), (0.1, 1.02), (0.22, 0.86)], 20, CELLS["scarf"],
          center=(0, 0.55, 0), axis="y")
    body.extend(scarf)
    ellipsoid(body, "scarf", (0.55, 0.25, 0.9), (0.22, 0.42, 0.12), 10, 6)  # the scarf's loose end
    parts.append(("body", body))

    head = Mesh()
    ellipsoid(head, "body", (0, 1.2, 0.05), (0.95, 0.85, 0.9), 20, 12)
    for side in (-1, 1):
        ellipsoid(head, "eye", (side * 0.32, 1.22, 0.74), (0.22, 0.27, 0.14), 12, 8)
        ellipsoid(head, "pupil", (side * 0.29, 1.2, 0.86), (0.1, 0.13, 0.05), 10, 6)
        ellipsoid(head, "lens", (side * 0.38, 1.72, 0.6), (0.26, 0.2, 0.1), 12, 8)
    lathe(head, "goggle", [(-0.08, 0.9), (0.08, 0.9)], 24, CELLS["goggle"], center=(0, 1.68, 0.02), axis="y")
    beak = Mesh()
    lathe(beak, "beak", [(0.0, 0.0), (0.0, 0.2), (0.45, 0.0)], 12, CELLS["beak"], center=(0, 0.98, 0.72), axis="z")
    head.extend(beak)
    parts.append(("head", head))

    for side, bone in ((1, "wing_L"), (-1, "wing_R")):
        wing = Mesh()
        ellipsoid(wing, "wing", (side * 1.38, -0.15, 0.0), (0.3, 0.68, 0.48), 14, 8)
        parts.append((bone, wing))
    for side, bone in ((1, "foot_L"), (-1, "foot_R")):
        foot = Mesh()
        ellipsoid(foot, "beak", (side * 0.45, -1.42, 0.35), (0.34, 0.14, 0.5), 12, 6)
        parts.append((bone, foot))
    return parts


def rot(axis, angle):
    x, y, z = normalize(axis)
    c, s = math.cos(angle), math.sin(angle)
    C = 1 - c
    r = np.eye(4)
    r[:3, :3] = [[c + x * x * C, x * y * C - z * s, x * z * C + y * s],
                 [y * x * C + z * s, c + y * y * C, y * z * C - x * s],
                 [z * x * C - y * s, z * y * C + x * s, c + z * z * C]]
    return r


def trans(v):
    t = np.eye(4)
    t[:3, 3] = v
    return t


def bone_local(name, t):
    """A bone's transform relative to its parent at time t of the loop."""
    names = {b[0]: b for b in BONES}
    _, parent, pos = names[name]
    offset = np.array(pos) - (np.array(names[parent][2]) if parent else 0)
    phase = 2 * math.pi * t / LOOP
    if name == "body":
        return trans(offset + np.array([0, 0.12 * math.sin(phase * 2) ** 2, 0])) @ rot((0, 0, 1), 0.05 * math.sin(phase))
    if name == "head":
        return trans(offset) @ rot((0, 0, 1), 0.14 * math.sin(phase)) @ rot((1, 0, 0), 0.08 * math.sin(phase * 2))
    if name.startswith("wing"):
        side = 1 if name.endswith("L") else -1
        return trans(offset) @ rot((0, 0, 1), side * (0.15 + 0.4 * (0.5 + 0.5 * math.sin(phase * 2))))
    return trans(offset)


def fmt(values):
    return " ".join(("%.5f" % v).rstrip("0").rstrip(".") if "." in "%.5f" % v else "%d" % v for v in values)


def matrix_text(m):
    return fmt(np.asarray(m).reshape(-1))  # Collada matrices are written row by row


def write_dae(path):
    parts = part_meshes()
    bone_index = {b[0]: i for i, b in enumerate(BONES)}
    positions, normals, uvs, weights = [], [], [], []
    pos_key, nrm_key, uv_key = {}, {}, {}
    indices = []

    def key_index(table, store, key, extra=None):
        if key not in table:
            table[key] = len(store)
            store.append(key)
            if extra is not None:
                weights.append(extra)
        return table[key]

    for bone, mesh in parts:
        for material in sorted(mesh.groups):
            for p, n, t in mesh.groups[material]:
                for i in range(3):
                    pk = tuple(round(c, 5) for c in p[i]) + (bone_index[bone],)
                    pi = key_index(pos_key, positions, pk, bone_index[bone])
                    ni = key_index(nrm_key, normals, tuple(round(c, 4) for c in n[i]))
                    ti = key_index(uv_key, uvs, tuple(round(c, 5) for c in t[i]))
                    indices += [pi, ni, ti]
    triangles = len(indices) // 9

    world_bind = {}
    for name, parent, pos in BONES:
        world_bind[name] = trans(pos)
    inv_bind = [np.linalg.inv(world_bind[b[0]]) for b in BONES]

    def joint_nodes(parent, depth):
        out = []
        for name, par, pos in BONES:
            if par != parent:
                continue
            pad = "  " * depth
            out.append('%s<node id="%s" name="%s" sid="%s" type="JOINT">' % (pad, name, name, name))
            out.append('%s  <matrix sid="transform">%s</matrix>' % (pad, matrix_text(bone_local(name, 0.0))))
            out.extend(joint_nodes(name, depth + 1))
            out.append("%s</node>" % pad)
        return out

    keys = int(LOOP * FPS_KEYS) + 1
    times = [LOOP * k / (keys - 1) for k in range(keys)]
    animations = []
    for name, _, _ in BONES:
        mats = " ".join(matrix_text(bone_local(name, t)) for t in times)
        animations.append("""    <animation id="%(n)s-anim">
      <source id="%(n)s-time"><float_array id="%(n)s-time-array" count="%(k)d">%(t)s</float_array>
        <technique_common><accessor source="#%(n)s-time-array" count="%(k)d" stride="1"><param name="TIME" type="float"/></accessor></technique_common></source>
      <source id="%(n)s-out"><float_array id="%(n)s-out-array" count="%(k16)d">%(m)s</float_array>
        <technique_common><accessor source="#%(n)s-out-array" count="%(k)d" stride="16"><param name="TRANSFORM" type="float4x4"/></accessor></technique_common></source>
      <source id="%(n)s-interp"><Name_array id="%(n)s-interp-array" count="%(k)d">%(i)s</Name_array>
        <technique_common><accessor source="#%(n)s-interp-array" count="%(k)d" stride="1"><param name="INTERPOLATION" type="name"/></accessor></technique_common></source>
      <sampler id="%(n)s-sampler">
        <input semantic="INPUT" source="#%(n)s-time"/>
        <input semantic="OUTPUT" source="#%(n)s-out"/>
        <input semantic="INTERPOLATION" source="#%(n)s-interp"/>
      </sampler>
      <channel source="#%(n)s-sampler" target="%(n)s/transform"/>
    </animation>""" % dict(n=name, k=keys, k16=keys * 16, t=fmt(times), m=mats, i=" ".join(["LINEAR"] * keys)))

    nb = len(BONES)
    dae = """<?xml version="1.0" encoding="utf-8"?>
<!-- Scuff, the Skyscuffle mascot. Made by tools/art/mascot.py (make assets); do not edit by hand. -->
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset><contributor><authoring_tool>tools/art/mascot.py</authoring_tool></contributor>
    <created>2026-01-01T00:00:00</created><modified>2026-01-01T00:00:00</modified>
    <unit name="meter" meter="1"/><up_axis>Y_UP</up_axis></asset>
  <library_images><image id="diffuse-image" name="diffuse-image"><init_from>mascot_diffuse.png</init_from></image></library_images>
  <library_effects>
    <effect id="feathers-effect"><profile_COMMON>
      <newparam sid="diffuse-surface"><surface type="2D"><init_from>diffuse-image</init_from></surface></newparam>
      <newparam sid="diffuse-sampler"><sampler2D><source>diffuse-surface</source></sampler2D></newparam>
      <technique sid="common"><phong>
        <ambient><color sid="ambient">0.45 0.45 0.45 1</color></ambient>
        <diffuse><texture texture="diffuse-sampler" texcoord="UVMap"/></diffuse>
        <specular><color sid="specular">0.25 0.25 0.25 1</color></specular>
        <shininess><float sid="shininess">24</float></shininess>
      </phong></technique></profile_COMMON></effect>
  </library_effects>
  <library_materials><material id="feathers" name="feathers"><instance_effect url="#feathers-effect"/></material></library_materials>
  <library_geometries>
    <geometry id="mascot-mesh" name="mascot"><mesh>
      <source id="mascot-positions"><float_array id="mascot-positions-array" count="%(np3)d">%(pos)s</float_array>
        <technique_common><accessor source="#mascot-positions-array" count="%(np)d" stride="3"><param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/></accessor></technique_common></source>
      <source id="mascot-normals"><float_array id="mascot-normals-array" count="%(nn3)d">%(nrm)s</float_array>
        <technique_common><accessor source="#mascot-normals-array" count="%(nn)d" stride="3"><param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/></accessor></technique_common></source>
      <source id="mascot-uvs"><float_array id="mascot-uvs-array" count="%(nt2)d">%(uv)s</float_array>
        <technique_common><accessor source="#mascot-uvs-array" count="%(nt)d" stride="2"><param name="S" type="float"/><param name="T" type="float"/></accessor></technique_common></source>
      <vertices id="mascot-vertices"><input semantic="POSITION" source="#mascot-positions"/></vertices>
      <triangles material="feathers-material" count="%(tris)d">
        <input semantic="VERTEX" source="#mascot-vertices" offset="0"/>
        <input semantic="NORMAL" source="#mascot-normals" offset="1"/>
        <input semantic="TEXCOORD" source="#mascot-uvs" offset="2" set="0"/>
        <p>%(p)s</p>
      </triangles>
    </mesh></geometry>
  </library_geometries>
  <library_controllers>
    <controller id="mascot-skin"><skin source="#mascot-mesh">
      <bind_shape_matrix>1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1</bind_shape_matrix>
      <source id="mascot-joints"><Name_array id="mascot-joints-array" count="%(nb)d">%(jn)s</Name_array>
        <technique_common><accessor source="#mascot-joints-array" count="%(nb)d" stride="1"><param name="JOINT" type="name"/></accessor></technique_common></source>
      <source id="mascot-bind"><float_array id="mascot-bind-array" count="%(nb16)d">%(ib)s</float_array>
        <technique_common><accessor source="#mascot-bind-array" count="%(nb)d" stride="16"><param name="TRANSFORM" type="float4x4"/></accessor></technique_common></source>
      <source id="mascot-weights"><float_array id="mascot-weights-array" count="1">1</float_array>
        <technique_common><accessor source="#mascot-weights-array" count="1" stride="1"><param name="WEIGHT" type="float"/></accessor></technique_common></source>
      <joints><input semantic="JOINT" source="#mascot-joints"/><input semantic="INV_BIND_MATRIX" source="#mascot-bind"/></joints>
      <vertex_weights count="%(np)d">
        <input semantic="JOINT" source="#mascot-joints" offset="0"/>
        <input semantic="WEIGHT" source="#mascot-weights" offset="1"/>
        <vcount>%(vc)s</vcount>
        <v>%(v)s</v>
      </vertex_weights>
    </skin></controller>
  </library_controllers>
  <library_animations>
%(anims)s
  </library_animations>
  <library_visual_scenes>
    <visual_scene id="scene" name="scene">
      <node id="Armature" name="Armature" type="NODE">
%(joints)s
      </node>
      <node id="Mascot" name="Mascot" type="NODE">
        <instance_controller url="#mascot-skin">
          <skeleton>#body</skeleton>
          <bind_material><technique_common>
            <instance_material symbol="feathers-material" target="#feathers"><bind_vertex_input semantic="UVMap" input_semantic="TEXCOORD" input_set="0"/></instance_material>
          </technique_common></bind_material>
        </instance_controller>
      </node>
    </visual_scene>
  </library_visual_scenes>
  <scene><instance_visual_scene url="#scene"/></scene>
</COLLADA>
""" % dict(np=len(positions), np3=3 * len(positions), pos=fmt(c for p in positions for c in p[:3]),
           nn=len(normals), nn3=3 * len(normals), nrm=fmt(c for n in normals for c in n),
           nt=len(uvs), nt2=2 * len(uvs), uv=fmt(c for t in uvs for c in t), tris=triangles,
           p=" ".join(map(str, indices)), nb=nb, nb16=16 * nb, jn=" ".join(b[0] for b in BONES),
           ib=" ".join(matrix_text(m) for m in inv_bind), vc=" ".join(["1"] * len(positions)),
           v=" ".join("%d 0" % w for w in weights), anims="\n".join(animations),
           joints="\n".join(joint_nodes(None, 4)))
    with open(path, "w") as f:
        f.write(dae)
    return triangles


def paint(diffuse_path, normal_path):
    size = 256
    surface, ctx = canvas(size, size)
    for name, (u0, v0, u1, v1) in CELLS.items():
        ctx.set_source_rgb(*COLOURS[name])
        ctx.rectangle(u0 * size, (1 - v1) * size, (u1 - u0) * size, (v1 - v0) * size)
        ctx.fill()
    # Goggle lenses get a glint.
    u0, v0, u1, v1 = CELLS["lens"]
    ctx.set_source_rgb(0.9, 0.97, 1.0)
    ctx.rectangle(u0 * size, (1 - v1) * size + 40, (u1 - u0) * size, 8)
    ctx.fill()
    save_surface(surface, diffuse_path)
    # Feather scallops on the body and wing cells; smooth elsewhere.
    hs, hctx = canvas(size, size)
    hctx.set_source_rgb(0.5, 0.5, 0.5)
    hctx.paint()
    for cell in ("body", "wing", "belly"):
        u0, v0, u1, v1 = CELLS[cell]
        x0, y0, w, h = u0 * size, (1 - v1) * size, (u1 - u0) * size, (v1 - v0) * size
        hctx.save()
        hctx.rectangle(x0, y0, w, h)
        hctx.clip()
        step = 14 if cell != "belly" else 20
        for j in range(int(h / step) + 2):
            for i in range(int(w / step) + 2):
                cx = x0 + i * step + (step / 2 if j % 2 else 0)
                cy = y0 + j * step
                import cairo
                g = cairo.RadialGradient(cx, cy - step * 0.3, 1, cx, cy, step * 0.75)
                g.add_color_stop_rgb(0, 1, 1, 1)
                g.add_color_stop_rgb(1, 0.2, 0.2, 0.2)
                hctx.set_source(g)
                hctx.arc(cx, cy, step * 0.75, 0, math.pi)
                hctx.fill()
        hctx.restore()
    height = blur(surface_to_array(hs)[:, :, 0], 1.0)
    write_png(normal_path, normal_map(height, 3.0))
