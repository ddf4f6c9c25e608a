"""The arenas' solid parts, in world units: what the stage models draw and
what the planes collide with. The game keeps the same rectangles in
game/common/ArenaLayout.cpp; each stage model is written with a .solids file
beside it (one rectangle a line: x y width height), which the game's tests
hold against its own table.

A rectangle is (x, y, width, height): its lower left corner and its size.
The ground everywhere is drawn at y -52.5; the open space's floor is y -51.
"""

# Today's stage: the meadow between two towers under a girder, with a ledge
# by the left tower (the game keeps it in stage units, 1.5 to a world unit).
MEADOW = dict(
    name="meadow",
    open=(-91.5, -51.0, 91.5, 81.0),
    solids=[
        ("ceiling", (-111.0, 81.0, 222.0, 24.0)),
        ("floor", (-111.0, -75.0, 222.0, 24.0)),
        ("left wall", (-115.5, -66.0, 24.0, 162.0)),
        ("right wall", (91.5, -66.0, 24.0, 162.0)),
        ("ledge", (-91.5, -15.0, 4.5, 81.0)),
    ],
)

# A narrow, tall canyon under a railway trestle, with a rock arch in the
# middle and a rock shelf on each side. Only the arch's span stands in the
# planes' plane: its legs come down to the canyon floor behind it (drawn
# from z -16 back), so that the planes fly under the span or over it; legs in
# the plane would close the space under the span off.
CANYON = dict(
    name="canyon",
    open=(-72.0, -51.0, 72.0, 105.0),
    solids=[
        ("ceiling", (-120.0, 105.0, 240.0, 25.0)),      # the trestle bridge's deck
        ("floor", (-120.0, -75.0, 240.0, 24.0)),
        ("left wall", (-120.0, -51.0, 48.0, 156.0)),
        ("right wall", (72.0, -51.0, 48.0, 156.0)),
        ("left shelf", (-72.0, 28.0, 14.0, 9.0)),
        ("right shelf", (58.0, -8.0, 14.0, 9.0)),
        ("arch", (-28.0, 5.0, 56.0, 13.0)),             # the span; the legs stand behind
    ],
)

# A wide, low harbour under a gantry crane's beam: a warehouse on the left, a
# sea wall on the right, and between them a dock crane against the warehouse
# whose jib reaches out over the quay with a container hanging from it (room
# under the jib, open to the harbour: no pocket to be caught in), a moored
# boat and a lighthouse on the breakwater.
HARBOUR = dict(
    name="harbour",
    open=(-125.0, -51.0, 125.0, 64.0),
    solids=[
        ("ceiling", (-175.0, 64.0, 350.0, 22.0)),       # the gantry's beam
        ("floor", (-175.0, -80.0, 350.0, 29.0)),        # quay and sea bed
        ("left wall", (-175.0, -51.0, 50.0, 115.0)),    # the warehouse
        ("right wall", (125.0, -51.0, 50.0, 115.0)),    # the sea wall
        ("crane tower", (-125.0, -51.0, 7.0, 83.0)),     # against the warehouse
        ("crane jib", (-125.0, 32.0, 75.0, 5.0)),
        ("container", (-84.0, 4.0, 16.0, 9.0)),          # hangs on a cable from the jib
        ("boat hull", (-18.0, -51.0, 46.0, 12.0)),
        ("wheelhouse", (8.0, -39.0, 12.0, 10.0)),
        ("lighthouse", (70.0, -51.0, 13.0, 78.0)),
        ("lamp room", (72.0, 27.0, 9.0, 10.0)),
    ],
)

ARENAS = [MEADOW, CANYON, HARBOUR]


def write_solids(path, arena):
    """The arena's rectangles, a line each: x y width height."""
    with open(path, "w") as out:
        for _, (x, y, w, h) in arena["solids"]:
            out.write("%g %g %g %g\n" % (x, y, w, h))
