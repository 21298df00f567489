#!/usr/bin/env python3
"""Reads WSJT-X's UDP messages from a pcapng capture, with the standard library alone.

It is the independent reading that the listener's tests compare against, so
it shares no code with the program: its own pcapng, IPv4/UDP and message
readers, its own band table and its own rule for transmissions.

    read_pcapng.py FILE                  the transmissions, as JSON
    read_pcapng.py --datagrams FILE      every WSJT-X datagram with its fields
    read_pcapng.py --callsign N1SH FILE  follow the instance of this DE call
"""

import argparse
import datetime
import json
import struct
import sys

MAGIC = 0xADBCCBDA

BANDS = [  # metres, lowest and highest hertz (both included)
    ("2200m", 135_700, 137_800), ("630m", 472_000, 479_000), ("160m", 1_800_000, 2_000_000),
    ("80m", 3_500_000, 4_000_000), ("60m", 5_060_000, 5_450_000), ("40m", 7_000_000, 7_300_000),
    ("30m", 10_100_000, 10_150_000), ("20m", 14_000_000, 14_350_000), ("17m", 18_068_000, 18_168_000),
    ("15m", 21_000_000, 21_450_000), ("12m", 24_890_000, 24_990_000), ("10m", 28_000_000, 29_700_000),
    ("6m", 50_000_000, 54_000_000), ("2m", 144_000_000, 148_000_000), ("70cm", 420_000_000, 450_000_000),
]


def band_of(hz):
    for name, low, high in BANDS:
        if low <= hz <= high:
            return name
    return "Other"


# --- pcapng -----------------------------------------------------------------

def packets(data):
    """Yields (seconds since the epoch, link type, frame) for every packet."""
    endian = "<"
    interfaces = []  # (link type, ticks per second)
    offset = 0
    while offset + 12 <= len(data):
        block_type = struct.unpack_from(endian + "I", data, offset)[0]
        if block_type == 0x0A0D0D0A:  # section header: its byte order first
            magic = data[offset + 8:offset + 12]
            endian = "<" if magic == b"\x4d\x3c\x2b\x1a" else ">"
            interfaces = []
        length = struct.unpack_from(endian + "I", data, offset + 4)[0]
        if length < 12 or offset + length > len(data):
            break
        body = data[offset + 8:offset + length - 4]
        if block_type == 1:  # interface description
            link_type = struct.unpack_from(endian + "H", body, 0)[0]
            interfaces.append((link_type, ticks_per_second(body[8:], endian)))
        elif block_type == 6:  # enhanced packet
            iface, high, low, captured = struct.unpack_from(endian + "IIII", body, 0)
            link_type, ticks = interfaces[iface]
            yield ((high << 32) | low) / ticks, link_type, body[20:20 + captured]
        offset += length


def ticks_per_second(options, endian):
    offset = 0
    while offset + 4 <= len(options):
        code, length = struct.unpack_from(endian + "HH", options, offset)
        if code == 0:
            break
        if code == 9 and length >= 1:  # if_tsresol
            value = options[offset + 4]
            return 2 ** (value & 0x7F) if value & 0x80 else 10 ** value
        offset += 4 + (length + 3) // 4 * 4
    return 1_000_000


def udp_payload(link_type, frame):
    """(source, destination, port, payload) of an IPv4 UDP frame, else None."""
    if link_type == 1:  # Ethernet, perhaps with VLAN tags
        offset = 12
        ether_type = struct.unpack_from(">H", frame, offset)[0]
        while ether_type in (0x8100, 0x88A8):
            offset += 4
            ether_type = struct.unpack_from(">H", frame, offset)[0]
        if ether_type != 0x0800:
            return None
        ip = frame[offset + 2:]
    elif link_type == 0:  # BSD loopback
        ip = frame[4:]
    elif link_type in (101, 12):  # raw IP
        ip = frame
    else:
        return None
    if len(ip) < 20 or ip[0] >> 4 != 4 or ip[9] != 17:
        return None
    header = (ip[0] & 0x0F) * 4
    total = struct.unpack_from(">H", ip, 2)[0]
    udp = ip[header:total]
    if len(udp) < 8:
        return None
    port, length = struct.unpack_from(">2xHH", udp, 0)
    source = ".".join(str(b) for b in ip[12:16])
    destination = ".".join(str(b) for b in ip[16:20])
    return source, destination, port, udp[8:length]


# --- WSJT-X messages ----------------------------------------------------------

class Short(Exception):
    pass


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, n):
        if self.at + n > len(self.data):
            raise Short()
        piece = self.data[self.at:self.at + n]
        self.at += n
        return piece

    def u8(self):
        return self.take(1)[0]

    def boolean(self):
        return self.take(1)[0] != 0

    def u32(self):
        return struct.unpack(">I", self.take(4))[0]

    def u64(self):
        return struct.unpack(">Q", self.take(8))[0]

    def utf8(self):
        n = self.u32()
        return None if n == 0xFFFFFFFF else self.take(n).decode("utf-8", "replace")


STATUS_FIELDS = [  # in the order they are sent; the first eleven are needed
    ("dial_hz", "u64"), ("mode", "utf8"), ("dx_call", "utf8"), ("report", "utf8"), ("tx_mode", "utf8"),
    ("tx_enabled", "boolean"), ("transmitting", "boolean"), ("decoding", "boolean"),
    ("rx_df", "u32"), ("tx_df", "u32"), ("de_call", "utf8"),
    ("de_grid", "utf8"), ("dx_grid", "utf8"), ("tx_watchdog", "boolean"), ("sub_mode", "utf8"),
    ("fast_mode", "boolean"), ("special_operation", "u8"), ("frequency_tolerance", "u32"),
    ("tr_period", "u32"), ("configuration", "utf8"), ("tx_message", "utf8"),
]
NEEDED_STATUS_FIELDS = 11


def message(payload):
    """The fields of a Heartbeat, Status or Close; the type alone for others; None if unreadable."""
    r = Reader(payload)
    try:
        if r.u32() != MAGIC:
            return None
        schema = r.u32()
        if schema not in (2, 3):
            return None
        kind = r.u32()
        fields = {"schema": schema, "type": kind, "id": r.utf8()}
        if kind == 0:
            fields["max_schema"] = r.u32()
            for name in ("version", "revision"):
                try:
                    fields[name] = r.utf8()
                except Short:
                    break
        elif kind == 1:
            for i, (name, kind_of) in enumerate(STATUS_FIELDS):
                try:
                    fields[name] = getattr(r, kind_of)()
                except Short:
                    if i < NEEDED_STATUS_FIELDS:
                        return None
                    break
        return fields
    except Short:
        return None


def datagrams(path):
    with open(path, "rb") as f:
        data = f.read()
    for seconds, link_type, frame in packets(data):
        udp = udp_payload(link_type, frame)
        if udp is None or len(udp[3]) < 4 or struct.unpack_from(">I", udp[3])[0] != MAGIC:
            continue
        yield seconds, udp


def iso(seconds):
    t = datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc)
    return t.strftime("%Y-%m-%dT%H:%M:%S.") + "%03dZ" % (t.microsecond // 1000)


def transmissions(path, callsign=""):
    """From Transmitting on to off in the status of the followed instance.

    Followed: the instance whose DE call is the callsign, else the first heard.
    A change of dial frequency or mode while transmitting ends one and starts
    the next; a Close ends the one running."""
    heard, followed, running, done = [], None, None, []

    def finish(at):
        nonlocal running
        if running:
            running["end"] = iso(at)
            done.append(running)
            running = None

    for seconds, (_, _, _, payload) in datagrams(path):
        m = message(payload)
        if m is None or m["type"] not in (0, 1, 6):
            continue
        ident = m["id"]
        if m["type"] == 6:
            if ident in heard:
                heard.remove(ident)
            if ident == followed:
                finish(seconds)
                followed = heard[0] if heard else None
            continue
        if ident not in heard:
            heard.append(ident)
        if followed is None:
            followed = ident
        if m["type"] == 1 and callsign and (m["de_call"] or "").upper() == callsign.upper() and ident != followed:
            finish(seconds)
            followed = ident
        if m["type"] != 1 or ident != followed:
            continue
        if running and (running["dial_hz"] != m["dial_hz"] or running["mode"] != m["mode"] or not m["transmitting"]):
            finish(seconds)
        if m["transmitting"] and not running:
            running = {"start": iso(seconds), "end": None, "dial_hz": m["dial_hz"], "band": band_of(m["dial_hz"]),
                       "mode": m["mode"], "tx_df": m["tx_df"]}
    if running:
        done.append(running)
    return done


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("capture")
    parser.add_argument("--datagrams", action="store_true", help="every WSJT-X datagram, not the transmissions")
    parser.add_argument("--callsign", default="", help="the operator's callsign")
    args = parser.parse_args()
    if args.datagrams:
        out = []
        for seconds, (source, destination, port, payload) in datagrams(args.capture):
            out.append({"time": iso(seconds), "source": source, "destination": destination, "port": port,
                        "message": message(payload), "payload": payload.hex()})
    else:
        out = transmissions(args.capture, args.callsign)
    json.dump(out, sys.stdout, indent=1)
    sys.stdout.write("\n")


if __name__ == "__main__":
    main()
