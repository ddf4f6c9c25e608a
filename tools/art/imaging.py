"""PNG output and small image helpers shared by the painters.

Pictures are drawn with cairo (vector shapes, text) or computed with numpy
(soft particles, normal maps) and written as 8-bit RGBA PNGs with straight,
not premultiplied, alpha by our own writer, so the bytes depend only on the
pixels."""
import contextlib
import math
import struct
import zlib

import cairo
import numpy as np


def write_png(path, rgba):
    """rgba: float array (h, w, 4) in 0..1, straight alpha; or uint8. Images
    without transparency are stored as RGB."""
    if rgba.dtype != np.uint8:
        rgba = np.clip(np.round(rgba * 255.0), 0, 255).astype(np.uint8)
    h, w, _ = rgba.shape
    opaque = bool((rgba[:, :, 3] == 255).all())
    data = rgba[:, :, :3] if opaque else rgba
    colour_type = 2 if opaque else 6
    raw = b"".join(b"\x00" + data[y].tobytes() for y in range(h))

    def chunk(kind, payload):
        return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, colour_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def canvas(w, h):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    ctx = cairo.Context(surface)
    ctx.set_antialias(cairo.ANTIALIAS_BEST)
    return surface, ctx


def surface_to_array(surface):
    """Cairo's premultiplied BGRA to straight RGBA floats."""
    surface.flush()
    h, w = surface.get_height(), surface.get_width()
    buf = np.frombuffer(surface.get_data(), np.uint8).reshape(h, surface.get_stride() // 4, 4)[:, :w]
    b, g, r, a = [buf[:, :, i].astype(float) / 255.0 for i in range(4)]
    safe = np.where(a > 0, a, 1.0)
    rgb = np.stack([r / safe, g / safe, b / safe], axis=2)
    return np.concatenate([np.clip(rgb, 0, 1), a[:, :, None]], axis=2)


def save_surface(surface, path):
    write_png(path, surface_to_array(surface))


def blur(img, radius):
    """Separable box blur, three passes (close to a Gaussian); edges clamp."""
    out = img.astype(float)
    r = int(max(1, radius))
    for _ in range(3):
        for axis in (0, 1):
            pad = [(0, 0)] * out.ndim
            pad[axis] = (r + 1, r)
            padded = np.pad(out, pad, mode="edge")
            c = np.cumsum(padded, axis=axis)
            hi = np.take(c, range(2 * r + 1, c.shape[axis]), axis=axis)
            lo = np.take(c, range(0, c.shape[axis] - 2 * r - 1), axis=axis)
            out = (hi - lo) / (2 * r + 1)
    return out


def normal_map(height, strength):
    """Tangent-space normal map from a height field (h, w) in 0..1. The
    engine samples OBJ texture coordinates flipped (v grows down the image),
    so the second axis follows image rows downwards."""
    gy, gx = np.gradient(height)
    n = np.stack([-gx * strength, -gy * strength, np.ones_like(height)], axis=2)
    n /= np.linalg.norm(n, axis=2, keepdims=True)
    rgba = np.concatenate([n * 0.5 + 0.5, np.ones(height.shape + (1,))], axis=2)
    return rgba


def hex_rgb(h):
    h = h.lstrip("#")
    return tuple(int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


@contextlib.contextmanager
def clipped(ctx, cell):
    """Drawing confined to an atlas cell (x, y, w, h); the context is as it
    was before once the block ends."""
    x, y, w, h = cell
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    try:
        yield
    finally:
        ctx.restore()


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def region_px(region, size):
    """An OBJ texture region (u0, v0, u1, v1) as a pixel rectangle x, y, w, h."""
    u0, v0, u1, v1 = region
    w, h = size
    return u0 * w, (1 - v1) * h, (u1 - u0) * w, (v1 - v0) * h
