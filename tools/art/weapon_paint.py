"""Textures of the weapons, the bomb, the propeller and the drone: one shared
layout per kind (weapons.py names the regions) and normal maps with barrel
grooves, panel seams and rivets."""
import math


import weapons
from imaging import blur, canvas, normal_map, region_px, save_surface, surface_to_array, write_png

SIZE = 512


def weapon_texture(path, paint=(0.85, 0.16, 0.12), band=(1.0, 0.97, 0.9), glow=(0.3, 0.95, 1.0)):
    surface, ctx = canvas(SIZE, SIZE)
    regions = {
        weapons.GUNMETAL: (0.28, 0.29, 0.33),
        weapons.STEEL: (0.62, 0.64, 0.7),
        weapons.PAINT: paint,
        weapons.BRASS: (0.93, 0.72, 0.25),
        weapons.GLOW: glow,
    }
    for region, colour in regions.items():
        x, y, w, h = region_px(region, (SIZE, SIZE))
        ctx.set_source_rgb(*colour)
        ctx.rectangle(x, y, w, h)
        ctx.fill()
    # A white band round the painted parts and dark tips at the muzzle end.
    x, y, w, h = region_px(weapons.PAINT, (SIZE, SIZE))
    ctx.set_source_rgb(*band)
    ctx.rectangle(x + w * 0.62, y, w * 0.12, h)
    ctx.fill()
    ctx.set_source_rgb(0.15, 0.14, 0.16)
    ctx.rectangle(x + w * 0.92, y, w * 0.08, h)
    ctx.fill()
    # Highlights along the barrels (a glossy cartoon streak).
    for region in (weapons.GUNMETAL, weapons.PAINT, weapons.BRASS):
        x, y, w, h = region_px(region, (SIZE, SIZE))
        ctx.set_source_rgba(1, 1, 1, 0.35)
        ctx.rectangle(x, y + h * 0.45, w, h * 0.08)
        ctx.fill()
    x, y, w, h = region_px(weapons.GLOW, (SIZE, SIZE))
    ctx.set_source_rgba(1, 1, 1, 0.7)
    ctx.rectangle(x, y + h * 0.4, w, h * 0.2)
    ctx.fill()
    save_surface(surface, path)


def weapon_normal_map(path):
    surface, ctx = canvas(SIZE, SIZE)
    ctx.set_source_rgb(1, 1, 1)
    ctx.paint()
    ctx.set_source_rgb(0, 0, 0)
    # Grooves around the barrels (lines of constant u).
    x, y, w, h = region_px(weapons.GUNMETAL, (SIZE, SIZE))
    ctx.set_line_width(3)
    for k in range(1, 16):
        ctx.move_to(x + w * k / 16, y)
        ctx.line_to(x + w * k / 16, y + h)
    ctx.stroke()
    # Seams and rivets on steel and paint.
    for region in (weapons.STEEL, weapons.PAINT):
        x, y, w, h = region_px(region, (SIZE, SIZE))
        ctx.set_line_width(2)
        for k in (0.25, 0.5, 0.75):
            ctx.move_to(x + w * k, y)
            ctx.line_to(x + w * k, y + h)
        ctx.stroke()
        for i in range(12):
            for j in (0.1, 0.9):
                ctx.arc(x + w * (i + 0.5) / 12, y + h * j, 2.2, 0, 2 * math.pi)
                ctx.fill()
    # Knurled brass.
    x, y, w, h = region_px(weapons.BRASS, (SIZE, SIZE))
    ctx.set_line_width(1.5)
    for k in range(-20, 40):
        ctx.move_to(x + k * 8, y)
        ctx.line_to(x + k * 8 + h, y + h)
    ctx.stroke()
    grey = surface_to_array(surface)[:, :, 0]
    write_png(path, normal_map(blur(grey, 1.2), 5.0))


def propeller_texture(path):
    """Spinner (upper half) in red and white; blades (lower half) dark wood-
    brown with yellow tips."""
    surface, ctx = canvas(256, 256)
    ctx.set_source_rgb(0.9, 0.15, 0.12)
    ctx.rectangle(0, 0, 256, 128)
    ctx.fill()
    ctx.set_source_rgb(1, 1, 1)
    for k in range(4):
        ctx.rectangle(0, k * 32, 256, 16)  # spiral-ish bands around the spinner
    ctx.fill()
    ctx.set_source_rgb(0.32, 0.24, 0.2)
    ctx.rectangle(0, 128, 256, 128)
    ctx.fill()
    ctx.set_source_rgb(1.0, 0.85, 0.1)
    ctx.rectangle(200, 128, 56, 128)
    ctx.fill()
    ctx.set_source_rgb(0.1, 0.1, 0.1)
    ctx.rectangle(192, 128, 8, 128)
    ctx.fill()
    save_surface(surface, path)


def drone_texture(path):
    """Drone: light grey body with a teal visor and warning stripes."""
    surface, ctx = canvas(256, 256)
    ctx.set_source_rgb(0.85, 0.87, 0.9)
    ctx.paint()
    ctx.set_source_rgb(0.1, 0.7, 0.7)  # body stripe round the pod
    ctx.rectangle(90, 0, 40, 128)
    ctx.fill()
    ctx.set_source_rgb(0.2, 0.22, 0.26)
    ctx.rectangle(128, 192, 64, 64)  # camera eye
    ctx.fill()
    ctx.set_source_rgb(1.0, 0.55, 0.0)
    for k in range(8):
        ctx.move_to(192 + k * 16, 192)
        ctx.line_to(200 + k * 16, 192)
        ctx.line_to(192 + k * 16 + 40, 256)
        ctx.line_to(184 + k * 16 + 40, 256)
        ctx.close_path()
    ctx.fill()
    save_surface(surface, path)
