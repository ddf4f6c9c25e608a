#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz harnesses (tests/fuzz/seeds/<harness>/):
well-formed packets and texts that the fuzzers then mutate. Run from anywhere:
    tests/fuzz/make-seeds.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


class Bits:
    """The game's bit stream: most significant bit first, big-endian words,
    strings as a 16-bit length, byte alignment, then the bytes."""

    def __init__(self):
        self.bits = []

    def uint(self, value, width):
        self.bits += [(value >> i) & 1 for i in range(width - 1, -1, -1)]
        return self

    def flag(self, value):
        self.bits.append(1 if value else 0)
        return self

    def float(self, value):
        return self.uint(struct.unpack(">I", struct.pack(">f", value))[0], 32)

    def string(self, text):
        self.uint(len(text), 16)
        while len(self.bits) % 8:
            self.bits.append(0)
        for byte in text.encode():
            self.uint(byte, 8)
        return self

    def entity(self, origin, serial):
        return self.uint(origin, 32).uint(serial, 32)

    def nested(self, other):
        self.uint(len(other.bits), 32)
        self.bits += other.bits
        return self

    def bytes(self):
        padded = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int("".join(map(str, padded[i:i + 8])), 2) for i in range(0, len(padded), 8))


def calls(*entries):
    batch = Bits()
    for name, arguments in entries:
        batch.uint(136, 8).string(name).nested(arguments)
    return batch.uint(0, 8)


def write(harness, name, data):
    folder = os.path.join(HERE, "seeds", harness)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def main():
    transform = Bits()
    for value in (1.0, 2.0, 0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 1.0):
        transform.float(value)
    body = Bits().float(3.0).float(0.0).float(0.0).float(1.0)
    state = Bits().uint(135, 8).uint(0x1234, 32).string("game")
    state.flag(1).entity(1, 1).string("transform").nested(transform)
    state.flag(1).entity(2, 2).string("body").nested(body)
    state.flag(1).entity(9, 9).string("unknown").nested(Bits())
    write("packets", "state", state.flag(0).bytes())

    texture = Bits().string("Blue").string("models/playerPlane/playerFinalTexture.png")
    texture.string("sprites/HUD/plane3.png").float(0.3).float(0.6).float(0.8)
    player = Bits().entity(5, 5)
    player.bits += texture.bits
    player.uint(1, 32)
    bullet = Bits().entity(3, 3).string("images/bullet.png").string("models/quad.obj").entity(1, 1)
    for value in (1.0, 2.0, 0.5, 10.0, 5.0, 0.0, 100.0, 0.0):
        bullet.float(value)
    write("packets", "calls", calls(("spawnPersistantPlayer", player), ("spawnBullet", bullet),
                                    ("destroyComponent", Bits().entity(1, 1).string("transform")),
                                    ("destroyEntity", Bits().entity(2, 2)),
                                    ("spawnPowerup", Bits().entity(4, 4).float(1).float(2).float(3).uint(5, 32))).bytes())
    write("packets", "empty-calls", bytes([0]))
    write("packets", "event", bytes([21]))

    # Selector bytes for the bit-stream harness: a string, a nested stream, a quaternion.
    mixed = Bits().uint(6, 8).string("ab").uint(12, 8).nested(Bits().uint(5, 8).float(1.0)).uint(9, 8)
    for value in (0.0, 0.0, 0.0, 1.0):
        mixed.float(value)
    write("netstream", "mixed", mixed.bytes())

    write("obj", "cube", b"""mtllib cube.mtl
o cube
v 0 0 0
v 1 0 0
v 1 1 0
v 0 1 0
vt 0.25 0.75
vn 0 0 1
usemtl red
f 1 2 3
f 1//1 3//1 4//1
f 1/1 2/1 3/1 4/1
usemtl blue
f 1/1/1 2/1/1 3/1/1
""")
    write("mtl", "two", b"""newmtl red
Ka 0.1 0.1 0.1
Kd 1 0 0
Ks 1 1 1
Ns 32
map_Kd red.png
newmtl blue
map_Ks shine.png
""")
    write("material", "frame", b'{ shaderProgram "shaders/flatShader.txt" texture diffuseTex "sprites/HUD/frame.png"'
                               b' uniforms [ float mat_shininess 10.0 vec3 mat_diffuse [1.0 1.0 1.0] int n 3 ] }')
    write("shaderprogram", "program", b'[ { type vertex key "shaders/a.vert" }\n'
                                      b'  { type "tess control" data "#version 330\n#include \\"x.glsl\\"" } ]')
    write("shaderprogram", "source", b'#version 330 core\n#include "lib/light.glsl"\nvoid main() {}\n')
    write("bucket", "menu", b'// menu\n[ texture "sprites/a.png" /* b */ shaderProgram "shaders/f.txt" obj x ]')

    write("textparser", "bucket", b'\x03[ "textures/a.png", // note\n "models/quad.obj" /* b */ ]')
    write("textparser", "material", b'\x01{ "diffuse" : [ 0.5, -1.25, 3 ], name = "x\\ty\\\\" }')
    write("textparser", "program", b'\x05vertex = "shaders/a.vert"\nfragment = shaders_b.frag\n')


if __name__ == "__main__":
    main()
