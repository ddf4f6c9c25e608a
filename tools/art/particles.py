"""Particle, projectile and shadow textures (assets/images/). Soft shapes
with straight alpha that falls to 0 at the edge: they are drawn additively
or alpha-blended on quads and tinted by the game (texel x colour), so all
but fire, bullet and the explosion flash are white or grey."""
import math

import numpy as np

from imaging import write_png


def grid(w, h):
    y, x = np.mgrid[0:h, 0:w]
    return (x + 0.5) / w * 2 - 1, (y + 0.5) / h * 2 - 1


def smooth(edge0, edge1, v):
    t = np.clip((v - edge0) / (edge1 - edge0), 0, 1)
    return t * t * (3 - 2 * t)


def rgba(rgb, alpha):
    out = np.zeros(alpha.shape + (4,))
    for i in range(3):
        out[:, :, i] = rgb[i] if np.isscalar(rgb[i]) else rgb[i]
    out[:, :, 3] = alpha
    return out


def edge_fade(alpha, x, y):
    """Forces alpha to 0 on the outermost pixels, whatever the shape."""
    r = np.maximum(np.abs(x), np.abs(y))
    return alpha * (1 - smooth(0.86, 0.97, r))


def soft_disc(path, size=128, power=1.6, rgb=(1, 1, 1), peak=1.0):
    x, y = grid(size, size)
    r = np.sqrt(x * x + y * y)
    a = peak * (1 - smooth(0.0, 1.0, r)) ** power
    write_png(path, rgba(rgb, edge_fade(a, x, y)))


def bullet(path):
    """A tracer capsule, hot white at its head on the right (+x is the
    flight direction), yellow then orange towards the tail. Its edge is
    antialiased but otherwise firm, so it reads the same whether the quad is
    alpha-blended or drawn opaque (the flat program drops alpha-0 texels)."""
    w, h = 128, 64
    x, y = grid(w, h)
    px, py = x * 2.0, y  # in units of the image's height
    ax, bx, radius = -1.55, 1.45, 0.62
    t = np.clip((px - ax) / (bx - ax), 0, 1)
    dist = np.sqrt((px - (ax + t * (bx - ax))) ** 2 + py ** 2) - radius * (0.45 + 0.55 * t)
    pixel = 2.0 / h
    a = 1 - smooth(-pixel, pixel, dist)
    heat = np.clip(t * 1.2 - np.abs(py) * 0.6, 0, 1)
    rgb = (np.ones_like(x), 0.55 + 0.45 * heat, 0.1 + 0.9 * heat ** 2)
    write_png(path, rgba(rgb, edge_fade(a, x, y)))


def fire(path, size=128):
    x, y = grid(size, size)
    r = np.sqrt(x * x + (y * 0.9) ** 2)
    a = (1 - smooth(0.1, 1.0, r)) ** 1.2
    heat = 1 - smooth(0.0, 0.8, r)
    rgb = (np.ones_like(r), 0.35 + 0.6 * heat, 0.05 + 0.75 * heat ** 2)
    write_png(path, rgba(rgb, edge_fade(a, x, y)))


def explosion(path, size=256):
    """A cartoon blast: a spiky star, white-yellow in the middle, orange then
    red towards the tips."""
    x, y = grid(size, size)
    r = np.sqrt(x * x + y * y)
    ang = np.arctan2(y, x)
    spikes = 0.72 + 0.16 * np.cos(ang * 9) + 0.06 * np.cos(ang * 5 + 1.0)
    shape = 1 - smooth(spikes - 0.12, spikes, r)
    heat = 1 - smooth(0.0, spikes, r)
    rgb = (np.ones_like(r), 0.3 + 0.7 * heat ** 0.8, 0.05 + 0.9 * heat ** 2.5)
    write_png(path, rgba(rgb, edge_fade(np.clip(shape, 0, 1), x, y)))


def smoke(path, size=128):
    """A lumpy puff, light grey, darker underneath."""
    x, y = grid(size, size)
    lumps = [(-0.25, 0.1, 0.45), (0.22, 0.05, 0.5), (0.0, -0.25, 0.5), (0.05, 0.3, 0.4)]
    a = np.zeros_like(x)
    for lx, ly, lr in lumps:
        a = np.maximum(a, 1 - smooth(lr * 0.4, lr, np.sqrt((x - lx) ** 2 + (y - ly) ** 2)))
    shade = 0.78 + 0.2 * (-y * 0.5 + 0.5)
    write_png(path, rgba((shade, shade, shade), edge_fade(a * 0.9, x, y)))


def plus(path, size=128):
    x, y = grid(size, size)
    bar = np.minimum(np.maximum(np.abs(x), np.abs(y) * 3.2), np.maximum(np.abs(x) * 3.2, np.abs(y)))
    core = 1 - smooth(0.5, 0.62, bar)
    glow = (1 - smooth(0.0, 1.0, np.sqrt(x * x + y * y))) ** 2 * 0.6
    a = np.clip(core + glow, 0, 1)
    g = np.clip(core + 0.0, 0, 1)
    rgb = (0.75 + 0.25 * g, np.ones_like(x), 0.75 + 0.25 * g)
    write_png(path, rgba(rgb, edge_fade(a, x, y)))


def star(path, points, size=128, inner=0.35, glow=0.5):
    x, y = grid(size, size)
    r = np.sqrt(x * x + y * y)
    ang = np.arctan2(y, x) + math.pi / 2
    k = np.abs(((ang * points / (2 * math.pi)) % 1.0) - 0.5) * 2  # 1 at the points, 0 between
    radius = inner + (0.85 - inner) * k ** 2
    core = 1 - smooth(radius - 0.08, radius, r)
    halo = (1 - smooth(0.0, 1.0, r)) ** 2 * glow
    write_png(path, rgba((1, 1, 1), edge_fade(np.clip(core + halo, 0, 1), x, y)))


def ring(path, size=256):
    """The player ping: a bright ring with four ticks pointing inwards."""
    x, y = grid(size, size)
    r = np.sqrt(x * x + y * y)
    band = np.exp(-((r - 0.78) / 0.07) ** 2)
    ang = np.arctan2(y, x)
    ticks = (np.abs(np.sin(2 * ang)) < 0.12) & (r > 0.5) & (r < 0.78)
    a = np.clip(band + ticks * 0.9 + (1 - smooth(0, 0.95, r)) * 0.12, 0, 1)
    write_png(path, rgba((1, 1, 1), edge_fade(a, x, y)))


def shadow(path, size=128):
    x, y = grid(size, size)
    r = np.sqrt(x * x + y * y)
    a = 0.8 * (1 - smooth(0.15, 1.0, r))
    write_png(path, rgba((0, 0, 0), edge_fade(a, x, y)))


def build(images):
    bullet(images + "/bullet.png")
    soft_disc(images + "/dashParticle.png", power=2.2)
    explosion(images + "/explosionSub.png")
    fire(images + "/fireParticle.png")
    smoke(images + "/smokeParticle.png")
    plus(images + "/healthParticle.png")
    star(images + "/planeParticle1.png", 4, inner=0.12, glow=0.45)
    star(images + "/powerUpParticle.png", 5, inner=0.38, glow=0.4)
    ring(images + "/IDParticle.png")
    shadow(images + "/shadow.png")
