#!/usr/bin/env python3
"""Converts Natural Earth's 1:110m land (TopoJSON, as the npm package
world-atlas ships it in land-110m.json) into the program's compact land file.

    python3 tools/landoutlines/convert.py land-110m.json src/tavikcode/geo/data/land-110m.bin

The output, all little-endian:
    "TLND", uint16 version (1), uint16 unit (100: coordinates in 1/100 degree),
    uint32 ring count, then per ring uint32 point count and that many pairs of
    int16 longitude and int16 latitude.
Rings are closed implicitly (the last point is not repeated). Outer rings and
holes are written alike: the program fills them even-odd.
"""

import json
import struct
import sys

UNIT = 100  # steps per degree: 0.01 degree is about 1 km, finer than 1:110m


def decode_arcs(topology):
    """The arcs as lists of (longitude, latitude), undoing the quantisation."""
    transform = topology.get("transform")
    arcs = []
    for arc in topology["arcs"]:
        points = []
        if transform:
            (sx, sy), (tx, ty) = transform["scale"], transform["translate"]
            x = y = 0
            for dx, dy in arc:
                x += dx
                y += dy
                points.append((x * sx + tx, y * sy + ty))
        else:
            points = [tuple(p[:2]) for p in arc]
        arcs.append(points)
    return arcs


def ring_points(ring_arcs, arcs):
    """One ring from its arc indexes; a negative index ~i is arc i reversed."""
    points = []
    for index in ring_arcs:
        arc = arcs[index] if index >= 0 else list(reversed(arcs[~index]))
        # Consecutive arcs share their joining point.
        points.extend(arc if not points else arc[1:])
    return points


def polygons(geometry):
    kind = geometry["type"]
    if kind == "Polygon":
        return [geometry["arcs"]]
    if kind == "MultiPolygon":
        return geometry["arcs"]
    if kind == "GeometryCollection":
        return [p for g in geometry["geometries"] for p in polygons(g)]
    return []


def quantised(points):
    ring = []
    for lon, lat in points:
        q = (max(-180 * UNIT, min(180 * UNIT, round(lon * UNIT))),
             max(-90 * UNIT, min(90 * UNIT, round(lat * UNIT))))
        if not ring or ring[-1] != q:
            ring.append(q)
    while len(ring) > 1 and ring[0] == ring[-1]:
        ring.pop()
    return ring


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: convert.py land-110m.json land-110m.bin")
    with open(sys.argv[1], encoding="utf-8") as f:
        topology = json.load(f)
    arcs = decode_arcs(topology)
    rings = []
    for polygon in polygons(topology["objects"]["land"]):
        for ring_arcs in polygon:
            ring = quantised(ring_points(ring_arcs, arcs))
            if len(ring) >= 3:
                rings.append(ring)
    out = bytearray(b"TLND")
    out += struct.pack("<HHI", 1, UNIT, len(rings))
    for ring in rings:
        out += struct.pack("<I", len(ring))
        for lon, lat in ring:
            out += struct.pack("<hh", lon, lat)
    with open(sys.argv[2], "wb") as f:
        f.write(out)
    print(f"{len(rings)} rings, {sum(map(len, rings))} points, {len(out)} bytes")


if __name__ == "__main__":
    main()
