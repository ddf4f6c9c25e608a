#!/usr/bin/env python3
"""A UDP relay that loses and delays datagrams, for network-fault runs of the
game on loopback where the kernel has no netem queueing discipline.

Every client that sends to LISTEN_PORT gets its own socket toward the host,
so that the host sees each client at an address of its own, as it would
without the relay. Each datagram, in either direction, is dropped with
probability LOSS, otherwise held for DELAY +/- JITTER milliseconds (uniformly
drawn, so that datagrams may overtake each other, as netem's jitter does)
and passed on. Runs for at most SECONDS, then stops.

Only loopback addresses are accepted: run it inside the private network
namespace with the copies (scripts/netfault does).

    lossy_relay.py LISTEN_PORT HOST_PORT [--loss 0.1] [--delay 50] [--jitter 20]
                   [--seconds 600] [--seed N]
"""
import argparse
import heapq
import random
import selectors
import signal
import socket
import sys
import time

LOOPBACK = "127.0.0.1"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("listen_port", type=int)
    parser.add_argument("host_port", type=int)
    parser.add_argument("--loss", type=float, default=0.1)
    parser.add_argument("--delay", type=float, default=50.0, help="milliseconds")
    parser.add_argument("--jitter", type=float, default=20.0, help="milliseconds")
    parser.add_argument("--seconds", type=float, default=600.0)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    chance = random.Random(args.seed)

    listen = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    listen.bind((LOOPBACK, args.listen_port))
    listen.setblocking(False)
    host = (LOOPBACK, args.host_port)
    selector = selectors.DefaultSelector()
    selector.register(listen, selectors.EVENT_READ, None)
    upstream = {}  # client address -> its socket toward the host
    queue = []     # (due time, sequence, socket, bytes, destination)
    sequence = 0
    counts = {"passed": 0, "dropped": 0}

    def schedule(sock, data, destination):
        nonlocal sequence
        if chance.random() < args.loss:
            counts["dropped"] += 1
            return
        held = max(0.0, args.delay + chance.uniform(-args.jitter, args.jitter)) / 1000.0
        sequence += 1
        heapq.heappush(queue, (time.monotonic() + held, sequence, sock, data, destination))

    end = time.monotonic() + args.seconds

    def stop(*_):
        nonlocal end
        end = 0.0  # asked to stop: say what passed, then go
    signal.signal(signal.SIGTERM, stop)
    while time.monotonic() < end:
        timeout = min(0.05, max(0.0, queue[0][0] - time.monotonic())) if queue else 0.05
        for key, _ in selector.select(timeout):
            sock = key.fileobj
            try:
                data, sender = sock.recvfrom(65536)
            except (BlockingIOError, ConnectionRefusedError):
                continue
            if sender[0] != LOOPBACK:
                continue
            if key.data is None:  # from a client, toward the host
                if sender not in upstream:
                    toward = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
                    toward.bind((LOOPBACK, 0))
                    toward.setblocking(False)
                    selector.register(toward, selectors.EVENT_READ, sender)
                    upstream[sender] = toward
                schedule(upstream[sender], data, host)
            else:  # from the host, back to the client behind this socket
                schedule(listen, data, key.data)
        now = time.monotonic()
        while queue and queue[0][0] <= now:
            _, _, sock, data, destination = heapq.heappop(queue)
            try:
                sock.sendto(data, destination)
                counts["passed"] += 1
            except OSError:
                counts["dropped"] += 1
    total = counts["passed"] + counts["dropped"]
    print(f"relay: {counts['passed']} datagrams passed, {counts['dropped']} dropped "
          f"({100.0 * counts['dropped'] / max(total, 1):.1f}%)", file=sys.stderr)


if __name__ == "__main__":
    main()
