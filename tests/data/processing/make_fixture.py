#!/usr/bin/env python3
"""Writes the answer fixture of the response pass and the history files it
expects, computed here on their own from the file formats (not by the
program). English regional settings; sorted lists compare case-folded text
by code point, as the program does under the C locale.

Run from this folder: python3 make_fixture.py
"""
import datetime
import functools
import os
import random

OPERATOR = "G4XYZ"
rng = random.Random(20261207)
EPOCH = datetime.datetime(1970, 1, 1, tzinfo=datetime.timezone.utc)
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


def secs(y, mo, d, h=0, mi=0, s=0):
    t = datetime.datetime(y, mo, d, h, mi, s, tzinfo=datetime.timezone.utc)
    return int((t - EPOCH).total_seconds())


# --- reading and formatting, as the report line format defines them --------

def read_attr(line, search):
    p = line.find(search)
    if p < 0:
        return ""
    window = line[p:p + 50]
    q = window.find('"')
    if q < 0:
        return ""
    rest = window[q + 1:]
    q = rest.find('"')
    return rest[:q] if q >= 0 else ""


def flow_time(text):
    if not text or not all(c.isdigit() for c in text.lstrip("-+")) or text.lstrip("-+") == "":
        return ""
    t = EPOCH + datetime.timedelta(seconds=int(text))
    date = "%02d%s%04d" % (t.day, MONTHS[t.month - 1], t.year)
    if t.hour == 0 and t.minute == 0 and t.second == 0:
        return date
    return date + " %02d:%02d:%02d" % (t.hour, t.minute, t.second)


BANDS = [(0, 0, "630m"), (1, 1, "160m"), (3, 3, "80m"), (5, 5, "60m"), (7, 7, "40m"), (10, 10, "30m"),
         (14, 14, "20m"), (18, 18, "17m"), (21, 21, "15m"), (24, 24, "12m"), (28, 30, "10m"),
         (49, 60, "6m"), (140, 150, "2m"), (420, 450, "70cm"), (1200, 1390, "23cm"),
         (2200, 2500, "13cm"), (3300, 3600, "9cm"), (5600, 5900, "6cm"), (10000, 10500, "3cm")]


def band(text):
    try:
        hz = float(text)
    except ValueError:
        return ""
    if hz < 0:
        return "0m"
    m = int(hz / 1000000.0)
    for lo, hi, name in BANDS:
        if lo <= m <= hi:
            return name
    return "0m"


def format_report(line):
    out = ""
    t = flow_time(read_attr(line, 'flowStartSeconds="'))
    out += t + ",  " if t else ", "
    v = read_attr(line, 'receiverCallsign="')
    out += v + ",    \t" if v else ", "
    v = read_attr(line, 'sNR="')
    out += ("" if "-" in v else "+") + v + ",\t" if v else ", "
    v = band(read_attr(line, 'frequency="'))
    out += v + ", " if v else ", "
    v = read_attr(line, 'mode="')
    out += v + ", " if v else ", "
    v = read_attr(line, 'receiverLocator="')
    out += v[:4] + ", " if v else ", "
    v = read_attr(line, 'DXCC="')
    out += v + ", " if v else ", "
    return out


def instant(report_line):
    field = report_line.split(",", 1)[0]
    try:
        day, mon, year = int(field[0:2]), MONTHS.index(field[2:5]), int(field[5:9])
        if not (field[0:2].isdigit() and field[5:9].isdigit()):
            return None
        d = datetime.date(year, mon + 1, day)
        rest = field[9:]
        if rest == "":
            h = mi = s = 0
        else:
            assert rest[0] == " " and rest[3] == ":" and rest[6] == ":" and len(rest) == 9
            h, mi, s = int(rest[1:3]), int(rest[4:6]), int(rest[7:9])
        return d.toordinal() * 86400 + h * 3600 + mi * 60 + s
    except (ValueError, IndexError, AssertionError):
        return None


def newest_first(a, b):
    ia, ib = instant(a), instant(b)
    if (ia is None) != (ib is None):
        return -1 if ia is not None else 1
    if ia is not None and ia != ib:
        return -1 if ia > ib else 1
    return -1 if a > b else (1 if a < b else 0)


def sorted_ignoring_case(lines):
    seen, kept = set(), []
    for line in lines:
        if line.lower() not in seen:
            seen.add(line.lower())
            kept.append(line)
    return sorted(kept, key=str.lower)


# --- the data ---------------------------------------------------------------

PREFIXES = [("DL", "JO", "Fed. Rep. of Germany", "DL"), ("G", "IO", "England", "G"),
            ("K", "FN", "United States", "K"), ("W", "EM", "United States", "K"),
            ("JA", "PM", "Japan", "JA"), ("I", "JN", "Italy", "I"), ("VE", "FN", "Canada", "VE"),
            ("VK", "QF", "Australia", "VK"), ("PY", "GG", "Brazil", "PY"), ("EA", "IN", "Spain", "EA"),
            ("F", "JN", "France", "F"), ("PA", "JO", "Netherlands", "PA"), ("SM", "JP", "Sweden", "SM"),
            ("OH", "KP", "Finland", "OH"), ("SP", "JO", "Poland", "SP"), ("OK", "JN", "Czech Republic", "OK"),
            ("ON", "JO", "Belgium", "ON"), ("OH0", "JP", "\u00c5land Islands", "OH0"),
            ("UA9", "MO", "Asiatic Russia", "UA9")]
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"


def make_station():
    prefix, field, dxcc, code = rng.choice(PREFIXES)
    call = prefix + str(rng.randint(1, 9)) + "".join(rng.choice(LETTERS) for _ in range(rng.randint(2, 3)))
    loc = field + "%02d" % rng.randint(0, 99) + rng.choice("abcdefghijklmnopqrstuvwx") + rng.choice("abcdefghijklmnopqrstuvwx")
    r = rng.random()
    if r < 0.1:
        loc = loc[:4]
    elif r < 0.15:
        loc = loc + "%02d" % rng.randint(0, 99)
    return [call, loc, dxcc, code]


stations = []
known = set()
while len(stations) < 150:
    s = make_station()
    if s[0].lower() not in known:
        known.add(s[0].lower())
        stations.append(s)

FREQS = ["474200", "1838100", "3573000", "5357000", "7074000", "10136000", "14074000", "14075123",
         "18100000", "21074000", "24915000", "28074000", "30999999", "50313000", "144174000",
         "432174000", "1296174000", "70154000", "2000000"]
MODES = ["FT8", "FT8", "FT8", "FT4", "WSPR", "JT65", "CW", "JS8"]


def reception(sender, st, t, freq=None, snr=None, mode=None, dxcc=None, extra=""):
    call, loc, dx, code = st
    if freq is None:
        freq = rng.choice(FREQS)
    if snr is None:
        snr = str(rng.randint(-24, 12))
    if mode is None:
        mode = rng.choice(MODES)
    if dxcc is None:
        dxcc = dx
    return ('<receptionReport receiverCallsign="%s" receiverLocator="%s" senderCallsign="%s" '
            'senderLocator="IO91wm" frequency="%s" flowStartSeconds="%s" mode="%s" isSender="1" '
            'receiverDXCC="%s" receiverDXCCCode="%s" sNR="%s"%s />') % (
                call, loc, sender, freq, t, mode, dxcc, code, snr, extra)


def active(st, loc=None, call=None):
    c, l, dx, _ = st
    return ('<activeReceiver callsign="%s" locator="%s" frequency="%s" region="%s" DXCC="%s" '
            'decoderSoftware="WSJT-X v2.6.1" antennaInformation="EFHW 40m" mode="FT8" />') % (
                call if call is not None else c, loc if loc is not None else l,
                rng.choice(FREQS), rng.choice(["1", "2", "3", ""]), dx)


# The answer covers the turn of a month: 27 November to 3 December 2026.
start = secs(2026, 11, 27)
span = 7 * 86400
body = []
for _ in range(200):
    t = start + rng.randrange(span)
    body.append(reception(OPERATOR, rng.choice(stations), str(t)))
# Values worth a look: midnight, sNR 0 and with a sign, odd frequencies.
body.append(reception(OPERATOR, stations[0], str(secs(2026, 12, 1)), snr="0"))
body.append(reception(OPERATOR, stations[1], str(secs(2026, 12, 3)), snr="+3"))
body.append(reception(OPERATOR, stations[2], str(secs(2026, 12, 3, 0, 0, 1)), freq="-14074000"))
body.append(reception(OPERATOR, stations[3], str(secs(2026, 12, 2, 23, 59, 59)), freq="unknown"))
body.append(reception(OPERATOR, stations[4], str(secs(2026, 12, 2, 12)), freq="10368100000"))
body.append(reception(OPERATOR, stations[5], "later", snr="-1"))
body.append(reception(OPERATOR, stations[6], str(secs(2026, 12, 2, 18, 30)),
                      dxcc="An Entity Whose Name Is Much Too Long To Be Read"))
body.append(reception(OPERATOR, ["SV0ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "KM18ab", "Greece", "SV"],
                      str(secs(2026, 12, 2, 18, 31))))
# Senders that begin with the operator's callsign count; others do not.
for _ in range(20):
    body.append(reception(OPERATOR + "/P", rng.choice(stations), str(start + rng.randrange(span))))
for sender in ["G4XY", "g4xyz", "M0XYZ", "2E0XYZ", "XG4XYZ"]:
    for _ in range(4):
        body.append(reception(sender, rng.choice(stations), str(start + rng.randrange(span))))
# The service repeats itself now and then.
for _ in range(12):
    body.append(rng.choice(body[:200]))
rng.shuffle(body)

actives = []
for st in stations[:110]:
    actives.append(active(st))
for st in stations[20:30]:                       # moved to another square
    actives.append(active(st, loc=st[1][:2] + "%02d" % ((int(st[1][2:4]) + 1) % 100) + "aa"))
for st in stations[30:40]:                       # same first six characters
    actives.append(active(st, loc=(st[1] + "xx")[:6] + "12"))
for st in stations[40:50]:                       # letter case of the callsign differs
    actives.append(active(st, call=st[0].lower()))
actives.append(active(stations[50], call="VERYLONGCALLSIGNOFMANYLETTERS"))  # too long to read
actives.append('<activeReceiver callsign="NL9ZZZ" frequency="7074000" region="2" DXCC="Netherlands" />')
rng.shuffle(actives)

lines = ['<?xml version="1.0" encoding="UTF-8"?>',
         '<receptionReports currentSeconds="%d">' % (start + span),
         '<activeCallsign callsign="%s" reports="%d" DXCC="England" DXCCcode="G" frequency="14074000" />'
         % (OPERATOR, len(body)),
         '<senderSearch callsign="%s" recentFlowStartSeconds="%d" />' % (OPERATOR, start + span - 60)]
lines += actives[:90]
lines.append('<lastSequenceNumber value="28457121367"/>')
lines += body
lines += actives[90:]
# The last report stands just before the closing line, which is never read.
lines.append('<receptionReport receiverCallsign="ZL1XX" receiverLocator="RF72" senderCallsign="G4XYZ" '
             'frequency="14074000" flowStartSeconds="%d" mode="FT8" sNR="-3" />' % (start + span - 5))
lines.append("</receptionReports>")

# Histories of earlier passes: reports of 20 to 27 November in the old text
# order, receivers and grid entries of stations partly seen again now.
old_reports = [format_report(reception(OPERATOR, rng.choice(stations), str(secs(2026, 11, 20) + rng.randrange(7 * 86400 + 3600))))
               for _ in range(260)]
old_reports += [format_report(b) for b in body[:15] if OPERATOR in b]
old_reports = sorted(set(old_reports), reverse=True)
others = []
while len(others) < 40:
    s = make_station()
    if s[0].lower() not in known:
        known.add(s[0].lower())
        others.append(s)
old_calls = sorted_ignoring_case([s[0] for s in others] + [s[0] for s in stations[100:130]])
old_grids = sorted_ignoring_case([s[0] + "," + s[1][:6] for s in others + stations[100:130]])

# --- the pass, worked out here ------------------------------------------------
reports = list(old_reports)
calls = list(old_calls)
grids = list(old_grids)
seq = None
for line in lines[:-1]:
    if 'senderCallsign="' + OPERATOR in line:
        reports.append(format_report(line))
    if '<activeReceiver callsign="' in line:
        if 'locator="' in line:
            grids.append(read_attr(line, 'activeReceiver callsign="') + "," + read_attr(line, 'locator="')[:6])
        calls.append(read_attr(line, 'activeReceiver callsign="'))
    if '<lastSequenceNumber value="' in line:
        w = line[line.find('<lastSequenceNumber value="') + 27:][:20]
        seq = w[:w.find('"')].strip() if '"' in w else ""
reports = sorted(reports, key=functools.cmp_to_key(newest_first))
pruned = []
for r in reports:
    if not pruned or pruned[-1] != r:
        pruned.append(r)
pruned = pruned[:300]


def write(path, content_lines):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as f:
        f.write("".join(l + "\r\n" for l in content_lines).encode("utf-8"))


write("answer.txt", lines)
write("before/TavikRpts.txt", old_reports)
write("before/TavikCalls.txt", old_calls)
write("before/Tavikgrids.txt", old_grids)
write("after/TavikRpts.txt", pruned)
write("after/TavikCalls.txt", sorted_ignoring_case(calls))
write("after/Tavikgrids.txt", sorted_ignoring_case(grids))
with open("after/sequence.txt", "w") as f:
    f.write(seq + "\n")
print(len(lines), "answer lines;", len(pruned), "reports;", len(sorted_ignoring_case(calls)), "calls;",
      len(sorted_ignoring_case(grids)), "grid entries; sequence", seq)
