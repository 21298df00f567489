#!/usr/bin/python3
"""The Compare window's figures for the test fixture, worked out apart from
the program: pairs, receivers' grouped medians, the grouped median over
receivers, its bootstrap interval, and the medians by sector of bearing and
ring of distance; and the interval's coverage in a simulation.

    /usr/bin/python3 tools/compare/statistics.py --make-fixture   # writes the fixture anew
    /usr/bin/python3 tools/compare/statistics.py                  # prints the figures
    /usr/bin/python3 tools/compare/statistics.py --coverage       # the coverage table (minutes)

Needs Debian's python3-numpy. Positions are reckoned on a sphere, not on the
program's WGS84 ellipsoid: the fixture keeps its receivers clear of the
sectors' and rings' edges, so both place every receiver alike.
"""
import csv
import math
import os
import random
import sys
import time

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


def grouped_median_whole(values):
    """The interpolated median of grouped data for whole values, class width
    1: L + (n/2 - cf) / f, once for the first class reaching n/2 from below
    and once for the last from which the count stays at n/2, halfway between
    (so {0, 3} gives 1.5, not 0.5)."""
    v = sorted(values)
    n = len(v)
    h = n / 2

    def at(rank):
        x = v[rank]
        below = sum(1 for y in v if y < x)
        f = sum(1 for y in v if y == x)
        return x - 0.5 + (h - below) / f
    return (at(math.ceil(h) - 1) + at(math.floor(h))) / 2


def spread_median(values, weights):
    """The grouped median of any values, each an even spread over the decibel
    around it, for many weightings (rows) at once: the point where the spread
    reaches half, halfway along the stretch where it stays there. values:
    distinct, ascending; weights: rows of counts."""
    pos = np.concatenate([values - 0.5, values + 0.5])
    order = np.argsort(pos, kind='stable')
    pos = pos[order]
    w = np.atleast_2d(np.asarray(weights, dtype=float))
    slope = np.cumsum(np.concatenate([w, -w], axis=1)[:, order], axis=1)
    f = np.zeros_like(slope)
    f[:, 1:] = np.cumsum(slope[:, :-1] * np.diff(pos), axis=1)
    half = w.sum(axis=1) / 2
    eps = 1e-9 * w.sum(axis=1)
    rows = np.arange(len(w))
    first = np.argmax(f >= (half - eps)[:, None], axis=1)
    before = np.maximum(first - 1, 0)
    s = slope[rows, before]
    low = np.where(first == 0, pos[0], pos[before] + (half - f[rows, before]) / np.where(s > 0, s, 1))
    last = f.shape[1] - 1 - np.argmax((f <= (half + eps)[:, None])[:, ::-1], axis=1)
    s = slope[rows, last]
    high = np.where(s > 0, pos[last] + (half - f[rows, last]) / np.where(s > 0, s, 1), pos[last])
    return (low + high) / 2


def grouped_median(values):
    v, c = np.unique(np.asarray(values, dtype=float), return_counts=True)
    return float(spread_median(v, c)[0])


def expanded_tail(n):
    """Hesterberg's expanded percentile: Phi(-sqrt(n/(n-1)) t(0.975, n-1)),
    t by its Cornish-Fisher expansion."""
    def phi(x):
        return 0.5 * math.erfc(-x / math.sqrt(2))
    lo, hi = 0.0, 5.0
    for _ in range(100):  # the normal's 97.5 % point, by halving
        z = (lo + hi) / 2
        lo, hi = (z, hi) if phi(z) < 0.975 else (lo, z)
    nu = n - 1
    t = (z + (z**3 + z) / (4 * nu) + (5 * z**5 + 16 * z**3 + 3 * z) / (96 * nu**2)
         + (3 * z**7 + 19 * z**5 + 17 * z**3 - 15 * z) / (384 * nu**3))
    return phi(-math.sqrt(n / nu) * t)


def bootstrap(values, resamples=2000, seed=SEED):
    values = np.sort(np.array(values, dtype=float))
    n = len(values)
    g = SplitMix64(seed)
    distinct, inverse = np.unique(values, return_inverse=True)
    weights = np.zeros((resamples, len(distinct)))
    for b in range(resamples):
        indices = []
        while len(indices) < n:
            x = g.next()
            indices.append(((x >> 32) * n) >> 32)
            if len(indices) < n:
                indices.append(((x & 0xFFFFFFFF) * n) >> 32)
        np.add.at(weights[b], inverse[indices], 1)
    tail = expanded_tail(n)
    return np.quantile(np.sort(spread_median(distinct, weights)), [tail, 1 - tail])


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
    # Two of the operator in one second: the first given pairs (-10 with -8),
    # whatever the signals; then the same the other way round.
    t = BASE - 7200
    rows += [('operator', 'R98TWO', 'JO62qm', '20m', 'FT8', t, -10), ('operator', 'R98TWO', 'JO62qm', '20m', 'FT8', t, -5),
             ('reference', 'R98TWO', 'JO62qm', '20m', 'FT8', t, -8),
             ('operator', 'R98TWO', 'JO62qm', '20m', 'FT8', t + 60, -2), ('operator', 'R98TWO', 'JO62qm', '20m', 'FT8', t + 60, -9),
             ('reference', 'R98TWO', 'JO62qm', '20m', 'FT8', t + 60, -6)]
    # FT4 reports 7 s apart lie in neighbouring cycles; an FT8 report of the
    # operator while the reference was on WSPR on the band was not heard while
    # both were on the air.
    t = BASE - 10800
    rows += [('operator', 'R97FT4', 'JO62qm', '20m', 'FT4', t, -3), ('reference', 'R97FT4', 'JO62qm', '20m', 'FT4', t + 7, -4),
             ('operator', 'R96FT8', 'JO62qm', '20m', 'FT8', t + 300, -3),
             ('reference', 'R95WSPR', 'JO62qm', '20m', 'WSPR', t + 300, -20)]
    with open(FIXTURE, 'w', newline='') as f:
        w = csv.writer(f, lineterminator='\n')
        w.writerow(['station', 'receiver', 'locator', 'band', 'mode', 'flow_start', 'snr'])
        w.writerows(rows)


def load():
    with open(FIXTURE, newline='') as f:
        return [dict(row, flow_start=int(row['flow_start']), snr=int(row['snr'])) for row in csv.DictReader(f)]


def within(a, b, mode):
    """The same transmit period: at most half the mode's period apart."""
    return abs(a - b) <= CYCLES.get(mode.upper(), 60.0) / 2


def pairs_of(group):
    """Reports of one second pair first, the n-th of the operator's with the
    n-th of the reference's as the file gives them; the rest nearest first,
    among equals the pair whose later report comes first (time, then the
    file's order), then the one whose earlier report comes last (by plain
    search). The signals play no part."""
    used, pairs = set(), []
    by_second = {}
    for i, x in enumerate(group):
        by_second.setdefault(x['flow_start'], {'operator': [], 'reference': []})[x['station']].append(i)
    for second in by_second.values():
        for o, r in zip(second['operator'], second['reference']):
            used |= {o, r}
            pairs.append((group[o], group[r]))
    place = lambda i: (group[i]['flow_start'], i)
    while True:
        best = None
        for a in range(len(group)):
            for b in range(len(group)):
                if a in used or b in used or group[a]['station'] == group[b]['station'] or place(a) >= place(b):
                    continue
                if not within(group[a]['flow_start'], group[b]['flow_start'], group[a]['mode']):
                    continue
                key = (group[b]['flow_start'] - group[a]['flow_start'], place(b), tuple(-x for x in place(a)))
                if best is None or key < best[0]:
                    best = (key, a, b)
        if best is None:
            return pairs
        _, a, b = best
        used |= {a, b}
        o, r = (group[a], group[b]) if group[a]['station'] == 'operator' else (group[b], group[a])
        pairs.append((o, r))


def figures(rows):
    home = locator_centre(HOME)
    counted = [x for x in rows if any(y['station'] != x['station'] and y['band'] == x['band']
                                      and y['mode'].upper() == x['mode'].upper()
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
        medians = {rx: grouped_median_whole(d) for (rx, b), d in diffs.items() if b == band}
        npairs = sum(len(d) for (rx, b), d in diffs.items() if b == band)
        name = band or 'all bands'
        print(f'{name}: both {both}, only operator {only_op}, only reference {only_ref}, '
              f'receivers with pairs {len(medians)}, pairs {npairs}')
        values = list(medians.values())
        low, high = bootstrap(values)
        print(f'  median {grouped_median(values)!r}, interval {low!r} to {high!r}')
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
                      f'median {grouped_median([m for m, _ in v]) if v else None!r}')
            for k in range(4):
                v = by_ring.get(k, [])
                print(f'  ring {k}: receivers {len(v)}, pairs {sum(p for _, p in v)}, '
                      f'median {grouped_median([m for m, _ in v]) if v else None!r}')


def receivers_grouped_medians(receiver, differences, n):
    """grouped_median_whole of every receiver at once (receivers 0..n-1)."""
    order = np.lexsort((differences, receiver))
    receiver, differences = receiver[order], differences[order]
    key = receiver * 4096 + (differences + 2048)
    counts = np.bincount(receiver, minlength=n)
    start = np.concatenate([[0], np.cumsum(counts)[:-1]])
    h = counts / 2

    def at(rank):
        x = differences[start + rank]
        k = receiver[start + rank] * 4096 + (x + 2048)
        below = np.searchsorted(key, k, 'left') - start
        f = np.searchsorted(key, k, 'right') - start - below
        return x - 0.5 + (h - below) / f
    return (at(np.ceil(h).astype(int) - 1) + at(np.floor(h).astype(int))) / 2


def coverage(trials=1000, sizes=(10, 100, 1000, 10000), resamples=1000, seed=20261210):
    """How often the 95 % interval covers the true difference. Each trial: a
    true difference off the whole and half decibels (-6 to +6 dB); receivers
    with differences of their own around it (sd 2 dB: antennas, directions),
    1 + a geometric count of pairs (mean 4), each SNR with fading of its own
    (sd 1.5 dB) and reported in whole dB; the program's estimate (grouped
    medians per receiver and over them) and its bootstrap over receivers
    (multinomial draws here, the expanded percentile)."""
    rng = np.random.default_rng(seed)
    print('| receivers | trials | covered | mean error | sd of the estimate | mean width |')
    print('|---|---|---|---|---|---|')
    for n in sizes:
        started = time.time()
        covered, errors, widths = 0, [], []
        for _ in range(trials):
            truth = rng.uniform(-6, 6)
            while abs(truth * 2 - round(truth * 2)) < 0.1:
                truth = rng.uniform(-6, 6)
            pairs = 1 + rng.geometric(0.25, n)
            own = truth + rng.normal(0, 2.0, n)
            receiver = np.repeat(np.arange(n), pairs)
            base = rng.normal(-12, 6, len(receiver))
            operator = np.round(base + own[receiver] / 2 + rng.normal(0, 1.5, len(receiver)))
            reference = np.round(base - own[receiver] / 2 + rng.normal(0, 1.5, len(receiver)))
            medians = receivers_grouped_medians(receiver, (operator - reference).astype(int), n)
            distinct, counts = np.unique(medians, return_counts=True)
            estimate = spread_median(distinct, counts)[0]
            drawn = spread_median(distinct, rng.multinomial(n, counts / n, size=resamples))
            tail = expanded_tail(n)
            low, high = np.quantile(drawn, [tail, 1 - tail])
            covered += low <= truth <= high
            errors.append(estimate - truth)
            widths.append(high - low)
        print(f'| {n:,} | {trials} | {100 * covered / trials:.1f} % | {np.mean(errors):+.3f} dB '
              f'| {np.std(errors):.3f} dB | {np.mean(widths):.2f} dB |', flush=True)
        print(f'<!-- {time.time() - started:.0f} s -->', file=sys.stderr)


if __name__ == '__main__':
    if '--coverage' in sys.argv:
        coverage()
        sys.exit(0)
    if '--make-fixture' in sys.argv:
        make_fixture()
    figures(load())
    # The interval alone, of values that are not whole or half decibels.
    for n in (15, 16):
        values = [round(i * 0.37 - (i % 3) * 1.1, 2) for i in range(n)]
        low, high = bootstrap(values)
        print(f'bootstrap of {values}: median {grouped_median(values)!r}, interval {low!r} to {high!r}')
        low, high = bootstrap(values, resamples=7, seed=1)
        print(f'  with 7 resamples from seed 1: {low!r} to {high!r}')
