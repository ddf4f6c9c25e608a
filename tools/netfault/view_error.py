#!/usr/bin/env python3
"""Compares what copies of one match showed, from their view logs
(--view-log of the game and of match_sim; the copies ran on one machine, so
their wall clocks agree).

For every plane a copy showed that another copy owns, each frame: the
distance from where it was shown to where its owner had it at the same
instant (the owner's own frames, interpolated), in plane lengths (4 units, a
plane's collider across). And the jumps: frames in which the shown plane
moved differently from the owner's by more than half a plane length. A
respawn moves the owner's plane at once, and every copy after it: the half
second after a jump of the owner's own (farther than any plane flies in a
frame) counts for neither. A dash, a ram, a bounce or a blast changes the
owner's own motion at once too, and no other copy can know of it before its
record comes: for IMPULSE_WINDOW seconds after the owner's motion changed
from one of its frames to the next by more than IMPULSE plane lengths (far
more than flight does: a dash changes it by a quarter), no jumps are counted
(the view error is).

And the fairness of the shots: a bullet the shooter's copy saw meet a plane
of another copy's, which that copy never counted ("seen, not counted"), and
one the plane's copy counted that the shooter's copy never saw meet it
("counted, not seen"). Shots while the plane's copy showed no match (the
end of a match) count for neither.

    view_error.py [--label TEXT] [--header] LOG...

prints one line per copy and one for all of them:
    LABEL COPY mean P95 max (plane lengths) jumps/plane/min, and the shots
"""
import argparse
import bisect
import math
import sys

PLANE_LENGTH = 4.0
TELEPORT_STEP = 8.0  # units in one frame: no plane flies so fast
AFTER_TELEPORT = 0.5  # seconds
MAX_GAP = 0.1  # owner frames further apart bracket no instant
JUMP = 0.5  # plane lengths
IMPULSE = 1.0 / 16.0  # plane lengths of motion change from one owner frame to the next
IMPULSE_WINDOW = 0.35  # seconds: the slowest record of an internet link between two joined copies


def read_log(path):
    origin = None
    planes = {}
    seen, counted = [], []
    with open(path, errors="replace") as f:
        for line in f:
            parts = line.split()
            if not parts:
                continue
            try:
                if parts[0] == "copy" and len(parts) == 2:
                    origin = parts[1]
                elif parts[0] == "p" and len(parts) == 5:
                    planes.setdefault(parts[2], []).append((float(parts[1]), float(parts[3]), float(parts[4])))
                elif parts[0] in ("seen", "counted") and len(parts) == 4:
                    (seen if parts[0] == "seen" else counted).append((float(parts[1]), parts[2], parts[3]))
            except ValueError:
                continue  # a line cut short when the copy was stopped
    for track in planes.values():
        track.sort()
    return origin, planes, seen, counted


class Track:
    """A plane as its owner had it."""

    def __init__(self, samples):
        self.t = [s[0] for s in samples]
        self.xy = [(s[1], s[2]) for s in samples]
        self.teleports = []
        self.sudden = []
        motion = None
        for i in range(1, len(samples)):
            if math.dist(self.xy[i - 1], self.xy[i]) > TELEPORT_STEP:
                self.teleports.append(self.t[i - 1])
            if not 0 < self.t[i] - self.t[i - 1] <= MAX_GAP:
                motion = None
                continue
            # Per frame of the owner's, not per second of the wall clock: a
            # simulator paced to the wall clock takes some frames late.
            now = (self.xy[i][0] - self.xy[i - 1][0], self.xy[i][1] - self.xy[i - 1][1])
            if motion is not None and math.dist(now, motion) / PLANE_LENGTH > IMPULSE:
                self.sudden.append(self.t[i - 1])
            motion = now

    def at(self, t):
        i = bisect.bisect_right(self.t, t)
        if i == 0 or i == len(self.t):
            return None
        t0, t1 = self.t[i - 1], self.t[i]
        if t1 - t0 > MAX_GAP:
            return None
        f = (t - t0) / (t1 - t0) if t1 > t0 else 0.0
        (x0, y0), (x1, y1) = self.xy[i - 1], self.xy[i]
        return (x0 + (x1 - x0) * f, y0 + (y1 - y0) * f)

    def near_teleport(self, t):
        i = bisect.bisect_right(self.teleports, t)
        return i > 0 and t - self.teleports[i - 1] <= AFTER_TELEPORT + MAX_GAP

    def near_sudden(self, t):
        i = bisect.bisect_right(self.sudden, t)
        return i > 0 and t - self.sudden[i - 1] <= IMPULSE_WINDOW

    def showing(self, t):
        """Whether the owner was in a match around t."""
        i = bisect.bisect_left(self.t, t - 0.25)
        return i < len(self.t) and self.t[i] <= t + 0.5


def percentile(values, p):
    if not values:
        return 0.0
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(math.ceil(p * len(ordered))) - 1)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--label", default="")
    parser.add_argument("--header", action="store_true")
    parser.add_argument("logs", nargs="+")
    args = parser.parse_args()

    copies = []
    for path in args.logs:
        origin, planes, seen, counted = read_log(path)
        if origin is None:
            print(f"view_error.py: {path} has no copy line", file=sys.stderr)
            continue
        copies.append((path, origin, planes, seen, counted))
    owners = {}
    for _, origin, planes, _, _ in copies:
        for plane, samples in planes.items():
            if plane.split(":")[0] == origin:
                owners[plane] = Track(samples)

    all_errors, all_jumps, all_minutes, all_raw = [], 0, 0.0, 0
    lines = []
    for path, origin, planes, _, _ in copies:
        errors, jumps, minutes, raw = [], 0, 0.0, 0
        for plane, samples in planes.items():
            owner = owners.get(plane)
            if plane.split(":")[0] == origin or owner is None:
                continue
            previous = None
            for t, x, y in samples:
                truth = owner.at(t)
                if truth is None or owner.near_teleport(t):
                    previous = None
                    continue
                errors.append(math.dist((x, y), truth) / PLANE_LENGTH)
                if previous is not None and t - previous[0] <= MAX_GAP:
                    pt, px, py, ptruth = previous
                    minutes += (t - pt) / 60.0
                    shown = (x - px, y - py)
                    moved = (truth[0] - ptruth[0], truth[1] - ptruth[1])
                    if math.dist(shown, moved) / PLANE_LENGTH > JUMP:
                        raw += 1
                        jumps += not owner.near_sudden(t)
                previous = (t, x, y, truth)
        all_errors += errors
        all_jumps += jumps
        all_minutes += minutes
        all_raw += raw
        lines.append((origin, errors, jumps, minutes, raw))

    # Shots: the shooter's copy is the bullet's origin, the plane's copy the plane's.
    seen, counted = set(), set()
    for _, origin, _, s, c in copies:
        for t, bullet, plane in s:
            owner = owners.get(plane)
            if bullet.split(":")[0] == origin and owner and owner.showing(t):
                seen.add((bullet, plane))
        for t, bullet, plane in c:
            if plane.split(":")[0] == origin:
                counted.add((bullet, plane))
    shooters = {origin for _, origin, _, _, _ in copies}
    counted = {(b, p) for b, p in counted if b.split(":")[0] in shooters}

    def row(label, copy, errors, jumps, minutes, raw):
        mean = sum(errors) / len(errors) if errors else 0.0
        rate = jumps / minutes if minutes > 0 else 0.0
        every = raw / minutes if minutes > 0 else 0.0
        return (f"{label:<22} {copy:<9} {mean:6.2f} {percentile(errors, 0.95):6.2f} {max(errors, default=0.0):7.2f}"
                f" {rate:9.2f} {every:9.2f}")

    if args.header:
        print(f"{'link':<22} {'copy':<9} {'mean':>6} {'p95':>6} {'max':>7} {'jumps/min':>9} {'(any)':>9}"
              "   (view error in plane lengths; jumps per remote plane per minute, and counting those"
              " right after the owner's own impulses)")
    for origin, errors, jumps, minutes, raw in lines:
        print(row(args.label, origin, errors, jumps, minutes, raw))
    print(row(args.label, "all", all_errors, all_jumps, all_minutes, all_raw) +
          f"   shots: {len(seen)} seen hit, {len(seen - counted)} of them not counted;"
          f" {len(counted)} counted, {len(counted - seen)} of them seen missing")
    return 0


if __name__ == "__main__":
    sys.exit(main())
