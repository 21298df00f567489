#!/usr/bin/python3
"""The Compare window's figures for the test fixture, worked out apart from
the program: pairs, receivers' medians, the median of medians, its bootstrap
interval, and the medians by sector of bearing and ring of distance.

    /usr/bin/python3 tools/compare/statistics.py --make-fixture   # writes the fixture anew
    /usr/bin/python3 tools/compare/statistics.py                  # prints the figures

Needs Debian's python3-numpy. Positions are reckoned on a sphere, not on the
program's WGS84 ellipsoid: the fixture keeps its receivers clear of the
sectors' and rings' edges, so both place every receiver alike.
"""
import csv
import math
import os
import random
import sys

import numpy as np

FIXTURE = os.path.join(os.path.dirname(__file__), '..', '..', 'tests', 'data', 'compare', 'reports.csv')
HOME = 'IO91wm'
BASE = 1796637600  # 2026-12-07 10:00 UTC
CYCLES = {'FT8': 15.0, 'FT4': 7.5, 'WSPR': 120.0, 'FST4W': 120.0, 'JT65': 60.0, 'JT9': 60.0}
MASK = (1 << 64) - 1
SEED = 0x5441564B434D5052  # "TAVKCMPR"


def locator_centre(loc):
    """Latitude and longitude of the centre of a Maidenhead square."""
    lon, lat, width, height = -180.0, -90.0, 360.0, 180.0
    steps = [(18, 'A'), (10, '0'), (24, 'A'), (10, '0'), (24, 'A')]
    for i in range(len(loc) // 2):
        n, first = steps[i]
        width /= n
        height /= n
        lon += (ord(loc[2 * i].upper()) - ord(first)) * width
        lat += (ord(loc[2 * i + 1].upper()) - ord(first)) * height
    return lat + height / 2, lon + width / 2


def path(home, there):
    """Great-circle distance (km, mean radius) and initial bearing (degrees)."""
    p1, l1 = map(math.radians, home)
    p2, l2 = map(math.radians, there)
    d = 2 * math.asin(math.sqrt(math.sin((p2 - p1) / 2) ** 2
                                + math.cos(p1) * math.cos(p2) * math.sin((l2 - l1) / 2) ** 2))
    y = math.sin(l2 - l1) * math.cos(p2)
    x = math.cos(p1) * math.sin(p2) - math.sin(p1) * math.cos(p2) * math.cos(l2 - l1)
    return 6371.0088 * d, math.degrees(math.atan2(y, x)) % 360


def sector(bearing):
    return int(((bearing + 22.5) % 360) // 45)


def ring(km):
    return 0 if km < 1000 else 1 if km < 3000 else 2 if km < 8000 else 3


class SplitMix64:
    def __init__(self, seed):
        self.state = seed & MASK

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
        return z ^ (z >> 31)


def bootstrap(values, resamples=2000, seed=SEED):
    values = np.sort(np.array(values, dtype=float))
    n = len(values)
    g = SplitMix64(seed)
    medians = []
    for _ in range(resamples):
        indices = []
        while len(indices) < n:
            x = g.next()
            indices.append(((x >> 32) * n) >> 32)
            if len(indices) < n:
                indices.append(((x & 0xFFFFFFFF) * n) >> 32)
        medians.append(np.median(values[indices]))
    return np.percentile(medians, [2.5, 97.5])


def make_fixture():
    """Receivers all round London, clear of the edges, each with a few
    reports of both stations; the operator louder to the east."""
    r = random.Random(7)
    home = locator_centre(HOME)
    rows, receivers = [], []
    while len(receivers) < 34:
        loc = (chr(65 + r.randrange(18)) + chr(65 + r.randrange(18)) + str(r.randrange(10)) + str(r.randrange(10))
               + chr(97 + r.randrange(24)) + chr(97 + r.randrange(24)))
        km, bearing = path(home, locator_centre(loc))
        edge = min(abs(((bearing + 22.5) % 45) - 0), abs(((bearing + 22.5) % 45) - 45))
        if km < 100 or km > 17000 or edge < 2 or any(abs(km - e) < 0.02 * e for e in (1000, 3000, 8000)):
            continue
        # More near ones than the uniform squares give.
        if km > 3000 and len([x for x in receivers if x[2] > 3000]) >= 22:
            continue
        receivers.append(('R%02dX' % len(receivers), loc, km, bearing))
    cycle = 0
    for i, (call, loc, km, bearing) in enumerate(receivers):
        lean = 3 * math.sin(math.radians(bearing))
        heard = 'operator' if i in (5, 17) else 'reference' if i == 11 else 'both'
        for band in (['20m'] if i % 3 else ['20m', '40m']):
            for _ in range(r.randrange(1, 5)):
                cycle += 1
                t = BASE + 15 * cycle
                snr = r.randrange(-22, 8)
                other = max(-24, min(20, round(snr - lean + r.choice([-2, -1, 0, 0, 1, 2]))))
                if heard == 'both':
                    rows.append(('operator', call, loc, band, 'FT8', t, snr))
                    rows.append(('reference', call, loc, band, 'FT8', t + r.choice([0, 0, 1]), other))
                else:
                    # Heard by one only, while another receiver heard the
                    # other station in the same cycle.
                    filler = 'ZZ1REF' if heard == 'operator' else 'ZZ2OP'
                    rows.append((heard, call, loc, band, 'FT8', t, snr))
                    rows.append(('reference' if heard == 'operator' else 'operator', filler, 'JO01aa', band, 'FT8',
                                 t, other))
    # A report at a time when the reference was on no band: it does not count.
    rows.append(('operator', 'R99LONE', 'JO62qm', '20m', 'FT8', BASE - 3600, -5))
    with open(FIXTURE, 'w', newline='') as f:
        w = csv.writer(f, lineterminator='\n')
        w.writerow(['station', 'receiver', 'locator', 'band', 'mode', 'flow_start', 'snr'])
        w.writerows(rows)


def load():
    with open(FIXTURE, newline='') as f:
        return [dict(row, flow_start=int(row['flow_start']), snr=int(row['snr'])) for row in csv.DictReader(f)]


def within(a, b, mode):
    apart = abs(a - b)
    return apart < CYCLES.get(mode.upper(), 60.0)  # the same cycle


def pairs_of(group):
    """Nearest first; among equals the pair whose later report comes first,
    then the one whose earlier report comes last (by plain search)."""
    order = sorted(range(len(group)), key=lambda i: (group[i]['flow_start'], group[i]['station'] != 'operator',
                                                     group[i]['snr'], i))
    items = [group[i] for i in order]
    used, pairs = set(), []
    while True:
        best = None
        for a in range(len(items)):
            for b in range(a + 1, len(items)):
                if a in used or b in used or items[a]['station'] == items[b]['station']:
                    continue
                if not within(items[a]['flow_start'], items[b]['flow_start'], items[a]['mode']):
                    continue
                key = (items[b]['flow_start'] - items[a]['flow_start'], b, -a)
                if best is None or key < best[0]:
                    best = (key, a, b)
        if best is None:
            return pairs
        _, a, b = best
        used |= {a, b}
        o, r = (items[a], items[b]) if items[a]['station'] == 'operator' else (items[b], items[a])
        pairs.append((o, r))


def figures(rows):
    home = locator_centre(HOME)
    counted = [x for x in rows if any(y['station'] != x['station'] and y['band'] == x['band']
                                      and within(x['flow_start'], y['flow_start'], x['mode']) for y in rows)]
    groups = {}
    for x in counted:
        groups.setdefault((x['receiver'], x['band'], x['mode']), []).append(x)
    diffs = {}
    for (receiver, band, _), group in groups.items():
        for o, r in pairs_of(group):
            for b in (band, None):
                diffs.setdefault((receiver, b), []).append(o['snr'] - r['snr'])
    for band in ['20m', '40m', None]:
        seen = {}
        for x in counted:
            if band is None or x['band'] == band:
                seen.setdefault(x['receiver'], set()).add(x['station'])
        both = sum(1 for s in seen.values() if len(s) == 2)
        only_op = sum(1 for s in seen.values() if s == {'operator'})
        only_ref = sum(1 for s in seen.values() if s == {'reference'})
        medians = {rx: float(np.median(d)) for (rx, b), d in diffs.items() if b == band}
        npairs = sum(len(d) for (rx, b), d in diffs.items() if b == band)
        name = band or 'all bands'
        print(f'{name}: both {both}, only operator {only_op}, only reference {only_ref}, '
              f'receivers with pairs {len(medians)}, pairs {npairs}')
        values = list(medians.values())
        low, high = bootstrap(values)
        print(f'  median {np.median(values)!r}, interval {low!r} to {high!r}')
        if band is None:
            locators = {x['receiver']: x['locator'] for x in sorted(counted, key=lambda x: x['flow_start'])}
            by_sector, by_ring = {}, {}
            for rx, m in medians.items():
                km, bearing = path(home, locator_centre(locators[rx]))
                by_sector.setdefault(sector(bearing), []).append((m, len(diffs[(rx, None)])))
                by_ring.setdefault(ring(km), []).append((m, len(diffs[(rx, None)])))
            for s in range(8):
                v = by_sector.get(s, [])
                print(f'  sector {s}: receivers {len(v)}, pairs {sum(p for _, p in v)}, '
                      f'median {float(np.median([m for m, _ in v])) if v else None!r}')
            for k in range(4):
                v = by_ring.get(k, [])
                print(f'  ring {k}: receivers {len(v)}, pairs {sum(p for _, p in v)}, '
                      f'median {float(np.median([m for m, _ in v])) if v else None!r}')


if __name__ == '__main__':
    if '--make-fixture' in sys.argv:
        make_fixture()
    figures(load())
    # The interval alone, of values that are not whole or half decibels.
    for n in (15, 16):
        values = [round(i * 0.37 - (i % 3) * 1.1, 2) for i in range(n)]
        low, high = bootstrap(values)
        print(f'bootstrap of {values}: median {float(np.median(values))!r}, interval {low!r} to {high!r}')
        low, high = bootstrap(values, resamples=7, seed=1)
        print(f'  with 7 resamples from seed 1: {low!r} to {high!r}')
