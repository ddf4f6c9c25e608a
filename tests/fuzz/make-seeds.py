#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz harnesses (tests/fuzz/seeds/<harness>/):
well-formed packets and texts that the fuzzers then mutate. Run from anywhere:
    tests/fuzz/make-seeds.py
"""
import ctypes
import ctypes.util
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


def framed(*packets):
    """The match harness's input: each packet after its 16-bit little-endian length."""
    out = b""
    for packet in packets:
        out += struct.pack("<H", len(packet)) + packet
    return out


def match_seeds():
    peer = (0x5EED0001, 1)  # the peer's player, flying in the harness's match
    own = (0xA0000000, 1)
    def args(entity, *values):
        bits = Bits().entity(*entity)
        for kind, value in values:
            if kind == "f":
                bits.float(value)
            elif kind == "u":
                bits.uint(value, 32)
            elif kind == "s":
                bits.string(value)
            elif kind == "e":
                bits.entity(*value)
        return bits

    def floats(*values):
        return [("f", v) for v in values]

    bullet = args((peer[0], 100), ("s", "models/quad.obj"), ("s", "images/bullet.png"), ("e", peer),
                  *floats(1.0, 0.25, 1.0, 0.0, 10.0, 0.0, 100.0, 0.0))
    absurd_bullet = args((peer[0], 101), ("s", "models/quad.obj"), ("s", "images/bullet.png"), ("e", peer),
                         *floats(1e30, 1e30, 1e30, 5.0, 5.0, 0.0, 3e38, -3e38))
    bomb = args((peer[0], 102), ("s", "models/smallBomb/smallBomb.obj"), ("e", peer),
                *floats(1.0, 5.0, 20.0, 1.0, 1e9, 0.0, 30.0, 0.0, 0.0, -10.0))
    texture = [("s", "Red"), ("s", "models/playerPlane/playerFinalTexture.png"), ("s", "sprites/HUD/plane3.png"),
               *floats(1.0, 0.2, 0.2)]
    gameplay = calls(
        ("spawnBullet", bullet), ("spawnBullet", absurd_bullet), ("spawnBomb", bomb),
        ("spawnPowerup", args((peer[0], 103), *floats(10.0, 10.0, 0.0), ("u", 2))),
        ("spawnPowerup", args((peer[0], 104), *floats(10.0, 10.0, 0.0), ("u", 99))),
        ("grantPower", args(peer, *floats(0.0, 0.0, 0.0), ("u", 1))),
        ("grantPower", args(peer, *floats(0.0, 0.0, 0.0), ("u", 2))),
        ("grantInvincibility", args(peer)),
        ("spawnBombSpawner", args(peer, ("e", (peer[0], 105)))),
        ("addKillPoints", args(peer)), ("addDeathPoints", args(own)),
        ("spawnTaunt", args(peer, ("s", "x" * 300))),
        ("print", args(peer, ("s", "hello"))), ("playSound", args(peer, ("s", "basicShot"))),
        ("spawnPersistantPlayer", args((peer[0], 2), *texture, ("u", 4))),
        ("spawnPlayer", args((peer[0], 2), *floats(5.0, 5.0, 0.0, 0.0, 0.7071, 0.0, 0.7071))),
        ("startGameplay", args(peer)),
        ("destroyComponent", args(own, ("s", "transform"))),
        ("destroyEntity", args((peer[0], 100))))
    write("match", "gameplay", framed(gameplay.bytes()))
    forged = Bits().entity(*peer).uint(0xFFFFFFFF, 32).entity(*peer).uint(7, 32)  # a count far past the entries
    honest = Bits().entity(*peer).uint(2, 32).entity(*peer).uint(7, 32).entity(*own).uint(3, 32)
    write("match", "end", framed(calls(("endGame", forged)).bytes(), calls(("endGame", honest)).bytes()))

    # The peer's state: its plane moves, is hurt and scores; then it is lost.
    transform = Bits()
    for value in (3.0, 4.0, 0.0, 0.0, 0.7071, 0.0, 0.7071, 1.0, 1.0, 1.0):
        transform.float(value)
    state = Bits().uint(135, 8).uint(peer[0], 32).string("game")
    state.flag(1).entity(*peer).string("transform").nested(transform)
    state.flag(1).entity(*peer).string("health").nested(Bits().float(4.0).uint(1, 32))
    state.flag(1).entity(*peer).string("score").nested(Bits().uint(12, 32))
    state.flag(1).entity(*peer).string("rigidBody").nested(Bits().float(1.0).float(2.0).float(0.0))
    write("match", "state-then-lost", framed(state.flag(0).bytes(), bytes([22])))
    write("match", "bomb-then-state", framed(calls(("spawnBomb", bomb)).bytes(), state.bytes()))
    # Found by the fuzzer: a health far above the maximum once made the smoke's rate unbounded.
    absurd = Bits().uint(135, 8).uint(peer[0], 32).string("game")
    absurd.flag(1).entity(*peer).string("health").nested(Bits().float(2.5e12).uint(1, 32))
    write("match", "absurd-health", framed(absurd.flag(0).bytes()))

    # In the middle of a change of host (an odd first byte): replays of the
    # peer's own calls, a kill with its plane's death among them, and replays
    # in the name of this copy and of the host that went.
    def replay(maker, *batches):
        bits = Bits().uint(138, 8).uint(maker, 32)
        for batch in batches:
            bits.flag(1).float(0.5).nested(batch)
        return bits.flag(0)

    kill = calls(("addKillPoints", args(own)), ("addDeathPoints", args(peer)))
    write("match", "replays", bytes([1]) + framed(replay(peer[0], gameplay, kill).bytes(), replay(own[0], kill).bytes(),
                                                  replay(0x0BADBEEF, gameplay).bytes()))


def zstd(data):
    """A zstd frame of `data`, through the system's libzstd (the game's own)."""
    lib = ctypes.CDLL(ctypes.util.find_library("zstd"))
    lib.ZSTD_compressBound.restype = ctypes.c_size_t
    lib.ZSTD_compress.restype = ctypes.c_size_t
    room = lib.ZSTD_compressBound(ctypes.c_size_t(len(data)))
    out = ctypes.create_string_buffer(room)
    size = lib.ZSTD_compress(out, ctypes.c_size_t(room), data, ctypes.c_size_t(len(data)), 19)
    return out.raw[:size]


def replay(body, seconds=1.0):
    """A replay file (engine/network/replay): magic, version, header, records."""
    header = Bits().string("2026-12-07 23:59:01").float(seconds).uint(1, 32).uint(0, 32).string("").uint(0, 32)
    header = header.bytes()
    packed = zstd(body)
    return (b"SKYRPLAY" + struct.pack("<II", 1, len(header)) + header + struct.pack("<II", len(body), len(packed))
            + packed)


def record(kind, milliseconds, data):
    return struct.pack("<BII", kind, milliseconds, len(data)) + data


def replay_seeds():
    # Found by review: a state of 64 KiB, then records "the same as last time"
    # 65,536 to a packet: a few hundred bytes that unpacked into gigabytes.
    name = struct.pack("<H", 1) + b"x"
    whole = struct.pack("<IIH", 1, 1, 0) + name + struct.pack("<IB", 8 * 65536, 1) + bytes(65536)
    same = struct.pack("<IIHIB", 1, 1, 0, 8 * 65536, 0)
    packet = lambda *records: struct.pack("<IHI", 7, 0, len(records)) + b"".join(records)
    write("replay", "repeated-state.replay",
          replay(record(3, 0, packet(whole)) + 2 * record(3, 0, packet(*[same] * 65536))))
    # And 59.6 million empty records at one moment, in 45 KB.
    write("replay", "empty-records.replay", replay(record(1, 0, b"") * 59_600_000))


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
    texture.string("sprites/HUD/plane3.png").float(0.0).float(0.44).float(0.96)
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
    match_seeds()
    replay_seeds()
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

    # The hostile peer's scripts: the end-to-end test's, and one with every kind of value.
    scripts = os.path.join(HERE, "..", "tools", "peer")
    for name in ("state", "floods", "host"):
        with open(os.path.join(scripts, name + ".peer"), "rb") as script:
            write("peerscript", name, script.read())
    write("peerscript", "values",
          b'packet unreliable cut 3 u8(135) nested(nested(u16(1), raw("\\x00\\xff")), hex("0a 0b")) fill(4, 1) bool(1)'
          b' i32(-5) f32(index * 2 + 1)\n'
          b'rate 2 for 0.5 { batch { call "x\\ty" id(them, last); state id(me, new) body vec2(-huge, nan) }; say done }\n'
          b'wait screen "game" 1; origin 0x10; serial 3; disconnect; reconnect\n')

    # Invite codes as typed: one whole, one in lower case with a blank, one
    # mistyped, and an address that is none.
    write("invitecode", "code", b"888FL-3GJ6AR")
    write("invitecode", "typed", b" 888fl 3gj6ar\n")
    write("invitecode", "mistyped", b"888FL-3GJ6AT")
    write("fontbytes", "mixed", "Grün “go” … {1} wins round {2}\nœuf".encode())
    write("fontbytes", "malformed", b"\xc3(\xed\xa0\x80\xf4\x90\x80\x80\xc0\xaf\x01\x7f")
    write("invitecode", "address", b"192.168.1.20:16519")

    # The note of a match left (a first byte that is even), and the host's
    # word of a running match (odd): two players, one flying.
    write("matchnote", "note", b"\x00host,127.0.0.1,16519\nsecret,0123456789abcdef\nwritten,1800000000\n"
          b"player,-1,0,1,Blue,1\nplayer,3,1,2,Pink,2\n")
    word = Bits().float(95.5).flag(True).uint(2, 32)
    for serial, colour, flying in ((1, "Blue", True), (2, "Pink", False)):
        word.entity(0xA000, serial).string(colour).string("models/playerPlane/playerFinalTexture.png")
        word.string("sprites/HUD/plane3.png").float(0.3).float(0.6).float(0.8).uint(serial, 32).flag(flying)
        word.float(10.0).float(-5.0).float(0.0).float(0.0).float(0.0).float(0.0).float(1.0).uint(4, 32)
    write("matchnote", "word", b"\x01" + word.bytes())

    # Packed state: a record of a named type (one byte of state), and none.
    write("compactstate", "named", bytes.fromhex("8c 01020304 05 6c6f626279 a1 40 02 e8 21 dc"))
    write("compactstate", "empty", bytes.fromhex("8c 00000001 00 00"))


if __name__ == "__main__":
    main()
