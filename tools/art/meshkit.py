"""Triangle meshes for the game's OBJ models and the mascot.

A Mesh is a list of triangles, each corner carrying a position, a normal and a
texture coordinate (u right, v up, as OBJ files have them), grouped by
material name. The engine's OBJ reader takes exactly three corners per face
and no index de-duplication, so everything here is triangles; the writer
shares equal positions, normals and coordinates to keep the files small.
"""
import math

import numpy as np


def normalize(v):
    v = np.asarray(v, dtype=float)
    n = np.linalg.norm(v)
    return v / n if n > 1e-12 else np.array([0.0, 1.0, 0.0])


class Mesh:
    def __init__(self):
        # material -> list of (p0, p1, p2, n0, n1, n2, t0, t1, t2)
        self.groups = {}

    def triangle(self, material, p, n, t):
        self.groups.setdefault(material, []).append(
            (tuple(map(tuple, p)), tuple(map(tuple, n)), tuple(map(tuple, t))))

    def flat_triangle(self, material, p, t):
        p = [np.asarray(x, float) for x in p]
        n = normalize(np.cross(p[1] - p[0], p[2] - p[0]))
        self.triangle(material, p, [n, n, n], t)

    def extend(self, other):
        for m, tris in other.groups.items():
            self.groups.setdefault(m, []).extend(tris)

    def triangle_count(self):
        return sum(len(t) for t in self.groups.values())

    def transformed(self, matrix):
        """A copy moved by a 4 x 4 matrix (normals by its inverse transpose)."""
        matrix = np.asarray(matrix, float)
        linear = matrix[:3, :3]
        normal_matrix = np.linalg.inv(linear).T
        flip = np.linalg.det(linear) < 0
        out = Mesh()
        for m, tris in self.groups.items():
            for p, n, t in tris:
                pp = [tuple(linear @ np.array(x) + matrix[:3, 3]) for x in p]
                nn = [tuple(normalize(normal_matrix @ np.array(x))) for x in n]
                if flip:
                    pp, nn, t = pp[::-1], nn[::-1], t[::-1]
                out.groups.setdefault(m, []).append((tuple(pp), tuple(nn), tuple(t)))
        return out

    def nearest_first(self):
        """A copy with each material's triangles ordered from the largest z
        (nearest a camera looking along -Z) to the smallest, ties in their
        order. Drawn so, with the depth test on, a near layer hides what is
        behind it before that is shaded: a layered backdrop drawn far to near
        would shade most pixels several times over."""
        out = Mesh()
        for m, tris in self.groups.items():
            out.groups[m] = sorted(tris, key=lambda tri: -(tri[0][0][2] + tri[0][1][2] + tri[0][2][2]))
        return out

    def bounds(self):
        pts = np.array([c for tris in self.groups.values() for tri in tris for c in tri[0]])
        return pts.min(axis=0), pts.max(axis=0)

    def write_obj(self, path, mtl_name, header):
        positions, normals, uvs = {}, {}, {}
        lines = []

        def index(table, key):
            if key not in table:
                table[key] = len(table) + 1
            return table[key]

        body = []
        for material in sorted(self.groups):
            body.append("usemtl %s" % material)
            for p, n, t in self.groups[material]:
                corners = []
                for i in range(3):
                    pk = tuple(round(x, 4) + 0.0 for x in p[i])
                    nk = tuple(round(x, 3) + 0.0 for x in n[i])
                    tk = tuple(round(x, 4) + 0.0 for x in t[i])
                    corners.append("%d/%d/%d" % (index(positions, pk), index(uvs, tk), index(normals, nk)))
                body.append("f " + " ".join(corners))
        lines.append("# " + header)
        lines.append("# %d triangles. Made by tools/art (make assets); do not edit by hand." % self.triangle_count())
        lines.append("mtllib %s" % mtl_name)
        for k in positions:
            lines.append("v " + numbers_text(k))
        for k in uvs:
            lines.append("vt " + numbers_text(k))
        for k in normals:
            lines.append("vn " + numbers_text(k))
        lines.extend(body)
        with open(path, "w") as f:
            f.write("\n".join(lines) + "\n")


def numbers_text(values):
    """Four decimals at most, trailing zeros dropped ("0.5", "12"); no "-0"."""
    out = []
    for x in values:
        text = ("%.4f" % x).rstrip("0").rstrip(".")
        out.append("0" if text in ("-0", "") else text)
    return " ".join(out)


def write_mtl(path, materials, header):
    """materials: list of dicts with name, Ka, Kd, Ks, Ns, map_Kd (optional)."""
    lines = ["# " + header, "# Made by tools/art (make assets)."]
    for m in materials:
        lines.append("")
        lines.append("newmtl %s" % m["name"])
        for key in ("Ka", "Kd", "Ks"):
            lines.append("%s %.3f %.3f %.3f" % ((key,) + tuple(m[key])))
        lines.append("Ns %g" % m.get("Ns", 20))
        if m.get("map_Kd"):
            lines.append("map_Kd %s" % m["map_Kd"])
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


# --- Parametric surfaces ------------------------------------------------------

def surface(mesh, material, f, nu, nv, uv_rect, u_range=(0.0, 1.0), v_range=(0.0, 1.0), flip=False,
            normal_fn=None, inside=None):
    """A grid over the parameters (s, t) in u_range x v_range of the point
    function f(s, t) -> xyz. Texture coordinates map s and t linearly into
    uv_rect = (u0, v0, u1, v1). Normals from the surface's partial
    derivatives (outward when f winds counter-clockwise), or normal_fn."""
    u0, v0, u1, v1 = uv_rect
    s_vals = np.linspace(u_range[0], u_range[1], nu + 1)
    t_vals = np.linspace(v_range[0], v_range[1], nv + 1)
    eps = 1e-4

    def normal(s, t):
        if normal_fn is not None:
            return normalize(normal_fn(s, t))
        # Step inwards at the edges so that poles still give a direction.
        sc = min(max(s, u_range[0] + 2 * eps), u_range[1] - 2 * eps)
        tc = min(max(t, v_range[0] + 2 * eps), v_range[1] - 2 * eps)
        ds = (np.array(f(sc + eps, tc)) - np.array(f(sc - eps, tc)))
        dt = (np.array(f(sc, tc + eps)) - np.array(f(sc, tc - eps)))
        n = np.cross(ds, dt)
        if np.linalg.norm(n) < 1e-12:
            n = np.array(f(sc, tc)) - np.array(f(0.5 * (u_range[0] + u_range[1]), tc))
        return normalize(-n if flip else n)

    grid = [[np.array(f(s, t), float) for t in t_vals] for s in s_vals]
    norms = [[normal(s, t) for t in t_vals] for s in s_vals]
    tex = [[(u0 + (u1 - u0) * (s - u_range[0]) / (u_range[1] - u_range[0]),
             v0 + (v1 - v0) * (t - v_range[0]) / (v_range[1] - v_range[0])) for t in t_vals] for s in s_vals]
    for i in range(nu):
        for j in range(nv):
            a, b, c, d = (i, j), (i + 1, j), (i + 1, j + 1), (i, j + 1)
            quads = [(a, b, c), (a, c, d)]
            for tri in quads:
                if flip:
                    tri = tri[::-1]
                pts = [grid[x][y] for x, y in tri]
                g = np.cross(pts[1] - pts[0], pts[2] - pts[0])
                if np.linalg.norm(g) < 1e-10:
                    continue  # collapsed at a pole
                ns = [norms[x][y] for x, y in tri]
                uvs = [tex[x][y] for x, y in tri]
                if inside is not None:
                    # Wind outwards, away from the given inner point.
                    centre = (pts[0] + pts[1] + pts[2]) / 3
                    sc = s_vals[tri[0][0]] * 0.5 + s_vals[tri[1][0]] * 0.5
                    if np.dot(g, centre - np.asarray(inside(sc), float)) < 0:
                        pts, ns, uvs, g = pts[::-1], ns[::-1], uvs[::-1], -g
                    ns = [n if np.dot(n, g) >= 0 else -n for n in ns]
                mesh.triangle(material, pts, ns, uvs)


def lathe(mesh, material, profile, segments, uv_rect, center=(0, 0, 0), squash=(1.0, 1.0), axis="z",
          angle_range=(0.0, 2 * math.pi), flip=False, along_steps=3):
    """A surface of revolution around an axis through `center`: profile is a
    list of (along, radius) pairs, interpolated linearly; squash scales the
    two cross-section directions. u follows the profile (along_steps rows per
    profile segment), v goes around."""
    profile = np.array(profile, float)
    lengths = np.concatenate([[0], np.cumsum(np.linalg.norm(np.diff(profile, axis=0), axis=1))])
    total = lengths[-1]

    def at(s):
        d = s * total
        k = min(np.searchsorted(lengths, d, side="right") - 1, len(profile) - 2)
        k = max(k, 0)
        span = lengths[k + 1] - lengths[k]
        w = 0 if span == 0 else (d - lengths[k]) / span
        return profile[k] + (profile[k + 1] - profile[k]) * w

    cx, cy, cz = center

    def f(s, t):
        along, r = at(s)
        a = angle_range[0] + (angle_range[1] - angle_range[0]) * t
        # Angle 0 points down (-Y for a Z axis), so a full turn's seam is underneath.
        c1, c2 = -math.cos(a) * r * squash[1], -math.sin(a) * r * squash[0]
        if axis == "z":
            return (cx + c2, cy + c1, cz + along)
        if axis == "x":
            return (cx + along, cy + c1, cz - c2)
        return (cx - c2, cy + along, cz + c1)  # axis y: seam towards -Z

    segs_u = max(1, along_steps * (len(profile) - 1))
    surface(mesh, material, f, segs_u, segments, uv_rect, flip=flip)


def box(mesh, material, lo, hi, uv_rect=(0, 0, 1, 1), face_uvs=None):
    """An axis-aligned box with flat faces; each face maps the whole uv_rect
    (or face_uvs[name] for names +x -x +y -y +z -z)."""
    x0, y0, z0 = lo
    x1, y1, z1 = hi
    faces = {
        "+x": [(x1, y0, z1), (x1, y0, z0), (x1, y1, z0), (x1, y1, z1)],
        "-x": [(x0, y0, z0), (x0, y0, z1), (x0, y1, z1), (x0, y1, z0)],
        "+y": [(x0, y1, z1), (x1, y1, z1), (x1, y1, z0), (x0, y1, z0)],
        "-y": [(x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1)],
        "+z": [(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)],
        "-z": [(x1, y0, z0), (x0, y0, z0), (x0, y1, z0), (x1, y1, z0)],
    }
    for name, q in faces.items():
        if face_uvs is not None and name not in face_uvs:
            continue
        u0, v0, u1, v1 = face_uvs[name] if face_uvs else uv_rect
        t = [(u0, v0), (u1, v0), (u1, v1), (u0, v1)]
        quad(mesh, material, q, t)


def quad(mesh, material, q, t):
    mesh.flat_triangle(material, [q[0], q[1], q[2]], [t[0], t[1], t[2]])
    mesh.flat_triangle(material, [q[0], q[2], q[3]], [t[0], t[2], t[3]])


def fan(mesh, material, center, ring, uv_of, normal=None):
    """A flat fan from a centre point around a closed ring of points (counter-
    clockwise seen from the side the face looks to)."""
    c = np.asarray(center, float)
    for i in range(len(ring)):
        a, b = np.asarray(ring[i], float), np.asarray(ring[(i + 1) % len(ring)], float)
        if normal is None:
            mesh.flat_triangle(material, [c, a, b], [uv_of(c), uv_of(a), uv_of(b)])
        else:
            mesh.triangle(material, [c, a, b], [normal] * 3, [uv_of(c), uv_of(a), uv_of(b)])


def extrude(mesh, material, outline, z0, z1, uv_of_xy, side_uv):
    """A flat, star-shaped outline in the x-y plane (counter-clockwise seen
    from +z, star-shaped around its centroid) extruded from depth z0 to z1.
    Both caps map x-y through uv_of_xy; the rim runs along side_uv."""
    pts = np.array(outline, float)
    centroid = pts.mean(axis=0)
    uv = lambda p: uv_of_xy((p[0], p[1]))
    fan(mesh, material, (centroid[0], centroid[1], z1), [(p[0], p[1], z1) for p in pts], uv)
    fan(mesh, material, (centroid[0], centroid[1], z0), [(p[0], p[1], z0) for p in pts[::-1]], uv)
    su0, sv0, su1, sv1 = side_uv
    n = len(pts)
    per = np.concatenate([[0], np.cumsum(np.linalg.norm(np.diff(np.vstack([pts, pts[:1]]), axis=0), axis=1))])
    for i in range(n):
        a, b = pts[i], pts[(i + 1) % n]
        ua = su0 + (su1 - su0) * per[i] / per[-1]
        ub = su0 + (su1 - su0) * per[i + 1] / per[-1]
        q = [(a[0], a[1], z0), (b[0], b[1], z0), (b[0], b[1], z1), (a[0], a[1], z1)]
        quad(mesh, material, q, [(ua, sv0), (ub, sv0), (ub, sv1), (ua, sv1)])


def translate(x, y, z):
    m = np.eye(4)
    m[:3, 3] = (x, y, z)
    return m


def rotate(axis, angle):
    axis = normalize(axis)
    x, y, z = axis
    c, s = math.cos(angle), math.sin(angle)
    C = 1 - c
    m = np.eye(4)
    m[:3, :3] = [[c + x * x * C, x * y * C - z * s, x * z * C + y * s],
                 [y * x * C + z * s, c + y * y * C, y * z * C - x * s],
                 [z * x * C - y * s, z * y * C + x * s, c + z * z * C]]
    return m


def scale(x, y, z):
    return np.diag([x, y, z, 1.0])
