#!/usr/bin/env python3
"""A UDP relay that loses and delays datagrams, for network-fault runs of the
game on loopback where the kernel has no netem queueing discipline.

Every client that sends to LISTEN_PORT gets its own socket toward the host,
so that the host sees each client at an address of its own, as it would
without the relay. Each datagram, in either direction, is dropped with
probability LOSS, otherwise held for DELAY +/- JITTER milliseconds (uniformly
drawn, so that datagrams may overtake each other, as netem's jitter does)
and passed on. Runs for at most SECONDS, then stops.

By default it listens on loopback and relays to a host on loopback: run it
inside the private network namespace with the copies (scripts/netfault does).
--listen and --host name other addresses (the relay then takes clients from
anywhere, and answers from the host only); it refuses them outside a named
network namespace (one of `ip netns`), so that it only runs so in one such
as the network lab's internet (scripts/netlab lossy), never on the machine's
own network.

    lossy_relay.py LISTEN_PORT HOST_PORT [--listen ADDR] [--host ADDR]
                   [--loss 0.1] [--delay 50] [--jitter 20]
                   [--seconds 600] [--seed N]

When it stops it prints, on standard error, how many datagrams passed and
were dropped, and how long the passed ones were held.
"""
import argparse
import heapq
import os
import random
import selectors
import signal
import socket
import sys
import time

LOOPBACK = "127.0.0.1"


def in_named_namespace():
    """Whether this process runs in a named network namespace (one of `ip
    netns`, as the network lab's are), never the machine's own."""
    try:
        own = os.stat("/proc/self/ns/net")
        for name in os.listdir("/run/netns"):
            named = os.stat(os.path.join("/run/netns", name))
            if (named.st_dev, named.st_ino) == (own.st_dev, own.st_ino):
                return True
    except OSError:
        pass
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("listen_port", type=int)
    parser.add_argument("host_port", type=int)
    parser.add_argument("--listen", default=LOOPBACK, help="the address clients send to")
    parser.add_argument("--host", default=LOOPBACK, help="the host's address")
    parser.add_argument("--loss", type=float, default=0.1)
    parser.add_argument("--delay", type=float, default=50.0, help="milliseconds")
    parser.add_argument("--jitter", type=float, default=20.0, help="milliseconds")
    parser.add_argument("--seconds", type=float, default=600.0)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    chance = random.Random(args.seed)
    anywhere = args.listen != LOOPBACK or args.host != LOOPBACK
    if anywhere and not in_named_namespace():
        print("lossy_relay: addresses other than loopback only in a named network namespace (ip netns)",
              file=sys.stderr)
        sys.exit(2)

    listen = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    listen.bind((args.listen, args.listen_port))
    listen.setblocking(False)
    host = (args.host, args.host_port)
    # Toward the host from the address the route to it gives, or from loopback.
    upstream_address = "0.0.0.0" if anywhere else LOOPBACK
    selector = selectors.DefaultSelector()
    selector.register(listen, selectors.EVENT_READ, None)
    upstream = {}  # client address -> its socket toward the host
    queue = []     # (due time, sequence, socket, bytes, destination, seconds held)
    sequence = 0
    counts = {"passed": 0, "dropped": 0}
    holding = {"least": float("inf"), "most": 0.0, "sum": 0.0}  # of the passed datagrams, in ms

    def schedule(sock, data, destination):
        nonlocal sequence
        if chance.random() < args.loss:
            counts["dropped"] += 1
            return
        held = max(0.0, args.delay + chance.uniform(-args.jitter, args.jitter)) / 1000.0
        sequence += 1
        heapq.heappush(queue, (time.monotonic() + held, sequence, sock, data, destination, held))

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
            if key.data is None:  # from a client, toward the host
                if sender[0] != LOOPBACK and not anywhere:
                    continue
                if sender not in upstream:
                    toward = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
                    toward.bind((upstream_address, 0))
                    toward.setblocking(False)
                    selector.register(toward, selectors.EVENT_READ, sender)
                    upstream[sender] = toward
                schedule(upstream[sender], data, host)
            elif sender[0] == host[0]:  # from the host, back to the client behind this socket
                schedule(listen, data, key.data)
        now = time.monotonic()
        while queue and queue[0][0] <= now:
            _, _, sock, data, destination, seconds_held = heapq.heappop(queue)
            try:
                sock.sendto(data, destination)
                counts["passed"] += 1
                ms = seconds_held * 1000.0
                holding.update(least=min(holding["least"], ms), most=max(holding["most"], ms),
                               sum=holding["sum"] + ms)
            except OSError:
                counts["dropped"] += 1
    total = counts["passed"] + counts["dropped"]
    print(f"relay: {counts['passed']} datagrams passed, {counts['dropped']} dropped "
          f"({100.0 * counts['dropped'] / max(total, 1):.1f}%)", file=sys.stderr)
    if counts["passed"]:
        print(f"relay: held {holding['least']:.0f} to {holding['most']:.0f} ms, "
              f"{holding['sum'] / counts['passed']:.0f} ms on average", file=sys.stderr)


if __name__ == "__main__":
    main()
