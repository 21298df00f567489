#!/usr/bin/env python3
"""Sends the WSJT-X datagrams of a pcapng capture again, to try a listener.

    replay.py CAPTURE [--to 127.0.0.1] [--port 2237] [--speed 30] [--ttl 1]

The gaps between datagrams are divided by --speed (0: no gaps at all). A
multicast group as --to is sent on loopback unless --interface names
another local address.
"""

import argparse
import ipaddress
import os
import socket
import struct
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import read_pcapng  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("capture")
    parser.add_argument("--to", default="127.0.0.1", help="an IPv4 address or multicast group")
    parser.add_argument("--port", type=int, default=2237)
    parser.add_argument("--speed", type=float, default=30.0)
    parser.add_argument("--interface", default="127.0.0.1", help="local address to send a multicast group from")
    parser.add_argument("--ttl", type=int, default=1)
    args = parser.parse_args()

    sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    if ipaddress.IPv4Address(args.to).is_multicast:
        sender.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, struct.pack("b", args.ttl))
        sender.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_LOOP, 1)
        sender.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton(args.interface))
    previous = None
    sent = 0
    for seconds, (_, _, _, payload) in read_pcapng.datagrams(args.capture):
        if previous is not None and args.speed > 0:
            time.sleep(max(0.0, seconds - previous) / args.speed)
        previous = seconds
        sender.sendto(payload, (args.to, args.port))
        sent += 1
    print(f"{sent} datagrams sent to {args.to}:{args.port}", file=sys.stderr)


if __name__ == "__main__":
    main()
